// The records a run keeps: the history's rows as written and read back, which pending records
// are still open, the figures per day, several writers at once and writers killed mid-write,
// the layout's versions, the slots' locks, the journal's fields and the identity's facts.
#include "run/History.h"
#include "run/Identity.h"
#include "run/Journal.h"
#include "run/Ledger.h"
#include "core/Words.h"
#include "tests/support/Processes.h"
#include "tests/support/TestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <sched.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace records;

namespace {

std::string Fresh(const std::string& name)
{
    const std::string folder = testing::TempDir() + "history-" + name + "/";
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder + "history.sqlite";
}

std::unique_ptr<History> OpenOrFail(const std::string& path)
{
    std::string error;
    std::unique_ptr<History> h = History::Open(path, error);
    EXPECT_TRUE(h) << error;
    return h;
}

Identity Named(const std::string& unit, const std::string& slot = "pci-0000:00:14.0-usb-0:1.2:1.0-port0")
{
    Identity id = identity::ForRun("alice");
    id.slot = slot;
    id.unit = unit;
    id.adapterVidPid = "0403:6001";
    id.driver = "ftdi_sio";
    id.adapterSerial = "A50285BI";
    return id;
}

UnitEnd EndOf(const Identity& id, Ending ending, const std::string& started, const std::string& ended, int lines = 0)
{
    return {.port = "/dev/ttyUSB0", .versionFound = "2.005", .relation = VersionRelation::Older, .ending = ending,
            .seconds = 30, .linesSent = lines, .identity = id, .started = started, .ended = ended};
}

std::string Check(sqlite3* db)
{
    std::string result;
    sqlite3_exec(
        db, "PRAGMA integrity_check",
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) += values[0] ? values[0] : "";
            return 0;
        },
        &result, nullptr);
    return result;
}

// A row is whole when it is either pending (no end, no status) or ended (an end and a status),
// and carries every part of the identity that the writers below give.
void ExpectWhole(const HistoryRecord& r)
{
    SCOPED_TRACE(r.id);
    if (r.Pending()) {
        EXPECT_FALSE(r.exit);
        EXPECT_TRUE(r.ended.empty());
        EXPECT_FALSE(r.erased.empty());
    } else {
        EXPECT_TRUE(r.exit);
        EXPECT_FALSE(r.ended.empty());
    }
    EXPECT_FALSE(r.identity.station.empty());
    EXPECT_FALSE(r.identity.slot.empty());
    EXPECT_FALSE(r.identity.unit.empty());
    EXPECT_EQ(r.identity.firmwareSha256, Shipped().sha256);
    EXPECT_FALSE(r.started.empty());
}

// What a writer process does: `count` units, each a pending record and its end, as an updater
// writes them. Ends the process.
[[noreturn]] void WriteUnits(const std::string& path, const std::string& who, int count)
{
    std::string error;
    std::unique_ptr<History> h = History::Open(path, error);
    if (!h)
        _exit(3);
    for (int i = 0; i < count; ++i) {
        const UnitEnd end = EndOf(Named(who + "-" + std::to_string(i)), i % 7 ? Ending::Done : Ending::NotDone, Now(), Now(), 3075);
        std::optional<std::int64_t> id = h->AddPending(end, Now());
        if (!id || !h->AddEnd(end, id, Now()))
            _exit(4);
    }
    _exit(0);
}

// A unit's ledger bound to a port whose by-path link is named as `id`'s slot, as udev names one.
// Its folder of ports is `folder`, the same for the same folder.
std::shared_ptr<UnitLedger> Bound(std::shared_ptr<Ledger> ledger, const Identity& id, const std::string& folder = "ports")
{
    const fs::path root = fs::path(testing::TempDir()) / folder;
    fs::create_directories(root / "by-path");
    std::ofstream(root / "ttyUSB0");
    const bool linked = id.slot.find('/') == std::string::npos;
    std::error_code exists;
    if (linked)
        fs::create_symlink(root / "ttyUSB0", root / "by-path" / id.slot, exists);
    auto unit = std::make_shared<UnitLedger>(std::move(ledger), id);
    const StatusText::AdapterFacts adapter{.vendorProduct = id.adapterVidPid, .serialNumber = id.adapterSerial};
    EXPECT_TRUE(unit->Bind(linked ? (root / "ttyUSB0").string() : id.slot, adapter, (root / "by-path").string(), (root / "sys").string()));
    return unit;
}

}  // namespace

TEST(History, EachRecordReadsBackAsItWasWritten)
{
    const std::string path = Fresh("readback");
    std::unique_ptr<History> h = OpenOrFail(path);
    ASSERT_TRUE(h);
    const struct {
        Ending ending;
        bool pendingFirst;  // the erase was asked for
        std::string unit;
        std::optional<std::string> version;
        const char* outcome;
        std::optional<int> exit;
    } table[] = {
        {Ending::Done, true, "PCB-1", "2.005", "done", 0},
        {Ending::NotDone, true, "PCB-2", "2.005", "not-done", 11},
        {Ending::Checked, false, "PCB-3", "2.007", "checked", 0},
        {Ending::Declined, false, "", std::nullopt, "declined", 9},
        {Ending::Interrupted, true, "PCB-5", "2.001", "interrupted", 130},
        {Ending::NoAdapter, false, "PCB-6", std::nullopt, "no-adapter", 2},
    };
    for (const auto& row : table) {
        UnitEnd end = EndOf(Named(row.unit), row.ending, "2026-12-09T10:00:00.000Z", "2026-12-09T10:00:30.000Z", 17);
        end.versionFound = row.version;
        std::optional<std::int64_t> pending;
        if (row.pendingFirst) {
            pending = h->AddPending(end, "2026-12-09T10:00:05.000Z");
            ASSERT_TRUE(pending) << h->Error();
            const HistoryRecord written = h->All().back();
            EXPECT_TRUE(written.Pending());
            EXPECT_EQ(written.id, *pending);
            EXPECT_EQ(written.linesSent, 0);
        }
        std::optional<std::int64_t> id = h->AddEnd(end, pending, row.pendingFirst ? "2026-12-09T10:00:05.000Z" : "");
        ASSERT_TRUE(id) << h->Error();
        if (pending) {
            EXPECT_EQ(*id, *pending) << "the end replaces the pending record";
        }
    }
    const std::vector<HistoryRecord> rows = h->All();
    ASSERT_EQ(rows.size(), std::size(table));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& row = table[i];
        const HistoryRecord& r = rows[i];
        SCOPED_TRACE(row.outcome);
        EXPECT_EQ(r.outcome, row.outcome);
        EXPECT_EQ(r.exit, row.exit);
        EXPECT_EQ(r.identity.unit, row.unit);
        EXPECT_EQ(r.identity.operatorName, "alice");
        EXPECT_EQ(r.identity.station, identity::StationName());
        EXPECT_EQ(r.identity.driver, "ftdi_sio");
        EXPECT_EQ(r.identity.firmwareVersion, Shipped().version.substr(1));
        EXPECT_EQ(r.versionFound, row.version);
        EXPECT_EQ(r.relation, row.version ? "older" : "");
        EXPECT_EQ(r.erased.empty(), !row.pendingFirst);
        EXPECT_EQ(r.linesSent, 17);
        EXPECT_EQ(r.pid, ::getpid());
        // --history --json: the end event's identity keys, and the row's own.
        const QJsonObject json = HistoryFields(r);
        for (const QString& key : IdentityFields(r.identity).keys())
            EXPECT_EQ(json[key], IdentityFields(r.identity)[key]) << key.toStdString();
        EXPECT_EQ(json["outcome"].toString().toStdString(), row.outcome);
        EXPECT_EQ(json["exit"], row.exit ? QJsonValue(*row.exit) : QJsonValue());
        EXPECT_NE(HistoryText(r).find(row.outcome), std::string::npos);
    }
    EXPECT_EQ(h->Last(2).size(), 2u);
    EXPECT_EQ(h->Last(2).back().outcome, "no-adapter");
    EXPECT_EQ(h->Last(100, std::string("PCB-2")).size(), 1u);
    ASSERT_TRUE(h->LastOf("PCB-1"));
    EXPECT_EQ(h->LastOf("PCB-1")->outcome, "done");
    EXPECT_FALSE(h->LastOf("PCB-404"));
}

TEST(History, APendingRecordStaysOpenUntilTheUnitIsDoneOrPendingAgain)
{
    // Each step: a unit (by name, or "" for none) on a slot, ending as given (nullopt: left
    // pending, as by a kill); then which steps' pending records are open.
    struct Step {
        std::string unit;
        std::string slot;
        std::optional<Ending> ending;
    };
    const struct {
        const char* what;
        std::vector<Step> steps;
        std::vector<int> open;
    } table[] = {
        {"killed mid-update", {{"A", "s1", std::nullopt}}, {0}},
        {"ended as it should", {{"A", "s1", Ending::Done}}, {}},
        {"killed, then done", {{"A", "s1", std::nullopt}, {"A", "s2", Ending::Done}}, {}},
        {"killed, then failed again", {{"A", "s1", std::nullopt}, {"A", "s1", Ending::NotDone}}, {0}},
        {"killed twice: the later one speaks", {{"A", "s1", std::nullopt}, {"A", "s1", std::nullopt}}, {1}},
        {"another unit on the slot is no answer", {{"A", "s1", std::nullopt}, {"B", "s1", Ending::Done}}, {0}},
        {"no name: the slot is the unit", {{"", "s1", std::nullopt}, {"", "s1", Ending::Done}}, {}},
        {"no name, another slot", {{"", "s1", std::nullopt}, {"", "s2", Ending::Done}}, {0}},
        {"a named unit does not answer for the slot", {{"", "s1", std::nullopt}, {"C", "s1", Ending::Done}}, {0}},
    };
    int n = 0;
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        std::unique_ptr<History> h = OpenOrFail(Fresh("open-" + std::to_string(n++)));
        ASSERT_TRUE(h);
        std::vector<std::int64_t> ids;
        for (const Step& step : row.steps) {
            const UnitEnd end = EndOf(Named(step.unit, step.slot), step.ending.value_or(Ending::Done), Now(), Now());
            std::optional<std::int64_t> id = h->AddPending(end, Now());
            ASSERT_TRUE(id);
            if (step.ending) {
                ASSERT_TRUE(h->AddEnd(end, id, Now()));
            }
            ids.push_back(*id);
        }
        std::vector<std::int64_t> open, expected;
        for (const HistoryRecord& r : h->OpenPending())
            open.push_back(r.id);
        for (int i : row.open)
            expected.push_back(ids[i]);
        EXPECT_EQ(open, expected);
    }
}

TEST(History, TheSummaryCountsEachDaysUpdates)
{
    std::unique_ptr<History> h = OpenOrFail(Fresh("summary"));
    ASSERT_TRUE(h);
    // unit, outcome (nullopt: pending), start, end; only updates (an erase asked for) count.
    const struct {
        std::string unit;
        std::optional<Ending> ending;
        const char* started;
        const char* ended;
        bool erased;
    } rows[] = {
        {"A", Ending::Done, "2026-12-08T08:00:00.000Z", "2026-12-08T08:00:30.000Z", true},
        {"B", Ending::NotDone, "2026-12-08T08:10:00.000Z", "2026-12-08T08:10:30.000Z", true},
        {"B", Ending::Done, "2026-12-08T09:59:30.000Z", "2026-12-08T10:00:00.000Z", true},
        {"C", Ending::Checked, "2026-12-08T11:00:00.000Z", "2026-12-08T11:00:05.000Z", false},
        {"D", std::nullopt, "2026-12-09T07:00:00.000Z", "", true},
        {"A", Ending::Done, "2026-12-09T07:30:00.000Z", "2026-12-09T08:00:00.000Z", true},
    };
    for (const auto& row : rows) {
        const UnitEnd end = EndOf(Named(row.unit), row.ending.value_or(Ending::Done), row.started, row.ended);
        std::optional<std::int64_t> id = row.erased ? h->AddPending(end, row.started) : std::nullopt;
        if (row.ending) {
            ASSERT_TRUE(h->AddEnd(end, id, row.erased ? row.started : ""));
        }
    }
    const std::vector<HistoryDay> days = h->Summary();
    ASSERT_EQ(days.size(), 2u);
    const struct {
        const char* day;
        int passed, failed, firstTried, firstPassed;
        double yield, perHour;
    } expected[] = {
        // A and B tried first; A passed first time; 2 passed in the two hours 08:00-10:00.
        {"2026-12-08", 2, 1, 2, 1, 0.5, 1.0},
        // D is new (pending: failed); A again is no first try; 1 passed in the hour 07:00-08:00.
        {"2026-12-09", 1, 1, 1, 0, 0.0, 1.0},
    };
    for (std::size_t i = 0; i < days.size(); ++i) {
        SCOPED_TRACE(expected[i].day);
        EXPECT_EQ(days[i].day, expected[i].day);
        EXPECT_EQ(days[i].passed, expected[i].passed);
        EXPECT_EQ(days[i].failed, expected[i].failed);
        EXPECT_EQ(days[i].firstTried, expected[i].firstTried);
        EXPECT_EQ(days[i].firstPassed, expected[i].firstPassed);
        EXPECT_DOUBLE_EQ(days[i].FirstPassYield(), expected[i].yield);
        EXPECT_DOUBLE_EQ(days[i].UnitsPerHour(), expected[i].perHour);
        EXPECT_EQ(SummaryDayFields(days[i])["passed"].toInt(), expected[i].passed);
    }
    EXPECT_EQ(SummaryText(days[0]), "2026-12-08  passed 2  failed 1  first-pass yield 50.0 %  units per hour 1.0");
}

TEST(History, UpdatersStartedTogetherMakeOneHistory)
{
    // Four updaters that start at once on a file none has made yet: each opens it, in WAL mode,
    // and writes its unit. Ten fresh files, so that the moment they meet differs.
    for (int round = 0; round < 10; ++round) {
        const std::string path = Fresh("together-" + std::to_string(round));
        std::vector<pid_t> writers;
        for (int w = 0; w < 4; ++w) {
            pid_t pid = ::fork();
            ASSERT_GE(pid, 0);
            if (pid == 0)
                WriteUnits(path, "w" + std::to_string(w), 1);
            writers.push_back(pid);
        }
        for (pid_t pid : writers) {
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round << ": " << status;
        }
        std::unique_ptr<History> h = OpenOrFail(path);
        ASSERT_TRUE(h);
        EXPECT_EQ(h->All().size(), 4u) << "round " << round;
    }
}

TEST(History, TwoUpdatersWritingAtOnceLoseNothing)
{
    // The two make the file together, as two updaters started at once do.
    const std::string path = Fresh("two");
    std::vector<pid_t> writers;
    for (const char* who : {"left", "right"}) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
            WriteUnits(path, who, 200);
        writers.push_back(pid);
    }
    for (pid_t pid : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    std::unique_ptr<History> h = OpenOrFail(path);
    ASSERT_TRUE(h);
    const std::vector<HistoryRecord> rows = h->All();
    EXPECT_EQ(rows.size(), 400u);
    std::map<std::string, int> perWriter;
    for (const HistoryRecord& r : rows) {
        ExpectWhole(r);
        EXPECT_FALSE(r.Pending());
        ++perWriter[r.identity.unit.substr(0, r.identity.unit.find('-'))];
    }
    EXPECT_EQ(perWriter, (std::map<std::string, int>{{"left", 200}, {"right", 200}}));
    EXPECT_EQ(Check(h->Handle()), "ok");
}

TEST(History, AWriterKilledAtAnyPointLeavesOnlyWholeRows)
{
    const std::string path = Fresh("killed");
    { ASSERT_TRUE(OpenOrFail(path)); }
    std::mt19937 random(1234);
    // Kills at random moments (1 to 40 ms in: inside a commit's fsync as often as between two)
    // while a second writer goes on beside it.
    pid_t beside = ::fork();
    ASSERT_GE(beside, 0);
    if (beside == 0)
        WriteUnits(path, "beside", 300);
    for (int round = 0; round < 15; ++round) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
            WriteUnits(path, "killed" + std::to_string(round), 1000);
        ::usleep(1000 + random() % 40000);
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status)) << "round " << round << " ended before its kill";
    }
    int status = 0;
    ASSERT_EQ(::waitpid(beside, &status, 0), beside);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    std::unique_ptr<History> h = OpenOrFail(path);
    ASSERT_TRUE(h);
    EXPECT_EQ(Check(h->Handle()), "ok");
    int fromBeside = 0, pending = 0;
    for (const HistoryRecord& r : h->All()) {
        ExpectWhole(r);
        fromBeside += r.identity.unit.starts_with("beside-") ? 1 : 0;
        pending += r.Pending() ? 1 : 0;
    }
    EXPECT_EQ(fromBeside, 300) << "the writer beside the killed ones lost records";
    // A kill lands between a unit's pending record and its end about as often as not.
    EXPECT_LE(pending, 15);
}

TEST(History, TheLayoutIsVersionedAndANewerOneIsLeftAlone)
{
    const struct {
        const char* what;
        std::function<void(const std::string&)> make;
        bool opens;
        const char* error;
    } table[] = {
        {"no file yet", [](const std::string&) {}, true, ""},
        {"an empty database (layout 0)",
         [](const std::string& path) {
             sqlite3* db = nullptr;
             sqlite3_open(path.c_str(), &db);
             sqlite3_exec(db, "CREATE TABLE unrelated(x)", nullptr, nullptr, nullptr);
             sqlite3_close(db);
         },
         true, ""},
        {"a newer program's layout",
         [](const std::string& path) {
             sqlite3* db = nullptr;
             sqlite3_open(path.c_str(), &db);
             sqlite3_exec(db, "PRAGMA user_version=7", nullptr, nullptr, nullptr);
             sqlite3_close(db);
         },
         false, "written by a newer program (layout 7, this one knows up to 1)"},
        {"no database at all", [](const std::string& path) { std::ofstream(path) << std::string(4096, 'x'); }, false,
         "file is not a database"},
    };
    int n = 0;
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        const std::string path = Fresh("layout-" + std::to_string(n++));
        row.make(path);
        std::string error;
        std::unique_ptr<History> h = History::Open(path, error);
        EXPECT_EQ(h != nullptr, row.opens) << error;
        EXPECT_NE(error.find(row.error), std::string::npos) << error;
        if (!h)
            continue;
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(h->Handle(), "PRAGMA user_version", -1, &s, nullptr);
        ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
        EXPECT_EQ(sqlite3_column_int(s, 0), History::kSchemaVersion);
        sqlite3_finalize(s);
        sqlite3_prepare_v2(h->Handle(), "PRAGMA journal_mode", -1, &s, nullptr);
        ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
        EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), "wal");
        sqlite3_finalize(s);
    }
}

TEST(Ledger, APendingRecordIsLeftEmptyOnlyWhenNoUpdaterHoldsItsSlot)
{
    const std::string path = Fresh("ledger");
    std::string error;
    std::shared_ptr<Ledger> ledger = Ledger::Open({.historyFile = path, .journal = false}, error);
    ASSERT_TRUE(ledger) << error;
    const Identity unit = Named("PCB-7", "pci-0000:00:14.0-usb-0:1.2:1.0-port0");
    const Identity unnamed = Named("", "/dev/pts/9");

    // The update runs: its pending record is its updater's, not left.
    std::shared_ptr<UnitLedger> running = Bound(ledger, unit);
    running->Found("2.005", VersionRelation::Older);
    running->BeforeErase();
    ASSERT_EQ(ledger->Records().OpenPending().size(), 1u);
    EXPECT_TRUE(ledger->LeftEmpty().empty());
    const fs::path ports = fs::path(testing::TempDir()) / "ports";
    // Another updater on the same slot finds it held, and erases nothing: its pending record
    // would stand for a unit left empty.
    UnitLedger second(ledger, unit);
    EXPECT_FALSE(second.Bind((ports / "ttyUSB0").string(), {}, (ports / "by-path").string(), "/x"));
    EXPECT_THROW(second.BeforeErase(), std::runtime_error);
    EXPECT_EQ(ledger->Records().OpenPending().size(), 1u);

    // Its end replaces the record, also for a look that read the record before that end.
    const std::vector<HistoryRecord> lookedBefore = ledger->Records().OpenPending();
    UnitEnd end{.port = "/dev/ttyUSB0", .ending = Ending::Done, .linesSent = 3075};
    ASSERT_TRUE(running->End(end));
    EXPECT_TRUE(ledger->LeftEmptyOf(lookedBefore).empty());
    EXPECT_EQ(end.identity.unit, "PCB-7");
    EXPECT_EQ(end.versionFound, "2.005");
    EXPECT_FALSE(end.started.empty());
    EXPECT_FALSE(end.ended.empty());
    EXPECT_TRUE(ledger->Records().OpenPending().empty());
    EXPECT_EQ(ledger->Records().All().size(), 1u);
    // After its end a unit is never erased.
    EXPECT_THROW(running->BeforeErase(), std::runtime_error);
    EXPECT_EQ(ledger->Records().All().size(), 1u);

    // An updater that went without its end (its lock let go, as by a kill): left empty.
    {
        std::shared_ptr<UnitLedger> cut = Bound(ledger, unnamed);
        cut->BeforeErase();
    }
    const std::vector<HistoryRecord> left = ledger->LeftEmpty();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(LeftEmptyText(left[0]), "The QZ7 /dev/pts/9 on /dev/pts/9 was left without firmware at " + left[0].erased +
                                          "; update it again.");
    HistoryRecord named = left[0];
    named.identity.unit = "PCB-9";
    named.identity.slot = "usb-slot-3";
    EXPECT_EQ(LeftEmptyText(named), "The QZ7 PCB-9 on usb-slot-3 was left without firmware at " + named.erased + "; update it again.");

    // A slot's name may hold any byte: its lock file keeps to a plain name.
    EXPECT_EQ(fs::path(ledger->LockPath("pci-0000:00:14.0-usb-0:1.2:1.0-port0")).filename(),
              "pci-0000%3A00%3A14.0-usb-0%3A1.2%3A1.0-port0.lock");
    EXPECT_EQ(fs::path(ledger->LockPath("/dev/pts/9")).filename(), "%2Fdev%2Fpts%2F9.lock");
}

TEST(Ledger, SkipDoneLeavesAUnitWhoseLastUpdateWasDoneWithThisFirmware)
{
    // Each unit's rows in order: its end (nullopt: left pending), whether the erase was asked
    // for, and whether it carried this firmware; then whether --skip-done leaves it.
    struct Row {
        std::optional<Ending> ending;
        bool erased = true;
        bool thisFirmware = true;
    };
    const struct {
        const char* what;
        std::vector<Row> rows;
        bool skipped;
    } table[] = {
        {"never updated", {}, false},
        {"done with this firmware", {{Ending::Done}}, true},
        {"done with another firmware", {{Ending::Done, true, false}}, false},
        {"failed last", {{Ending::Done}, {Ending::NotDone}}, false},
        {"left pending last", {{Ending::Done}, {std::nullopt}}, false},
        {"read or left since: the firmware is as it was", {{Ending::Done}, {Ending::Checked, false}, {Ending::AlreadyCurrent, false}}, true},
        {"failed, then done", {{Ending::Stopped}, {Ending::Done}}, true},
    };
    int n = 0;
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        std::string error;
        std::shared_ptr<Ledger> ledger = Ledger::Open({.historyFile = Fresh("skip-" + std::to_string(n++)), .journal = false}, error);
        ASSERT_TRUE(ledger) << error;
        for (const Row& r : row.rows) {
            Identity id = Named("PCB-S");
            if (!r.thisFirmware)
                id.firmwareSha256 = std::string(64, '0');
            const UnitEnd end = EndOf(id, r.ending.value_or(Ending::Done), Now(), Now());
            std::optional<std::int64_t> pending = r.erased ? ledger->Records().AddPending(end, Now()) : std::nullopt;
            if (r.ending) {
                ASSERT_TRUE(ledger->Records().AddEnd(end, pending, r.erased ? Now() : ""));
            }
        }
        // Another unit's Done says nothing of this one.
        ASSERT_TRUE(ledger->Records().AddEnd(EndOf(Named("PCB-T"), Ending::Done, Now(), Now()), std::nullopt, Now()));
        const std::optional<HistoryRecord> done = ledger->DoneAlready("PCB-S");
        EXPECT_EQ(done.has_value(), row.skipped);
        if (done) {
            EXPECT_EQ(DoneAlreadyText(*done), "Last updated to " + Shipped().version.substr(1) + " (Done) at " + done->ended +
                                                  ": not updated again (--skip-done).");
        }
    }
}

TEST(Journal, EachRecordIsOneEntryWithItsFields)
{
    const Identity id = Named("PCB-0042");
    UnitEnd unit = EndOf(id, Ending::NotDone, "2026-12-09T10:00:00.000Z", "2026-12-09T10:00:30.000Z", 1419);
    const struct {
        const char* record;
        Ending ending;
        std::map<std::string, std::string> has;
        std::vector<std::string> lacks;
        const char* message;
    } table[] = {
        {"pending",
         Ending::Done,
         {{"QZ7_RECORD", "pending"}, {"QZ7_OUTCOME", "pending"}, {"QZ7_ERASED", "2026-12-09T10:00:05.000Z"}, {"QZ7_RECORD_ID", "12"}},
         {"QZ7_EXIT", "QZ7_LINES_SENT", "QZ7_ENDED"},
         "QZ7 PCB-0042 on pci-0000:00:14.0-usb-0:1.2:1.0-port0: erasing for firmware %1 (pending: without firmware until the update ends)"},
        {"end",
         Ending::NotDone,
         {{"QZ7_RECORD", "end"}, {"QZ7_OUTCOME", "not-done"}, {"QZ7_EXIT", "11"}, {"QZ7_LINES_SENT", "1419"},
          {"QZ7_ENDED", "2026-12-09T10:00:30.000Z"}},
         {},
         "QZ7 PCB-0042 on pci-0000:00:14.0-usb-0:1.2:1.0-port0: not-done (status 11, firmware %1, 1419 lines)"},
        {"end",
         Ending::Done,
         {{"QZ7_OUTCOME", "done"}, {"QZ7_EXIT", "0"}},
         {},
         "QZ7 PCB-0042 on pci-0000:00:14.0-usb-0:1.2:1.0-port0: done (status 0, firmware %1, 1419 lines)"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.record);
        unit.ending = row.ending;
        std::map<std::string, std::string> fields;
        for (const auto& [name, value] : journal::RecordFields(row.record, unit, 12, "2026-12-09T10:00:05.000Z")) {
            EXPECT_FALSE(fields.contains(name)) << name << " twice";
            fields[name] = value;
        }
        std::map<std::string, std::string> expected = row.has;
        expected.insert({{"QZ7_UNIT", "PCB-0042"},
                         {"QZ7_SLOT", id.slot},
                         {"QZ7_STATION", id.station},
                         {"QZ7_OPERATOR", "alice"},
                         {"QZ7_FIRMWARE", id.firmwareVersion},
                         {"QZ7_FIRMWARE_SHA256", id.firmwareSha256},
                         {"QZ7_ADAPTER_VID_PID", "0403:6001"},
                         {"QZ7_ADAPTER_DRIVER", "ftdi_sio"},
                         {"QZ7_ADAPTER_SERIAL", "A50285BI"},
                         {"QZ7_PROGRAM_VERSION", id.programVersion},
                         {"QZ7_VERSION_FOUND", "2.005"},
                         {"QZ7_PORT", "/dev/ttyUSB0"},
                         {"QZ7_STARTED", "2026-12-09T10:00:00.000Z"}});
        for (const auto& [name, value] : expected)
            EXPECT_EQ(fields[name], value) << name;
        for (const std::string& name : row.lacks)
            EXPECT_FALSE(fields.contains(name)) << name;
        const std::string message = std::string(row.record) == "pending" ? journal::PendingMessage(unit) : journal::EndMessage(unit);
        EXPECT_EQ(message, Words::Fill(row.message, {id.firmwareVersion}));
    }
    // A fact nobody knows is no field at all.
    UnitEnd bare{.port = "/dev/pts/3", .ending = Ending::Declined, .identity = identity::ForRun("bob")};
    bare.identity.slot = "/dev/pts/3";
    std::map<std::string, std::string> fields;
    for (const auto& [name, value] : journal::RecordFields("end", bare, 0, ""))
        fields[name] = value;
    for (const char* name : {"QZ7_UNIT", "QZ7_ADAPTER_VID_PID", "QZ7_ADAPTER_SERIAL", "QZ7_VERSION_FOUND", "QZ7_RECORD_ID", "QZ7_ERASED"})
        EXPECT_FALSE(fields.contains(name)) << name;
    EXPECT_EQ(journal::EndMessage(bare), "QZ7 on /dev/pts/3: declined (status 9, firmware " + bare.identity.firmwareVersion + ", 0 lines)");
    // Sent where no journal runs (or where one does): nothing else happens.
    journal::Send(journal::EndMessage(bare), 6, journal::RecordFields("end", bare, 0, ""));
}

TEST(Identity, TheSlotAndTheDriverComeFromTheSystemsFiles)
{
    const fs::path root = fs::path(testing::TempDir()) / "identity";
    fs::remove_all(root);
    fs::create_directories(root / "dev/serial/by-path");
    fs::create_directories(root / "sys/class/tty/ttyUSB9/device");
    fs::create_directories(root / "sys/bus/usb-serial/drivers/ftdi_sio");
    std::ofstream(root / "dev/ttyUSB9");
    std::ofstream(root / "dev/ttyS9");
    fs::create_symlink("../../ttyUSB9", root / "dev/serial/by-path/pci-0000:00:14.0-usb-0:1.2:1.0-port0");
    fs::create_symlink(root / "sys/bus/usb-serial/drivers/ftdi_sio", root / "sys/class/tty/ttyUSB9/device/driver");
    const std::string byPath = (root / "dev/serial/by-path").string(), sys = (root / "sys").string();
    const StatusText::AdapterFacts adapter{.vendorProduct = "0403:6001", .serialNumber = "A50285BI"};

    const struct {
        std::string path;
        std::string unit;
        std::string slot;
        std::string driver;
    } table[] = {
        {(root / "dev/ttyUSB9").string(), "PCB-1", "pci-0000:00:14.0-usb-0:1.2:1.0-port0", "ftdi_sio"},
        // No link: the port's path is the slot; no driver known.
        {(root / "dev/ttyS9").string(), "", (root / "dev/ttyS9").string(), ""},
        {"/nonexistent/ttyUSB7", "", "/nonexistent/ttyUSB7", ""},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.path);
        const Identity id = identity::ForUnit(identity::ForRun(std::nullopt), row.path, adapter, row.unit, byPath, sys);
        EXPECT_EQ(id.slot, row.slot);
        EXPECT_EQ(id.driver, row.driver);
        EXPECT_EQ(id.unit, row.unit);
        EXPECT_EQ(id.adapterVidPid, "0403:6001");
        EXPECT_EQ(id.adapterSerial, "A50285BI");
        EXPECT_EQ(id.operatorName, identity::LoginName());
        EXPECT_EQ(id.firmwareSha256, Shipped().sha256);
        EXPECT_EQ(id.programVersion, ProgramVersion());
        EXPECT_FALSE(id.station.empty());
    }
    const std::pair<std::string, bool> names[] = {
        {"PCB-0042", true}, {"Einheit 7 (Ä)", true}, {std::string(128, 'x'), true}, {"", false},
        {std::string(129, 'x'), false}, {"tab\there", false}, {"esc\x1b[2J", false}, {"del\x7f", false},
    };
    for (const auto& [name, valid] : names)
        EXPECT_EQ(identity::ValidName(name), valid) << name;
}

namespace {

// In a mount namespace of its own (so that nothing of the machine's /run or /var/log is
// touched), starts a journald of its own and writes a unit's pending record and end through
// the ledger; then reads them back with journalctl by their fields. The process's exit status:
// 0 when every field came back, 77 when no journald can run here (the reason on standard
// error), else 1.
[[noreturn]] void JournalRoundTrip(const std::string& historyFile)
{
    const char* journald = "/lib/systemd/systemd-journald";
    if (::geteuid() != 0 || ::access(journald, X_OK) != 0) {
        std::fprintf(stderr, "skip: needs root and %s\n", journald);
        _exit(77);
    }
    int shell = std::system("unshare --help >/dev/null 2>&1");
    if (shell != 0) {
        std::fprintf(stderr, "skip: no unshare(1)\n");
        _exit(77);
    }
    // The ledger's writes go from this process, in the namespace: the script below holds it.
    if (::unshare(CLONE_NEWNS) != 0 || std::system("mount --make-rprivate / 2>/dev/null") != 0) {
        std::fprintf(stderr, "skip: no mount namespace here: %s\n", std::strerror(errno));
        _exit(77);
    }
    const char* setup = "mkdir -p /run/systemd /run/log && mount -t tmpfs tmpfs /run/systemd && mount -t tmpfs tmpfs /run/log"
                        " && { [ ! -d /var/log/journal ] || mount -t tmpfs tmpfs /var/log/journal; } && mkdir -p /run/systemd/journal";
    if (std::system(setup) != 0) {
        std::fprintf(stderr, "skip: cannot mount a tmpfs on /run/systemd\n");
        _exit(77);
    }
    pid_t daemon = ::fork();
    if (daemon == 0) {
        ::execl(journald, journald, static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int i = 0; i < 100 && ::access("/run/systemd/journal/socket", F_OK) != 0; ++i)
        ::usleep(50000);
    if (::access("/run/systemd/journal/socket", F_OK) != 0) {
        ::kill(daemon, SIGKILL);
        std::fprintf(stderr, "skip: journald made no socket\n");
        _exit(77);
    }
    std::string error;
    std::shared_ptr<Ledger> ledger = Ledger::Open({.historyFile = historyFile, .journal = true}, error);
    if (!ledger)
        _exit(1);
    std::shared_ptr<UnitLedger> unit = Bound(ledger, Named("PCB-J1", "pci-0000:00:14.0-usb-0:3:1.0-port0"));
    unit->Found("2.005", VersionRelation::Older);
    unit->BeforeErase();
    UnitEnd end{.ending = Ending::NotDone, .linesSent = 1419};
    unit->End(end);
    int status = 1;
    // journald takes the datagrams in order; --sync would ask it by D-Bus, which is not here.
    std::string out;
    for (int i = 0; i < 40; ++i) {
        out = CommandOutput("journalctl -D /run/log/journal --no-pager -o json QZ7_UNIT=PCB-J1", status);
        if (std::count(out.begin(), out.end(), '\n') >= 2)
            break;
        ::usleep(100000);
    }
    ::kill(daemon, SIGTERM);
    ::waitpid(daemon, nullptr, 0);
    std::vector<QJsonObject> entries;
    std::size_t start = 0;
    for (std::size_t nl; (nl = out.find('\n', start)) != std::string::npos; start = nl + 1)
        entries.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(out.substr(start, nl - start))).object());
    std::string expected;
    const auto want = [&](const QJsonObject& e, const char* name, const std::string& value) {
        if (e[name].toString().toStdString() != value)
            expected += std::string(name) + "=" + value + " (got " + e[name].toString().toStdString() + ") ";
    };
    if (entries.size() != 2) {
        std::fprintf(stderr, "%zu entries:\n%s\n", entries.size(), out.c_str());
        _exit(1);
    }
    for (const QJsonObject& e : entries) {
        want(e, "QZ7_UNIT", "PCB-J1");
        want(e, "QZ7_SLOT", "pci-0000:00:14.0-usb-0:3:1.0-port0");
        want(e, "QZ7_STATION", identity::StationName());
        want(e, "QZ7_FIRMWARE", Shipped().version.substr(1));
        want(e, "QZ7_FIRMWARE_SHA256", Shipped().sha256);
        want(e, "QZ7_OPERATOR", "alice");
        want(e, "QZ7_VERSION_FOUND", "2.005");
        want(e, "SYSLOG_IDENTIFIER", "qz7-updater");
    }
    want(entries[0], "QZ7_OUTCOME", "pending");
    want(entries[0], "PRIORITY", "4");
    want(entries[1], "QZ7_OUTCOME", "not-done");
    want(entries[1], "QZ7_EXIT", "11");
    want(entries[1], "QZ7_LINES_SENT", "1419");
    want(entries[1], "MESSAGE", "QZ7 PCB-J1 on pci-0000:00:14.0-usb-0:3:1.0-port0: not-done (status 11, firmware " +
                                    Shipped().version.substr(1) + ", 1419 lines)");
    if (!expected.empty()) {
        std::fprintf(stderr, "%s\n", expected.c_str());
        _exit(1);
    }
    _exit(0);
}

}  // namespace

TEST(Journal, ARealJournaldFindsTheRecordsByTheirFields)
{
    const std::string path = Fresh("journal");
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0)
        JournalRoundTrip(path);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no journald can run here (see the test's standard error)";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
