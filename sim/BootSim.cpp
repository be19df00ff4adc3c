// The simulator's life: its pseudo-terminal (or device), its thread and waits, and the record of
// what the program sent. What the loader answers is in Dialogue.cpp.
#include "sim/BootSim.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <pty.h>
#include <sys/prctl.h>
#include <unistd.h>
#include <utility>

namespace bootsim {

using namespace std::chrono;

namespace {
const char* const kStageNames[] = {"banner", "version", "prompt", "erase", "program", "done", "finished"};
}

const char* StageName(Stage stage)
{
    return kStageNames[static_cast<int>(stage)];
}

std::optional<Stage> ParseStage(const std::string& name)
{
    for (int i = 0; i <= static_cast<int>(Stage::Done); ++i)
        if (name == kStageNames[i])
            return static_cast<Stage>(i);
    return std::nullopt;
}

bool Result::Intact() const
{
    return programmed && sawEnd && doneSent && badRecords == 0 && matchesExpected && !hungUp;
}

std::string Result::Summary() const
{
    char text[256];
    std::snprintf(text, sizeof text, "qz7-bootsim: image %s: %d lines, %zu bytes in %.3f s%s", Intact() ? "intact" : "NOT intact",
                  lines, imageBytes, seconds,
                  !programmed ? " (no \"P\" came)"
                  : hungUp    ? " (line hung up)"
                  : badRecords ? " (bad records)"
                  : !sawEnd   ? " (no end-of-file record)"
                  : !matchesExpected ? " (differs from the expected image)"
                                     : "");
    return text;
}

BootSim::BootSim(Options options) : options_(std::move(options))
{
    if (options_.baud > 0)
        byteTime_ = nanoseconds(10'000'000'000LL / options_.baud);
}

BootSim::~BootSim()
{
    Stop();
    std::lock_guard lock(mutex_);
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

bool BootSim::Open()
{
    if (options_.device) {
        master_ = ::open(options_.device->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master_ < 0)
            return false;
        termios t{};
        tcgetattr(master_, &t);
        initial_ = t;
        cfmakeraw(&t);
        cfsetspeed(&t, B57600);
        tcsetattr(master_, TCSANOW, &t);
        tcflush(master_, TCIOFLUSH);
        slavePath_ = *options_.device;
        return true;
    }
    int slave = -1;
    char name[256] = {};
    if (openpty(&master_, &slave, name, nullptr, nullptr) != 0)
        return false;
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    tcgetattr(master_, &initial_);
    ::close(slave);  // the program under test opens the slave by its path
    slavePath_ = name;
    return true;
}

termios BootSim::SlaveSettings() const
{
    std::lock_guard lock(mutex_);
    termios t = initial_;
    if (master_ >= 0)
        tcgetattr(master_, &t);
    return t;
}

void BootSim::Start()
{
    thread_ = std::thread([this] {
        {
            std::lock_guard lock(cpuMutex_);
            haveCpuClock_ = pthread_getcpuclockid(pthread_self(), &cpuClock_) == 0;
        }
        Run();
        // The thread's clock goes with the thread: keep its last reading.
        std::lock_guard lock(cpuMutex_);
        finalCpu_ = ReadCpuClock();
        haveCpuClock_ = false;
    });
}

double BootSim::ReadCpuClock() const
{
    timespec t{};
    if (!haveCpuClock_ || clock_gettime(cpuClock_, &t) != 0)
        return finalCpu_;
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double BootSim::ThreadCpuSeconds() const
{
    std::lock_guard lock(cpuMutex_);
    return ReadCpuClock();
}

void BootSim::Stop()
{
    {
        std::lock_guard lock(wakeMutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void BootSim::PowerOn()
{
    {
        std::lock_guard lock(wakeMutex_);
        poweredOn_ = true;
    }
    wake_.notify_all();
}

void BootSim::Resume()
{
    {
        std::lock_guard lock(wakeMutex_);
        resumed_ = true;
    }
    wake_.notify_all();
}

void BootSim::Hurry()
{
    {
        std::lock_guard lock(wakeMutex_);
        hurried_ = true;
    }
    wake_.notify_all();
}

void BootSim::Finish()
{
    {
        std::lock_guard lock(wakeMutex_);
        finished_ = true;
    }
    wake_.notify_all();
}

bool BootSim::WaitFinished(milliseconds bound)
{
    std::unique_lock lock(wakeMutex_);
    return wake_.wait_for(lock, bound, [this] { return finished_; });
}

Result BootSim::Snapshot() const
{
    std::lock_guard lock(mutex_);
    Result r = result_;
    r.matchesExpected = !options_.expected || *options_.expected == image_;
    return r;
}

std::string BootSim::AfterDone() const
{
    std::lock_guard lock(mutex_);
    return afterDone_;
}

std::string BootSim::Image() const
{
    std::lock_guard lock(mutex_);
    return image_;
}

std::string BootSim::Wire() const
{
    std::lock_guard lock(mutex_);
    return wire_;
}

void BootSim::Nap(microseconds d, const bool* cut)
{
    if (d.count() <= 0)
        return;
    std::unique_lock lock(wakeMutex_);
    wake_.wait_for(lock, d, [&] { return stop_ || (cut && *cut); });
}

bool BootSim::WaitConfigured()
{
    if (options_.device)
        return !stop_;
    while (!stop_) {
        termios t = SlaveSettings();
        if (cfgetospeed(&t) == B57600 && !(t.c_lflag & ICANON))
            return true;
        std::this_thread::sleep_for(milliseconds(5));
    }
    return false;
}

void BootSim::HangUp()
{
    if (options_.unplugPath) {
        if (int fd = ::open(options_.unplugPath->c_str(), O_WRONLY | O_CLOEXEC); fd >= 0) {
            [[maybe_unused]] ssize_t n = ::write(fd, "\n", 1);
            ::close(fd);
        }
    }
    std::lock_guard lock(mutex_);
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
    result_.hungUp = true;
}

void BootSim::Run()
{
    if (byteTime_.count() > 0)
        prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);  // sleeps end on time, not up to 50 us late
    if (!WaitConfigured()) {
        Finish();
        return;
    }
    {
        std::lock_guard lock(mutex_);
        result_.configured = true;
    }
    Event("configured");
    Nap(options_.powerOnDelay, &poweredOn_);
    if (!stop_)
        answers_.Greet();
    char buffer[4096];
    std::optional<Clock::time_point> lingerUntil;
    while (!stop_ && master_ >= 0) {
        if (options_.device && answers_.Now() == Stage::Finished) {
            // A device does not say when the far end closes: what comes within half a second
            // after "Done" is still taken.
            if (!lingerUntil)
                lingerUntil = Clock::now() + milliseconds(500);
            else if (Clock::now() >= *lingerUntil)
                break;
        }
        if (hangUpDue_ && Clock::now() >= *hangUpDue_) {
            answers_.HangUp();
            Event("hang-up");
            break;
        }
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        if (p.revents & POLLIN) {
            ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) {
                auto readAt = Clock::now();
                for (ssize_t i = 0; i < n && master_ >= 0; ++i) {
                    auto at = Clock::now();
                    if (byteTime_.count() > 0) {
                        // Each byte arrives 10 bit times after the one before it.
                        rxClock_ = std::max(rxClock_, readAt) + byteTime_;
                        SleepUntil(rxClock_);
                        at = rxClock_;
                    }
                    HandleByte(buffer[i], at);
                }
                continue;
            }
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            Event("closed");
            break;  // EIO: the program has closed the port
        }
        if (p.revents & (POLLHUP | POLLERR)) {
            Event("closed");
            break;
        }
    }
    Finish();
}

}  // namespace bootsim
