#pragma once
#include "serial/DevNodeWatch.h"
#include "serial/Discovery.h"

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// The kernel's device events (uevents), read from its netlink group, which the kernel sends
// whether or not udev runs. Used to tell when a serial port came or went without asking for the
// whole list of ports.
class UeventWatch {
public:
    // Opens a non-blocking socket on the kernel's event group; without one, Watching() is false.
    UeventWatch();
    // Takes over `fd`, a non-blocking datagram socket that delivers messages in the kernel's form.
    explicit UeventWatch(int fd);
    ~UeventWatch();
    UeventWatch(const UeventWatch&) = delete;
    UeventWatch& operator=(const UeventWatch&) = delete;

    bool Watching() const { return fd_ >= 0; }
    // Reads every message waiting, without blocking. True when a tty device was added or removed,
    // or when messages were lost (the socket's buffer overflowed).
    bool TtyAddedOrRemoved();

private:
    int fd_ = -1;
};

// The system's serial ports, enumerated only when they may have changed: on the first call, when
// a tty device was added or removed, and once more shortly after that (udev may still be filling
// in the adapter's details and permissions when the kernel's event comes). New and removed tty
// nodes in /dev count as such events too, since the kernel's do not reach every process. Without
// either watch the list is also renewed every kRefreshBlind, with one every kRefreshWatching. Every other call returns the list it holds at the cost
// of one non-blocking read; one enumeration costs about as much as 15 ms of a core. Calls are
// serialised.
class CachedPortListing {
public:
    using Enumerate = std::function<std::optional<std::vector<SerialService>>()>;
    static constexpr std::chrono::seconds kRefreshBlind{5};
    static constexpr std::chrono::seconds kRefreshWatching{60};
    static constexpr std::chrono::seconds kSettle{1};

    // `nodes`, when given, is a second source of changes: new and removed tty nodes in /dev.
    CachedPortListing(Enumerate enumerate, std::unique_ptr<UeventWatch> watch,
                      std::unique_ptr<DevNodeWatch> nodes = nullptr);
    std::optional<std::vector<SerialService>> Current();

private:
    std::mutex mutex_;
    Enumerate enumerate_;
    std::unique_ptr<UeventWatch> watch_;
    std::unique_ptr<DevNodeWatch> nodes_;
    std::optional<std::vector<SerialService>> listing_;
    std::chrono::steady_clock::time_point enumerated_{};
    std::optional<std::chrono::steady_clock::time_point> settleAt_;
};

// One enumeration of the system's serial ports through QSerialPortInfo.
std::optional<std::vector<SerialService>> EnumerateSerialPorts();
