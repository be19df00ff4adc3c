#include "serial/PortListing.h"

#include "serial/ByIdNames.h"

#include <QSerialPortInfo>
#include <cerrno>
#include <cstdlib>
#include <linux/netlink.h>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>

using namespace std::chrono;

namespace {
constexpr unsigned kKernelEventGroup = 1;  // udev re-sends on group 2, only while udevd runs

// A kernel event is "ACTION@DEVPATH" followed by NUL-separated KEY=VALUE fields.
bool IsTtyAddOrRemove(std::string_view message)
{
    bool tty = false;
    bool addOrRemove = false;
    while (!message.empty()) {
        std::size_t end = message.find('\0');
        std::string_view field = message.substr(0, end);
        if (field == "SUBSYSTEM=tty")
            tty = true;
        else if (field == "ACTION=add" || field == "ACTION=remove")
            addOrRemove = true;
        if (end == std::string_view::npos)
            break;
        message.remove_prefix(end + 1);
    }
    return tty && addOrRemove;
}
}  // namespace

UeventWatch::UeventWatch()
{
    int fd = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT);
    if (fd < 0)
        return;
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    address.nl_groups = kKernelEventGroup;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
}

UeventWatch::UeventWatch(int fd) : fd_(fd) {}

UeventWatch::~UeventWatch()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool UeventWatch::TtyAddedOrRemoved()
{
    bool changed = false;
    char buffer[8192];
    for (;;) {
        ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            changed = changed || IsTtyAddOrRemove(std::string_view(buffer, static_cast<std::size_t>(n)));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == ENOBUFS) {
            changed = true;  // events were dropped: any of them may have been a port
            continue;
        }
        return changed;  // EAGAIN: nothing more waiting
    }
}

CachedPortListing::CachedPortListing(Enumerate enumerate, std::unique_ptr<UeventWatch> watch,
                                     std::unique_ptr<DevNodeWatch> nodes)
    : enumerate_(std::move(enumerate)), watch_(std::move(watch)), nodes_(std::move(nodes))
{
}

std::optional<std::vector<SerialService>> CachedPortListing::Current()
{
    std::lock_guard lock(mutex_);
    auto now = steady_clock::now();
    bool events = watch_ && watch_->Watching();
    bool nodes = nodes_ && nodes_->Watching();
    bool watching = events || nodes;
    // Both are read every time, so that neither queue fills up.
    bool changed = events && watch_->TtyAddedOrRemoved();
    changed = (nodes && nodes_->TtyAddedOrRemoved()) || changed;
    if (changed)
        settleAt_ = now + kSettle;
    bool settled = settleAt_ && now >= *settleAt_;
    bool stale = now - enumerated_ >= (watching ? seconds(kRefreshWatching) : seconds(kRefreshBlind));
    if (!listing_ || changed || settled || stale) {
        listing_ = enumerate_();
        enumerated_ = now;
        if (settled)
            settleAt_.reset();
        if (!listing_)
            return std::nullopt;  // the enumeration failed: try again on the next call
    }
    return listing_;
}

std::optional<std::vector<SerialService>> EnumerateSerialPorts()
{
    auto text = [](const QString& s) { return s.isEmpty() ? std::nullopt : std::optional(s.toStdString()); };
    std::vector<SerialService> services;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialService service;
        service.name = text(info.portName());
        service.path = text(info.systemLocation());
        service.description = text(info.description());
        service.manufacturer = text(info.manufacturer());
        service.serialNumber = text(info.serialNumber());
        if (info.hasVendorIdentifier())
            service.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            service.productId = info.productIdentifier();
        AddSysfsFacts(service);
        services.push_back(std::move(service));
    }
    return services;
}

std::vector<SerialService> ParseServiceList(const std::string& text)
{
    std::vector<SerialService> services;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        std::string entry = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!entry.empty()) {
            SerialService service;
            std::size_t eq = entry.find('=');
            if (eq == std::string::npos) {
                service.name = entry;
            } else {
                if (eq > 0)
                    service.name = entry.substr(0, eq);
                if (eq + 1 < entry.size())
                    service.path = entry.substr(eq + 1);
            }
            services.push_back(std::move(service));
        }
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return services;
}

ServiceLister SystemServiceLister()
{
    if (const char* seam = std::getenv("QZ7_SERIAL_PORTS")) {
        std::vector<SerialService> services = ParseServiceList(seam);
        return [services] { return std::optional(services); };
    }
    auto listing = std::make_shared<CachedPortListing>(EnumerateSerialPorts, std::make_unique<UeventWatch>(),
                                                       std::make_unique<DevNodeWatch>());
    return [listing] { return listing->Current(); };
}
