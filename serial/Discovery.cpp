#include "serial/Discovery.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

PathChoice ExplainChoice(const std::vector<SerialService>& services, std::optional<std::string> previous)
{
    // The services the rule lists: those with a name, in order, at most 50 names; a name without
    // a path is listed but ends the listing (it has no partner).
    PathChoice choice;
    choice.path = std::move(previous);
    std::size_t names = 0;
    for (std::size_t i = 0; i < services.size(); ++i) {
        const SerialService& service = services[i];
        choice.considered = i + 1;
        if (service.name) {
            ++names;
            if (!service.path)
                break;
            std::string lower = *service.name;
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            for (const char* word : {"usb", "pl2303", "serial"}) {
                if (lower.find(word) != std::string::npos) {
                    choice.path = service.path;
                    choice.chosen = i;
                    choice.word = word;
                    break;
                }
            }
        }
        if (names >= kMaxListedNames)
            break;
    }
    return choice;
}

std::optional<std::string> ChoosePath(const std::vector<SerialService>& services,
                                      std::optional<std::string> previous)
{
    return ExplainChoice(services, std::move(previous)).path;
}

OpenResult OpenAndConfigure(const std::string& path)
{
    OpenResult result;
    auto fail = [&](const char* step, int error) {
        result.fd = -1;
        result.failure = {step, error};
        return result;
    };
    if (std::any_of(path.begin(), path.end(), [](unsigned char c) { return c > 127 || c == 0; }))
        return fail("open", EINVAL);
    int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return fail("open", errno);
    if (fd == 0) {
        // Descriptor 0 would count as "not open" everywhere else: move it up.
        int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
        int error = errno;
        ::close(fd);
        if (moved < 0)
            return fail("open", error);
        fd = moved;
    }
    termios settings{};
    if (ioctl(fd, TIOCEXCL) != 0) {
        int error = errno;
        ::close(fd);
        return fail("TIOCEXCL", error);
    }
    if (tcgetattr(fd, &settings) != 0) {
        int error = errno;
        ioctl(fd, TIOCNXCL);  // exclusive use would outlive the descriptor
        ::close(fd);
        return fail("tcgetattr", error);
    }
    result.archive = settings;
    result.archived = true;
    cfmakeraw(&settings);
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 5;
    cfsetspeed(&settings, B57600);
    settings.c_cflag |= CS8;
    if (tcsetattr(fd, TCSANOW, &settings) != 0) {
        int error = errno;
        ioctl(fd, TIOCNXCL);
        ::close(fd);
        return fail("tcsetattr", error);
    }
    // A USB adapter may hold a received byte for milliseconds before passing it on; ask its
    // driver for low latency where it has the setting (a pseudo-terminal has not).
    serial_struct ss{};
    if (ioctl(fd, TIOCGSERIAL, &ss) == 0) {
        int found = ss.flags;
        ss.flags |= ASYNC_LOW_LATENCY;
        if (ioctl(fd, TIOCSSERIAL, &ss) == 0)
            result.serialFlags = found;
    }
    result.fd = fd;
    return result;
}
