#include "serial/ByIdNames.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sys/stat.h>

namespace fs = std::filesystem;

std::map<std::string, std::string> UsbByIdNames(const std::string& directory)
{
    std::map<std::string, std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory, ec)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("usb", 0) != 0)
            continue;
        fs::path target = fs::canonical(entry.path(), ec);
        if (!ec)
            names[target.string()] = name;
    }
    return names;
}

std::vector<SerialService> PresentByIdNames(std::vector<SerialService> services,
                                            const std::map<std::string, std::string>& byId)
{
    if (byId.empty())
        return services;
    for (SerialService& service : services) {
        if (!service.name || !service.path)
            continue;
        auto found = byId.find(*service.path);
        if (found != byId.end())
            service.name = found->second;
    }
    return services;
}

ServiceLister WithByIdNames(ServiceLister lister, std::string directory)
{
    struct Cache {
        std::mutex mutex;
        bool known = false;
        timespec changed{};
        std::map<std::string, std::string> names;
    };
    auto cache = std::make_shared<Cache>();
    return [lister = std::move(lister), directory = std::move(directory), cache]() -> std::optional<std::vector<SerialService>> {
        std::optional<std::vector<SerialService>> services = lister();
        if (!services)
            return services;
        std::lock_guard lock(cache->mutex);
        struct stat st {};
        if (::stat(directory.c_str(), &st) != 0) {
            cache->names.clear();
            cache->known = false;
        } else if (!cache->known || st.st_mtim.tv_sec != cache->changed.tv_sec ||
                   st.st_mtim.tv_nsec != cache->changed.tv_nsec) {
            cache->names = UsbByIdNames(directory);
            cache->changed = st.st_mtim;
            cache->known = true;
        }
        return PresentByIdNames(std::move(*services), cache->names);
    };
}

namespace {
std::string FirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

std::optional<uint16_t> HexId(const fs::path& file)
{
    std::string text = FirstLine(file);
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return std::nullopt;
    return static_cast<uint16_t>(std::stoul(text, nullptr, 16));
}
}  // namespace

std::optional<UsbTtyFacts> UsbFactsFromSysfs(const std::string& ttyName, const std::string& sysRoot)
{
    if (ttyName.empty() || ttyName.find('/') != std::string::npos || ttyName[0] == '.')
        return std::nullopt;
    std::error_code ec;
    fs::path dir = fs::canonical(fs::path(sysRoot) / "class" / "tty" / ttyName / "device", ec);
    if (ec)
        return std::nullopt;
    const fs::path devices = fs::path(sysRoot) / "devices";
    UsbTtyFacts facts;
    // tty -> (usb-serial port ->) USB interface -> USB device: a few levels at most.
    for (int level = 0; level < 4 && dir.has_parent_path() && dir != devices; ++level, dir = dir.parent_path()) {
        if (facts.interfaceNumber.empty() && fs::exists(dir / "bInterfaceNumber", ec))
            facts.interfaceNumber = FirstLine(dir / "bInterfaceNumber");
        std::optional<uint16_t> vendor = HexId(dir / "idVendor");
        std::optional<uint16_t> product = HexId(dir / "idProduct");
        if (!vendor || !product)
            continue;
        facts.vendorId = *vendor;
        facts.productId = *product;
        facts.manufacturer = FirstLine(dir / "manufacturer");
        facts.product = FirstLine(dir / "product");
        facts.serial = FirstLine(dir / "serial");
        return facts;
    }
    return std::nullopt;
}

std::string UsbByIdStyleName(const UsbTtyFacts& facts)
{
    char ids[10];
    std::snprintf(ids, sizeof ids, "%04x_%04x", facts.vendorId, facts.productId);
    std::string maker = facts.manufacturer.empty() ? std::string(ids, 4) : facts.manufacturer;
    std::string product = facts.product.empty() ? std::string(ids + 5, 4) : facts.product;
    std::string name = maker + "_" + product + (facts.serial.empty() ? "" : "_" + facts.serial);
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-')
            c = '_';
    return "usb-" + name + (facts.interfaceNumber.empty() ? "" : "-if" + facts.interfaceNumber);
}

void AddSysfsFacts(SerialService& service, const std::string& sysRoot)
{
    std::string tty = service.path ? fs::path(*service.path).filename().string() : service.name.value_or("");
    std::optional<UsbTtyFacts> facts = UsbFactsFromSysfs(tty, sysRoot);
    if (!facts)
        return;
    auto fill = [](std::optional<std::string>& field, const std::string& value) {
        if ((!field || field->empty()) && !value.empty())
            field = value;
    };
    fill(service.description, facts->product);
    fill(service.manufacturer, facts->manufacturer);
    fill(service.serialNumber, facts->serial);
    if (!service.vendorId || !service.productId) {
        service.vendorId = facts->vendorId;
        service.productId = facts->productId;
    }
    if (!service.name || *service.name == tty)
        service.name = UsbByIdStyleName(*facts);
}
