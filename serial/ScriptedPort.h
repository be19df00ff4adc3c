#pragma once
#include "serial/Port.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// A port in memory, for tests: the device's side is played by the test (or by a scripted loader
// it wires to OnWrite), with no terminal, descriptor or system call involved.
//
// Bytes fed to it are read back in pieces the test chooses: as fed, merged, one byte at a time or
// in seeded random pieces, so a reader meets every way a line can be split. Everything written
// is recorded. Faults: a hang-up (reads give what was fed before it, then HangUp), a stall
// (writes take no byte, or no byte past a given count, until released), and the shut-down.
// Every wait is on one condition variable with its bound, and ends at once on Shutdown().
class ScriptedPort : public Port {
public:
    enum class Pieces {
        AsFed,   // a read returns at most what one write of the device held
        Merged,  // a read takes everything fed so far, up to its size
        Bytes,   // one byte a read
        Random,  // random pieces of 1 to 6 bytes, from `seed`
    };
    explicit ScriptedPort(Pieces pieces = Pieces::AsFed, unsigned seed = 1);
    ~ScriptedPort() override;
    ScriptedPort(const ScriptedPort&) = delete;
    ScriptedPort& operator=(const ScriptedPort&) = delete;

    // The device's side (any thread).
    // Queues the device's writes, in order, at once: no read can fall between two of them.
    void Feed(const std::vector<std::string>& writes);
    void Feed(std::string bytes) { Feed(std::vector<std::string>{std::move(bytes)}); }
    // The line goes down: reads give what was fed before, then HangUp with `error` (EIO, as a
    // terminal whose far end closed); waits and writes end with HangUp.
    void HangUp(int error = 5);
    // From now on writes take at most `bytes` more bytes and then make no progress, until
    // Release(). Stall(0): the device takes nothing.
    void Stall(std::size_t bytes = 0);
    void Release();
    // Called with the bytes of every write, in order, after they were recorded and on the
    // writer's thread (a scripted loader answers from here). Replacing it waits for a call
    // under way: once OnWrite({}) has returned, the old one is never called again.
    void OnWrite(std::function<void(std::string_view)> reply);

    // What the test looks at (any thread).
    std::string Written() const;
    // Bytes fed and not yet read.
    std::size_t Pending() const;
    bool ShutDown() const;
    int Reads() const;  // read calls that brought bytes
    // Threads waiting in WaitReadable() with nothing fed for them to read.
    int IdleWaiters() const;
    // Waits at most `bound` until `done` holds over what has been written.
    bool WaitWritten(const std::function<bool(const std::string&)>& done, std::chrono::milliseconds bound) const;

    // Port
    PortResult Read(void* buffer, std::size_t max) override;
    PortIo WaitReadable(std::chrono::milliseconds bound) override;
    PortResult WriteAll(const char* bytes, std::size_t length, std::chrono::milliseconds stall) override;
    Closed Shutdown(std::chrono::milliseconds drainBound) override;
    bool IsOpen() const override;
    int HangUpError() const override;

private:
    void QueueLocked(const std::string& bytes);

    const Pieces pieces_;
    std::mt19937 rng_;
    std::function<void(std::string_view)> onWrite_;
    std::mutex replyMutex_;  // one write's answer at a time, in the order of the writes

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;  // fed, written, hung up, released, shut down
    std::deque<std::string> queued_;           // pieces, each read whole or in part
    std::string written_;
    std::optional<std::size_t> takes_;         // while stalled: bytes the device still takes
    bool hungUp_ = false;
    int hangUpCode_ = 5;
    int hangUpError_ = -1;  // set when a call has found the hang-up
    bool shutDown_ = false;
    int reads_ = 0;
    int idleWaiters_ = 0;
};
