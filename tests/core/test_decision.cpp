// The dialogue's decisions on the function alone: every stage against every reply it may meet,
// with no port, thread or window behind it.
#include "core/Decision.h"
#include "core/Directions.h"
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
};

const std::string kUnexpected = "close, show";
const std::string kFound = Directions::FoundVersion("2.005");

}  // namespace

TEST(Decision, EveryStageAgainstEveryReply)
{
    const Stage banner = Stage::AwaitingBanner, version = Stage::AwaitingVersion, prompt = Stage::AwaitingPrompt,
                erased = Stage::AwaitingErased, done = Stage::AwaitingDone;
    const std::vector<Row> table{
        // The banner: "QZ-7" anywhere, case as it stands.
        {banner, "QZ-7 Boot Loader", "show, advance, start ReadVersion", std::nullopt},
        {banner, "boot: QZ-7 Loader", "show, advance, start ReadVersion", std::nullopt},
        {banner, "qz-7 boot loader", kUnexpected, Directions::Unexpected("qz-7 boot loader"), Outcome::Unexpected},
        {banner, std::nullopt, kUnexpected, Directions::Unexpected(""), Outcome::Unexpected},
        // The version: cut from the first "V" to the line break, both left out.
        {version, "QZ7 V2.005\r\n", "clear, show, advance", kFound, std::nullopt, "2.005"},
        {version, "QZ7 V\r\n", "clear, show, advance", Directions::FoundVersion(""), std::nullopt, ""},
        {version, "QZ7 V2.005", "clear, show, advance", Directions::FoundVersion("V2.005"), std::nullopt, "V2.005"},
        {version, "Vendor QZ7 V2.005\r\n", "clear, show, advance", Directions::FoundVersion("endor QZ7 V2.005"), std::nullopt,
         "endor QZ7 V2.005"},
        {version, "QZ7 V2.005\r\nE or P?\r\n", "clear, show, advance", kFound, std::nullopt, "2.005"},
        {version, "E or P?\r\n", "show, advance", Directions::VersionNotFound},
        {version, "E or P", "show, advance", Directions::VersionNotFound},
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
        std::optional<std::string> directions;
        std::optional<Outcome> ended;
        for (const Action& a : d.actions) {
            if (a.kind == Action::Show && a.update.directions)
                directions = Words::Directions(*a.update.directions);
            if (a.kind == Action::Show && a.update.ended)
                ended = a.update.ended;
            // A question carries the version it offers as a value: the one cut from the reply.
            if (a.kind == Action::Show && a.update.question) {
                EXPECT_EQ(a.update.scene, Scene::Question) << where;
                EXPECT_EQ(a.update.version, row.cut) << where;
            }
        }
        EXPECT_EQ(directions, row.directions) << where;
        EXPECT_EQ(ended, row.ended) << where;
    }
}

// The loader's lines decide an end (see LoaderLines): Done is shown before the port is closed,
// any other end after it.
TEST(Decision, TheLoaderEndsDoneOrWithThePortClosedFirst)
{
    EXPECT_EQ(Describe(DecideLoaderEnd(Outcome::Done)), "show, close");
    EXPECT_EQ(DecideLoaderEnd(Outcome::Done).actions.front().update, DoneScreen());
    for (const auto& [outcome, text] : std::map<Outcome, std::string>{{Outcome::Restarted, Directions::Restarted},
                                                                       {Outcome::NotDone, Directions::NotDone},
                                                                       {Outcome::EndedEarly, Directions::EndedEarly}}) {
        const Decision d = DecideLoaderEnd(outcome);
        EXPECT_EQ(Describe(d), "close, show") << text;
        EXPECT_EQ(d.actions.back().update, FailureScreen(outcome)) << text;
        EXPECT_EQ(Words::Directions(*d.actions.back().update.directions), text);
    }
}

TEST(Decision, TheScreensItShowsAreTheOnesTheOperatorAnswers)
{
    // The banner brings the picture; a question enables both buttons with Update focused; Done
    // offers the next unit; a failure hides the level.
    EXPECT_EQ(Decide(Stage::AwaitingBanner, "QZ-7", true).actions.front().update, ScreenUpdate{.picture = Picture::Device});
    EXPECT_EQ(Decide(Stage::AwaitingVersion, "QZ7 V2.005\r\n", true).actions[1].update, QuestionScreen("2.005"));
    EXPECT_EQ(QuestionScreen(), (ScreenUpdate{.directions = DirectionsFact{Says::VersionNotFound}, .updateEnabled = true,
                                              .cancelEnabled = true, .focus = Focus::Update, .question = true,
                                              .scene = Scene::Question}));
    EXPECT_EQ(Decide(Stage::AwaitingDone, "Done", true).actions.front().update,
              (ScreenUpdate{.directions = DirectionsFact{Says::Done}, .focus = Focus::NextUnit, .levelShown = false,
                            .nextUnitShown = true, .ended = Outcome::Done}));
    EXPECT_EQ(Decide(Stage::AwaitingDone, "Done", true).actions.front().update, DoneScreen());
    EXPECT_EQ(FailureScreen(Outcome::Unexpected, "x"),
              (ScreenUpdate{.directions = DirectionsFact{Says::Unexpected, "x"}, .levelShown = false, .ended = Outcome::Unexpected}));
}
