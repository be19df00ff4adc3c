#pragma once
// What a run writes for programs: the JSON events of --json and the lines of --report, each unit's
// end as one record, and the firmware carried as --version, the JSON and the report name it.
// Below the front ends, so that any front end for several units writes the same lines.
#include "core/Endings.h"
#include "core/Facts.h"
#include "core/Status.h"
#include "run/Identity.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <map>
#include <optional>
#include <string>

namespace records {
// The version of the JSON lines' layout, in every line.
inline constexpr int kSchema = 2;

inline QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// The text, or null when it is empty.
QJsonValue OrNull(const std::string& text);
// One JSON object as one compact line, without its line end.
std::string Line(const QJsonObject& object);
// The time as the lines give it: UTC, ISO 8601 with milliseconds.
std::string Now();

// The directions as they stand, their line breaks kept (JSON writes them as \n) and every other
// byte that is no printable ASCII escaped, as the QZ7's own bytes are.
std::string PrintableLines(const std::string& text);

// Versions in the JSON are the bare number, as the QZ7 reports it after its "V" ("2.007").
QJsonObject FirmwareObject();
// The adapter as the listing described it; null for what it did not say.
QJsonObject AdapterObject(const StatusText::AdapterFacts& adapter);
// The version found beside the firmware carried: null when none could be read.
QJsonValue RelationName(VersionRelation relation);

// One event line of --json, with its line end: the common fields, the unit's port when there is
// one, and `fields`.
std::string EventLine(const char* event, const std::string* unit, QJsonObject fields = {});

// One unit's end, as the "end" event and the report's line hold it.
struct UnitEnd {
    std::string port;
    std::optional<std::string> versionFound;
    VersionRelation relation = VersionRelation::Unknown;
    Ending ending = Ending::Exception;
    double seconds = 0;  // from the unit's start to its end
    int linesSent = 0;
    Identity identity;   // who, where, which unit, which image
    std::string started; // the unit's start and end, as Now() gives them
    std::string ended;
};
// The identity's fields, flat, as every record of a unit carries them (the end event, the report
// line, the pending record, the history): a missing fact is null.
QJsonObject IdentityFields(const Identity& identity);
// The end event's fields: the end, the identity and the times.
QJsonObject EndFields(const UnitEnd& end);
// The report's line for it: the end, the adapter and the firmware, with the schema and the time.
std::string ReportLine(const UnitEnd& end, const StatusText::AdapterFacts& adapter);
// The run's summary event's fields: the units, their ends counted by name, the exit status.
QJsonObject SummaryFields(int units, const std::map<std::string, int>& outcomes, int exit);
}  // namespace records

// The firmware this program carries, as --version, the JSON and the report name it.
struct ShippedFirmware {
    std::string version;  // "V" and the version, as "V3.012"
    int lines = 0;        // the lines the transfer sends
    std::string sha256;   // of the image as sent, in hex
};
const ShippedFirmware& Shipped();
// This program's version, "1.0.0".
std::string ProgramVersion();

// "QZ7 Updater 1.0.0, firmware V3.012, 2563 lines, sha256 ..." and the same as a JSON object.
std::string VersionText();
std::string VersionJson();

// Appends `line` and a line end to the file at `path` in one write(2) with O_APPEND, and flushes
// it to disk (fsync) before returning: a line reported written survives a crash, and lines that
// units write side by side never mix. False, errno set, when it could not.
bool AppendRecord(const std::string& path, const std::string& line);
