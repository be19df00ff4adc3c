#include "run/Identity.h"

#include "run/Records.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace identity {

std::string StationName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
        return "localhost";
    return name;
}

std::string LoginName()
{
    char name[LOGIN_NAME_MAX + 1] = {};
    if (::getlogin_r(name, sizeof name - 1) == 0 && name[0] != '\0')
        return name;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return found->pw_name;
    if (const char* user = std::getenv("USER"); user && *user)
        return user;
    return std::to_string(::geteuid());
}

std::optional<std::string> LinkNameFor(const std::string& path, const std::string& directory)
{
    std::error_code ec;
    const fs::path device = fs::canonical(path, ec);
    if (ec)
        return std::nullopt;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory, ec)) {
        std::error_code each;
        if (fs::canonical(entry.path(), each) == device && !each)
            return entry.path().filename().string();
    }
    return std::nullopt;
}

std::string DriverOf(const std::string& path, const std::string& sysRoot)
{
    std::error_code ec;
    const fs::path device = fs::canonical(path, ec);
    const std::string tty = (ec ? fs::path(path) : device).filename().string();
    const fs::path driver = fs::read_symlink(fs::path(sysRoot) / "class/tty" / tty / "device/driver", ec);
    return ec ? std::string() : driver.filename().string();
}

Identity ForRun(const std::optional<std::string>& operatorName)
{
    const ShippedFirmware& firmware = Shipped();
    Identity id;
    id.station = StationName();
    id.operatorName = operatorName.value_or(LoginName());
    id.programVersion = QZ7_VERSION;
    id.firmwareVersion = firmware.version.substr(1);
    id.firmwareSha256 = firmware.sha256;
    return id;
}

Identity ForUnit(Identity run, const std::string& path, const StatusText::AdapterFacts& adapter, const std::string& unit,
                 const std::string& byPathDirectory, const std::string& sysRoot)
{
    // The by-path name stays with the USB socket whatever adapter is plugged into it: the bench's
    // slot. A port with none (no udev, no USB device, a pseudo-terminal) is its path.
    run.slot = LinkNameFor(path, byPathDirectory).value_or(path);
    run.adapterVidPid = adapter.vendorProduct;
    run.adapterSerial = adapter.serialNumber;
    run.driver = DriverOf(path, sysRoot);
    run.unit = unit;
    return run;
}

bool ValidName(const std::string& name)
{
    if (name.empty() || name.size() > 128)
        return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7f)
            return false;
    return true;
}

}  // namespace identity
