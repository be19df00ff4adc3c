#include "run/Records.h"

#include "core/Words.h"
#include "firmware/Firmware.h"

#include <QDateTime>
#include <QJsonDocument>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <unistd.h>

namespace records {

QJsonValue OrNull(const std::string& text)
{
    return text.empty() ? QJsonValue() : QJsonValue(Q(text));
}

std::string Line(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

std::string Now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString();
}

std::string PrintableLines(const std::string& text)
{
    std::string out;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        out += StatusText::Printable(std::string_view(text).substr(start, end - start), std::string::npos);
        if (end == std::string::npos)
            return out;
        out += '\n';
        start = end + 1;
    }
}

QJsonObject FirmwareObject()
{
    const ShippedFirmware& f = Shipped();
    return {{"version", Q(f.version.substr(1))}, {"lines", f.lines}, {"sha256", Q(f.sha256)}};
}

QJsonObject AdapterObject(const StatusText::AdapterFacts& adapter)
{
    return {{"name", OrNull(adapter.name)},
            {"description", OrNull(adapter.description)},
            {"maker", OrNull(adapter.manufacturer)},
            {"vid_pid", OrNull(adapter.vendorProduct)},
            {"serial", OrNull(adapter.serialNumber)}};
}

QJsonValue RelationName(VersionRelation relation)
{
    switch (relation) {
    case VersionRelation::Older: return QStringLiteral("older");
    case VersionRelation::Same: return QStringLiteral("current");
    case VersionRelation::Newer: return QStringLiteral("newer");
    case VersionRelation::Unknown: break;
    }
    return QJsonValue();
}

std::string EventLine(const char* event, const std::string* unit, QJsonObject fields)
{
    fields.insert("schema", kSchema);
    fields.insert("time", Q(Now()));
    fields.insert("event", event);
    if (unit)
        fields.insert("unit", Q(*unit));
    return Line(fields) + "\n";
}

QJsonObject IdentityFields(const Identity& identity)
{
    return {{"station", OrNull(identity.station)},
            {"slot", OrNull(identity.slot)},
            {"adapter_vid_pid", OrNull(identity.adapterVidPid)},
            {"adapter_driver", OrNull(identity.driver)},
            {"adapter_serial", OrNull(identity.adapterSerial)},
            {"unit_name", OrNull(identity.unit)},
            {"operator", OrNull(identity.operatorName)},
            {"program_version", OrNull(identity.programVersion)},
            {"firmware_version", OrNull(identity.firmwareVersion)},
            {"firmware_sha256", OrNull(identity.firmwareSha256)}};
}

QJsonObject EndFields(const UnitEnd& end)
{
    const EndingRow& row = RowOf(end.ending);
    QJsonObject fields = IdentityFields(end.identity);
    fields.insert("port", Q(end.port));
    fields.insert("version_found", end.versionFound ? QJsonValue(Q(*end.versionFound)) : QJsonValue());
    fields.insert("outcome", row.name);
    fields.insert("version_relation", end.versionFound ? RelationName(end.relation) : QJsonValue());
    fields.insert("exit", row.exitStatus);
    fields.insert("duration_s", std::round(end.seconds * 1000.0) / 1000.0);
    fields.insert("lines_sent", end.linesSent);
    fields.insert("started", OrNull(end.started));
    fields.insert("ended", OrNull(end.ended));
    return fields;
}

std::string ReportLine(const UnitEnd& end, const StatusText::AdapterFacts& adapter)
{
    QJsonObject record = EndFields(end);
    record.insert("schema", kSchema);
    record.insert("time", Q(Now()));
    record.insert("adapter", AdapterObject(adapter));
    record.insert("firmware", FirmwareObject());
    return Line(record);
}

QJsonObject SummaryFields(int units, const std::map<std::string, int>& outcomes, int exit)
{
    QJsonObject counts;
    for (const auto& [name, count] : outcomes)
        counts.insert(Q(name), count);
    return {{"units", units}, {"outcomes", counts}, {"exit", exit}};
}

}  // namespace records

const ShippedFirmware& Shipped()
{
    // The build derived these from the image it compiled in.
    static const ShippedFirmware facts{std::string("V") + Firmware::Version, Firmware::Lines, Firmware::Sha256};
    return facts;
}

std::string ProgramVersion()
{
    return QZ7_VERSION;
}

std::string VersionText()
{
    const ShippedFirmware& f = Shipped();
    //: --version: %1 the program's version, %2 the firmware's ("V2.007"), %n its lines, %3 its sha256.
    return Words::Fill(Words::TrN("Terminal", "QZ7 Updater %1, firmware %2, %n lines, sha256 %3", "QZ7 Updater %1, firmware %2, %n line, sha256 %3",
                                  f.lines),
                       {QZ7_VERSION, f.version, f.sha256});
}

std::string VersionJson()
{
    using namespace records;
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
