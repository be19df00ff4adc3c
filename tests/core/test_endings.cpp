// The table of endings on its own: one row per end, each with what a script, the report, the
// window and --help take from it, and the rules that read it.
#include "core/Decision.h"
#include "core/Endings.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

using enum Ending;

// What the table must hold together, whatever its rows say: each row in the enum's order (RowOf
// is an index), the dialogue's ends with their directions and the others without, and only an
// end that leaves the QZ7 with its firmware counted as ended well, offering the next unit. What
// each row says to a script is checked where a script sees it (the terminal's and the bench's
// runs, --help below).
TEST(Endings, EveryRowIsInPlaceAndHoldsTogether)
{
    const auto dialogueEnds = static_cast<std::size_t>(Outcome::Exception) + 1;
    for (std::size_t i = 0; i < Endings().size(); ++i) {
        const EndingRow& row = Endings()[i];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(static_cast<std::size_t>(row.ending), i);
        EXPECT_EQ(&RowOf(row.ending), &row);
        EXPECT_EQ(row.says.has_value(), i < dialogueEnds);
        if (i < dialogueEnds) {
            const auto outcome = static_cast<Outcome>(i);
            EXPECT_EQ(EndSays(outcome), row.says);
            EXPECT_EQ(FailureScreen(outcome).directions->says, row.says);
        }
        if (row.endsWell) {
            EXPECT_EQ(row.leftEmpty, LeftEmpty::No);
            EXPECT_EQ(row.ways, WaysOn::NextUnit);
        }
    }
    EXPECT_EQ(Endings().size(), static_cast<std::size_t>(Interrupted) + 1);
    // A damaged image would fail the same way again: Close is its one way on.
    EXPECT_EQ(RowOf(ImageDamaged).ways, WaysOn::CloseOnly);
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
