#pragma once
#include "sim/Loader.h"
#include "sim/LoaderAnswers.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <termios.h>
#include <ctime>
#include <thread>
#include <vector>

// A QZ7 boot loader on the master side of a pseudo-terminal. The program under test opens the
// slave as it would open a USB adapter.
namespace bootsim {

class BootSim : private LoaderAnswers::Voice {
public:
    explicit BootSim(Options options);
    ~BootSim();
    BootSim(const BootSim&) = delete;
    BootSim& operator=(const BootSim&) = delete;

    // Opens the pseudo-terminal, or the device; false when none could be had.
    bool Open();
    const std::string& SlavePath() const { return slavePath_; }
    int MasterFd() const { return master_; }
    // The slave's settings as the master side sees them, and as they were at Open().
    termios SlaveSettings() const;
    const termios& InitialSettings() const { return initial_; }

    // Plays one update; returns when the program has closed the port after it, on a hang-up,
    // or on Stop().
    void Run();
    void Start();  // Run() on a thread of its own
    void Stop();
    bool WaitFinished(std::chrono::milliseconds bound);
    // The operator powers the device on now: the wait for power-on ends at once (or is skipped
    // when it has not begun). From any thread.
    void PowerOn();
    // Ends the pause after `pauseAfterLines` at once (or skips it when it has not begun).
    void Resume();
    // From now on every image line is programmed at once, whatever `lineDelay` says: the rest of
    // a slowed transfer goes at full speed. From any thread.
    void Hurry();

    Result Snapshot() const;
    std::string Wire() const;   // every byte the program sent, in order
    std::string Image() const;  // every byte the program sent after "P"
    std::string AfterDone() const;  // what came after "Done" was sent
    Stage CurrentStage() const { return answers_.Now(); }
    // Processor time the simulator's own thread has used, in seconds (for tests that measure
    // what the program under test costs in the same process).
    double ThreadCpuSeconds() const;

private:
    using Clock = std::chrono::steady_clock;
    bool WaitConfigured();
    void SendRaw(const std::string& bytes);
    void SendChunked(const std::vector<std::string>& out);
    void HandleByte(char byte, Clock::time_point at);
    void Event(const std::string& what) const;
    void SleepUntil(Clock::time_point t);
    // Waits `d`, less when Stop() comes or `cut` (when given) turns true.
    void Nap(std::chrono::microseconds d, const bool* cut = nullptr);
    void Finish();  // Run() is over

    // How the loader's answers go out on the pseudo-terminal, and how long they take (Dialogue.cpp).
    void Say(Stage stage, const std::vector<std::string>& lines) override;
    void SayAsterisk(const std::string& chatter, const std::string& noise, const std::string& asterisks) override;
    void SayRaw(const std::vector<std::string>& writes) override;
    void HangUp() override;
    void Programming() override;
    void LineCame(int lines, int type) override;
    void Ending(bool said) override;
    void VersionSaid() override;
    void Wait(LoaderAnswers::Delay delay) override;
    bool Pause() override;
    void Tell(const std::string& event) override;

    Options options_;
    LoaderAnswers answers_{options_, *this, Stage::Banner};
    int master_ = -1;
    std::string slavePath_;
    termios initial_{};
    std::atomic<bool> stop_{false};
    std::mutex wakeMutex_;  // guards the four flags below; `wake_` tells of their changes and Stop()'s
    std::condition_variable wake_;
    bool poweredOn_ = false;
    bool resumed_ = false;
    bool hurried_ = false;
    bool finished_ = false;
    std::thread thread_;
    double ReadCpuClock() const;
    mutable std::mutex cpuMutex_;  // guards the three below
    clockid_t cpuClock_{};
    bool haveCpuClock_ = false;
    double finalCpu_ = 0;
    std::chrono::nanoseconds byteTime_{0};
    Clock::time_point rxClock_{}, txClock_{}, started_{}, lastAsterisk_{};
    Clock::time_point byteAt_{};  // when the byte being answered arrived
    bool asteriskPending_ = false;
    std::string image_;
    std::optional<Clock::time_point> hangUpDue_;

    mutable std::mutex mutex_;
    Result result_;
    std::string wire_;
    std::string afterDone_;
};

}  // namespace bootsim
