#include "serial/ByIdNames.h"

#include <filesystem>
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
