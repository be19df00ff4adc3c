// Each unit's records as the updater keeps them against the simulator: the identity in the
// report, the end event and the history; a kill -9 at each stage of an update, after which the
// history holds a pending record exactly when the QZ7 may be left without firmware and the next
// run says so first; --skip-done; and --history's forms.
#include "run/History.h"
#include "tests/support/TestSupport.h"

#include <QDateTime>
#include <QJsonObject>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct Files {
    std::string history, out, err, report;
};

Files FilesFor(const std::string& tag)
{
    const std::string base = testing::TempDir() + "records-" + tag;
    fs::remove_all(base);
    fs::create_directories(base);
    return {base + "/history.sqlite", base + "/out", base + "/err", base + "/report.jsonl"};
}

// Starts the updater on `sim` as the unit `unit`, with `extra` arguments: the bench (with a
// report), or the one-unit dialogue; the simulator is powered on as the updater says so.
struct BenchOn {
    BenchOn(bootsim::BootSim& sim, const std::string& unit, const Files& files, std::vector<std::string> extra = {}, bool bench = true)
    {
        std::vector<std::string> args{"--cli", "--yes", "--port", sim.SlavePath() + "=" + unit, "--history-file", files.history,
                                      "--operator", "carol"};
        if (bench)
            args.insert(args.end(), {"--report", files.report});
        args.insert(args.end(), extra.begin(), extra.end());
        int out = ::open(files.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        updater = std::make_unique<Updater>(Launch{{}, args, out, files.err});
        ::close(out);
        power = std::make_unique<PowerOnWhenFileShows>(sim, files.out, bench ? sim.SlavePath() : "");
    }
    std::unique_ptr<Updater> updater;
    std::unique_ptr<PowerOnWhenFileShows> power;
};

// `qz7-updater --history --json` (and `more` arguments) on the file: its lines as objects.
std::vector<QJsonObject> HistoryJson(const std::string& file, const std::string& more = "")
{
    int status = -1;
    const std::string out =
        CommandOutput(QZ7_BINARY_DIR "/qz7-updater --history --json --history-file '" + file + "' " + more + " 2>&1", status);
    EXPECT_EQ(status, 0) << out;
    std::vector<QJsonObject> rows;
    std::size_t start = 0;
    for (std::size_t nl; (nl = out.find('\n', start)) != std::string::npos; start = nl + 1)
        rows.push_back(Parsed(out.substr(start, nl - start)));
    return rows;
}

bool FileHas(const std::string& path, const std::string& part)
{
    return FileText(path).find(part) != std::string::npos;
}

}  // namespace

TEST(UnitRecords, AKillAtEachStageLeavesAPendingRecordExactlyWhenTheQZ7MayBeEmpty)
{
    const struct {
        const char* stage;
        std::function<void(bootsim::Options&)> sim;
        // Until when the test waits before the kill.
        std::function<bool(const bootsim::BootSim&, const Files&)> reached;
        bool pending;             // the history holds a pending record afterwards
        const char* outcome;      // the unit's one row's outcome, or none: no row at all
    } table[] = {
        // The question is answered, but the loader never prompts: "E" has not gone out.
        {"before the erase", [](bootsim::Options& o) { o.silentFrom = bootsim::Stage::Prompt; },
         [](const bootsim::BootSim&, const Files& f) { return FileHas(f.out, "Updating QZ7, please wait..."); }, false, nullptr},
        // "E" went out and the loader never answers: the QZ7 may be erased.
        {"after the erase", [](bootsim::Options& o) { o.silentFrom = bootsim::Stage::Erase; },
         [](const bootsim::BootSim&, const Files& f) { return FileHas(f.err, "pending record:"); }, true, "pending"},
        {"mid-transfer", [](bootsim::Options& o) { o = HeldTransfer(500); },
         [](const bootsim::BootSim& s, const Files&) { return s.Snapshot().lines >= 500; }, true, "pending"},
        // Killed as soon as Done shows: the end was on disk before anything showed it.
        {"after Done", [](bootsim::Options&) {},
         [](const bootsim::BootSim&, const Files& f) {
             for (const std::string& line : ReadLines(f.out))
                 if (line == "Done" || line.ends_with(": Done"))
                     return true;
             return false;
         },
         false, "done"},
    };
    using Row = std::remove_reference_t<decltype(table[0])>;
    const auto run = [](const Row& row, bool bench, int n) {
        SCOPED_TRACE(std::string(row.stage) + (bench ? ", bench" : ", one unit"));
        const Files files = FilesFor("kill-" + std::to_string(n));
        const std::string unit = "PCB-K" + std::to_string(n);
        bootsim::Options options = FastSim();
        row.sim(options);
        bootsim::BootSim sim(options);
        ASSERT_TRUE(sim.Open());
        sim.Start();
        {
            BenchOn updater(sim, unit, files, {}, bench);
            ASSERT_TRUE(WaitUntil([&] { return row.reached(sim, files); }, 30s)) << FileText(files.out) << FileText(files.err);
            if (std::string(row.stage) != "after Done")
                std::this_thread::sleep_for(200ms);  // the command on its way, the loader at it
            ::kill(updater.updater->pid, SIGKILL);
            const int status = updater.updater->Wait(10s);
            // After Done the bench may have ended by itself, just before the kill.
            if (std::string(row.stage) == "after Done")
                EXPECT_TRUE(status == 128 + SIGKILL || status == 0) << status;
            else
                EXPECT_EQ(status, 128 + SIGKILL);
        }
        sim.Resume();

        const std::vector<QJsonObject> rows = HistoryJson(files.history, unit);
        if (!row.outcome) {
            EXPECT_TRUE(rows.empty());
        } else {
            ASSERT_EQ(rows.size(), 1u);
            EXPECT_EQ(rows[0]["outcome"].toString(), row.outcome);
            EXPECT_EQ(rows[0]["unit_name"].toString().toStdString(), unit);
            EXPECT_EQ(rows[0]["slot"].toString().toStdString(), sim.SlavePath());
            EXPECT_EQ(rows[0]["operator"].toString(), "carol");
            EXPECT_EQ(rows[0]["version_found"].toString(), "2.005");
            EXPECT_EQ(rows[0]["firmware_sha256"].toString().toStdString(), Firmware::Sha256);
            EXPECT_EQ(rows[0]["erased"].isString(), true);
            EXPECT_EQ(rows[0]["ended"].isNull(), row.pending);
        }

        // The next run says first what the cut-off one left; the unit it names is not this run's.
        // After the bench's runs it speaks German to the operator, and the event stays English.
        int status = -1;
        const std::string said = CommandOutput(std::string(bench ? "env -u LC_ALL -u LANGUAGE LANG=de_DE.UTF-8 " : "") +
                                                   QZ7_BINARY_DIR "/qz7-updater --cli --yes --json --port /dev/null --history-file '" +
                                                   files.history + "' 2>&1",
                                               status);
        EXPECT_EQ(status, ExitStatus::NoAdapter) << said;
        const std::string event = "\"message\":\"The QZ7 " + unit + " on " + sim.SlavePath() + " was left without firmware at ";
        const std::string told = bench ? "Der QZ7 " + unit + " an " + sim.SlavePath() + " blieb am "
                                       : "The QZ7 " + unit + " on " + sim.SlavePath() + " was left without firmware at ";
        EXPECT_EQ(said.find(told) != std::string::npos, row.pending) << said;
        EXPECT_EQ(said.find(event) != std::string::npos, row.pending) << said;
        if (row.pending) {
            EXPECT_LT(said.find(told), said.find("\"event\":\"start\"")) << "said first";
            EXPECT_NE(said.find(bench ? "; aktualisieren Sie ihn erneut." : "; update it again."), std::string::npos) << said;
            EXPECT_NE(said.find("\"event\":\"left-empty\""), std::string::npos) << said;
        }
    };
    // Every row side by side, in the bench and in the one-unit dialogue.
    std::vector<std::future<void>> runs;
    int n = 0;
    for (bool bench : {true, false})
        for (const auto& row : table)
            runs.push_back(std::async(std::launch::async, run, std::cref(row), bench, n++));
    for (std::future<void>& r : runs)
        r.get();
}

TEST(UnitRecords, EveryRecordOfAnUpdateCarriesItsIdentity)
{
    const Files files = FilesFor("identity");
    bootsim::BootSim sim(FastSim());
    ASSERT_TRUE(sim.Open());
    sim.Start();
    BenchOn bench(sim, "PCB-0042", files, {"--json"});
    ASSERT_EQ(bench.updater->Wait(30s), 0) << FileText(files.err);
    // The report's line, the end event and the history's row say the same of the unit.
    const QJsonObject report = Parsed(ReadLines(files.report).at(0));
    QJsonObject end;
    for (const std::string& line : ReadLines(files.out))
        if (Parsed(line)["event"] == "end")
            end = Parsed(line);
    const std::vector<QJsonObject> history = HistoryJson(files.history);
    ASSERT_EQ(history.size(), 1u);
    const QJsonObject& row = history[0];
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const std::map<QString, QJsonValue> expected{
        {"station", QString(host)},           {"slot", QString::fromStdString(sim.SlavePath())},
        {"unit_name", "PCB-0042"},           {"operator", "carol"},
        {"program_version", QString::fromStdString(ProgramVersion())},    {"firmware_version", QString(Firmware::Version)},
        {"firmware_sha256", QString(Firmware::Sha256)}, {"version_found", "2.005"},
        {"outcome", "done"},                 {"lines_sent", Firmware::Lines},
        {"adapter_driver", QJsonValue()},    {"port", QString::fromStdString(sim.SlavePath())},
    };
    for (const QJsonObject* record : std::initializer_list<const QJsonObject*>{&report, &end, &row})
        for (const auto& [key, value] : expected)
            EXPECT_EQ((*record)[key], value) << key.toStdString() << " in " << records::Line(*record);
    for (const char* key : {"started", "ended"}) {
        EXPECT_EQ(report[key], row[key]) << key;
        EXPECT_TRUE(QDateTime::fromString(row[key].toString(), Qt::ISODateWithMs).isValid()) << key;
        EXPECT_TRUE(row[key].toString().endsWith('Z')) << key;
    }
    // The transcript holds both records too.
    EXPECT_NE(FileText(files.err).find("pending record: {"), std::string::npos);
    EXPECT_NE(FileText(files.err).find("\"unit_name\":\"PCB-0042\""), std::string::npos);

    // --skip-done leaves it now; its record says so, and the Done stays its last update.
    const Files again{files.history, files.out + "2", files.err + "2", files.report + "2"};
    BenchOn skip(sim, "PCB-0042", again, {"--skip-done"});
    EXPECT_EQ(skip.updater->Wait(30s), ExitStatus::AlreadyCurrent) << FileText(again.out);
    EXPECT_NE(FileText(again.out).find("(Done) at " + row["ended"].toString().toStdString() + ": not updated again (--skip-done)."),
              std::string::npos)
        << FileText(again.out);
    EXPECT_EQ(Parsed(ReadLines(again.report).at(0))["outcome"].toString(), "already-current");
    EXPECT_EQ(HistoryJson(files.history).size(), 2u);

    // A port that discovery found: the end event and the history name the port it opened, though
    // the port is closed (and the controller's choice gone) by the time the end is recorded.
    bootsim::BootSim other(FastSim());
    ASSERT_TRUE(other.Open());
    other.Start();
    const Files found{files.history, files.out + "3", files.err + "3", files.report + "3"};
    {
        int out = ::open(found.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        Updater discovered(Launch{{"QZ7_SERIAL_PORTS=usbserial-sim=" + other.SlavePath()},
                                  {"--cli", "--yes", "--json", "--history-file", files.history},
                                  out,
                                  found.err});
        ::close(out);
        PowerOnWhenFileShows power(other, found.out);
        ASSERT_EQ(discovered.Wait(30s), 0) << FileText(found.err);
    }
    for (const std::string& line : ReadLines(found.out)) {
        if (Parsed(line)["event"] == "end") {
            EXPECT_EQ(Parsed(line)["port"].toString().toStdString(), other.SlavePath()) << line;
        }
    }
    EXPECT_EQ(HistoryJson(files.history).back()["port"].toString().toStdString(), other.SlavePath());

    // --history for a person, and --summary.
    int status = -1;
    const std::string text = CommandOutput(QZ7_BINARY_DIR "/qz7-updater --history PCB-0042 --history-file '" + files.history + "'", status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(text.find("  done  unit PCB-0042  slot " + sim.SlavePath() + "  operator carol"), std::string::npos) << text;
    const std::vector<QJsonObject> summary = HistoryJson(files.history, "--summary");
    ASSERT_EQ(summary.size(), 1u);
    EXPECT_EQ(summary[0]["passed"].toInt(), 2);
    EXPECT_EQ(summary[0]["failed"].toInt(), 0);
    EXPECT_EQ(summary[0]["first_pass_yield"].toDouble(), 1.0);
}

TEST(UnitRecords, ARunThatCannotKeepItsHistoryTouchesNoPort)
{
    const std::string notADatabase = testing::TempDir() + "records-not-a-database";
    { std::ofstream(notADatabase) << std::string(4096, 'x'); }
    const struct {
        std::string command;
        int status;
        const char* says;
    } table[] = {
        {"--cli --yes --json --port /dev/null --history-file /proc/self/history.sqlite", ExitStatus::OutputFailed,
         "cannot keep the history /proc/self/history.sqlite"},
        {"--cli --yes --port /dev/null --history-file " + notADatabase, ExitStatus::OutputFailed, "file is not a database"},
        {"--history --history-file " + notADatabase, 1, "cannot read the history"},
        {"--history --history-file " + testing::TempDir() + "records-none.sqlite", 0, "No records yet in"},
        {"--history --unit PCB-1", ExitStatus::Usage, "--history goes alone"},
        {"--history PCB-1 --summary", ExitStatus::Usage, "--history --summary counts every unit"},
        {"--cli --yes --port /dev/a --port /dev/b --unit PCB-1", ExitStatus::Usage, "with several, name each as --port PATH=NAME"},
        {"--cli --yes --port /dev/a=", ExitStatus::Usage, "--port PATH=NAME needs a path and a name"},
        {"--cli --yes --skip-done --port /dev/a", ExitStatus::Usage, "--skip-done looks units up by name"},
        {"--unit PCB-1", ExitStatus::Usage, "go with --cli"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.command);
        int status = -1;
        const std::string said = CommandOutput("LANG=C " QZ7_BINARY_DIR "/qz7-updater " + row.command + " 2>&1", status);
        EXPECT_EQ(status, row.status) << said;
        EXPECT_NE(said.find(row.says), std::string::npos) << said;
        EXPECT_EQ(said.find("\"event\":\"start\""), std::string::npos) << "no unit started";
    }
}
