#include "run/SupportReport.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

namespace {

void Octal(char* field, std::size_t size, unsigned long long value)
{
    // size - 1 digits and a NUL, as ustar's numeric fields are.
    std::snprintf(field, size, "%0*llo", static_cast<int>(size - 1), value);
}

}  // namespace

std::string ReportFileName(const QDateTime& at, const std::string& slot)
{
    std::string safe = slot;
    for (char& c : safe)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-'))
            c = '_';
    return "qz7-report-" + at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss")).toStdString() +
           (safe.empty() ? std::string() : "-" + safe) + ".tar.gz";
}

std::string TarArchive(const std::vector<ReportPart>& parts, const QDateTime& at)
{
    std::string tar;
    for (const ReportPart& part : parts) {
        char header[512] = {};
        std::snprintf(header, 100, "%s", part.name.c_str());
        Octal(header + 100, 8, 0644);
        Octal(header + 108, 8, 0);
        Octal(header + 116, 8, 0);
        Octal(header + 124, 12, part.bytes.size());
        Octal(header + 136, 12, static_cast<unsigned long long>(at.toSecsSinceEpoch()));
        std::memset(header + 148, ' ', 8);  // the checksum counts its own field as spaces
        header[156] = '0';
        std::memcpy(header + 257, "ustar", 6);
        std::memcpy(header + 263, "00", 2);
        std::snprintf(header + 265, 32, "root");
        std::snprintf(header + 297, 32, "root");
        unsigned sum = 0;
        for (unsigned char c : header)
            sum += c;
        std::snprintf(header + 148, 8, "%06o", sum);
        header[155] = ' ';
        tar.append(header, sizeof header);
        tar += part.bytes;
        tar.append((512 - part.bytes.size() % 512) % 512, '\0');
    }
    tar.append(1024, '\0');  // two empty blocks end the archive
    return tar;
}

std::string Gzip(const std::string& bytes)
{
    z_stream z{};
    // 15 window bits plus 16: a gzip header and trailer around the deflate stream.
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    std::string out(deflateBound(&z, bytes.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int done = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return done == Z_STREAM_END ? out : std::string();
}

std::string WriteReport(const std::string& path, const std::vector<ReportPart>& parts, const QDateTime& at)
{
    const std::string gz = Gzip(TarArchive(parts, at));
    if (gz.empty())
        return "the archive could not be compressed";
    const std::string partial = path + ".part";
    int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0)
        return std::strerror(errno);
    std::size_t done = 0;
    while (done < gz.size()) {
        ssize_t n = ::write(fd, gz.data() + done, gz.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(partial.c_str());
            return std::strerror(error);
        }
        done += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    int error = errno;
    const bool closed = ::close(fd) == 0;
    if (synced && !closed)
        error = errno;
    if (!synced || !closed || ::rename(partial.c_str(), path.c_str()) != 0) {
        if (synced && closed)
            error = errno;
        ::unlink(partial.c_str());
        return std::strerror(error);
    }
    return {};
}
