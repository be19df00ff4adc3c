// qz7-floor: the least a program must do to update a QZ7 through its boot loader, as a yardstick
// for the updater in the benchmark. One thread, one poll(2) loop, no toolkit: it answers the
// banner, the version and the prompt with "y", the prompt with "E", "Erased" with "P", writes one
// image line for each asterisk, and ends at "Done".
//
// Usage: qz7-floor PORT IMAGE [TIMEOUT_S]
// Exit status: 0 after "Done", 1 when the device said something else or went away, 2 on bad use.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "qz7-floor: %s\n", what.c_str());
    std::exit(1);
}

bool ReadFile(const char* path, std::string& out)
{
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return n == 0;
}

bool IsLineEnd(char c)
{
    return c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The updater's line rule: a line runs up to and including the character after its first line
// end; text from there up to the next ':' is skipped. A last piece without that is sent whole.
std::vector<std::string_view> SplitLines(std::string_view image)
{
    std::vector<std::string_view> lines;
    while (!image.empty()) {
        std::size_t end = 0;
        while (end < image.size() && !IsLineEnd(image[end]))
            ++end;
        if (end + 2 > image.size()) {
            lines.push_back(image);
            break;
        }
        lines.push_back(image.substr(0, end + 2));
        std::size_t next = image.find(':', end + 2);
        image.remove_prefix(next == std::string_view::npos ? image.size() : next);
    }
    return lines;
}

double Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

enum class Stage { Banner, Version, Prompt, Erase, Program, Done };

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: qz7-floor PORT IMAGE [TIMEOUT_S]\n");
        return 2;
    }
    std::string image;
    if (!ReadFile(argv[2], image)) {
        std::fprintf(stderr, "qz7-floor: cannot read %s: %s\n", argv[2], std::strerror(errno));
        return 2;
    }
    const std::vector<std::string_view> lines = SplitLines(image);
    const double deadline = Now() + (argc == 4 ? std::atof(argv[3]) : 120.0);

    int fd = ::open(argv[1], O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        Fail(std::string("cannot open ") + argv[1] + ": " + std::strerror(errno));
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        Fail(std::string("not a terminal: ") + argv[1]);
    cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    cfsetspeed(&t, B57600);
    if (tcsetattr(fd, TCSANOW, &t) != 0)
        Fail(std::string("cannot set the line: ") + std::strerror(errno));

    Stage stage = Stage::Banner;
    std::string reply;    // the reply line being gathered
    std::string out;      // bytes not yet taken by the driver
    std::size_t next = 0;  // the next image line to send
    char buffer[4096];

    auto say = [&](const char* text) { out += text; };
    // Judges one complete reply line and answers it.
    auto onLine = [&](const std::string& line) {
        switch (stage) {
        case Stage::Banner:
            if (line.find("QZ-7") != std::string::npos) {
                say("y");
                stage = Stage::Version;
            }
            break;
        case Stage::Version:  // a version, or the prompt from a loader without one
            if (line.find('V') != std::string::npos || line.find("E or P") != std::string::npos) {
                say("y");
                stage = Stage::Prompt;
            }
            break;
        case Stage::Prompt:  // a paged menu line is answered with one more "y"
            if (line.find("E or P?") != std::string::npos) {
                say("E");
                stage = Stage::Erase;
            } else {
                say("y");
            }
            break;
        case Stage::Erase:
            if (line.find("Not") != std::string::npos)
                Fail("the erase failed: " + line);
            if (line.find("Erased") != std::string::npos) {
                say("P");
                stage = lines.empty() ? Stage::Done : Stage::Program;
            }
            break;
        case Stage::Program:
            break;
        case Stage::Done:
            if (line.find("Done") != std::string::npos) {
                ::close(fd);
                std::exit(0);
            }
            break;
        }
    };

    for (;;) {
        double left = deadline - Now();
        if (left <= 0)
            Fail("timed out");
        pollfd p{fd, static_cast<short>(POLLIN | (out.empty() ? 0 : POLLOUT)), 0};
        int timeoutMs = left > 0.1 ? 100 : static_cast<int>(left * 1000) + 1;
        int ready = ::poll(&p, 1, timeoutMs);
        if (ready < 0 && errno != EINTR)
            Fail(std::string("poll: ") + std::strerror(errno));
        if (ready <= 0)
            continue;
        if (p.revents & POLLIN) {
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                Fail(std::string("read: ") + std::strerror(errno));
            for (ssize_t i = 0; i < n; ++i) {
                char c = buffer[i];
                if (stage == Stage::Program) {
                    if (c != '*')
                        continue;  // anything but the asterisk is dropped
                    out.append(lines[next]);
                    if (++next == lines.size())
                        stage = Stage::Done;
                    continue;
                }
                if (IsLineEnd(c)) {
                    if (!reply.empty())
                        onLine(reply);
                    reply.clear();
                } else {
                    reply += c;
                }
            }
        } else if (p.revents & (POLLHUP | POLLERR)) {
            Fail("the line hung up");
        }
        if (!out.empty() && (p.revents & POLLOUT || p.revents & POLLIN)) {
            ssize_t n = ::write(fd, out.data(), out.size());
            if (n > 0)
                out.erase(0, static_cast<std::size_t>(n));
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                Fail(std::string("write: ") + std::strerror(errno));
        }
    }
}
