#pragma once
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <termios.h>

#include "serial/Port.h"

// The port record, the Port on a real serial line: the open descriptor, the settings the port had
// before it was opened, and the path discovery chose. A record is filled once by discovery and never reopened; closing the port
// retires the whole record and the controller installs a fresh one.
//
// Every system call on the descriptor goes through the record's own methods, which hold a shared
// lock for the length of the call. Shutdown() takes the lock exclusively to close the descriptor
// and marks the record closed, so no call can ever reach a descriptor number after it was closed
// (the number may already belong to something newly opened). Waits for the port are polls of at
// most one bound, which Shutdown() cuts short through an eventfd.
class WQSerial : public Port {
public:
    WQSerial();
    ~WQSerial() override;
    WQSerial(const WQSerial&) = delete;
    WQSerial& operator=(const WQSerial&) = delete;

    int32_t PortID() const { return portId_.load(); }
    // A record that takes a descriptor is known to the process's exit hook and its crash handler
    // until it is shut down. The settings to put back are set before the descriptor.
    void setPortID(int32_t id);
    termios termios_archive() const;
    void setTermios_archive(const termios& settings);
    std::optional<std::string> ChosenPath() const;
    void setChosenPath(std::optional<std::string> path);

    // Low-latency flags of the serial driver as found at opening, to be put back at close.
    void setSavedSerialFlags(int flags);

    // True while the record holds a descriptor above 0 that has not been closed.
    bool IsOpen() const override;
    // The errno of the call that found the line hung up (0 when a read found the end of input),
    // or -1 while none has.
    int HangUpError() const override { return hangUpError_.load(); }

    // One non-blocking read of at most `max` bytes. A request for 0 bytes makes no system call.
    PortResult Read(void* buffer, std::size_t max) override;
    // Waits at most `bound` until the port has input (or has hung up, or is being closed).
    // Returns Data when input is ready, Empty on time-out, Closed or HangUp otherwise.
    PortIo WaitReadable(std::chrono::milliseconds bound) override;
    // Writes all `length` bytes, finishing short writes and waiting (in polls of 50 ms) while the
    // output queue is full. Gives up with HangUp when the line hangs up or a write fails for
    // good, and with Stalled after `stall` without any progress on a line that is still up.
    PortResult WriteAll(const char* bytes, std::size_t length, std::chrono::milliseconds stall) override;

    // Lets pending output drain (at most `drainBound`), puts back the saved settings, gives up
    // exclusive use and closes the descriptor. Idempotent; safe against concurrent readers.
    // Only the call that closed the descriptor hears Restored or NotRestored (the settings could
    // not be put back: the adapter is gone); every other call hears NotOpen.
    Closed Shutdown(std::chrono::milliseconds drainBound) override;

    // Shuts down every record that still holds a descriptor. Registered with atexit once the
    // first record takes one, so that an exit that skips the program's own shutdown (the window
    // system gone, a return from main) still puts the port back.
    static void ShutdownAllOpen();

private:
    bool Usable() const;
    void Wake();
    PortResult HungUp(int error, std::size_t count = 0);

    std::atomic<int32_t> portId_{-1};
    std::atomic<int> hangUpError_{-1};
    mutable std::mutex archiveMutex_;
    termios archive_{};
    std::optional<std::string> chosenPath_;
    std::optional<int> savedSerialFlags_;

    mutable std::shared_mutex io_;            // shared: one system call; exclusive: Shutdown
    std::atomic<bool> closing_{false};
    bool closed_ = false;              // written under io_ exclusively
    int wakeFd_ = -1;                  // eventfd, signalled by Shutdown to end waits at once
};

// Takes `fd` out of the crash table, puts back `archive` (and the driver's saved flags, when
// there are any), gives up exclusive use and closes it.
// True when the settings were put back.
bool RestoreAndClose(int fd, const termios& archive, const std::optional<int>& serialFlags);
