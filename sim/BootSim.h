#pragma once
#include "sim/Loader.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <termios.h>
#include <ctime>
#include <thread>
#include <vector>

// A QZ7 boot loader on the master side of a pseudo-terminal. The program under test opens the
// slave as it would open a USB adapter.
namespace bootsim {

class BootSim {
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
    Stage CurrentStage() const { return stage_.load(); }
    // Processor time the simulator's own thread has used, in seconds (for tests that measure
    // what the program under test costs in the same process).
    double ThreadCpuSeconds() const;

private:
    using Clock = std::chrono::steady_clock;
    bool WaitConfigured();
    void Send(Stage stage, const std::vector<std::string>& lines);
    void SendRaw(const std::string& bytes);
    void SendChunked(const std::vector<std::string>& out);
    void SendAsterisk(int lines);
    // Sends the line that stands in for an asterisk once `lines` image lines have come; false
    // when it is not due.
    bool SendLineForAsterisk(int lines);
    void HandleByte(char byte, Clock::time_point at);
    void FinishLine(Clock::time_point at);
    void HangUp();
    void Event(const std::string& what) const;
    bool Silent(Stage stage) const;
    void SleepUntil(Clock::time_point t);
    // Waits `d`, less when Stop() comes or `cut` (when given) turns true.
    void Nap(std::chrono::microseconds d, const bool* cut = nullptr);
    void Finish();  // Run() is over

    Options options_;
    int master_ = -1;
    std::string slavePath_;
    termios initial_{};
    std::atomic<Stage> stage_{Stage::Banner};
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
    std::mt19937 rng_;
    std::chrono::nanoseconds byteTime_{0};
    Clock::time_point rxClock_{}, txClock_{}, started_{}, lastAsterisk_{};
    bool asteriskPending_ = false;
    std::string line_;
    std::string image_;
    int creditsAhead_ = 0;
    int menuLine_ = 0;
    bool promptShown_ = false;  // "E or P?" is on the loader's screen, waiting for its answer
    std::optional<Clock::time_point> hangUpDue_;

    mutable std::mutex mutex_;
    Result result_;
    std::string wire_;
    std::string afterDone_;
};

}  // namespace bootsim
