// The table of endings on its own: one row per end, each with what a script, the report, the
// window and --help take from it, and the rules that read it.
#include "core/Decision.h"
#include "core/Endings.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

// What each end is to a script and to the report, and what it offers the operator: written out
// once more here, so that a row changed by mistake shows.
struct Expected {
    Ending ending;
    int exitStatus;
    const char* name;
    WaysOn ways;
    LeftEmpty leftEmpty;
    bool quotesReply;
    bool hasSays;
    bool endsWell = false;
};

using enum Ending;
constexpr WaysOn kNext = WaysOn::NextUnit, kRestart = WaysOn::RestartAndClose, kClose = WaysOn::CloseOnly;
constexpr LeftEmpty kKept = LeftEmpty::No, kGone = LeftEmpty::Yes, kByStage = LeftEmpty::ByStage;

const Expected kExpected[] = {
    {Done, 0, "done", kNext, kKept, false, true, true},
    {Disconnected, 5, "disconnected", kRestart, kByStage, false, true},
    {Stopped, 13, "stopped", kRestart, kByStage, false, true},
    {NotErased, 6, "not-erased", kRestart, kByStage, true, true},
    {NotDone, 11, "not-done", kRestart, kGone, true, true},
    {EndedEarly, 15, "ended-early", kRestart, kGone, true, true},
    {Restarted, 12, "restarted", kRestart, kGone, true, true},
    {Unexpected, 7, "unexpected", kRestart, kByStage, true, true},
    {NoVersion, 8, "no-version", kRestart, kKept, false, true},
    {ImageDamaged, 10, "image-damaged", kClose, kKept, false, true},
    {Unopened, 5, "disconnected", kRestart, kByStage, false, true},
    {Exception, 1, "failure", kRestart, kByStage, false, true},
    {Checked, 0, "checked", kNext, kKept, false, false, true},
    {Declined, 9, "declined", kNext, kKept, false, false},
    {AlreadyCurrent, 17, "already-current", kNext, kKept, false, false, true},
    {NewerOnUnit, 18, "newer-on-unit", kNext, kKept, false, false},
    {NoAdapter, 2, "no-adapter", kRestart, kKept, false, false},
    {Permission, 3, "permission", kRestart, kKept, false, false},
    {Busy, 4, "busy", kRestart, kKept, false, false},
    {NoAnswer, 14, "no-answer", kRestart, kKept, false, false},
    {TimedOut, 124, "timed-out", kRestart, kByStage, false, false},
    {Interrupted, 130, "interrupted", kRestart, kByStage, false, false},
};

}  // namespace

TEST(Endings, EveryRowSaysWhatEachPartOfTheProgramTakes)
{
    ASSERT_EQ(Endings().size(), std::size(kExpected));
    for (std::size_t i = 0; i < std::size(kExpected); ++i) {
        const Expected& e = kExpected[i];
        const EndingRow& row = Endings()[i];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(row.ending, e.ending);  // in the enum's order, so RowOf is an index
        EXPECT_EQ(&RowOf(e.ending), &row);
        EXPECT_EQ(row.exitStatus, e.exitStatus);
        EXPECT_STREQ(row.name, e.name);
        EXPECT_EQ(row.ways, e.ways);
        EXPECT_EQ(row.leftEmpty, e.leftEmpty);
        EXPECT_EQ(row.quotesReply, e.quotesReply);
        EXPECT_EQ(row.says.has_value(), e.hasSays);
        EXPECT_EQ(row.endsWell, e.endsWell);
        // Only an end that leaves the QZ7 with its firmware ends well, and it offers the next unit.
        if (row.endsWell) {
            EXPECT_EQ(row.leftEmpty, LeftEmpty::No);
            EXPECT_EQ(row.ways, WaysOn::NextUnit);
        }
    }
}

TEST(Endings, StatusesNamesAndHelpLinesAreOneToOne)
{
    // Rows may share an exit status only as the same end to a script (the same name, one help
    // line between them), or as --check beside Done; every status has exactly one help line.
    std::map<int, std::set<std::string>> namesByStatus;
    std::map<int, int> helpLines;
    std::set<std::string> names;
    for (const EndingRow& row : Endings()) {
        SCOPED_TRACE(row.name);
        ASSERT_NE(row.name, nullptr);
        EXPECT_FALSE(std::string(row.name).empty());
        namesByStatus[row.exitStatus].insert(row.name);
        names.insert(row.name);
        if (row.help) {
            EXPECT_FALSE(std::string(row.help).empty());
            ++helpLines[row.exitStatus];
        }
    }
    for (const RunStatusRow& row : RunStatuses()) {
        EXPECT_FALSE(namesByStatus.contains(row.exitStatus)) << row.exitStatus << " is a unit's status and the run's";
        ASSERT_NE(row.help, nullptr);
        ++helpLines[row.exitStatus];
    }
    for (const auto& [status, statusNames] : namesByStatus) {
        SCOPED_TRACE(status);
        EXPECT_EQ(helpLines[status], 1);
        if (status == ExitStatus::Done)
            EXPECT_EQ(statusNames, (std::set<std::string>{"done", "checked"}));
        else
            EXPECT_EQ(statusNames.size(), 1u);
    }
    for (const RunStatusRow& row : RunStatuses())
        EXPECT_EQ(helpLines[row.exitStatus], 1);
    // Each name stands for one end but where two rows are one end to a script.
    EXPECT_EQ(names.size(), Endings().size() - 1);
    for (const EndingRow& row : Endings())
        EXPECT_EQ(EndingFor(row.exitStatus).has_value(), true);
    EXPECT_EQ(EndingFor(ExitStatus::Disconnected), Disconnected);
    EXPECT_EQ(EndingFor(ExitStatus::SomeFailed), std::nullopt);
}

TEST(Endings, TheDialoguesEndsAreEndingsAsTheyStand)
{
    const std::pair<Outcome, Says> table[] = {
        {Outcome::Done, Says::Done},
        {Outcome::Disconnected, Says::Disconnected},
        {Outcome::Stopped, Says::Stopped},
        {Outcome::NotErased, Says::NotErased},
        {Outcome::NotDone, Says::NotDone},
        {Outcome::EndedEarly, Says::EndedEarly},
        {Outcome::Restarted, Says::Restarted},
        {Outcome::Unexpected, Says::Unexpected},
        {Outcome::NoVersion, Says::NoVersion},
        {Outcome::ImageDamaged, Says::ImageDamaged},
        {Outcome::Unopened, Says::Unopened},
        {Outcome::Exception, Says::Exception},
    };
    for (const auto& [outcome, says] : table) {
        SCOPED_TRACE(static_cast<int>(outcome));
        EXPECT_EQ(RowOf(outcome).ending, EndingOf(outcome));
        EXPECT_EQ(RowOf(outcome).says, says);
        EXPECT_EQ(EndSays(outcome), says);
        EXPECT_EQ(FailureScreen(outcome).directions->says, says);
    }
}

TEST(Endings, WhetherTheQz7MayBeLeftEmpty)
{
    const Stage banner = Stage::AwaitingBanner, prompt = Stage::AwaitingPrompt, erased = Stage::AwaitingErased,
                done = Stage::AwaitingDone;
    const struct {
        Ending ending;
        Stage stage;
        bool empty;
    } table[] = {
        {Interrupted, banner, false}, {Interrupted, prompt, false}, {Interrupted, erased, true}, {Interrupted, done, true},
        {TimedOut, prompt, false},    {TimedOut, erased, true},     {Done, done, false},        {NotDone, done, true},
        {EndedEarly, done, true},     {Restarted, done, true},      {Disconnected, prompt, false}, {Disconnected, done, true},
        {Checked, prompt, false},     {NoAnswer, banner, false},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(RowOf(row.ending).name);
        EXPECT_EQ(LeavesEmpty(row.ending, row.stage), row.empty) << static_cast<int>(row.stage);
    }
    EXPECT_FALSE(MayBeEmpty(Stage::AwaitingVersion));
}

TEST(Endings, HelpListsEveryStatusOnceInOrder)
{
    const std::string help = ExitStatusHelp();
    EXPECT_EQ(help.rfind("\nExit statuses (with --cli):\n", 0), 0u);
    EXPECT_NE(help.find("\n  0    the QZ7 was updated (Done)\n"), std::string::npos);
    EXPECT_NE(help.find("\n  5    the adapter was disconnected, or the port closed under the update\n"), std::string::npos);
    EXPECT_NE(help.find("\n  130  stopped by SIGINT (twice within 5 s while the QZ7 is being programmed), SIGTERM or SIGHUP;"
                        " the port was put back\n"),
              std::string::npos);
    int lines = 0, last = -1;
    for (std::size_t at = help.find("\n  "); at != std::string::npos; at = help.find("\n  ", at + 1)) {
        const int status = std::stoi(help.substr(at + 3));
        EXPECT_GT(status, last);
        last = status;
        ++lines;
    }
    EXPECT_EQ(lines, 23);
}
