#include "serial/WQSerial.h"

#include "serial/CrashRestore.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono;
using namespace std::chrono_literals;

namespace {
// The records holding a descriptor. The lock is held while the exit hook shuts them down, so a
// record cannot be destroyed under it; it is recursive because Shutdown leaves the list itself.
struct OpenRecords {
    std::recursive_mutex mutex;
    std::vector<WQSerial*> records;
};

OpenRecords& Open()
{
    static OpenRecords* open = new OpenRecords;  // never destroyed: the exit hook may run last
    return *open;
}

void Forget(WQSerial* record)
{
    std::lock_guard lock(Open().mutex);
    std::erase(Open().records, record);
}
}  // namespace

WQSerial::WQSerial()
{
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

WQSerial::~WQSerial()
{
    Forget(this);
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

void WQSerial::setPortID(int32_t id)
{
    portId_.store(id);
    if (id <= 0)
        return;
    HoldForCrash(id, termios_archive());
    static std::once_flag hook;
    std::call_once(hook, [] { std::atexit(&WQSerial::ShutdownAllOpen); });
    std::lock_guard lock(Open().mutex);
    if (std::find(Open().records.begin(), Open().records.end(), this) == Open().records.end())
        Open().records.push_back(this);
}

void WQSerial::ShutdownAllOpen()
{
    std::lock_guard lock(Open().mutex);
    std::vector<WQSerial*> records = Open().records;
    for (WQSerial* record : records)
        record->Shutdown(200ms);
}

termios WQSerial::termios_archive() const
{
    std::lock_guard lock(archiveMutex_);
    return archive_;
}

void WQSerial::setTermios_archive(const termios& settings)
{
    std::lock_guard lock(archiveMutex_);
    archive_ = settings;
}

std::optional<std::string> WQSerial::ChosenPath() const
{
    std::lock_guard lock(archiveMutex_);
    return chosenPath_;
}

void WQSerial::setChosenPath(std::optional<std::string> path)
{
    std::lock_guard lock(archiveMutex_);
    chosenPath_ = std::move(path);
}

void WQSerial::setSavedSerialFlags(int flags)
{
    std::lock_guard lock(archiveMutex_);
    savedSerialFlags_ = flags;
}

bool WQSerial::Usable() const
{
    return !closed_ && portId_.load() > 0;
}

bool WQSerial::IsOpen() const
{
    if (closing_.load())
        return false;
    std::shared_lock lock(io_);
    return Usable();
}

void WQSerial::Wake()
{
    if (wakeFd_ >= 0) {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t ignored = ::write(wakeFd_, &one, sizeof one);
    }
}

PortResult WQSerial::Read(void* buffer, std::size_t max)
{
    if (closing_.load())
        return {PortIo::Closed};
    std::shared_lock lock(io_);
    if (!Usable())
        return {PortIo::Closed};
    if (max == 0)
        return {PortIo::Data, 0};
    for (;;) {
        ssize_t n = ::read(portId_.load(), buffer, max);
        if (n > 0)
            return {PortIo::Data, static_cast<std::size_t>(n)};
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return {PortIo::Empty};
        // 0 on a non-blocking tty, or any other failure: the line has hung up.
        return HungUp(n < 0 ? errno : 0);
    }
}

PortResult WQSerial::HungUp(int error, std::size_t count)
{
    int none = -1;
    hangUpError_.compare_exchange_strong(none, error);  // the first cause is the one that counts
    return {PortIo::HangUp, count};
}

PortIo WQSerial::WaitReadable(milliseconds bound)
{
    if (closing_.load())
        return PortIo::Closed;
    std::shared_lock lock(io_);
    if (!Usable())
        return PortIo::Closed;
    pollfd fds[2] = {{portId_.load(), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    int n = ::poll(fds, wakeFd_ >= 0 ? 2 : 1, static_cast<int>(bound.count()));
    if (closing_.load())
        return PortIo::Closed;
    if (n <= 0)
        return PortIo::Empty;  // time-out, or EINTR: the caller looks again
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL))
        return PortIo::Data;   // the next read tells data from hang-up
    return PortIo::Empty;
}

PortResult WQSerial::WriteAll(const char* bytes, std::size_t length, milliseconds stall)
{
    std::size_t done = 0;
    // Since when the output queue has been full without any byte going out (none: it is not);
    // the clock is read only once a write has to wait, which a line written in one go never does.
    constexpr steady_clock::time_point kNotFull{};
    steady_clock::time_point fullSince = kNotFull;
    while (done < length) {
        if (closing_.load())
            return {PortIo::Closed, done};
        std::shared_lock lock(io_);
        if (!Usable())
            return {PortIo::Closed, done};
        ssize_t n = ::write(portId_.load(), bytes + done, length - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            fullSince = kNotFull;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return HungUp(errno, done);
        // Output queue full: wait for room, in short polls, until the stall bound runs out.
        const auto now = steady_clock::now();
        if (fullSince == kNotFull)
            fullSince = now;
        else if (now - fullSince > stall)
            return {PortIo::Stalled, done};
        pollfd fds[2] = {{portId_.load(), POLLOUT, 0}, {wakeFd_, POLLIN, 0}};
        ::poll(fds, wakeFd_ >= 0 ? 2 : 1, 50);
        if (fds[0].revents & (POLLHUP | POLLERR))
            return HungUp(EIO, done);
    }
    return {PortIo::Data, done};
}

WQSerial::Closed WQSerial::Shutdown(milliseconds drainBound)
{
    closing_.store(true);
    Wake();
    Forget(this);  // before io_: the exit hook takes the two locks in the other order
    std::unique_lock lock(io_);
    if (closed_)
        return Closed::NotOpen;
    closed_ = true;
    int fd = portId_.load();
    if (fd <= 0)
        return Closed::NotOpen;

    // Let what was written go out, but never wait on a stuck line for longer than the bound:
    // the output queue is watched, and whatever is still in it then is discarded, so that
    // neither the drain nor the close can hang.
    auto deadline = steady_clock::now() + drainBound;
    int queued = 0;
    while (ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0 && steady_clock::now() < deadline)
        std::this_thread::sleep_for(milliseconds(2));
    if (queued > 0)
        tcflush(fd, TCOFLUSH);
    else
        tcdrain(fd);

    std::optional<int> serialFlags;
    {
        std::lock_guard guard(archiveMutex_);
        serialFlags = savedSerialFlags_;
    }
    return RestoreAndClose(fd, termios_archive(), serialFlags) ? Closed::Restored : Closed::NotRestored;
}

bool RestoreAndClose(int fd, const termios& archive, const std::optional<int>& serialFlags)
{
    // Out of the crash table first, so that the crash handler never reaches a closed number. A
    // crash between this line and the restore below leaves the port as it is: the window is
    // these few calls long.
    if (!ReleaseFromCrash(fd))
        return false;  // a crash handler has it and is ending the process
    // On a line that has hung up (the adapter unplugged) this fails: nothing can be put back.
    bool restored = tcsetattr(fd, TCSANOW, &archive) == 0;
    if (serialFlags) {
        serial_struct ss{};
        if (ioctl(fd, TIOCGSERIAL, &ss) == 0) {
            ss.flags = *serialFlags;
            ioctl(fd, TIOCSSERIAL, &ss);
        }
    }
    ioctl(fd, TIOCNXCL);  // so that the device can be opened again at once
    ::close(fd);
    return restored;
}
