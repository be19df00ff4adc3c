#include "run/Journal.h"

#include <sys/uio.h>
#include <syslog.h>
#include <systemd/sd-journal.h>

namespace journal {

namespace {
// "unit PCB-0042", or the slot where the unit has no name.
std::string Which(const records::UnitEnd& unit)
{
    const Identity& id = unit.identity;
    std::string which = id.unit.empty() ? "on " + id.slot : id.unit + " on " + id.slot;
    return StatusText::PrintableText(which);
}
}  // namespace

Fields RecordFields(const char* record, const records::UnitEnd& unit, std::int64_t id, const std::string& erased)
{
    const Identity& i = unit.identity;
    const bool pending = std::string(record) == "pending";
    Fields fields{{"QZ7_RECORD", record}, {"QZ7_OUTCOME", pending ? "pending" : RowOf(unit.ending).name}};
    if (!pending)
        fields.emplace_back("QZ7_EXIT", std::to_string(RowOf(unit.ending).exitStatus));
    if (id > 0)
        fields.emplace_back("QZ7_RECORD_ID", std::to_string(id));
    const std::pair<const char*, const std::string*> named[] = {
        {"QZ7_UNIT", &i.unit},
        {"QZ7_SLOT", &i.slot},
        {"QZ7_PORT", &unit.port},
        {"QZ7_STATION", &i.station},
        {"QZ7_OPERATOR", &i.operatorName},
        {"QZ7_ADAPTER_VID_PID", &i.adapterVidPid},
        {"QZ7_ADAPTER_DRIVER", &i.driver},
        {"QZ7_ADAPTER_SERIAL", &i.adapterSerial},
        {"QZ7_PROGRAM_VERSION", &i.programVersion},
        {"QZ7_FIRMWARE", &i.firmwareVersion},
        {"QZ7_FIRMWARE_SHA256", &i.firmwareSha256},
        {"QZ7_STARTED", &unit.started},
        {"QZ7_ERASED", &erased},
    };
    for (const auto& [name, value] : named)
        if (!value->empty())
            fields.emplace_back(name, *value);
    if (unit.versionFound && !unit.versionFound->empty())
        fields.emplace_back("QZ7_VERSION_FOUND", *unit.versionFound);
    if (!pending) {
        fields.emplace_back("QZ7_LINES_SENT", std::to_string(unit.linesSent));
        if (!unit.ended.empty())
            fields.emplace_back("QZ7_ENDED", unit.ended);
    }
    return fields;
}

std::string PendingMessage(const records::UnitEnd& unit)
{
    return "QZ7 " + Which(unit) + ": erasing for firmware " + unit.identity.firmwareVersion +
           " (pending: without firmware until the update ends)";
}

std::string EndMessage(const records::UnitEnd& unit)
{
    return "QZ7 " + Which(unit) + ": " + RowOf(unit.ending).name + " (status " + std::to_string(RowOf(unit.ending).exitStatus) +
           ", firmware " + unit.identity.firmwareVersion + ", " + std::to_string(unit.linesSent) + " lines)";
}

bool Send(const std::string& message, int priority, const Fields& fields)
{
    // Each field is NAME=value; the values may hold any byte (the journal takes binary ones in
    // this native form), the names are ours.
    std::vector<std::string> items;
    items.reserve(fields.size() + 3);
    items.push_back("MESSAGE=" + message);
    items.push_back("PRIORITY=" + std::to_string(priority));
    items.push_back("SYSLOG_IDENTIFIER=qz7-updater");
    for (const auto& [name, value] : fields)
        items.push_back(name + "=" + value);
    std::vector<iovec> vector;
    for (std::string& item : items)
        vector.push_back({item.data(), item.size()});
    return sd_journal_sendv(vector.data(), static_cast<int>(vector.size())) == 0;
}

}  // namespace journal
