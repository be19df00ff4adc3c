#include "serial/Discovery.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <optional>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

namespace {
// The device numbers of the terminals this program runs on: the controlling terminal (/dev/tty
// stands for it whatever it is) and the terminal on standard input, output or error. Made raw and
// exclusive, such a terminal would no longer take the operator's Ctrl+C.
bool OwnTerminal(dev_t device)
{
    if (major(device) == 5 && minor(device) == 0)  // /dev/tty
        return true;
    for (int fd = 0; fd <= 2; ++fd) {
        struct stat st {};
        if (::isatty(fd) == 1 && ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == device)
            return true;
    }
    int tty = ::open("/dev/tty", O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (tty < 0)
        return false;  // no controlling terminal
    struct stat st {};
    bool same = ::fstat(tty, &st) == 0 && st.st_rdev == device;
    ::close(tty);
    return same;
}

// A pseudo-terminal multiplexer hands out a new master at every open: never an adapter.
bool Multiplexer(dev_t device)
{
    return major(device) == 5 && minor(device) == 2;
}

// Whether a terminal driver serves the character device, by the kernel's own list of them
// ("name node major minor-range type" a line, the range "64" or "64-95"); absent when the list
// cannot be read (no /proc), so that nothing is refused on a guess.
std::optional<bool> TerminalDriverServes(dev_t device)
{
    std::FILE* drivers = std::fopen("/proc/tty/drivers", "re");
    if (!drivers)
        return std::nullopt;
    bool served = false;
    bool read = false;
    char line[512];
    while (!served && std::fgets(line, sizeof line, drivers)) {
        char name[128], node[128], range[64];
        unsigned number = 0;
        if (std::sscanf(line, "%127s %127s %u %63s", name, node, &number, range) != 4)
            continue;
        read = true;
        unsigned first = 0, last = 0;
        const int parts = std::sscanf(range, "%u-%u", &first, &last);
        if (parts < 1)
            continue;
        if (parts == 1)
            last = first;
        served = major(device) == number && minor(device) >= first && minor(device) <= last;
    }
    std::fclose(drivers);
    if (!read)
        return std::nullopt;
    return served;
}
}  // namespace

OpenFailure RefusedDevice(const std::string& path)
{
    if (path.find('\0') != std::string::npos)
        return {"open", EINVAL};
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {"open", errno};
    if (!S_ISCHR(st.st_mode) || Multiplexer(st.st_rdev))
        return {"open", ENOTTY};
    if (OwnTerminal(st.st_rdev))
        return {kOwnTerminalStep, ENOTTY};
    if (TerminalDriverServes(st.st_rdev) == false)
        return {kNoTerminalStep, ENOTTY};
    return {};
}

bool SamePort(const std::string& a, const std::string& b)
{
    if (a == b)
        return true;
    struct stat first {}, second {};
    if (a.find('\0') != std::string::npos || b.find('\0') != std::string::npos || ::stat(a.c_str(), &first) != 0 ||
        ::stat(b.c_str(), &second) != 0)
        return false;
    if (S_ISCHR(first.st_mode) && S_ISCHR(second.st_mode))
        return first.st_rdev == second.st_rdev;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string DescribeLowLatency(const LowLatency& low)
{
    // For the transcript: English whatever the locale.
    auto why = [&] {
        const char* text = strerrordesc_np(low.error);
        return std::string(text ? text : "unknown error") + ", errno " + std::to_string(low.error);
    };
    switch (low.outcome) {
    case LowLatency::Kept:
        return "low latency: on";
    case LowLatency::NotKept:
        return "low latency: not kept by the driver";
    case LowLatency::Refused:
        return "low latency: refused by the driver (" + why() + ")";
    case LowLatency::NoSetting:
        break;
    }
    return "low latency: no such setting (" + why() + ")";
}

OpenResult OpenAndConfigure(const std::string& path)
{
    OpenResult result;
    auto fail = [&](const char* step, int error) {
        result.fd = -1;
        result.failure = {step, error};
        return result;
    };
    // Looked at before the open: opening some devices already does something (a new
    // pseudo-terminal, a tape that rewinds on close). The path is taken byte for byte, as the
    // file system takes it.
    if (OpenFailure refused = RefusedDevice(path); refused.error != 0) {
        result.failure = refused;
        return result;
    }
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
    // The path may have been replaced between the look and the open.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) || Multiplexer(st.st_rdev) || OwnTerminal(st.st_rdev)) {
        ::close(fd);
        return fail("open", ENOTTY);
    }
    // Exclusive use does not keep out a privileged program (root opens a TIOCEXCL port all the
    // same), so the port is also locked, as serial terminal programs lock it: two updaters never
    // share one adapter. The lock goes with the descriptor's close.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        return fail("flock", error);
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
        if (ioctl(fd, TIOCSSERIAL, &ss) == 0) {
            result.serialFlags = found;
            serial_struct now{};
            bool kept = ioctl(fd, TIOCGSERIAL, &now) == 0 && (now.flags & ASYNC_LOW_LATENCY);
            result.lowLatency = {kept ? LowLatency::Kept : LowLatency::NotKept, 0};
        } else {
            result.lowLatency = {LowLatency::Refused, errno};
        }
    } else {
        result.lowLatency = {LowLatency::NoSetting, errno};
    }
    result.fd = fd;
    return result;
}

std::vector<PortVerdict> JudgePorts(const std::vector<SerialService>& services)
{
    const PathChoice choice = ExplainChoice(services, std::nullopt);
    std::vector<PortVerdict> verdicts;
    for (std::size_t i = 0; i < services.size(); ++i) {
        const SerialService& s = services[i];
        PortVerdict v;
        if (i >= choice.considered) {
            v.why = "after the listing's end: a name without a path, or more than 50 names, comes before it";
        } else if (!s.name) {
            v.why = "it has no name";
        } else {
            std::string lower = *s.name;
            std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
            for (const char* word : {"usb", "pl2303", "serial"})
                if (v.word.empty() && lower.find(word) != std::string::npos)
                    v.word = word;
            if (v.word.empty())
                v.why = "its name holds none of \"usb\", \"pl2303\" or \"serial\"";
            else if (!s.path)
                v.word.clear(), v.why = "it has no device path";
            else
                v.why = "its name holds \"" + v.word + "\"";
        }
        verdicts.push_back(v);
    }
    return verdicts;
}

std::vector<std::string> AllPorts(const std::vector<SerialService>& services)
{
    const std::vector<PortVerdict> verdicts = JudgePorts(services);
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < services.size(); ++i)
        if (!verdicts[i].word.empty() &&
            std::none_of(paths.begin(), paths.end(), [&](const std::string& p) { return SamePort(p, *services[i].path); }))
            paths.push_back(*services[i].path);
    return paths;
}
