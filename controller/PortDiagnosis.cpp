#include "controller/PortDiagnosis.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdio>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Canonical(const std::string& path)
{
    std::error_code ec;
    std::filesystem::path resolved = std::filesystem::canonical(path, ec);
    return ec ? path : resolved.string();
}

template <class F>
void ForEachProcess(F f)
{
    DIR* proc = opendir("/proc");
    if (!proc)
        return;
    const pid_t self = getpid();
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        long pid = std::strtol(entry->d_name, &end, 10);
        if (*end != '\0' || pid <= 0 || pid == self)
            continue;
        f(static_cast<int>(pid));
    }
    closedir(proc);
}

std::string ProcessName(int pid)
{
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

std::string UserName(uid_t uid)
{
    if (passwd* pw = getpwuid(uid))
        return pw->pw_name;
    return std::to_string(uid);
}

StatusFact PermissionReport(const std::string& device, int error)
{
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0)
        return StatusText::OpenErrorFacts{device, "open", error};
    StatusText::PermissionFacts facts;
    facts.device = device;
    facts.owner = UserName(st.st_uid);
    facts.groupMayUse = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    passwd* me = getpwuid(geteuid());
    facts.user = me ? me->pw_name : std::to_string(geteuid());
    gid_t primary = me ? me->pw_gid : getegid();
    facts.group = std::to_string(st.st_gid);
    if (group* gr = getgrgid(st.st_gid)) {
        facts.group = gr->gr_name;
        for (char** member = gr->gr_mem; member && *member; ++member)
            if (facts.user == *member)
                facts.listedInGroup = true;
    }
    if (primary == st.st_gid)
        facts.listedInGroup = true;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(0, getgroups(0, nullptr))));
    int count = getgroups(static_cast<int>(groups.size()), groups.data());
    groups.resize(static_cast<std::size_t>(std::max(0, count)));
    facts.loginHasGroup = getegid() == st.st_gid || std::find(groups.begin(), groups.end(), st.st_gid) != groups.end();
    return facts;
}

}  // namespace

std::vector<StatusText::Holder> DeviceHolders(const std::string& device)
{
    std::vector<StatusText::Holder> holders;
    const std::string target = Canonical(device);
    ForEachProcess([&](int pid) {
        std::string fdDir = "/proc/" + std::to_string(pid) + "/fd";
        DIR* fds = opendir(fdDir.c_str());
        if (!fds)
            return;  // not ours to look at
        while (dirent* entry = readdir(fds)) {
            if (entry->d_name[0] == '.')
                continue;
            char link[PATH_MAX];
            ssize_t n = readlink((fdDir + "/" + entry->d_name).c_str(), link, sizeof link - 1);
            if (n > 0 && std::string(link, static_cast<std::size_t>(n)) == target) {
                holders.push_back({ProcessName(pid), pid});
                break;
            }
        }
        closedir(fds);
    });
    return holders;
}

std::vector<std::string> RunningGrabbers()
{
    std::vector<std::string> found;
    ForEachProcess([&](int pid) {
        std::string name = ProcessName(pid);
        for (const char* known : {"ModemManager", "brltty"})
            if (name == known && std::find(found.begin(), found.end(), name) == found.end())
                found.push_back(name);
    });
    return found;
}

PortTrouble Classify(const OpenFailure& failure)
{
    if (failure.step == kOwnTerminalStep)
        return PortTrouble::NotSerial;
    switch (failure.error) {
    case EACCES:
    case EPERM: return PortTrouble::Permission;
    case EBUSY: return PortTrouble::Busy;
    case ENOENT:
    case ENODEV:
    case ENXIO: return PortTrouble::NoneFound;
    case ENOTTY:
    case ENOTDIR:
    case EISDIR:
    case ELOOP:
    case ENAMETOOLONG: return PortTrouble::NotSerial;
    case EINVAL: return failure.step == "open" ? PortTrouble::NotSerial : PortTrouble::OtherError;
    default: return PortTrouble::OtherError;
    }
}

StatusFact DescribeOpenFailure(const std::string& device, const OpenFailure& failure)
{
    PortTrouble trouble = Classify(failure);
    if (trouble == PortTrouble::Busy)
        return StatusText::BusyFacts{device, DeviceHolders(device), RunningGrabbers()};
    if (trouble == PortTrouble::Permission)
        return PermissionReport(device, failure.error);
    if (failure.step == kOwnTerminalStep)
        return StatusText::NotAdapterFacts{device, failure.error, true};
    if (trouble == PortTrouble::NotSerial && failure.error != ENOTTY)
        return StatusText::NotAdapterFacts{device, failure.error, false};
    return StatusText::OpenErrorFacts{device, failure.step, failure.error};
}

StatusText::AdapterFacts AdapterFacts(const SerialService& service)
{
    StatusText::AdapterFacts facts;
    facts.path = service.path.value_or(std::string());
    facts.name = service.name.value_or(std::string());
    facts.description = service.description.value_or(std::string());
    facts.manufacturer = service.manufacturer.value_or(std::string());
    facts.serialNumber = service.serialNumber.value_or(std::string());
    if (service.vendorId && service.productId) {
        char id[10];
        std::snprintf(id, sizeof id, "%04x:%04x", *service.vendorId, *service.productId);
        facts.vendorProduct = id;
    }
    return facts;
}

StatusFact OpenTrouble::Describe(const std::string& device, const OpenFailure& failure,
                                  std::chrono::steady_clock::time_point now, bool& changed)
{
    bool same = known_ && device == device_ && failure.step == failure_.step && failure.error == failure_.error;
    bool held = Classify(failure) == PortTrouble::Busy;
    if (same && !(held && now - asked_ >= std::chrono::seconds(2))) {
        changed = false;
        return text_;
    }
    StatusFact text = DescribeOpenFailure(device, failure);
    changed = !same || text != text_;
    known_ = true;
    device_ = device;
    failure_ = failure;
    asked_ = now;
    text_ = std::move(text);
    return text_;
}
