// The run's rules on their own: the question's answer for every option against every version
// relation, the double Ctrl+C on a clock of the test's, and what a stop says is left.
#include "core/RunRules.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(RunRules, TheQuestionIsAnsweredAsTheOptionsSay)
{
    const VersionRelation older = VersionRelation::Older, same = VersionRelation::Same, newer = VersionRelation::Newer,
                          unknown = VersionRelation::Unknown;
    const AnswerOptions none{}, yes{.yes = true}, yesOlder{.yes = true, .allowOlder = true}, check{.check = true},
                        checkYes{.yes = true, .check = true}, skip{.yes = true, .skipCurrent = true},
                        skipOlder{.yes = true, .allowOlder = true, .skipCurrent = true};
    const struct {
        AnswerOptions options;
        VersionRelation relation;
        Answer answer;
        Ending cancelledAs;  // how the unit ends when the question is answered with Cancel
    } table[] = {
        // Nothing answers ahead: the operator does, whatever the version; a no is Declined.
        {none, older, Answer::Ask, Ending::Declined},
        {none, newer, Answer::Ask, Ending::Declined},
        {none, unknown, Answer::Ask, Ending::Declined},
        // --yes updates, but not a QZ7 with newer firmware without --allow-older.
        {yes, older, Answer::Update, Ending::Declined},
        {yes, same, Answer::Update, Ending::Declined},
        {yes, unknown, Answer::Update, Ending::Declined},
        {yes, newer, Answer::LeaveNewer, Ending::NewerOnUnit},
        {yesOlder, newer, Answer::Update, Ending::Declined},
        // --check reads the version whatever it is, with or without --yes.
        {check, older, Answer::Check, Ending::Checked},
        {check, newer, Answer::Check, Ending::Checked},
        {checkYes, same, Answer::Check, Ending::Checked},
        {checkYes, unknown, Answer::Check, Ending::Checked},
        // --skip-current leaves the current firmware alone and updates the rest.
        {skip, same, Answer::Skip, Ending::AlreadyCurrent},
        {skip, older, Answer::Update, Ending::Declined},
        {skip, unknown, Answer::Update, Ending::Declined},
        {skip, newer, Answer::LeaveNewer, Ending::NewerOnUnit},
        {skipOlder, newer, Answer::Update, Ending::Declined},
        {skipOlder, same, Answer::Skip, Ending::AlreadyCurrent},
    };
    for (std::size_t i = 0; i < std::size(table); ++i) {
        SCOPED_TRACE(i);
        const Answer answer = AnswerFor(table[i].options, table[i].relation);
        EXPECT_EQ(answer, table[i].answer);
        EXPECT_EQ(CancelledAs(answer), table[i].cancelledAs);
    }
}

TEST(RunRules, OnlyAYesWordAnswersYes)
{
    // In English: "y" and "yes" in any case; anything else, a longer word that starts with y
    // included, is no. (The other languages' words are the catalogs', tried in each language
    // by the terminal's tests.)
    for (const char* yes : {"y", "Y", "yes", "YES", "Yes"})
        EXPECT_TRUE(IsYes(yes)) << yes;
    for (const char* no : {"", "n", "no", "yolo", "ye", "y y", " y", "ja", "oui"})
        EXPECT_FALSE(IsYes(no)) << no;
}

TEST(RunRules, ARunOfSeveralUnitsEndsAsItsUnitsDid)
{
    using enum Ending;
    const struct {
        std::vector<Ending> ends;
        int exitStatus;
        int failed;
    } table[] = {
        // One unit: its own status, whatever it is.
        {{Done}, 0, 0},
        {{NotErased}, 6, 1},
        {{Checked}, 0, 0},
        {{AlreadyCurrent}, 17, 0},
        {{Interrupted}, 130, 1},
        // Several: Done when each ended well (updated, checked or already current).
        {{Done, Done, Done}, 0, 0},
        {{Done, Checked, AlreadyCurrent}, 0, 0},
        {{Done, NotErased, Disconnected, Done}, ExitStatus::SomeFailed, 2},
        {{Done, NewerOnUnit}, ExitStatus::SomeFailed, 1},
        {{Declined, Declined}, ExitStatus::SomeFailed, 2},
        // No unit: nothing failed.
        {{}, 0, 0},
    };
    for (std::size_t i = 0; i < std::size(table); ++i) {
        SCOPED_TRACE(i);
        const RunEnd end = RunEndOf(table[i].ends);
        EXPECT_EQ(end.exitStatus, table[i].exitStatus);
        EXPECT_EQ(end.failed, table[i].failed);
    }
}

TEST(RunRules, ASecondCtrlCWithinFiveSecondsStopsAProgrammingRun)
{
    const InterruptRule::Clock::time_point t0{};
    const struct {
        bool interrupt;
        bool programming;
        std::chrono::milliseconds at;
        bool stops;
    } steps[] = {
        {true, true, 0ms, false},     // the first warns
        {true, true, 4999ms, true},   // a second within 5 s stops
        {true, true, 20000ms, false}, // long after: it warns again
        {true, true, 25001ms, false}, // more than 5 s after that warning: warns once more
        {false, true, 25100ms, true}, // SIGTERM, SIGHUP: at once
        {true, false, 60000ms, true}, // nothing is being programmed: at once
    };
    InterruptRule rule;
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rule.Stops(steps[i].interrupt, steps[i].programming, t0 + steps[i].at), steps[i].stops);
    }
    // Exactly 5 s after the warning still counts as within.
    InterruptRule edge;
    EXPECT_FALSE(edge.Stops(true, true, t0));
    EXPECT_TRUE(edge.Stops(true, true, t0 + 5s));
}

TEST(RunRules, AStopSaysWhatIsLeftOfTheQz7)
{
    const std::string gone = "Interrupted during the update: the QZ7 has no firmware now. Power it on again while holding"
                             " Run/Stop and update again.";
    const std::string kept = "Interrupted before anything was erased: the QZ7 is as it was.";
    const struct {
        Ending how;
        Stage stage;
        std::string says;
    } table[] = {
        {Ending::Interrupted, Stage::AwaitingBanner, kept},  {Ending::Interrupted, Stage::AwaitingVersion, kept},
        {Ending::Interrupted, Stage::AwaitingPrompt, kept},  {Ending::Interrupted, Stage::AwaitingErased, gone},
        {Ending::Interrupted, Stage::AwaitingDone, gone},    {Ending::TimedOut, Stage::AwaitingPrompt, kept},
        {Ending::TimedOut, Stage::AwaitingDone, gone},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(static_cast<int>(row.stage));
        EXPECT_EQ(StoppedText("Interrupted", row.how, row.stage), row.says);
    }
}
