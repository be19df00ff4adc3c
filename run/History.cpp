#include "run/History.h"

#include "core/Words.h"

#include <QDateTime>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sqlite3.h>
#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Each step moves the layout from its index to the next version, in one transaction with the
// version's change. A new layout is one more step at the end (ALTER TABLE ... ADD COLUMN keeps
// every row); rows are never rewritten, so a program reading an older file loses nothing.
const char* const kMigrations[] = {
    // 0 -> 1: the records and the lookups by unit and by slot.
    "CREATE TABLE records ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " outcome TEXT NOT NULL,"
    " exit_status INTEGER,"
    " station TEXT, slot TEXT, port TEXT,"
    " adapter_vid_pid TEXT, adapter_driver TEXT, adapter_serial TEXT,"
    " unit_name TEXT, operator TEXT, program_version TEXT,"
    " firmware_version TEXT, firmware_sha256 TEXT,"
    " version_found TEXT, version_relation TEXT,"
    " lines_sent INTEGER NOT NULL DEFAULT 0,"
    " started TEXT NOT NULL, erased TEXT, ended TEXT, pid INTEGER);"
    "CREATE INDEX records_unit ON records(unit_name, id);"
    "CREATE INDEX records_slot ON records(slot, id);",
};
static_assert(std::size(kMigrations) == History::kSchemaVersion);

constexpr const char* kColumns =
    "id, outcome, exit_status, station, slot, port, adapter_vid_pid, adapter_driver, adapter_serial, unit_name, operator,"
    " program_version, firmware_version, firmware_sha256, version_found, version_relation, lines_sent, started, erased,"
    " ended, pid";

// A statement, finalized when it goes.
struct Statement {
    sqlite3_stmt* s = nullptr;
    Statement(sqlite3* db, const std::string& sql) { sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr); }
    ~Statement() { sqlite3_finalize(s); }
    explicit operator bool() const { return s != nullptr; }
    void Text(int i, const std::string& text)
    {
        if (text.empty())
            sqlite3_bind_null(s, i);
        else
            sqlite3_bind_text(s, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    std::string Column(int i) const
    {
        const unsigned char* text = sqlite3_column_text(s, i);
        return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(s, i)) : std::string();
    }
};

bool Exec(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string RelationText(const records::UnitEnd& end)
{
    const QJsonValue relation = end.versionFound ? records::RelationName(end.relation) : QJsonValue();
    return relation.isString() ? relation.toString().toStdString() : std::string();
}

// The hours from `from` to `to`, both as Now() writes them.
double HoursBetween(const std::string& from, const std::string& to)
{
    const QDateTime a = QDateTime::fromString(QString::fromStdString(from), Qt::ISODateWithMs);
    const QDateTime b = QDateTime::fromString(QString::fromStdString(to), Qt::ISODateWithMs);
    if (!a.isValid() || !b.isValid())
        return 0;
    return std::max<qint64>(0, a.msecsTo(b)) / 3600000.0;
}

}  // namespace

std::string History::DefaultPath()
{
    // XDG's rule: an XDG_STATE_HOME that is no absolute path is to be ignored.
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string base;
    if (state && state[0] == '/') {
        base = state;
    } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
        base = std::string(home) + "/.local/state";
    } else {
        // Started without a home in the environment (by a service, or env -i): the account's.
        std::vector<char> buffer(16384);
        passwd entry{};
        passwd* found = nullptr;
        if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
            found->pw_dir[0] == '/')
            base = std::string(found->pw_dir) + "/.local/state";
        else
            base = "/nonexistent/.local/state";
    }
    return base + "/qz7-updater/history.sqlite";
}

std::unique_ptr<History> History::Open(const std::string& path, std::string& error)
{
    std::error_code ec;
    const fs::path folder = fs::path(path).parent_path();
    if (!folder.empty())
        fs::create_directories(folder, ec);
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (opened != SQLITE_OK) {
        error = db ? sqlite3_errmsg(db) : sqlite3_errstr(opened);
        sqlite3_close(db);
        return nullptr;
    }
    std::unique_ptr<History> history(new History(db));
    sqlite3_busy_timeout(db, 10000);
    sqlite3_extended_result_codes(db, 1);
    // WAL: readers never wait for a writer, and a commit is one append to the log. FULL: the log
    // is fsync'd at each commit, so a record reported written is on disk.
    // Switching a new file to WAL needs it alone for a moment: an updater that starts beside
    // another one making the same file tries again (SQLite's busy wait does not cover it) for as
    // long as it would wait for a write.
    for (int attempt = 0;; ++attempt) {
        Statement wal(db, "PRAGMA journal_mode=WAL");
        const int stepped = wal ? sqlite3_step(wal.s) : SQLITE_ERROR;
        if (stepped == SQLITE_ROW && wal.Column(0) == "wal")
            break;
        const int code = sqlite3_extended_errcode(db) & 0xff;
        if (attempt >= 500 || (stepped != SQLITE_ROW && code != SQLITE_BUSY && code != SQLITE_LOCKED)) {
            error = std::string("cannot use WAL mode: ") + sqlite3_errmsg(db);
            return nullptr;
        }
        ::usleep(20000);
    }
    if (!Exec(db, "PRAGMA synchronous=FULL") || !history->Migrate(error))
        return nullptr;
    return history;
}

History::~History()
{
    sqlite3_close(db_);
}

bool History::Migrate(std::string& error)
{
    std::lock_guard lock(mutex_);
    // Two updaters started at once: the first takes the write lock and moves the layout on; the
    // second waits for it and finds the version done.
    if (!Exec(db_, "BEGIN IMMEDIATE")) {
        error = sqlite3_errmsg(db_);
        return false;
    }
    int version = -1;
    {
        Statement s(db_, "PRAGMA user_version");
        if (s && sqlite3_step(s.s) == SQLITE_ROW)
            version = sqlite3_column_int(s.s, 0);
    }
    if (version < 0 || version > kSchemaVersion) {
        error = version < 0 ? std::string(sqlite3_errmsg(db_))
                            : "it was written by a newer program (layout " + std::to_string(version) + ", this one knows up to " +
                                  std::to_string(kSchemaVersion) + ")";
        Exec(db_, "ROLLBACK");
        return false;
    }
    for (; version < kSchemaVersion; ++version) {
        const std::string bump = "PRAGMA user_version=" + std::to_string(version + 1);
        if (!Exec(db_, kMigrations[version]) || !Exec(db_, bump.c_str())) {
            error = sqlite3_errmsg(db_);
            Exec(db_, "ROLLBACK");
            return false;
        }
    }
    if (!Exec(db_, "COMMIT")) {
        error = sqlite3_errmsg(db_);
        Exec(db_, "ROLLBACK");
        return false;
    }
    return true;
}

bool History::Fail(const char* what)
{
    error_ = std::string(what) + ": " + sqlite3_errmsg(db_);
    return false;
}

std::optional<std::int64_t> History::AddPending(const records::UnitEnd& start, const std::string& erased)
{
    records::UnitEnd pending = start;
    pending.ended.clear();
    std::lock_guard lock(mutex_);
    Statement s(db_, "INSERT INTO records (outcome, station, slot, port, adapter_vid_pid, adapter_driver, adapter_serial,"
                     " unit_name, operator, program_version, firmware_version, firmware_sha256, version_found, version_relation,"
                     " lines_sent, started, erased, pid) VALUES ('pending',?,?,?,?,?,?,?,?,?,?,?,?,?,0,?,?,?)");
    if (!s) {
        Fail("cannot write the pending record");
        return std::nullopt;
    }
    const Identity& id = pending.identity;
    int i = 1;
    for (const std::string* text : std::initializer_list<const std::string*>{&id.station, &id.slot, &pending.port, &id.adapterVidPid, &id.driver, &id.adapterSerial, &id.unit,
                                    &id.operatorName, &id.programVersion, &id.firmwareVersion, &id.firmwareSha256})
        s.Text(i++, *text);
    s.Text(i++, pending.versionFound.value_or(""));
    s.Text(i++, RelationText(pending));
    s.Text(i++, pending.started);
    s.Text(i++, erased);
    sqlite3_bind_int64(s.s, i++, ::getpid());
    // One statement outside a transaction is its own transaction: whole, and on disk on return.
    if (sqlite3_step(s.s) != SQLITE_DONE) {
        Fail("cannot write the pending record");
        return std::nullopt;
    }
    return sqlite3_last_insert_rowid(db_);
}

std::optional<std::int64_t> History::AddEnd(const records::UnitEnd& end, std::optional<std::int64_t> pending, const std::string& erased)
{
    std::lock_guard lock(mutex_);
    const std::string sql =
        pending ? "UPDATE records SET outcome=?1, exit_status=?2, station=?3, slot=?4, port=?5, adapter_vid_pid=?6, adapter_driver=?7,"
                  " adapter_serial=?8, unit_name=?9, operator=?10, program_version=?11, firmware_version=?12, firmware_sha256=?13,"
                  " version_found=?14, version_relation=?15, lines_sent=?16, started=?17, erased=?18, ended=?19, pid=?20"
                  " WHERE id=?21"
                : "INSERT INTO records (outcome, exit_status, station, slot, port, adapter_vid_pid, adapter_driver, adapter_serial,"
                  " unit_name, operator, program_version, firmware_version, firmware_sha256, version_found, version_relation,"
                  " lines_sent, started, erased, ended, pid) VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14,?15,?16,?17,"
                  "?18,?19,?20)";
    Statement s(db_, sql);
    if (!s) {
        Fail("cannot write the record");
        return std::nullopt;
    }
    const EndingRow& row = RowOf(end.ending);
    const Identity& id = end.identity;
    s.Text(1, row.name);
    sqlite3_bind_int(s.s, 2, row.exitStatus);
    int i = 3;
    for (const std::string* text : std::initializer_list<const std::string*>{&id.station, &id.slot, &end.port, &id.adapterVidPid, &id.driver, &id.adapterSerial, &id.unit,
                                    &id.operatorName, &id.programVersion, &id.firmwareVersion, &id.firmwareSha256})
        s.Text(i++, *text);
    s.Text(14, end.versionFound.value_or(""));
    s.Text(15, RelationText(end));
    sqlite3_bind_int(s.s, 16, end.linesSent);
    s.Text(17, end.started);
    s.Text(18, erased);
    s.Text(19, end.ended);
    sqlite3_bind_int64(s.s, 20, ::getpid());
    if (pending)
        sqlite3_bind_int64(s.s, 21, *pending);
    if (sqlite3_step(s.s) != SQLITE_DONE) {
        Fail("cannot write the record");
        return std::nullopt;
    }
    if (pending && sqlite3_changes(db_) == 1)
        return pending;
    if (pending) {
        // The pending row is gone (the file was replaced meanwhile): the end is not lost for it.
        error_ = "the pending record was not found";
        return std::nullopt;
    }
    return sqlite3_last_insert_rowid(db_);
}

std::vector<HistoryRecord> History::Query(const std::string& sql, const std::vector<std::string>& arguments)
{
    std::vector<HistoryRecord> rows;
    std::lock_guard lock(mutex_);
    Statement s(db_, sql);
    if (!s) {
        Fail("cannot read the history");
        return rows;
    }
    for (std::size_t i = 0; i < arguments.size(); ++i)
        s.Text(static_cast<int>(i + 1), arguments[i]);
    while (sqlite3_step(s.s) == SQLITE_ROW) {
        HistoryRecord r;
        r.id = sqlite3_column_int64(s.s, 0);
        r.outcome = s.Column(1);
        if (sqlite3_column_type(s.s, 2) != SQLITE_NULL)
            r.exit = sqlite3_column_int(s.s, 2);
        Identity& id = r.identity;
        id.station = s.Column(3);
        id.slot = s.Column(4);
        r.port = s.Column(5);
        id.adapterVidPid = s.Column(6);
        id.driver = s.Column(7);
        id.adapterSerial = s.Column(8);
        id.unit = s.Column(9);
        id.operatorName = s.Column(10);
        id.programVersion = s.Column(11);
        id.firmwareVersion = s.Column(12);
        id.firmwareSha256 = s.Column(13);
        if (sqlite3_column_type(s.s, 14) != SQLITE_NULL)
            r.versionFound = s.Column(14);
        r.relation = s.Column(15);
        r.linesSent = sqlite3_column_int(s.s, 16);
        r.started = s.Column(17);
        r.erased = s.Column(18);
        r.ended = s.Column(19);
        r.pid = static_cast<long>(sqlite3_column_int64(s.s, 20));
        rows.push_back(std::move(r));
    }
    return rows;
}

std::vector<HistoryRecord> History::Last(int limit, const std::optional<std::string>& unit)
{
    const std::string where = unit ? " WHERE unit_name=?1" : "";
    std::vector<HistoryRecord> rows =
        Query(std::string("SELECT ") + kColumns + " FROM records" + where + " ORDER BY id DESC LIMIT " + std::to_string(limit),
              unit ? std::vector<std::string>{*unit} : std::vector<std::string>{});
    std::reverse(rows.begin(), rows.end());
    return rows;
}

std::vector<HistoryRecord> History::All()
{
    return Query(std::string("SELECT ") + kColumns + " FROM records ORDER BY id", {});
}

std::optional<HistoryRecord> History::LastOf(const std::string& unit)
{
    std::vector<HistoryRecord> rows = Last(1, unit);
    if (rows.empty())
        return std::nullopt;
    return rows.back();
}

std::optional<HistoryRecord> History::LastUpdateOf(const std::string& unit)
{
    std::vector<HistoryRecord> rows = Query(
        std::string("SELECT ") + kColumns + " FROM records WHERE unit_name=?1 AND erased IS NOT NULL ORDER BY id DESC LIMIT 1", {unit});
    if (rows.empty())
        return std::nullopt;
    return rows.back();
}

std::vector<HistoryRecord> History::OpenPending()
{
    // A later row of the same unit answers a pending one when it ended in Done (the unit has its
    // firmware again) or is pending itself (that row speaks for the unit now).
    return Query(std::string("SELECT ") + kColumns +
                     " FROM records AS p WHERE p.outcome='pending' AND NOT EXISTS (SELECT 1 FROM records AS l WHERE l.id > p.id"
                     " AND l.outcome IN ('done','pending') AND (CASE WHEN p.unit_name IS NOT NULL THEN l.unit_name=p.unit_name"
                     " ELSE l.unit_name IS NULL AND l.slot=p.slot END)) ORDER BY p.id",
                 {});
}

std::vector<HistoryDay> History::Summary()
{
    // The updates: rows whose erase was asked for. A unit is its name; a unit without one is
    // its row alone (nothing says that two rows were the same unit).
    std::vector<HistoryRecord> updates =
        Query(std::string("SELECT ") + kColumns + " FROM records WHERE erased IS NOT NULL ORDER BY id", {});
    std::map<std::string, HistoryDay> days;
    std::map<std::string, std::pair<std::string, std::string>> spans;  // day -> first start, last end
    std::set<std::string> seen;
    for (const HistoryRecord& r : updates) {
        const std::string day = r.started.substr(0, 10);
        HistoryDay& d = days[day];
        d.day = day;
        const bool passed = r.outcome == "done";
        (passed ? d.passed : d.failed) += 1;
        const std::string unit = r.identity.unit.empty() ? "#" + std::to_string(r.id) : "=" + r.identity.unit;
        if (seen.insert(unit).second) {
            ++d.firstTried;
            d.firstPassed += passed ? 1 : 0;
        }
        auto& [first, last] = spans[day];
        if (first.empty() || r.started < first)
            first = r.started;
        const std::string end = r.ended.empty() ? r.started : r.ended;
        if (end > last)
            last = end;
    }
    std::vector<HistoryDay> out;
    for (auto& [day, d] : days) {
        d.hours = HoursBetween(spans[day].first, spans[day].second);
        out.push_back(d);
    }
    return out;
}

namespace records {

QJsonObject HistoryFields(const HistoryRecord& record)
{
    QJsonObject fields = IdentityFields(record.identity);
    fields.insert("id", static_cast<qint64>(record.id));
    fields.insert("outcome", Q(record.outcome));
    fields.insert("exit", record.exit ? QJsonValue(*record.exit) : QJsonValue());
    fields.insert("port", OrNull(record.port));
    fields.insert("version_found", record.versionFound ? QJsonValue(Q(*record.versionFound)) : QJsonValue());
    fields.insert("version_relation", OrNull(record.relation));
    fields.insert("lines_sent", record.linesSent);
    fields.insert("started", OrNull(record.started));
    fields.insert("erased", OrNull(record.erased));
    fields.insert("ended", OrNull(record.ended));
    fields.insert("pid", static_cast<qint64>(record.pid));
    return fields;
}

std::string HistoryText(const HistoryRecord& r)
{
    const auto or_ = [](const std::string& text, const char* none) { return text.empty() ? std::string(none) : StatusText::PrintableText(text); };
    // The outcome stands by its name, as --json, the report and the journal give it.
    //: --history: one record. %1 its time, %2 the outcome's name ("done", kept as it is), %3 the
    //: unit, %4 the slot, %5 the operator, %6 the station, %7 the version found, %8 the firmware
    //: sent, %9 the lines sent. The labels are read by people; keep two spaces between fields.
    std::string line = Words::Fill(Words::Tr("Terminal", "%1  %2  unit %3  slot %4  operator %5  station %6  found %7  firmware %8  lines %9"),
                                   {r.ended.empty() ? r.started : r.ended, r.outcome, or_(r.identity.unit, "-"), or_(r.identity.slot, "-"),
                                    or_(r.identity.operatorName, "-"), or_(r.identity.station, "-"),
                                    r.versionFound ? or_(*r.versionFound, "-") : std::string("-"), or_(r.identity.firmwareVersion, "-"),
                                    std::to_string(r.linesSent)});
    if (r.Pending())
        line += "  " + Words::Fill(Words::Tr("Terminal", "(erase asked for at %1, no end recorded)"), {r.erased});
    return line;
}

std::string SummaryText(const HistoryDay& d)
{
    char yield[32], rate[32];
    std::snprintf(yield, sizeof yield, "%.1f", d.FirstPassYield() * 100.0);
    std::snprintf(rate, sizeof rate, "%.1f", d.UnitsPerHour());
    //: --history --summary: one day. %1 the day, %2 passed, %3 failed, %4 the first-pass yield in
    //: per cent, %5 units per hour.
    return Words::Fill(Words::Tr("Terminal", "%1  passed %2  failed %3  first-pass yield %4 %  units per hour %5"),
                       {d.day, std::to_string(d.passed), std::to_string(d.failed), yield, rate});
}

QJsonObject SummaryDayFields(const HistoryDay& d)
{
    return {{"day", Q(d.day)},
            {"passed", d.passed},
            {"failed", d.failed},
            {"first_tried", d.firstTried},
            {"first_passed", d.firstPassed},
            {"first_pass_yield", std::round(d.FirstPassYield() * 10000.0) / 10000.0},
            {"units_per_hour", std::round(d.UnitsPerHour() * 100.0) / 100.0}};
}

}  // namespace records
