#pragma once
// The history of every unit this machine has updated: one SQLite database, by default
// $XDG_STATE_HOME/qz7-updater/history.sqlite, that several updaters write at once.
//
// A unit's record is one row. It is written "pending" before the erase command goes out, and its
// end replaces it in the same row; a unit that never reached the erase gets its row at its end.
// Every write is one transaction (BEGIN IMMEDIATE ... COMMIT) in WAL mode with synchronous=FULL:
// the commit is on disk (fsync'd) when the call returns, and a process killed at any point leaves
// either the whole row or none. Writers of other processes wait for each other up to 10 s.
#include "run/Identity.h"
#include "run/Records.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

// One row as it is stored.
struct HistoryRecord {
    std::int64_t id = 0;
    std::string outcome;          // "pending" until the end replaces it, then the end's name
    std::optional<int> exit;      // the end's exit status; none while pending
    Identity identity;
    std::string port;
    std::optional<std::string> versionFound;
    std::string relation;         // "older", "current", "newer", or empty
    int linesSent = 0;
    std::string started;          // UTC, ISO 8601 with milliseconds
    std::string erased;           // when the erase command was about to go out; empty: never
    std::string ended;            // empty while pending
    long pid = 0;                 // the updater that wrote it

    bool Pending() const { return outcome == "pending"; }
};

// One day's figures of --history --summary (the day of each update's start, UTC).
struct HistoryDay {
    std::string day;           // "2026-12-09"
    int passed = 0;            // updates (the erase was asked for) that ended in Done
    int failed = 0;            // updates that did not, pending ones included
    int firstTried = 0;        // units whose first update ever was on this day
    int firstPassed = 0;       // ... and ended in Done
    double hours = 0;          // from the day's first update's start to its last one's end
    double FirstPassYield() const { return firstTried ? double(firstPassed) / firstTried : 0; }
    double UnitsPerHour() const { return hours > 0 ? passed / hours : 0; }
};

class History {
public:
    // The version of the layout this program writes (PRAGMA user_version).
    static constexpr int kSchemaVersion = 1;

    // Opens (and creates, with its folder) the database at `path`, moving an older layout to this
    // one. None, with `error` set, when it cannot: it is no database, a newer program's layout,
    // or cannot be written.
    static std::unique_ptr<History> Open(const std::string& path, std::string& error);
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // $XDG_STATE_HOME/qz7-updater/history.sqlite, or ~/.local/state/... without it.
    static std::string DefaultPath();

    // Each write is whole and on disk on return; false, with Error() set, when it is not.
    // The pending record of a unit about to be erased: its row's id.
    std::optional<std::int64_t> AddPending(const records::UnitEnd& start, const std::string& erased);
    // The unit's end: replaces the pending row `pending`, or is a new row without one.
    std::optional<std::int64_t> AddEnd(const records::UnitEnd& end, std::optional<std::int64_t> pending, const std::string& erased);

    // The last `limit` rows, oldest first; only the unit's (its name) when one is given.
    std::vector<HistoryRecord> Last(int limit, const std::optional<std::string>& unit = std::nullopt);
    // Every row, oldest first.
    std::vector<HistoryRecord> All();
    // The unit's last row, or none.
    std::optional<HistoryRecord> LastOf(const std::string& unit);
    // The unit's last update (a row whose erase was asked for), or none: what the unit's
    // firmware is, as far as this history knows.
    std::optional<HistoryRecord> LastUpdateOf(const std::string& unit);
    // Pending rows that no later row of the same unit (by name; by slot for a unit without one)
    // has answered, by ending in Done or by being pending itself.
    std::vector<HistoryRecord> OpenPending();
    // --history --summary's figures, one per day, oldest first.
    std::vector<HistoryDay> Summary();

    const std::string& Error() const { return error_; }
    sqlite3* Handle() const { return db_; }

private:
    explicit History(sqlite3* db) : db_(db) {}
    bool Migrate(std::string& error);
    std::vector<HistoryRecord> Query(const std::string& sql, const std::vector<std::string>& arguments);
    bool Fail(const char* what);

    sqlite3* db_;
    std::mutex mutex_;  // one statement or transaction at a time on the one connection
    std::string error_;
};

namespace records {
// A history row as --history --json prints it (and the same keys as the end event's).
QJsonObject HistoryFields(const HistoryRecord& record);
// A history row as one line for a person: time, outcome, unit, slot, operator, versions.
std::string HistoryText(const HistoryRecord& record);
// A day of the summary as a line, and as JSON.
std::string SummaryText(const HistoryDay& day);
QJsonObject SummaryDayFields(const HistoryDay& day);
}  // namespace records
