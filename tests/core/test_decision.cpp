// The dialogue's decisions on the function alone: every stage against every reply it may meet,
// with no port, thread or window behind it.
#include "core/Decision.h"
#include "core/Directions.h"
#include "core/Version.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <map>

namespace {

struct Row {
    Stage stage;
    std::optional<std::string> reply;
    std::string actions;                       // Describe() of the decision
    std::optional<std::string> directions;     // what the step shows, when it shows directions
    std::optional<Outcome> ended = std::nullopt;
    std::optional<std::string> cut = std::nullopt;  // the reply as the step cut it
    bool firmwareGood = true;
    // A question: how the version found stands to the one carried, the control focused, and
    // what the status line says (empty: the question leaves it as it was).
    std::optional<VersionRelation> relation = std::nullopt;
    Focus focus = Focus::Update;
    std::string status = {};
};

const std::string kUnexpected = "close, show";
const std::string kFound = Directions::FoundVersion("2.005");
const std::string kCarried = Firmware::Version;
const std::string kNewer = NewerThanShipped();
const VersionRelation kOlder = VersionRelation::Older, kSame = VersionRelation::Same, kNewerOne = VersionRelation::Newer,
                      kUnknown = VersionRelation::Unknown;
const std::string kNewerSays = "This QZ7 has " + kNewer + ", newer than the " + kCarried +
                               " this program carries: Update would put the older firmware on it.";
const std::string kSameSays = "This QZ7 already has " + kCarried + ", the firmware this program carries.";

}  // namespace

TEST(Decision, EveryStageAgainstEveryReply)
{
    const Stage banner = Stage::AwaitingBanner, version = Stage::AwaitingVersion, prompt = Stage::AwaitingPrompt,
                erased = Stage::AwaitingErased, done = Stage::AwaitingDone;
    const std::vector<Row> table{
        // The banner: "QZ-7" anywhere, case as it stands.
        {banner, "QZ-7 Boot Loader", "show, advance, write y, pause, start ReadVersion", std::nullopt},
        {banner, "boot: QZ-7 Loader", "show, advance, write y, pause, start ReadVersion", std::nullopt},
        {banner, "qz-7 boot loader", kUnexpected, Directions::Unexpected("qz-7 boot loader"), Outcome::Unexpected},
        {banner, std::nullopt, kUnexpected, Directions::Unexpected(""), Outcome::Unexpected},
        // The version: cut from the first "V" to the line break, both left out.
        {version, "QZ7 V2.005\r\n", "clear, show, advance", kFound, std::nullopt, "2.005", true, kOlder},
        {version, "QZ7 V\r\n", "clear, show, advance", Directions::FoundVersion(""), std::nullopt, "", true, kUnknown},
        {version, "QZ7 V2.005", "clear, show, advance", Directions::FoundVersion("V2.005"), std::nullopt, "V2.005", true, kOlder},
        {version, "Vendor QZ7 V2.005\r\n", "clear, show, advance", Directions::FoundVersion("endor QZ7 V2.005"), std::nullopt,
         "endor QZ7 V2.005", true, kOlder},
        {version, "QZ7 V2.005\r\nE or P?\r\n", "clear, show, advance", kFound, std::nullopt, "2.005", true, kOlder},
        {version, "E or P?\r\n", "show, advance", Directions::VersionNotFound, std::nullopt, std::nullopt, true, kUnknown},
        {version, "E or P", "show, advance", Directions::VersionNotFound, std::nullopt, std::nullopt, true, kUnknown},
        // The same directions for a newer QZ7, but Cancel focused and the status line saying
        // what Update would do; the same version is said to be current, Update still focused.
        {version, "QZ7 V" + kNewer + "\r\n", "clear, show, advance", Directions::FoundVersion(kNewer), std::nullopt, kNewer,
         true, kNewerOne, Focus::Cancel, kNewerSays},
        {version, "QZ7 V" + kNewer, "clear, show, advance", Directions::FoundVersion("V" + kNewer), std::nullopt,
         "V" + kNewer, true, kNewerOne, Focus::Cancel, kNewerSays},
        {version, "QZ7 V" + kCarried + "\r\n", "clear, show, advance", Directions::FoundVersion(kCarried), std::nullopt,
         kCarried, true, kSame, Focus::Update, kSameSays},
        {version, "QZ7 V2.0x\r\n", "clear, show, advance", Directions::FoundVersion("2.0x"), std::nullopt, "2.0x", true,
         kUnknown},
        {version, "QZ7 V" + kNewer + "\r\n", "clear, show, close", Directions::ImageDamaged, Outcome::ImageDamaged, kNewer,
         false},
        {version, "boot ok\r\n", "show", Directions::NoVersion, Outcome::NoVersion},
        {version, "qz7 v2.005\r\n", "show", Directions::NoVersion, Outcome::NoVersion},
        {version, std::nullopt, "show", Directions::NoVersion, Outcome::NoVersion},
        // A damaged image is never offered, with or without a version.
        {version, "QZ7 V2.005\r\n", "clear, show, close", Directions::ImageDamaged, Outcome::ImageDamaged, "2.005", false},
        {version, "E or P?\r\n", "show, close", Directions::ImageDamaged, Outcome::ImageDamaged, std::nullopt, false},
        // The prompt: "E or P?" gets "E"; any other line, the first 24 characters of a longer
        // prompt among them, gets "y".
        {prompt, "E or P?", "write E, show, advance, pause, start ReadThread", std::nullopt},
        {prompt, "rogram: E or P?", "write E, show, advance, pause, start ReadThread", std::nullopt},
        {prompt, "Menu line 1", "write y, start ReadThread", std::nullopt},
        {prompt, "Please choose erase or p", "write y, start ReadThread", std::nullopt},
        {prompt, "E or P", "write y, start ReadThread", std::nullopt},
        {prompt, std::nullopt, "write y, start ReadThread", std::nullopt},
        // The erase.
        {erased, "Erased", "write P, show, progress 0, advance, start SendProgram", std::nullopt},
        {erased, "Erased, now send the rec", "write P, show, progress 0, advance, start SendProgram", std::nullopt},
        {erased, "Not Erased", "show, close", Directions::NotErased, Outcome::NotErased},
        {erased, "Erased; Not verified", "show, close", Directions::NotErased, Outcome::NotErased},
        {erased, "erased", kUnexpected, Directions::Unexpected("erased"), Outcome::Unexpected},
        // The end: "Not" beside "Done" is never a success.
        {done, "Done", "show, close", Directions::Done, Outcome::Done},
        {done, "Page 5 Done", "show, close", Directions::Done, Outcome::Done},
        {done, "Not Done", "show, close", Directions::NotDone, Outcome::NotDone},
        {done, "Error: Not Done", "show, close", Directions::NotDone, Outcome::NotDone},
        {done, "Checksum error", kUnexpected, Directions::Unexpected("Checksum error"), Outcome::Unexpected},
        // A stage past the last.
        {static_cast<Stage>(5), "Done", kUnexpected, Directions::Unexpected("Done"), Outcome::Unexpected},
    };
    for (const Row& row : table) {
        const std::string where = "stage " + std::to_string(static_cast<int>(row.stage)) + ", reply \"" +
                                  row.reply.value_or("<absent>") + "\"";
        const Decision d = Decide(row.stage, row.reply, row.firmwareGood);
        EXPECT_EQ(Describe(d), row.actions) << where;
        EXPECT_EQ(d.cutReply, row.cut) << where;
        EXPECT_EQ(d.promptCame, row.actions.starts_with("write E")) << where;
        EXPECT_EQ(IsPage(row.stage, row.reply), row.actions.starts_with("write y")) << where;
        std::optional<std::string> directions;
        std::optional<Outcome> ended;
        bool asked = false;
        for (const Action& a : d.actions) {
            if (a.kind == Action::Show && a.update.directions)
                directions = Words::Directions(*a.update.directions);
            if (a.kind == Action::Show && a.update.ended)
                ended = a.update.ended;
            // A question carries the version it offers as a value: the one cut from the reply, and
            // how it stands to the one carried.
            if (a.kind == Action::Show && a.update.question) {
                asked = true;
                EXPECT_EQ(a.update.scene, Scene::Question) << where;
                EXPECT_EQ(a.update.version, row.cut) << where;
                EXPECT_EQ(a.update.relation, row.relation) << where;
                EXPECT_EQ(a.update.focus, row.focus) << where;
                EXPECT_EQ(a.update.status ? Words::Status(*a.update.status) : std::string(), row.status) << where;
            }
        }
        EXPECT_EQ(asked, row.relation.has_value()) << where;
        EXPECT_EQ(directions, row.directions) << where;
        EXPECT_EQ(ended, row.ended) << where;
    }
}

// Every event other than a reply, at every stage. Only the events that end a dialogue depend on
// where it stood through the screen they post, never through the actions; Restart and the next
// unit wait for an end on the screen.
TEST(Decision, EveryStageAgainstEveryOtherEvent)
{
    const struct {
        Event event;
        std::string actions;                     // Describe() of the decision
        std::optional<Outcome> ended = std::nullopt;
        bool endedOnScreen = false;              // At::ended
    } rows[] = {
        {{.kind = Event::Searching}, "show"},
        {{.kind = Event::PortOpened}, "show, drain, start ReadThread"},
        {{.kind = Event::ImageSent}, "start AwaitVerdict"},
        {{.kind = Event::LoaderEnd, .outcome = Outcome::Done}, "show, close", Outcome::Done},
        {{.kind = Event::LoaderEnd, .outcome = Outcome::Restarted}, "close, show", Outcome::Restarted},
        {{.kind = Event::LoaderEnd, .outcome = Outcome::NotDone}, "close, show", Outcome::NotDone},
        {{.kind = Event::LoaderEnd, .outcome = Outcome::EndedEarly}, "close, show", Outcome::EndedEarly},
        {{.kind = Event::HangUp}, "close, show", Outcome::Disconnected},
        {{.kind = Event::Stalled}, "close, show", Outcome::Stopped},
        {{.kind = Event::Unopened}, "show", Outcome::Unopened},
        {{.kind = Event::Exception, .detail = "bad_alloc"}, "close, show", Outcome::Exception},
        {{.kind = Event::UpdatePressed}, "show now, then on the worker, write y, show, start ReadThread"},
        {{.kind = Event::CancelPressed}, "show, close, cancelled"},
        {{.kind = Event::NextUnit}, ""},
        {{.kind = Event::NextUnit}, "show now, new unit, show, start StartOver", std::nullopt, true},
    };
    for (Stage stage : {Stage::AwaitingBanner, Stage::AwaitingVersion, Stage::AwaitingPrompt, Stage::AwaitingErased,
                        Stage::AwaitingDone}) {
        for (const auto& row : rows) {
            const std::string where = "stage " + std::to_string(static_cast<int>(stage)) + ", event " +
                                      std::to_string(row.event.kind) + ", " + row.actions;
            const Decision d = Decide(At{.stage = stage, .ended = row.endedOnScreen}, row.event);
            EXPECT_EQ(Describe(d), row.actions) << where;
            std::optional<Outcome> ended;
            for (const Action& a : d.actions)
                if (a.kind == Action::Show && a.update.ended)
                    ended = a.update.ended;
            EXPECT_EQ(ended, row.ended) << where;
        }
    }
    // The screens: Done offers the next unit, every other end its directions with the level
    // hidden; an exception names its reason; Update answered shows the progress screen.
    EXPECT_EQ(DecideLoaderEnd(Outcome::Done).actions.front().update, DoneScreen());
    EXPECT_EQ(Decide(At{}, {.kind = Event::HangUp}).actions.back().update, FailureScreen(Outcome::Disconnected));
    EXPECT_EQ(Decide(At{}, {.kind = Event::Exception, .detail = "x"}).actions.back().update,
              FailureScreen(Outcome::Exception, "x"));
    EXPECT_EQ(Decide(At{}, {.kind = Event::UpdatePressed}).actions[3].update,
              (ScreenUpdate{.directions = DirectionsFact{Says::Updating}, .updateEnabled = false, .cancelEnabled = false,
                            .levelShown = true, .scene = Scene::Updating}));
    for (Outcome outcome : {Outcome::Restarted, Outcome::NotDone, Outcome::EndedEarly})
        EXPECT_EQ(Words::Directions(*DecideLoaderEnd(outcome).actions.back().update.directions),
                  Words::Directions(DirectionsFact{EndSays(outcome)}));
}

TEST(Decision, TheScreensItShowsAreTheOnesTheOperatorAnswers)
{
    // The banner brings the picture; a question enables both buttons with Update focused; Done
    // offers the next unit; a failure hides the level.
    EXPECT_EQ(Decide(Stage::AwaitingBanner, "QZ-7", true).actions.front().update, ScreenUpdate{.picture = Picture::Device});
    EXPECT_EQ(Decide(Stage::AwaitingVersion, "QZ7 V2.005\r\n", true).actions[1].update, QuestionScreen("2.005"));
    EXPECT_EQ(QuestionScreen(), (ScreenUpdate{.directions = DirectionsFact{Says::VersionNotFound}, .updateEnabled = true,
                                              .cancelEnabled = true, .focus = Focus::Update, .question = true,
                                              .scene = Scene::Question, .relation = VersionRelation::Unknown}));
    EXPECT_EQ(Decide(Stage::AwaitingDone, "Done", true).actions.front().update,
              (ScreenUpdate{.directions = DirectionsFact{Says::Done}, .focus = Focus::NextUnit, .levelShown = false,
                            .nextUnitShown = true, .ended = Outcome::Done}));
    EXPECT_EQ(Decide(Stage::AwaitingDone, "Done", true).actions.front().update, DoneScreen());
    EXPECT_EQ(FailureScreen(Outcome::Unexpected, "x"),
              (ScreenUpdate{.directions = DirectionsFact{Says::Unexpected, "x"}, .levelShown = false, .ended = Outcome::Unexpected}));
}

// The version found against the one carried, part by part as numbers; a text that holds no such
// number is Unknown, never a guess either way.
TEST(Version, ComparesPartByPartAsNumbers)
{
    const struct {
        std::string found, carried;
        VersionRelation relation;
        std::optional<std::string> number;  // VersionNumber(found)
    } rows[] = {
        {"2.010", "2.009", kNewerOne, "2.010"},
        {"2.009", "2.010", kOlder, "2.009"},
        {"2.005", "2.007", kOlder, "2.005"},
        {"2.007", "2.007", kSame, "2.007"},
        {"2.7", "2.007", kSame, "2.7"},
        {"2.007.0", "2.007", kSame, "2.007.0"},
        {"2.007.1", "2.007", kNewerOne, "2.007.1"},
        {"2", "2.007", kOlder, "2"},
        {"3.000", "2.999", kNewerOne, "3.000"},
        {"10.0", "9.999", kNewerOne, "10.0"},
        {"99999999999999999999.1", "99999999999999999998.9", kNewerOne, "99999999999999999999.1"},
        // However the cut reply frames it: a "V" before the number, white space around it.
        {"V2.009", "2.007", kNewerOne, "2.009"},
        {"QZ7 V2.009 \r\n", "2.007", kNewerOne, "2.009"},
        {"endor QZ7 V2.005", "2.007", kOlder, "2.005"},
        {" 2.007\t", "2.007", kSame, "2.007"},
        // No number: nothing to compare.
        {"", "2.007", kUnknown, std::nullopt},
        {"2.0x", "2.007", kUnknown, std::nullopt},
        {"QZ7 V", "2.007", kUnknown, std::nullopt},
        {"2.", "2.007", kUnknown, std::nullopt},
        {".5", "2.007", kUnknown, std::nullopt},
        {"2..7", "2.007", kUnknown, std::nullopt},
        {"2 .007", "2.007", kUnknown, std::nullopt},
        {"-2.009", "2.007", kUnknown, std::nullopt},
        {"2.009a", "2.007", kUnknown, std::nullopt},
        {"2.009", "", kUnknown, "2.009"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(CompareVersions(row.found, row.carried), row.relation) << '"' << row.found << "\" against " << row.carried;
        EXPECT_EQ(VersionNumber(row.found), row.number) << '"' << row.found << '"';
    }
}

// Against the firmware built in, however a QZ7's reply frames the version.
TEST(Version, ComparesWithTheFirmwareCarried)
{
    const std::string v = kCarried;
    const std::vector<std::pair<std::string, VersionRelation>> rows{
        {v, kSame}, {"V" + v, kSame}, {"QZ7 V" + v, kSame}, {"QZ7 V" + v + " \r\n", kSame}, {"Boot 1, QZ7 V" + v, kSame},
        {"QZ7 V" + v + "1", kNewerOne}, {"QZ7 V1" + v, kNewerOne}, {"QZ7 V" + v + ".1", kNewerOne},
        {kNewer, kNewerOne}, {"2.005", kOlder}, {"QZ7 V", kUnknown}, {"", kUnknown},
    };
    for (const auto& [found, relation] : rows)
        EXPECT_EQ(CompareWithCarried(found), relation) << '"' << found << '"';
}
