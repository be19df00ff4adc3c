#pragma once
#include "serial/PortIo.h"

#include <chrono>
#include <cstddef>

// The port as the dialogue uses it: non-blocking reads, a bounded wait for input, whole writes
// with a bound on how long they may make no progress, and a shut-down that ends every wait at
// once. WQSerial is the implementation on a real descriptor (POSIX termios); tests use one in
// memory (ScriptedPort) that needs no terminal at all.
//
// Every call is safe from any thread, also against a concurrent Shutdown(): a call that comes
// after it, or that it cuts short, hears Closed.
class Port {
public:
    virtual ~Port() = default;

    // One non-blocking read of at most `max` bytes: Data with the count, Empty when nothing is
    // pending, Closed or HangUp otherwise.
    virtual PortResult Read(void* buffer, std::size_t max) = 0;
    // Waits at most `bound` until the port has input (or has hung up, or is being closed).
    // Returns Data when input is ready, Empty on time-out, Closed or HangUp otherwise.
    virtual PortIo WaitReadable(std::chrono::milliseconds bound) = 0;
    // Writes all `length` bytes. Gives up with HangUp when the line hangs up, and with Stalled
    // after `stall` without any progress on a line that is still up.
    virtual PortResult WriteAll(const char* bytes, std::size_t length, std::chrono::milliseconds stall) = 0;

    // Lets pending output drain (at most `drainBound`) and closes the port. Idempotent. Only the
    // call that closed it hears Restored or NotRestored (its settings could not be put back);
    // every other call hears NotOpen.
    enum class Closed { NotOpen, Restored, NotRestored };
    virtual Closed Shutdown(std::chrono::milliseconds drainBound) = 0;

    // True while the port is open and not being shut down.
    virtual bool IsOpen() const = 0;
    // The errno of the call that found the line hung up (0 when a read found the end of input),
    // or -1 while none has.
    virtual int HangUpError() const = 0;
};
