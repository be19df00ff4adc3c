#include "sim/Replay.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono;

namespace bootsim {
namespace {

std::string Seconds(long long micros)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f s", static_cast<double>(micros) / 1e6);
    return text;
}

std::string Quote(const std::string& bytes)
{
    return "\"" + capture::Escaped(bytes) + "\"";
}

}  // namespace

Replay::Replay(capture::Recording recording, Options options)
    : recording_(std::move(recording)), options_(std::move(options))
{
    if (!(options_.speed > 0))
        options_.speed = 1.0;
}

Replay::~Replay()
{
    if (master_ >= 0)
        ::close(master_);
}

bool Replay::Open()
{
    int slave = -1;
    char name[256] = {};
    if (openpty(&master_, &slave, name, nullptr, nullptr) != 0)
        return false;
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::close(slave);  // the program under test opens the slave by its path
    slavePath_ = name;
    return true;
}

int Replay::ExitStatus(Status status)
{
    switch (status) {
    case Status::Matched: return 0;
    case Status::Differed: return 3;
    case Status::Unfinished: return 4;
    }
    return 4;
}

void Replay::Tell(const std::string& what) const
{
    if (options_.onEvent)
        options_.onEvent(what);
}

bool Replay::WaitConfigured()
{
    // The program has opened the slave once it has set it to 57600 baud, raw, as it does at once.
    const auto deadline = Clock::now() + options_.timeout;
    while (!stop_) {
        termios t{};
        if (tcgetattr(master_, &t) == 0 && cfgetospeed(&t) == B57600 && !(t.c_lflag & ICANON))
            return true;
        if (options_.timeout.count() > 0 && Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(milliseconds(5));
    }
    return false;
}

bool Replay::Send(const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size() && !stop_) {
        ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 20);
            continue;
        }
        return false;
    }
    return done == bytes.size();
}

Replay::Result Replay::Differ(std::size_t event, Clock::time_point at, const std::string& expected, const std::string& got)
{
    const auto& events = recording_.events;
    const long long recorded = event < events.size() ? events[event].t : (events.empty() ? 0 : events.back().t);
    const long long now = duration_cast<microseconds>(at - opened_).count();
    Result r;
    r.status = Status::Differed;
    r.events = event;
    r.report = "qz7-bootsim: replay: first difference at event " + std::to_string(event + 1) + " (line " +
               std::to_string(event + 2) + " of the capture), " + Seconds(now) + " after the open (recorded at " +
               Seconds(recorded) + "): expected " + expected + ", got " + got;
    return r;
}

Replay::Result Replay::Run()
{
    const auto& events = recording_.events;
    const auto started = Clock::now();
    auto timedOut = [&] { return options_.timeout.count() > 0 && Clock::now() - started >= options_.timeout; };
    Result unfinished;
    if (!WaitConfigured()) {
        unfinished.report = "qz7-bootsim: replay: the program did not open the port";
        return unfinished;
    }
    opened_ = Clock::now();
    Tell("configured");

    auto nextOf = [&](std::size_t from, bool write) {
        std::size_t i = from;
        while (i < events.size()) {
            const bool isWrite = events[i].kind == capture::Event::Write;
            const bool isPlayed = events[i].kind == capture::Event::Read || events[i].kind == capture::Event::HangUp;
            if (write ? isWrite : isPlayed)
                break;
            ++i;
        }
        return i;
    };
    std::size_t w = nextOf(0, true);    // the write the program's next byte belongs to
    std::size_t offset = 0;             // bytes of it already matched
    std::size_t r = nextOf(0, false);   // the next read (or hang-up) to play
    Clock::time_point anchor = opened_; // when the last matched write completed here
    long long anchorRecorded = 0;       // ... and in the recording
    char buffer[4096];

    for (;;) {
        if (stop_ || timedOut()) {
            unfinished.events = std::min(w, r);
            unfinished.report = "qz7-bootsim: replay: stopped at event " + std::to_string(std::min(w, r) + 1) + " of " +
                                std::to_string(events.size());
            return unfinished;
        }
        // The next read is played once every write recorded before it has come, at its time
        // counted from the last of them.
        std::optional<Clock::time_point> due;
        if (r < events.size() && w > r) {
            const long long wait = std::max(0LL, events[r].t - anchorRecorded);
            due = anchor + duration_cast<Clock::duration>(duration<double, std::micro>(static_cast<double>(wait) / options_.speed));
        }
        if (due && Clock::now() >= *due) {
            const capture::Event& e = events[r];
            if (e.kind == capture::Event::HangUp) {
                Tell("hang-up");
                ::close(master_);
                master_ = -1;
                Result done;
                done.status = Status::Matched;
                done.events = r + 1;
                done.report = "qz7-bootsim: replay: " + std::to_string(r + 1) + " events matched, the line hung up as recorded";
                return done;
            }
            if (!Send(e.bytes))
                return Differ(r, Clock::now(), "the port open to take " + Quote(e.bytes), "the port closed");
            Tell("read " + std::to_string(r + 1));
            r = nextOf(r + 1, false);
            continue;
        }
        int bound = 20;
        if (due) {
            const auto left = duration_cast<milliseconds>(*due - Clock::now()).count();
            bound = static_cast<int>(std::clamp<long long>(left, 0, 20));
        }
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, bound) <= 0)
            continue;
        ssize_t n = (p.revents & POLLIN) ? ::read(master_, buffer, sizeof buffer) : -1;
        if (n < 0 && (errno == EAGAIN || errno == EINTR) && !(p.revents & (POLLHUP | POLLERR)))
            continue;
        const auto at = Clock::now();
        if (n <= 0) {
            // The program has closed the port.
            if (w < events.size())
                return Differ(w, at, Quote(events[w].bytes.substr(offset)), "the port closed");
            Tell("closed");
            Result done;
            done.status = Status::Matched;
            done.events = events.size();
            done.report = "qz7-bootsim: replay: all " + std::to_string(events.size()) + " events matched";
            return done;
        }
        std::string got(buffer, static_cast<std::size_t>(n));
        for (std::size_t i = 0; i < got.size(); ++i) {
            if (w >= events.size())
                return Differ(events.size(), at, "nothing more (the recording ends)", Quote(got.substr(i)));
            const std::string& expected = events[w].bytes;
            if (got[i] != expected[offset])
                return Differ(w, at, Quote(expected.substr(offset)), Quote(got.substr(i)));
            if (++offset == expected.size()) {
                Tell("write " + std::to_string(w + 1));
                anchor = at;
                anchorRecorded = events[w].t;
                offset = 0;
                w = nextOf(w + 1, true);
            }
        }
    }
}

}  // namespace bootsim
