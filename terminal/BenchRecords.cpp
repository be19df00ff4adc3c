#include "terminal/Bench.h"

#include "terminal/BenchParts.h"

#include "firmware/Firmware.h"

using namespace benchparts;

const ShippedFirmware& Shipped()
{
    // The build derived these from the image it compiled in.
    static const ShippedFirmware facts{std::string("V") + Firmware::Version, Firmware::Lines, Firmware::Sha256};
    return facts;
}

std::string VersionText()
{
    const ShippedFirmware& f = Shipped();
    return "QZ7 Updater " QZ7_VERSION ", firmware " + f.version + ", " + std::to_string(f.lines) + " lines, sha256 " + f.sha256;
}

std::string VersionJson()
{
    return Line({{"schema", kSchema}, {"program", "QZ7 Updater"}, {"version", QZ7_VERSION}, {"firmware", FirmwareObject()}});
}

bool AppendRecord(const std::string& path, const std::string& line)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const std::string whole = line + "\n";
    ssize_t n;
    do
        n = ::write(fd, whole.data(), whole.size());
    while (n < 0 && errno == EINTR);
    // A short write would leave half a line: with O_APPEND on a local file it does not happen
    // short of a full disk, and then the line is reported as not written.
    bool written = n == static_cast<ssize_t>(whole.size()) && ::fsync(fd) == 0;
    int error = errno;
    ::close(fd);
    errno = error;
    if (n >= 0 && n != static_cast<ssize_t>(whole.size()))
        errno = ENOSPC;
    return written;
}
