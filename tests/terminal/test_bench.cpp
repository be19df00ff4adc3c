// The production bench: several simulated QZ7s updated side by side by one qz7-updater --cli,
// its JSON Lines read with Qt's parser, and the report it keeps.
#include "terminal/Bench.h"
#include "tests/support/TestSupport.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

// Simulated units, each on its own pseudo-terminal, listed under USB names.
struct Units {
    explicit Units(std::vector<bootsim::Options> options)
    {
        for (bootsim::Options& o : options) {
            sims.push_back(std::make_unique<bootsim::BootSim>(o));
            EXPECT_TRUE(sims.back()->Open());
            before.push_back(sims.back()->SlaveSettings());
            sims.back()->Start();
            ports += (ports.empty() ? "" : ",") + std::string("usbserial-u") + std::to_string(sims.size()) + "=" +
                     sims.back()->SlavePath();
            cues.push_back(sims.back()->SlavePath());
        }
    }
    // Whether every port that is still there was put back as it was found, and let go.
    void ExpectRestored() const
    {
        for (std::size_t i = 0; i < sims.size(); ++i) {
            if (sims[i]->Snapshot().hungUp)
                continue;
            EXPECT_TRUE(SameSettings(sims[i]->SlaveSettings(), before[i])) << sims[i]->SlavePath();
            EXPECT_FALSE(Pty::HeldExclusively(sims[i]->SlavePath())) << sims[i]->SlavePath();
        }
    }
    std::vector<std::unique_ptr<bootsim::BootSim>> sims;
    std::vector<termios> before;
    std::string ports;
    std::vector<std::string> cues;  // what names each unit in the output: its port, unless changed
};

struct BenchRun {
    int status = -1;
    std::vector<std::string> out;
    std::string report;
    std::string err;  // standard error: the transcript, and the prose with --json
    std::chrono::milliseconds took{};
};

// Runs qz7-updater --cli with `args`, the units listed; standard output to a file.
// `tag` names the run's files apart from the test's other runs side by side.
BenchRun RunBench(const Units& units, std::vector<std::string> args, const std::function<void(Updater&)>& meanwhile = {},
                  const std::string& tag = {})
{
    const std::string base = testing::TempDir() + "qz7-bench-" + std::to_string(getpid()) + "-" +
                             testing::UnitTest::GetInstance()->current_test_info()->name() + tag;
    BenchRun run;
    run.report = base + ".jsonl";
    ::unlink(run.report.c_str());
    for (std::string& a : args)
        if (a == "REPORT")
            a = run.report;
    args.insert(args.begin(), "--cli");
    int out = ::open((base + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    Updater updater(Launch{{"QZ7_SERIAL_PORTS=" + units.ports}, args, out,
                           base + ".err"});
    ::close(out);
    // Each unit is powered on when the bench shows its power-on directions.
    std::vector<std::unique_ptr<PowerOnWhenFileShows>> operators;
    for (std::size_t i = 0; i < units.sims.size(); ++i)
        operators.push_back(std::make_unique<PowerOnWhenFileShows>(*units.sims[i], base + ".out", units.cues[i]));
    const auto start = std::chrono::steady_clock::now();
    if (meanwhile)
        meanwhile(updater);
    run.status = updater.Wait(60s);
    run.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    run.out = ReadLines(base + ".out");
    run.err = FileText(base + ".err");
    return run;
}

const std::set<QString> kEvents{"start", "stage", "directions", "status", "progress", "version", "end", "summary", "message"};

// Every line one object of the documented schema, each unit's stages in the dialogue's order;
// returns the objects.
std::vector<QJsonObject> CheckSchema(const std::vector<std::string>& lines)
{
    std::vector<QJsonObject> events;
    std::map<QString, int> lastProgress;
    const std::vector<QString> order{"connect", "power-on", "question", "erase", "program", "end"};
    std::map<QString, std::vector<QString>> stages;
    for (const std::string& line : lines) {
        QJsonObject o = Parsed(line);
        SCOPED_TRACE(line);
        EXPECT_EQ(o["schema"].toInt(), 2);
        EXPECT_TRUE(kEvents.contains(o["event"].toString()));
        EXPECT_TRUE(QDateTime::fromString(o["time"].toString(), Qt::ISODateWithMs).isValid());
        const QString event = o["event"].toString();
        if (event != "summary" && event != "message") {
            EXPECT_TRUE(o["unit"].isString());
        }
        if (event == "progress") {
            // Whole percent, only when it changes, never back.
            const int p = o["progress"].toInt(-1);
            EXPECT_TRUE(o["progress"].isDouble() && p >= 0 && p <= 100);
            EXPECT_GT(p, lastProgress.contains(o["unit"].toString()) ? lastProgress[o["unit"].toString()] : -1);
            lastProgress[o["unit"].toString()] = p;
        }
        if (event == "stage")
            stages[o["unit"].toString()].push_back(o["stage"].toString());
        if (event == "end") {
            // "program" only once the erase was confirmed: never for a unit that failed it.
            const std::vector<QString>& seen = stages[o["unit"].toString()];
            EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end(), [&](const QString& a, const QString& b) {
                return std::find(order.begin(), order.end(), a) < std::find(order.begin(), order.end(), b);
            }));
            if (std::find(seen.begin(), seen.end(), "program") != seen.end()) {
                EXPECT_NE(std::find(seen.begin(), seen.end(), "erase"), seen.end());
            }
            if (o["outcome"].toString() == "not-erased") {
                EXPECT_EQ(std::find(seen.begin(), seen.end(), "program"), seen.end());
            }
            EXPECT_TRUE(o["outcome"].isString());
            EXPECT_TRUE(o["exit"].isDouble());
            EXPECT_TRUE(o["lines_sent"].isDouble());
            EXPECT_TRUE(o["duration_s"].isDouble());
        }
        events.push_back(o);
    }
    EXPECT_FALSE(events.empty());
    if (!events.empty()) {
        EXPECT_EQ(events.back()["event"].toString(), "summary");
    }
    return events;
}

// The report's lines by port.
std::map<std::string, QJsonObject> ReportByPort(const std::string& path)
{
    std::map<std::string, QJsonObject> byPort;
    for (const std::string& line : ReadLines(path)) {
        QJsonObject o = Parsed(line);
        byPort[o["port"].toString().toStdString()] = o;
    }
    return byPort;
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

bootsim::Options Sim(std::function<void(bootsim::Options&)> change = {})
{
    bootsim::Options o = FastSim();
    o.expected = ShippedImage();
    if (change)
        change(o);
    return o;
}

}  // namespace

TEST(Bench, FourUnitsSideBySideOneHangsUpOneFailsTheEraseTheOthersAreUpdated)
{
    Units units({Sim(), Sim([](bootsim::Options& o) { o.hangUpAfterLines = 100; }),
                 Sim([](bootsim::Options& o) { o.eraseDelay = 600ms; }), Sim([](bootsim::Options& o) { o.failErase = true; })});
    BenchRun run = RunBench(units, {"--yes", "--all", "--json", "--report", "REPORT"});
    EXPECT_EQ(run.status, 16);
    const std::vector<std::string> outcomes{"done", "disconnected", "done", "not-erased"};
    for (std::size_t i = 0; i < units.sims.size(); ++i)
        EXPECT_EQ(units.sims[i]->Snapshot().Intact(), outcomes[i] == "done") << units.sims[i]->Snapshot().Summary();
    units.ExpectRestored();

    std::map<std::string, QJsonObject> report = ReportByPort(run.report);
    ASSERT_EQ(ReadLines(run.report).size(), 4u);
    for (std::size_t i = 0; i < units.sims.size(); ++i) {
        const QJsonObject& r = report[units.sims[i]->SlavePath()];
        SCOPED_TRACE(units.sims[i]->SlavePath());
        EXPECT_EQ(r["outcome"].toString().toStdString(), outcomes[i]);
        EXPECT_EQ(r["exit"].toInt(), i == 1 ? 5 : i == 3 ? 6 : 0);
        EXPECT_EQ(r["version_found"].toString(), "2.005");
        EXPECT_EQ(r["adapter"].toObject()["name"].toString().toStdString(), "usbserial-u" + std::to_string(i + 1));
        EXPECT_EQ(r["firmware"].toObject()["sha256"].toString().toStdString(), Shipped().sha256);
        EXPECT_EQ(r["firmware"].toObject()["version"].toString().toStdString(), Firmware::Version);
        if (i == 3) {
            EXPECT_EQ(r["lines_sent"].toInt(), 0);
        } else if (i != 1) {
            EXPECT_EQ(r["lines_sent"].toInt(), Shipped().lines);
        } else {
            // The lines the QZ7 took when the adapter went, not the last progress shown: each line
            // counts once the QZ7 asked for the next one, so the last it received (which it
            // never asked past) does not.
            const int received = units.sims[i]->Snapshot().lines;
            EXPECT_EQ(r["lines_sent"].toInt(), received - 1);
        }
    }

    std::vector<QJsonObject> events = CheckSchema(run.out);
    std::map<QString, int> ends;
    bool advised = false;  // the unit that failed said where it stood and what to do, before its end
    std::map<QString, QDateTime> erased;  // when each unit's "E" went out
    const QString slow = QString::fromStdString(units.sims[2]->SlavePath());
    for (const QJsonObject& e : events) {
        if (e["event"].toString() == "end")
            ++ends[e["unit"].toString()];
        // The transfer's stage comes with the erase's reply, not with the erase command.
        const QDateTime at = QDateTime::fromString(e["time"].toString(), Qt::ISODateWithMs);
        if (e["event"].toString() == "stage" && e["stage"].toString() == "erase")
            erased[e["unit"].toString()] = at;
        if (e["event"].toString() == "stage" && e["stage"].toString() == "program" && e["unit"].toString() == slow) {
            EXPECT_GE(erased[slow].msecsTo(at), 550);
        }
        if (e["event"].toString() == "status" && ends.size() < 4 &&
            e["status"].toString().startsWith("Stopped while sending the image, after line "))
            advised = true;
    }
    EXPECT_EQ(ends.size(), 4u);
    EXPECT_TRUE(advised) << run.out.size() << " lines of output";
    // The failed unit's prose names its failure and what to do with it while the others go on,
    // not to restart the program.
    std::string prose;  // standard error without the transcript
    std::istringstream err(run.err);
    for (std::string line; std::getline(err, line);)
        if (!Has(line, " qz7."))
            prose += line + "\n";
    EXPECT_TRUE(Has(prose, units.sims[3]->SlavePath() + ": Not Erased. Let the other units finish; then switch this QZ7 off")) << prose;
    EXPECT_FALSE(Has(prose, "Please restart the program")) << prose;
    if (!events.empty()) {
        EXPECT_EQ(events.back()["exit"].toInt(), 16);
        EXPECT_EQ(events.back()["outcomes"].toObject()["done"].toInt(), 2);
        EXPECT_EQ(events.back()["outcomes"].toObject()["disconnected"].toInt(), 1);
        EXPECT_EQ(events.back()["outcomes"].toObject()["not-erased"].toInt(), 1);
    }
}

TEST(Bench, CheckReadsTheVersionAndErasesNothing)
{
    // With none listed, --wait gives up as --all does: its second runs out beside the rest.
    Units none({});
    std::future<BenchRun> givingUp =
        std::async(std::launch::async, [&none] { return RunBench(none, {"--check", "--wait", "1"}, {}, "-none"); });

    // An older, a current and a newer unit: each said so, each "checked" (status 0), none erased.
    Units units({Sim(), Sim([](bootsim::Options& o) { o.version = "QZ7 " + kShippedV; }),
                 Sim([](bootsim::Options& o) { o.version = "QZ7 V" + NewerThanShipped(); })});
    BenchRun run = RunBench(units, {"--check", "--report", "REPORT", "--port", units.sims[0]->SlavePath(), "--port",
                                    units.sims[1]->SlavePath(), "--port", units.sims[2]->SlavePath()});
    EXPECT_EQ(run.status, 0);
    for (const auto& sim : units.sims)
        EXPECT_EQ(sim->Wire(), "y");  // nothing after the version's "y"
    units.ExpectRestored();
    std::string out;
    for (const std::string& line : run.out)
        out += line + "\n";
    const std::vector<std::pair<std::string, std::string>> said{
        {"Version 2.005, older than the " + std::string(Firmware::Version) + " this program carries: nothing erased (--check).", "older"},
        {"Version " + std::string(Firmware::Version) + ", the one this program carries: nothing erased (--check).", "current"},
        {"Version " + NewerThanShipped() + ", newer than the " + std::string(Firmware::Version) + " this program carries: nothing erased (--check).", "newer"}};
    std::map<std::string, QJsonObject> report = ReportByPort(run.report);
    for (std::size_t i = 0; i < said.size(); ++i) {
        EXPECT_NE(out.find(units.sims[i]->SlavePath() + ": " + said[i].first), std::string::npos) << out;
        const QJsonObject& r = report[units.sims[i]->SlavePath()];
        EXPECT_EQ(r["outcome"].toString(), "checked");
        EXPECT_EQ(r["exit"].toInt(), 0);
        EXPECT_EQ(r["version_relation"].toString().toStdString(), said[i].second);
        // One version format: the bare number, found and carried alike.
        EXPECT_FALSE(r["version_found"].toString().startsWith("V"));
        EXPECT_EQ(r["firmware"].toObject()["version"].toString().toStdString(), Firmware::Version);
    }

    // Without --port the one unit is found as the single-unit update finds it: the last listed
    // adapter, and the one before it is never opened.
    Units listed({Sim(), Sim()});
    BenchRun found = RunBench(listed, {"--check"});
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(listed.sims[0]->Wire(), "");
    EXPECT_EQ(listed.sims[1]->Wire(), "y");
    listed.ExpectRestored();
    out.clear();
    for (const std::string& line : found.out)
        out += line + "\n";
    const std::string& chosen = listed.sims[1]->SlavePath();
    EXPECT_TRUE(out.starts_with("Looking for the USB adapter.\nFound the USB adapter: " + chosen + ".\n")) << out;
    EXPECT_NE(out.find(chosen + ": Version 2.005, older than the " + std::string(Firmware::Version) + " this program carries: nothing erased (--check)."), std::string::npos) << out;

    BenchRun gaveUp = givingUp.get();
    EXPECT_EQ(gaveUp.status, 2);
    ASSERT_EQ(gaveUp.out.size(), 2u);
    EXPECT_EQ(gaveUp.out[0], "Looking for the USB adapter.");
    EXPECT_EQ(gaveUp.out[1], "No QZ7 within 1 s: no usable USB adapter was found. Plug the adapter in and run again.");
}

// --yes leaves a unit with newer firmware as it is, with a status of its own, and says so (the
// options' other rows are the run's, in tests/run/test_benchrun.cpp).
TEST(Bench, YesLeavesAUnitWithNewerFirmwareAndSaysSo)
{
    const std::string carried = Firmware::Version, newer = NewerThanShipped();
    const bootsim::Options newerOne = Sim([&](bootsim::Options& o) { o.version = "QZ7 V" + newer; });
    const std::string left = ": This QZ7 has " + newer + ", newer than " + carried +
                             ": not updated. Use --allow-older to put " + carried + " on it anyway.";
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::vector<bootsim::Options> units;
        int status;
        std::vector<std::string> outcomes;  // each unit's, in order
    } rows[] = {
        {"side by side", {"--yes", "--all", "--report", "REPORT"}, {newerOne, Sim()}, 16, {"newer-on-unit", "done"}},
        {"alone, --json", {"--yes", "--json", "--report", "REPORT"}, {newerOne}, 18, {"newer-on-unit"}},
    };
    // Every row side by side, each with units and files of its own.
    std::vector<std::unique_ptr<Units>> benches;
    std::vector<std::future<BenchRun>> runs;
    for (const auto& row : rows) {
        const Units& units = *benches.emplace_back(std::make_unique<Units>(row.units));
        const std::string tag = "-" + std::to_string(runs.size());
        runs.push_back(std::async(std::launch::async, [&units, &row, tag] { return RunBench(units, row.args, {}, tag); }));
    }
    for (std::size_t k = 0; k < std::size(rows); ++k) {
        const auto& row = rows[k];
        SCOPED_TRACE(row.name);
        const Units& units = *benches[k];
        BenchRun run = runs[k].get();
        EXPECT_EQ(run.status, row.status);
        units.ExpectRestored();
        std::map<std::string, QJsonObject> report = ReportByPort(run.report);
        std::string prose = run.err;
        for (const std::string& line : run.out)
            prose += line + "\n";
        for (std::size_t i = 0; i < units.sims.size(); ++i) {
            const bootsim::BootSim& sim = *units.sims[i];
            SCOPED_TRACE(sim.SlavePath());
            const QJsonObject& r = report[sim.SlavePath()];
            EXPECT_EQ(r["outcome"].toString().toStdString(), row.outcomes[i]);
            if (row.outcomes[i] == "done") {
                EXPECT_EQ(r["exit"].toInt(), 0);
                EXPECT_TRUE(sim.Snapshot().Intact()) << sim.Snapshot().Summary();
            } else {
                EXPECT_EQ(sim.Wire(), "y");  // nothing after the version's "y": never erased
            }
            if (row.outcomes[i] == "newer-on-unit") {
                EXPECT_EQ(r["exit"].toInt(), 18);
                EXPECT_EQ(r["version_found"].toString().toStdString(), newer);
                EXPECT_TRUE(Has(prose, sim.SlavePath() + left)) << prose;
            }
        }
        if (Has(row.name, "--json")) {
            std::vector<QJsonObject> events = CheckSchema(run.out);
            ASSERT_FALSE(events.empty());
            EXPECT_EQ(events.back()["exit"].toInt(), 18);
            EXPECT_EQ(events.back()["outcomes"].toObject()["newer-on-unit"].toInt(), 1);
        }
    }
}

TEST(Bench, ASignalStopsEveryUnitAndPutsEveryPortBack)
{
    // One Ctrl+C while the QZ7s are programmed goes on; a second within 5 s stops them all.
    auto slow = [](bootsim::Options& o) { o.lineDelay = 1ms; };
    Units units({Sim(slow), Sim(slow)});
    BenchRun run = RunBench(units, {"--yes", "--all", "--report", "REPORT"}, [&](Updater& updater) {
        ASSERT_TRUE(WaitUntil([&] { return units.sims[0]->Snapshot().lines >= 100 && units.sims[1]->Snapshot().lines >= 100; }, 30s));
        kill(updater.pid, SIGINT);
        std::this_thread::sleep_for(300ms);
        EXPECT_LT(units.sims[0]->Snapshot().lines, Shipped().lines);
        EXPECT_FALSE(units.sims[0]->Snapshot().hungUp);
        EXPECT_EQ(updater.Wait(0ms), -1) << "one Ctrl+C stopped the programming";
        kill(updater.pid, SIGINT);
    });
    EXPECT_EQ(run.status, 130);
    units.ExpectRestored();
    for (const auto& [port, record] : ReportByPort(run.report))
        EXPECT_EQ(record["outcome"].toString(), "interrupted") << port;
    EXPECT_EQ(ReadLines(run.report).size(), 2u);
}

TEST(Bench, AKilledBenchLeavesTheLinesOfUnitsThatEndedWhole)
{
    // Two units end at once; two never hear the power-on and wait until the bench is killed.
    auto silent = [](bootsim::Options& o) { o.silentFrom = bootsim::Stage::Banner; };
    Units units({Sim(), Sim(silent), Sim(), Sim(silent)});
    std::string report;
    BenchRun run = RunBench(units, {"--yes", "--all", "--report", "REPORT"}, [&](Updater& updater) {
        report = testing::TempDir() + "qz7-bench-" + std::to_string(getpid()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name() + ".jsonl";
        EXPECT_TRUE(WaitUntil([&] { return ReadLines(report).size() == 2; }, 30s));
        kill(updater.pid, SIGKILL);
    });
    EXPECT_EQ(run.status, 128 + SIGKILL);
    std::vector<std::string> lines = ReadLines(report);
    ASSERT_EQ(lines.size(), 2u);
    for (const std::string& line : lines)
        EXPECT_EQ(Parsed(line)["outcome"].toString(), "done");
}

TEST(Bench, ListAndVersionAnswerInJsonAndUsageIsChecked)
{
    int status = -1;
    std::string out = CommandOutput("QZ7_SERIAL_PORTS='ttyS0=/dev/ttyS0,usbserial-A1=/dev/cu.A1,ttyUSB9,"
                                    "usbserial-B2=/dev/cu.B2' " QZ7_BINARY_DIR "/qz7-updater --list --json",
                                    status);
    EXPECT_EQ(status, 0);
    std::vector<QJsonObject> ports;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        ports.push_back(Parsed(line));
    ASSERT_EQ(ports.size(), 4u) << out;
    EXPECT_EQ(ports[0]["path"].toString(), "/dev/ttyS0");
    EXPECT_FALSE(ports[0]["taken"].toBool());
    EXPECT_TRUE(ports[1]["taken"].toBool());
    EXPECT_TRUE(ports[2]["path"].isNull());
    EXPECT_FALSE(ports[2]["taken"].toBool());
    // A name without a path ends the listing: the port after it is not looked at.
    EXPECT_FALSE(ports[3]["taken"].toBool());
    EXPECT_NE(ports[3]["why"].toString().indexOf("listing's end"), -1);

    QJsonObject version = Parsed(CommandOutput(QZ7_BINARY_DIR "/qz7-updater --version --json", status));
    EXPECT_EQ(version["firmware"].toObject()["version"].toString().toStdString(), Firmware::Version);
    EXPECT_EQ(version["firmware"].toObject()["lines"].toInt(), Firmware::Lines);
    EXPECT_EQ(version["firmware"].toObject()["sha256"].toString().toStdString(), Firmware::Sha256);

    // Nobody answers the question side by side; --all and --port exclude each other.
    for (const char* wrong : {"--cli --port /dev/a --port /dev/b", "--cli --all", "--cli --yes --all --port /dev/a",
                              "--json --yes", "--list --all"}) {
        CommandOutput(QZ7_BINARY_DIR "/qz7-updater " + std::string(wrong) + " 2>/dev/null", status);
        EXPECT_EQ(status, 64) << wrong;
    }

    // One port named twice, as spelt or through a link, is refused before anything opens it.
    bootsim::BootSim sim(FastSim());
    ASSERT_TRUE(sim.Open());
    sim.Start();
    const std::string link = testing::TempDir() + "qz7-twice-" + std::to_string(getpid());
    ASSERT_EQ(::symlink(sim.SlavePath().c_str(), link.c_str()), 0);
    const std::string& pty = sim.SlavePath();
    for (const auto& [ports, says] : std::vector<std::pair<std::string, std::string>>{
             {"--port " + pty + " --port " + pty, "qz7-updater: --port " + pty + " is given twice: name each adapter once.\n"},
             {"--port " + link + " --port /dev/null --port " + pty,
              "qz7-updater: --port " + link + " and --port " + pty + " are the same device: name each adapter once.\n"},
             {"--json --port " + pty + " --port " + link, " are the same device"}}) {
        const std::string said = CommandOutput(QZ7_BINARY_DIR "/qz7-updater --cli --yes " + ports + " 2>&1", status);
        EXPECT_EQ(status, 64) << ports;
        EXPECT_NE(said.find(says), std::string::npos) << said;
    }
    EXPECT_EQ(sim.Wire(), "");
    EXPECT_FALSE(Pty::HeldExclusively(pty));
    ::unlink(link.c_str());
}

// Every unit ends, each named once: a port that can never be an adapter ends its own unit at once
// with status 2, in every mode, while the unit beside it is updated; a path with control bytes is
// escaped in the prose and the transcript and stays raw in the JSON.
TEST(Bench, EveryUnitEndsAndEachIsNamedOnce)
{
    // Each case's odd link to its own unit, and how the prose shows it.
    const auto oddLink = [](std::size_t k) {
        return testing::TempDir() + "qz7-odd" + std::to_string(k) + "\x1B[2J\x1B[31m\r\nqz7-odd-tail";
    };
    const auto oddShownAs = [](std::size_t k) {
        return testing::TempDir() + "qz7-odd" + std::to_string(k) + "\\x1B[2J\\x1B[31m\\x0D\\x0Aqz7-odd-tail";
    };
    struct Case {
        const char* name;
        std::vector<std::string> args;  // GOOD: the simulated unit's port, ODD: the odd link to it
        int status;
        const char* good;               // the simulated unit's outcome
        bool listedTwice = false;       // the simulated unit listed again through the odd link
    };
    const std::vector<Case> cases{
        {"beside a good unit", {"--yes", "--port", "/dev/null", "--port", "GOOD"}, 16, "done"},
        {"with --wait", {"--yes", "--wait", "30", "--port", "GOOD", "--port", "/dev/null"}, 16, "done"},
        {"with --check", {"--check", "--port", "/dev/null", "--port", "GOOD"}, 16, "done"},
        {"with --json and a report, the good unit through the odd link",
         {"--yes", "--json", "--report", "REPORT", "--port", "/dev/null", "--port", "ODD"}, 16, "done"},
        {"alone, with --json and --wait", {"--yes", "--json", "--wait", "30", "--port", "/dev/null"}, 2, nullptr},
        {"--all, the good unit listed twice", {"--yes", "--all", "--json"}, 0, "done", true},
    };
    // Every case side by side, each with its unit, its link and its files.
    std::vector<std::unique_ptr<Units>> benches;
    std::vector<std::vector<std::string>> argsOf;
    std::vector<std::future<BenchRun>> runs;
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const Case& c = cases[k];
        Units& units = *benches.emplace_back(std::make_unique<Units>(std::vector<bootsim::Options>{Sim()}));
        const std::string odd = oddLink(k);
        ::unlink(odd.c_str());
        ASSERT_EQ(::symlink(units.sims[0]->SlavePath().c_str(), odd.c_str()), 0);
        std::vector<std::string>& args = argsOf.emplace_back(c.args);
        for (std::string& a : args) {
            if (a == "GOOD")
                a = units.sims[0]->SlavePath();
            if (a == "ODD")
                a = odd, units.cues[0] = "qz7-odd-tail";
        }
        if (c.listedTwice)
            units.ports += ",usbserial-again=" + odd;
        runs.push_back(std::async(std::launch::async, [&units, args, k] { return RunBench(units, args, {}, "-" + std::to_string(k)); }));
    }
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const Case& c = cases[k];
        SCOPED_TRACE(c.name);
        const Units& units = *benches[k];
        const std::vector<std::string>& args = argsOf[k];
        const std::string odd = oddLink(k), oddShown = oddShownAs(k);
        const bool json = std::find(args.begin(), args.end(), "--json") != args.end();
        BenchRun run = runs[k].get();
        EXPECT_EQ(run.status, c.status);
        EXPECT_LT(run.took, 15s);
        EXPECT_EQ(units.sims[0]->Snapshot().Intact(), c.good && c.args[0] == "--yes") << units.sims[0]->Snapshot().Summary();
        units.ExpectRestored();
        std::string prose = run.err;
        for (const std::string& line : run.out)
            prose += line + "\n";
        const bool null = std::find(args.begin(), args.end(), "/dev/null") != args.end();
        EXPECT_EQ(Has(prose, "/dev/null: /dev/null is not a serial port."), null) << prose;
        // No byte of the odd name reaches the terminal raw, and no line of the transcript is cut.
        EXPECT_EQ(prose.find_first_of("\x1B\r"), std::string::npos) << prose;
        EXPECT_FALSE(Has(prose, "\nqz7-odd-tail")) << prose;
        if (units.cues[0] == "qz7-odd-tail") {
            EXPECT_TRUE(Has(prose, oddShown + ":   Adapter on " + oddShown)) << prose;
        }
        if (!json)
            continue;
        // One start and one end per unit, each unit named by its port as given.
        std::map<std::string, int> starts, exits;
        for (const QJsonObject& e : CheckSchema(run.out)) {
            const std::string unit = e["unit"].toString().toStdString();
            if (e["event"].toString() == "start")
                ++starts[unit];
            if (e["event"].toString() == "end")
                exits.emplace(unit, e["exit"].toInt());
            if (e["event"].toString() == "summary") {
                EXPECT_EQ(e["exit"].toInt(), c.status);
            }
        }
        std::map<std::string, int> expected;
        if (null)
            expected["/dev/null"] = 2;
        if (c.good)
            expected[units.cues[0] == "qz7-odd-tail" ? odd : units.sims[0]->SlavePath()] = 0;
        EXPECT_EQ(exits, expected);
        for (const auto& [unit, count] : starts)
            EXPECT_EQ(count, 1) << unit;
        EXPECT_EQ(starts.size(), expected.size());
        ::unlink(odd.c_str());
    }
}
