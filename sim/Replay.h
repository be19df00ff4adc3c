#pragma once
#include "hex/CaptureFormat.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <termios.h>

// The loader's side of a capture (--capture FILE), played again on the master side of a
// pseudo-terminal: each recorded read's bytes are sent at their recorded time, counted from the
// program's write that came before them (or from the port's opening), so a slower or faster
// program meets the same conversation; every byte the program writes is checked against the
// recorded writes, in order, whatever pieces the kernel hands them over in.
namespace bootsim {

class Replay {
public:
    struct Options {
        double speed = 1.0;                     // the recorded waits divided by this
        std::chrono::milliseconds timeout{0};   // 0: none
        std::function<void(const std::string&)> onEvent;  // "event: ..." lines, when given
    };
    enum class Status {
        Matched,    // every recorded write came, and the program closed the port (or the recorded hang-up was played)
        Differed,   // a write differed, came beyond the recording, or did not come before the port closed
        Unfinished, // stopped or timed out before the recording's end
    };
    struct Result {
        Status status = Status::Unfinished;
        std::size_t events = 0;   // events played or matched
        std::string report;       // one line for a person
    };

    Replay(capture::Recording recording, Options options);
    ~Replay();
    Replay(const Replay&) = delete;
    Replay& operator=(const Replay&) = delete;

    bool Open();
    const std::string& SlavePath() const { return slavePath_; }
    // Plays the recording; returns when it has ended one way or the other, or on Stop().
    Result Run();
    void Stop() { stop_ = true; }

    // The exit status qz7-bootsim --replay ends with for `status`.
    static int ExitStatus(Status status);

private:
    using Clock = std::chrono::steady_clock;
    bool WaitConfigured();
    Result Differ(std::size_t event, Clock::time_point at, const std::string& expected, const std::string& got);
    bool Send(const std::string& bytes);
    void Tell(const std::string& what) const;

    capture::Recording recording_;
    Options options_;
    int master_ = -1;
    std::string slavePath_;
    Clock::time_point opened_{};
    std::atomic<bool> stop_{false};
};

}  // namespace bootsim
