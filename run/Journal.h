#pragma once
// Each unit's pending record and end as one entry in the system's journal, with structured
// fields (QZ7_OUTCOME, QZ7_UNIT, QZ7_SLOT, ...) and a one-line message, so that journalctl finds
// them by field and the journal's own uploaders and collectors ship a fleet's records. Where no
// journal runs, the entry goes nowhere and nothing else happens.
#include "run/Records.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace journal {

using Fields = std::vector<std::pair<std::string, std::string>>;

// The entry's fields: QZ7_RECORD ("pending" or "end"), QZ7_RECORD_ID (the history's row, when
// there is one), QZ7_OUTCOME ("pending" for a pending record) and the identity, the versions,
// the lines and the times. A fact that is not known is left out.
Fields RecordFields(const char* record, const records::UnitEnd& unit, std::int64_t id, const std::string& erased);
// The one-line message of a pending record or an end.
std::string PendingMessage(const records::UnitEnd& unit);
std::string EndMessage(const records::UnitEnd& unit);

// Sends one entry through sd_journal_sendv with MESSAGE, PRIORITY and SYSLOG_IDENTIFIER
// ("qz7-updater") besides `fields`. Returns whether the journal took it; false where none runs.
bool Send(const std::string& message, int priority, const Fields& fields);

}  // namespace journal
