// The front end of a unit and its run, on the classes alone: screen updates handed
// to the front end as the run hands them on, and what it asks its printer to print; the run's
// ends without a controller behind it.
#include "run/UnitFrontEnd.h"
#include "core/Words.h"
#include "tests/support/TestSupport.h"

#include <csignal>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Writes down every call, one word and its value each.
class RecordingPrinter : public UnitPrinter {
public:
    void Stage(const std::string& name) override { calls.push_back("stage " + name); }
    void Directions(const DirectionsFact& d) override { calls.push_back("directions " + Words::Directions(d, Words::Language::English)); }
    void LevelShown(bool shown) override { calls.push_back(shown ? "level shown" : "level hidden"); }
    void Programming(std::size_t) override { calls.push_back("programming"); }
    void Level(int level) override { calls.push_back("level " + std::to_string(level)); }
    void Progress(const std::string&) override { calls.push_back("progress"); }
    void Status(const StatusFact& report) override { calls.push_back("status " + Words::Status(report, Words::Language::English)); }
    void Question(Answer answer, VersionRelation, const std::optional<std::string>& version, std::function<void(bool)>) override
    {
        calls.push_back("question " + std::to_string(static_cast<int>(answer)) + " " + version.value_or("-"));
    }
    void Line(const std::string& line) override { calls.push_back("line " + line); }
    void Unusable() override { calls.push_back("unusable"); }
    void Cancelled(Ending how, const std::optional<std::string>&, VersionRelation) override
    {
        calls.push_back(std::string("cancelled ") + RowOf(how).name);
    }
    void Ended(Ending how) override { calls.push_back(std::string("ended ") + RowOf(how).name); }

    std::vector<std::string> calls;
};

const ScreenUpdate kPowerOn{.directions = DirectionsFact{Says::PowerOn}, .scene = Scene::PowerOn};
const StatusFact kQuiet = StatusText::SilenceFacts{std::chrono::seconds(31)};
const StatusFact kQuieter = StatusText::SilenceFacts{std::chrono::seconds(32)};
const StatusFact kProgress = StatusText::ProgressFacts{.line = 10, .lines = 100};
const StatusFact kSummary = StatusText::SummaryFacts{.lines = 100, .bytes = 4000, .seconds = 2};

}  // namespace

TEST(UnitFrontEnd, PrintsEachChangeOnceAndDecidesNothing)
{
    const struct {
        const char* name;
        std::vector<ScreenUpdate> updates;
        std::vector<std::string> calls;
        int linesSent = 0;
    } table[] = {
        {"the same directions twice are printed once",
         {kPowerOn, kPowerOn},
         {"stage power-on", "directions Power on the QZ7 while holding front Run/Stop button"}},
        {"a count said this minute is not said again; another status is",
         {{.status = kQuiet}, {.status = kQuieter}, {.status = kSummary}},
         {"status " + Words::Status(kQuiet, Words::Language::English), "status " + Words::Status(kSummary, Words::Language::English)},
         100},
        {"the transfer's progress goes to the bar, not to a line",
         {{.status = kProgress}, {.status = kProgress}},
         {"progress"}},
        {"the stages in order, the image's start said once",
         {{.directions = DirectionsFact{Says::ConnectAdapter}, .scene = Scene::ConnectAdapter},
          {.scene = Scene::Erasing},
          {.scene = Scene::Programming},
          {.scene = Scene::Programming},
          {.level = 40}},
         {"stage connect", "directions Connect USB adapter", "stage erase", "stage program", "programming", "level 40"}},
        {"the question is a stage; its answer is the run's",
         {{.levelShown = true, .question = true, .scene = Scene::Question}},
         {"level shown", "stage question"}},
        {"an end's screen is printed; the end itself comes from the run",
         {{.directions = DirectionsFact{Says::NotDone}, .levelShown = false, .ended = Outcome::NotDone}},
         {"level hidden", "directions Not Done\nPlease restart the program\nand the QZ7"}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        RecordingPrinter printer;
        UnitFrontEnd frontEnd({}, {&printer});
        for (const ScreenUpdate& update : row.updates)
            frontEnd.Show(update);
        EXPECT_EQ(printer.calls, row.calls);
        EXPECT_EQ(frontEnd.LinesSent(), row.linesSent);
    }
}

TEST(UnitFrontEnd, TheRunsEndsReachThePrinterOnce)
{
    const struct {
        const char* name;
        std::function<void(UnitRun&)> act;
        std::vector<std::string> calls;
    } table[] = {
        {"an end is said once", [](UnitRun& run) { run.End(Ending::NoAdapter); run.End(Ending::Busy); }, {"ended no-adapter"}},
        {"a stop before anything was erased",
         [](UnitRun& run) { run.Stop("Interrupted", Ending::Interrupted); },
         {"line Interrupted before anything was erased: the QZ7 is as it was.", "ended interrupted"}},
        {"a stop after the end says nothing",
         [](UnitRun& run) { run.End(Ending::Done); run.Stop("Interrupted", Ending::Interrupted); },
         {"ended done"}},
        {"a question nobody answered ahead, cancelled: declined",
         [](UnitRun& run) { run.Cancelled(); },
         {"cancelled declined", "ended declined"}},
        {"after the end the screen is still shown, and nothing more decided",
         [](UnitRun& run) {
             run.End(Ending::Done);
             run.Show({.status = kSummary, .ended = Outcome::NotDone});
         },
         {"ended done", "status " + Words::Status(kSummary, Words::Language::English)}},
        {"an answer without a question is no answer", [](UnitRun& run) { run.Answered(true); }, {}},
        // With nothing being programmed, one Ctrl+C stops at once; after the end a signal is no
        // news.
        {"a Ctrl+C before the erase stops", [](UnitRun& run) { run.Signal(SIGINT); },
         {"line Interrupted before anything was erased: the QZ7 is as it was.", "ended interrupted"}},
        {"a signal after the end says nothing", [](UnitRun& run) { run.End(Ending::Done); run.Signal(SIGTERM); }, {"ended done"}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        RecordingPrinter printer;
        UnitFrontEnd frontEnd({}, {&printer});
        row.act(frontEnd.Run());
        EXPECT_EQ(printer.calls, row.calls);
        EXPECT_EQ(frontEnd.Run().Ended(), !row.calls.empty());
    }
}
