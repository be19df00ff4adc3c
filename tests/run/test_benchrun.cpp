// The run of several units in memory: each unit a scripted QZ7 on a port of its own, and the
// run's rules (each unit's answer and ending, the report's line, the --json events, the run's exit
// status) without a terminal, a pseudo-terminal or a process.
#include "run/BenchRun.h"
#include "run/Records.h"
#include "tests/support/Scripted.h"

#include <QJsonArray>
#include <csignal>
#include <unistd.h>

namespace {

// Powers the unit's QZ7 on when its power-on directions show, as the operator would, and passes
// on the run's own lines (why it stopped, what is left of the QZ7).
class PowerOnPrinter : public UnitPrinter {
public:
    PowerOnPrinter(std::function<void()> powerOn, std::function<void(const std::string&)> line)
        : powerOn_(std::move(powerOn)), line_(std::move(line))
    {
    }
    void Stage(const std::string& name) override
    {
        if (name == "power-on" && powerOn_)
            std::exchange(powerOn_, {})();
    }
    void Directions(const DirectionsFact&) override {}
    void LevelShown(bool) override {}
    void Programming(std::size_t) override {}
    void Level(int) override {}
    void Progress(const std::string&) override {}
    void Status(const StatusFact&) override {}
    void Question(Answer, VersionRelation, const std::optional<std::string>&, std::function<void(bool)>) override {}
    void Line(const std::string& line) override { line_(line); }
    void Unusable() override {}
    void Cancelled(Ending, const std::optional<std::string>&, VersionRelation) override {}
    void Ended(Ending) override {}

private:
    std::function<void()> powerOn_;
    std::function<void(const std::string&)> line_;
};

// What the run showed: its prose, its events, how it finished.
struct SeenRun : BenchView {
    std::map<std::string, std::unique_ptr<ScriptedUnit>>* units = nullptr;
    std::unique_ptr<UnitPrinter> Show(const BenchUnit& unit) override
    {
        ScriptedUnit* u = units->count(unit.path) ? (*units)[unit.path].get() : nullptr;
        return std::make_unique<PowerOnPrinter>(u ? std::function<void()>([u] { u->loader->PowerOn(); }) : std::function<void()>(),
                                                [this, &unit](const std::string& line) { Say(&unit, line); });
    }
    void Say(const BenchUnit* unit, const std::string& line) override { prose += (unit ? unit->path + ": " : "") + line + "\n"; }
    void Event(const std::string& line) override
    {
        events.push_back(Parsed(line.substr(0, line.size() - 1)));
        const std::string unit = events.back()["unit"].toString().toStdString();
        if (events.back()["event"].toString() == "end" && units->count(unit))
            shutAtEnd[unit] = (*units)[unit]->port->ShutDown();
    }
    void Finished(int s) override { status = s; }

    std::string prose;
    std::vector<QJsonObject> events;
    std::map<std::string, bool> shutAtEnd;  // each unit's port, as its end event went out
    std::optional<int> status;
};

bootsim::Options Unit(std::optional<std::string> version = "QZ7 V2.005", std::function<void(bootsim::Options&)> more = {})
{
    bootsim::Options o = FastSim();
    o.version = version;
    o.expected = ShippedImage();
    if (more)
        more(o);
    return o;
}

// Units on ports in memory: a path with a unit behind it opens to its port, and is looked at as
// an adapter would be; any other is looked at, and opened, as the program does.
BenchRun::Seams InMemory(std::map<std::string, std::unique_ptr<ScriptedUnit>>& units)
{
    return {.lister = [] { return std::optional(std::vector<SerialService>{}); },
            .opener = ScriptedOpener([&units](const std::string& path) { return units.count(path) ? units[path]->port : nullptr; }),
            .unusable = [&units](const std::string& path, bool waiting) {
                return units.count(path) ? std::nullopt : UnusablePort(path, waiting);
            }};
}

}  // namespace

TEST(BenchRun, EachUnitEndsAsItsQZ7AndTheRunsOptionsSay)
{
    const std::string newer = "QZ7 V" + NewerThanShipped(), current = "QZ7 " + kShippedV;
    const auto failErase = [](bootsim::Options& o) { o.failErase = true; };
    const struct {
        const char* name;
        std::function<void(RunOptions&)> options;
        std::vector<bootsim::Options> units;  // none for a port that is not there
        int status;
        std::vector<std::string> outcomes;  // each unit's, in order
    } rows[] = {
        {"--yes side by side", [](RunOptions&) {}, {Unit(newer), Unit()}, 16, {"newer-on-unit", "done"}},
        {"--skip-current", [](RunOptions& r) { r.skipCurrent = true; }, {Unit(newer), Unit(current), Unit()}, 16,
         {"newer-on-unit", "already-current", "done"}},
        {"--allow-older", [](RunOptions& r) { r.allowOlder = true; }, {Unit(newer), Unit()}, 0, {"done", "done"}},
        {"alone, newer", [](RunOptions&) {}, {Unit(newer)}, 18, {"newer-on-unit"}},
        {"alone, current, --skip-current", [](RunOptions& r) { r.skipCurrent = true; }, {Unit(current)}, 17, {"already-current"}},
        {"--check", [](RunOptions& r) { r.check = true; }, {Unit(), Unit(current), Unit(newer), Unit(std::nullopt)}, 0,
         {"checked", "checked", "checked", "checked"}},
        {"one fails the erase", [](RunOptions&) {}, {Unit("QZ7 V2.005", failErase), Unit()}, 16, {"not-erased", "done"}},
        {"a port that is not there", [](RunOptions&) {}, {bootsim::Options{}, Unit()}, 16, {"no-adapter", "done"}},
    };
    // Every row side by side, each with its units, its run and its report.
    struct Case {
        std::map<std::string, std::unique_ptr<ScriptedUnit>> units;
        RunOptions options;
        SeenRun seen;
        std::unique_ptr<BenchRun> bench;
    };
    std::vector<std::unique_ptr<Case>> cases;
    for (const auto& row : rows) {
        Case& c = *cases.emplace_back(std::make_unique<Case>());
        c.options.yes = true;
        c.options.json = true;
        c.options.report = testing::TempDir() + "qz7-benchrun-" + std::to_string(getpid()) + "-" + std::to_string(cases.size()) + ".jsonl";
        ::unlink(c.options.report->c_str());
        // Each row a station of its own: the rows' slots share names, and a slot is one updater's.
        c.options.historyFile = testing::TempDir() + "qz7-benchrun-" + std::to_string(getpid()) + "-" + std::to_string(cases.size()) + "/history.sqlite";
        for (std::size_t i = 0; i < row.units.size(); ++i) {
            const bool missing = row.outcomes[i] == "no-adapter";
            const std::string path = missing ? "/nonexistent/ttyUSB-gone" : "/dev/ttyUSB-bench" + std::to_string(i);
            c.options.ports.push_back(path);
            if (!missing)
                c.units[path] = std::make_unique<ScriptedUnit>(row.units[i]);
        }
        row.options(c.options);
        c.seen.units = &c.units;
        c.bench = std::make_unique<BenchRun>(c.options, c.seen, InMemory(c.units));
        ASSERT_FALSE(c.bench->Start());
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::all_of(cases.begin(), cases.end(), [](auto& c) { return c->seen.status.has_value(); }); },
                                10000));
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const auto& row = rows[k];
        SCOPED_TRACE(row.name);
        Case& c = *cases[k];
        c.bench.reset();
        const RunOptions& options = c.options;
        const SeenRun& seen = c.seen;
        auto& units = c.units;
        ASSERT_TRUE(seen.status) << seen.prose;
        EXPECT_EQ(*seen.status, row.status) << seen.prose;

        // The report: one line a unit, as it ended; the events: each unit's start first and end
        // last, and the summary after them all.
        const std::vector<std::string> report = ReadLines(*options.report);
        ASSERT_EQ(report.size(), row.outcomes.size()) << seen.prose;
        std::map<std::string, QJsonObject> byPort;
        for (const std::string& line : report)
            byPort[Parsed(line)["port"].toString().toStdString()] = Parsed(line);
        std::map<std::string, std::vector<std::string>> eventsOf;
        for (const QJsonObject& e : seen.events)
            eventsOf[e["unit"].toString().toStdString()].push_back(e["event"].toString().toStdString());
        for (std::size_t i = 0; i < options.ports.size(); ++i) {
            const std::string& path = options.ports[i];
            SCOPED_TRACE(path);
            EXPECT_EQ(byPort[path]["outcome"].toString().toStdString(), row.outcomes[i]);
            ASSERT_FALSE(eventsOf[path].empty());
            EXPECT_EQ(eventsOf[path].front(), "start");
            EXPECT_EQ(eventsOf[path].back(), "end");
            if (!units.count(path)) {
                EXPECT_NE(seen.prose.find(path + ": Cannot open " + path + ": No such file or directory."), std::string::npos) << seen.prose;
                EXPECT_NE(seen.prose.find("Nothing was done to this port."), std::string::npos) << seen.prose;
                continue;
            }
            const ScriptedUnit& unit = *units[path];
            if (row.outcomes[i] == "done") {
                EXPECT_TRUE(unit.loader->Snapshot().Intact()) << unit.loader->Snapshot().Summary();
                EXPECT_EQ(byPort[path]["lines_sent"].toInt(), Shipped().lines);
            } else if (row.outcomes[i] != "not-erased") {
                EXPECT_EQ(unit.port->Written(), "y");  // nothing after the version's "y": never erased
            }
            EXPECT_TRUE(unit.port->ShutDown());
        }
        ASSERT_FALSE(seen.events.empty());
        EXPECT_EQ(seen.events.back()["event"].toString(), "summary");
        EXPECT_EQ(seen.events.back()["exit"].toInt(), row.status);
        EXPECT_EQ(seen.events.back()["units"].toInt(), static_cast<int>(row.outcomes.size()));
        ::unlink(options.report->c_str());
    }
}

TEST(BenchRun, TheSearchTheBoundsAndTheSignalsEndTheWholeRun)
{
    // --all takes each listed adapter once; --wait gives up on a search that finds none; one
    // Ctrl+C while a QZ7 is programmed warns, a second stops every unit; --timeout stops them too.
    // A stopped unit's port is put back before its end event, and its record counts the lines its
    // QZ7 took, though the signals came within the status line's quarter second.
    const struct {
        const char* name;
        std::function<void(RunOptions&)> options;
        std::vector<SerialService> listed;
        std::vector<std::string> plugged;  // the paths with a QZ7 behind them, held after 100 lines
        int interrupts;                     // Ctrl+C pressed this many times once all are programming
        int status;
        std::string said;
    } rows[] = {
        {"--wait finds nothing", [](RunOptions& r) { r.all = true, r.waitSeconds = 0; }, {}, {}, 0, ExitStatus::NoAdapter,
         "No QZ7 within 0 s: no usable USB adapter was found. Plug the adapters in and run again."},
        {"--all, twice listed, two Ctrl+C", [](RunOptions& r) { r.all = true; },
         {{"usbserial-a", "/dev/ttyUSB-a"}, {"usbserial-a again", "/dev/ttyUSB-a"}, {"usbserial-b", "/dev/ttyUSB-b"}},
         {"/dev/ttyUSB-a", "/dev/ttyUSB-b"}, 2, RowOf(Ending::Interrupted).exitStatus, "Found 2 adapters."},
        {"--timeout", [](RunOptions& r) { r.all = true, r.timeoutSeconds = 1; }, {{"usbserial-a", "/dev/ttyUSB-a"}},
         {"/dev/ttyUSB-a"}, 0, RowOf(Ending::TimedOut).exitStatus, "Stopped after 1 s (--timeout)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::map<std::string, std::unique_ptr<ScriptedUnit>> units;
        for (const std::string& path : row.plugged)
            units[path] = std::make_unique<ScriptedUnit>(HeldTransfer(100));
        RunOptions options;
        options.yes = true;
        options.json = true;
        options.report = testing::TempDir() + "qz7-benchrun-stop-" + std::to_string(getpid()) + ".jsonl";
        ::unlink(options.report->c_str());
        row.options(options);
        SeenRun seen;
        seen.units = &units;
        BenchRun::Seams seams = InMemory(units);
        seams.lister = [&] { return std::optional(row.listed); };
        BenchRun bench(options, seen, seams);
        ASSERT_FALSE(bench.Start());
        if (row.interrupts > 0) {
            ASSERT_TRUE(QTest::qWaitFor([&] {
                return bench.Units().size() == row.plugged.size() &&
                       std::all_of(units.begin(), units.end(), [](auto& u) { return u.second->loader->Snapshot().lines >= 100; });
            }, 10000)) << seen.prose;
            bench.Signal(SIGINT);
            QTest::qWait(50);
            EXPECT_FALSE(seen.status) << "one Ctrl+C stopped the programming";
            EXPECT_NE(seen.prose.find("press Ctrl+C again within 5 s"), std::string::npos) << seen.prose;
            for (int i = 1; i < row.interrupts; ++i)
                bench.Signal(SIGINT);
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return seen.status.has_value(); }, 10000)) << seen.prose;
        EXPECT_EQ(*seen.status, row.status);
        EXPECT_NE(seen.prose.find(row.said), std::string::npos) << seen.prose;
        EXPECT_EQ(bench.Units().size(), row.plugged.size());
        bench.Release();
        for (const std::string& line : ReadLines(*options.report)) {
            const QJsonObject r = Parsed(line);
            const ScriptedUnit& unit = *units.at(r["port"].toString().toStdString());
            // Every line the QZ7 received was asked for by the asterisk before it, but the last.
            const int received = unit.loader->Snapshot().lines;
            EXPECT_GE(r["lines_sent"].toInt(), received - 1) << line;
            EXPECT_LE(r["lines_sent"].toInt(), received) << line;
            EXPECT_TRUE(seen.shutAtEnd.at(r["port"].toString().toStdString())) << "the end went out before the port was put back";
        }
        EXPECT_EQ(ReadLines(*options.report).size(), row.plugged.size());
        for (auto& [path, unit] : units)
            EXPECT_TRUE(unit->port->ShutDown()) << path;
        ::unlink(options.report->c_str());
    }
}
