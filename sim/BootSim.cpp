#include "sim/BootSim.h"

#include "hex/HexRecord.h"

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

BootSim::BootSim(Options options) : options_(std::move(options)), rng_(options_.seed)
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

void BootSim::SleepUntil(Clock::time_point t)
{
    // Line-rate emulation needs the byte times to hold to a few microseconds: sleep until
    // shortly before the deadline, then wait out the rest on the processor. (The timer slack
    // of this thread is set to its minimum in Run().)
    constexpr auto kSpin = microseconds(60);
    if (t - Clock::now() > kSpin)
        std::this_thread::sleep_until(t - kSpin);
    while (Clock::now() < t) {
    }
}

void BootSim::Event(const std::string& what) const
{
    if (options_.onEvent)
        options_.onEvent(what);
}

bool BootSim::Silent(Stage stage) const
{
    return options_.silentFrom && stage >= *options_.silentFrom;
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
    stage_ = Stage::Finished;
}

void BootSim::SendRaw(const std::string& bytes)
{
    if (master_ < 0)
        return;
    if (byteTime_.count() > 0) {
        for (char c : bytes) {
            txClock_ = std::max(txClock_, Clock::now()) + byteTime_;
            SleepUntil(txClock_);
            [[maybe_unused]] ssize_t n = ::write(master_, &c, 1);
        }
        return;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

void BootSim::Send(Stage stage, const std::vector<std::string>& lines)
{
    if (options_.hangUpAt && *options_.hangUpAt == stage) {
        HangUp();
        Event("hang-up");
        return;
    }
    if (Silent(stage))
        return;
    Event(StageName(stage));
    std::vector<std::string> out;
    auto other = options_.replies.find(stage);
    for (const std::string& line : other != options_.replies.end() ? std::vector<std::string>{other->second} : lines)
        out.push_back(line + "\r\n");
    if (options_.highByteAt && *options_.highByteAt == stage && !out.empty())
        out.back().insert(out.back().size() / 2, 1, '\xC9');
    std::string suffix;
    if (auto s = options_.suffixes.find(stage); s != options_.suffixes.end())
        suffix = s->second;
    if (stage == Stage::Erase && options_.earlyAsterisk && !options_.failErase)
        suffix += '*';
    if (!out.empty())
        out.back() += suffix;

    std::string all;
    for (const std::string& s : out)
        all += s;
    switch (options_.chunking) {
    case Chunking::Whole:
        for (const std::string& s : out)
            SendRaw(s);
        break;
    case Chunking::Merged:
        SendRaw(all);
        break;
    case Chunking::Bytes:
        for (char c : all) {
            SendRaw(std::string(1, c));
            Nap(milliseconds(2));
        }
        break;
    case Chunking::Random:
        for (std::size_t at = 0; at < all.size();) {
            std::size_t piece = std::min<std::size_t>(1 + rng_() % 6, all.size() - at);
            SendRaw(all.substr(at, piece));
            at += piece;
            Nap(microseconds(200 + rng_() % 2000));
        }
        break;
    }
}

void BootSim::SendAsterisk()
{
    if (Silent(Stage::Program))
        return;
    std::string noise;
    for (int i = 0; i < options_.noiseBytes; ++i) {
        char c;
        do
            c = static_cast<char>(rng_() & 0xFF);
        while (c == '*');
        noise += c;
    }
    if (!noise.empty())
        SendRaw(noise);
    SendRaw(std::string(static_cast<std::size_t>(std::max(options_.asterisksPerLine, 1)), '*'));
    lastAsterisk_ = byteTime_.count() > 0 ? txClock_ : Clock::now();
    asteriskPending_ = true;
}

void BootSim::FinishLine(Clock::time_point at)
{
    std::string line = std::exchange(line_, std::string());
    std::string record = line;
    while (!record.empty() && (record.back() == '\n' || record.back() == '\r'))
        record.pop_back();
    int type = IntelHexRecordType(record);
    int lines = 0;
    {
        std::lock_guard lock(mutex_);
        lines = ++result_.lines;
        if (type < 0)
            ++result_.badRecords;
        if (asteriskPending_)
            result_.turnaroundUs.push_back(duration<double, std::micro>(at - lastAsterisk_).count());
    }
    asteriskPending_ = false;

    if (type == 1) {
        {
            std::lock_guard lock(mutex_);
            result_.sawEnd = true;
        }
        Nap(options_.lineDelay);
        stage_ = Stage::Done;
        Send(Stage::Done, {"Done"});
        std::lock_guard lock(mutex_);
        result_.doneSent = master_ >= 0 && !Silent(Stage::Done);
        result_.seconds = duration<double>(Clock::now() - started_).count();
        stage_ = Stage::Finished;
        return;
    }
    if (lines % 250 == 0)
        Event("line " + std::to_string(lines));
    if (options_.restartAfterLines && lines >= *options_.restartAfterLines) {
        // The device restarts: its boot loader greets again and waits for "y", the erased
        // memory left as it is.
        Event("restart");
        stage_ = Stage::Banner;
        Send(Stage::Banner, {options_.banner});
        if (stage_ != Stage::Finished)
            stage_ = Stage::Version;
        return;
    }
    if (options_.hangUpAfterLines && lines >= *options_.hangUpAfterLines) {
        HangUp();
        Event("hang-up");
        return;
    }
    Nap(options_.lineDelay);
    if (options_.pauseAfterLines && lines == *options_.pauseAfterLines) {
        Event("pause");
        Nap(options_.pause, &resumed_);
    }
    if (creditsAhead_ > 0)
        --creditsAhead_;
    else if (!SendLineForAsterisk(lines))
        SendAsterisk();
}

bool BootSim::SendLineForAsterisk(int lines)
{
    if (!options_.lineForAsteriskAfter || lines < *options_.lineForAsteriskAfter)
        return false;
    Event("line instead of asterisk");
    Send(Stage::Program, {options_.lineForAsterisk});
    stage_ = Stage::Finished;  // the loader has given up on the image
    return true;
}

void BootSim::HandleByte(char byte, Clock::time_point at)
{
    bool programmed = false;
    {
        std::lock_guard lock(mutex_);
        if (result_.doneSent) {
            // After "Done" the conversation is over. What still comes (the echo of a late line
            // end once the port is back in its cooked settings) is kept apart.
            afterDone_ += byte;
            return;
        }
        wire_ += byte;
        // The image ends with the end-of-file record. What may follow (such as the echo of a
        // line end once the program has put the port back into its cooked settings) is not part
        // of it.
        if (result_.programmed && !result_.sawEnd) {
            image_ += byte;
            result_.imageBytes = image_.size();
        }
        programmed = result_.programmed;
    }
    Stage stage = stage_;
    if (stage == Stage::Program && programmed) {
        line_ += byte;
        if (byte == '\n')
            FinishLine(at);
        return;
    }
    if (stage == Stage::Finished || stage == Stage::Done || stage == Stage::Banner)
        return;
    if (options_.echo)
        SendRaw(std::string(1, byte) + "\r\n");
    if (byte == 'y') {
        if (stage == Stage::Version) {
            if (options_.version)
                Send(Stage::Version, {*options_.version});
            else
                Send(Stage::Version, {"E or P?"});
            if (options_.hangUpAfterVersion)
                hangUpDue_ = Clock::now() + *options_.hangUpAfterVersion;
            if (stage_ != Stage::Finished)
                stage_ = Stage::Prompt;
        } else if (menuLine_ < options_.extraLines) {
            // The loader pages its menu: each "y" brings the next line, the prompt last.
            ++menuLine_;
            Send(Stage::Prompt, {"Menu line " + std::to_string(menuLine_)});
        } else {
            menuLine_ = 0;
            Send(Stage::Prompt, {"E or P?"});
        }
    } else if (byte == 'E' && stage != Stage::Version) {
        stage_ = Stage::Erase;
        Nap(options_.eraseDelay);
        Send(Stage::Erase, {options_.failErase ? "Not Erased" : "Erased"});
        if (stage_ != Stage::Finished)
            stage_ = Stage::Program;
    } else if (byte == 'P' && stage != Stage::Version) {
        stage_ = Stage::Program;
        started_ = Clock::now();
        Event("programming");
        {
            std::lock_guard lock(mutex_);
            result_.programmed = true;
        }
        if (options_.hangUpAfterLines && *options_.hangUpAfterLines == 0) {
            HangUp();
            return;
        }
        for (int i = 0; i < options_.burstAsterisks; ++i)
            SendRaw("*");
        creditsAhead_ = options_.burstAsterisks;
        if (!SendLineForAsterisk(0) && !(options_.earlyAsterisk && !options_.failErase))
            SendAsterisk();
        if (options_.burstStall.count() > 0)
            Nap(options_.burstStall);  // the program's writes pile up meanwhile
    }
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
    if (!stop_) {
        Send(Stage::Banner, {options_.banner});
        if (stage_ != Stage::Finished)
            stage_ = Stage::Version;
    }
    char buffer[4096];
    std::optional<Clock::time_point> lingerUntil;
    while (!stop_ && master_ >= 0) {
        if (options_.device && stage_ == Stage::Finished) {
            // A device does not say when the far end closes: what comes within half a second
            // after "Done" is still taken.
            if (!lingerUntil)
                lingerUntil = Clock::now() + milliseconds(500);
            else if (Clock::now() >= *lingerUntil)
                break;
        }
        if (hangUpDue_ && Clock::now() >= *hangUpDue_) {
            HangUp();
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
