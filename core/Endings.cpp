#include "core/Endings.h"

#include "core/Directions.h"
#include "core/Words.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using enum Ending;
constexpr WaysOn kNext = WaysOn::NextUnit, kRestart = WaysOn::RestartAndClose, kClose = WaysOn::CloseOnly;
constexpr LeftEmpty kKept = LeftEmpty::No, kGone = LeftEmpty::Yes, kByStage = LeftEmpty::ByStage;

// A new end is one row here (in the enum's order), its rule where it is decided, and its texts
// in the catalogs.
const EndingRow kEndings[] = {
    //: --help's list of exit statuses: each text says what ended a run with that status (after the number). Option names
    //: (--wait) and the QZ7's own words (Done, Not Done) stay as they are.
    {Done, Says::Done, ExitStatus::Done, "done", kNext, kKept, false, QT_TRANSLATE_NOOP("Help", "the QZ7 was updated (Done)"), true},
    {Disconnected, Says::Disconnected, ExitStatus::Disconnected, "disconnected", kRestart, kByStage, false,
     QT_TRANSLATE_NOOP("Help", "the adapter was disconnected, or the port closed under the update")},
    {Stopped, Says::Stopped, ExitStatus::Stopped, "stopped", kRestart, kByStage, false,
     QT_TRANSLATE_NOOP("Help", "the QZ7 stopped accepting data")},
    // The erase was asked for: how much of it was done, only the loader knows.
    {NotErased, Says::NotErased, ExitStatus::NotErased, "not-erased", kRestart, kByStage, true,
     QT_TRANSLATE_NOOP("Help", "the QZ7 was not erased")},
    {NotDone, Says::NotDone, ExitStatus::NotDone, "not-done", kRestart, kGone, true, QT_TRANSLATE_NOOP("Help", "the QZ7 answered Not Done")},
    {EndedEarly, Says::EndedEarly, ExitStatus::EndedEarly, "ended-early", kRestart, kGone, true,
     QT_TRANSLATE_NOOP("Help", "the QZ7 said Done before the whole image was sent")},
    {Restarted, Says::Restarted, ExitStatus::Restarted, "restarted", kRestart, kGone, true,
     QT_TRANSLATE_NOOP("Help", "the QZ7 restarted during the update")},
    {Unexpected, Says::Unexpected, ExitStatus::Unexpected, "unexpected", kRestart, kByStage, true,
     QT_TRANSLATE_NOOP("Help", "an unexpected reply from the QZ7")},
    {NoVersion, Says::NoVersion, ExitStatus::NoVersion, "no-version", kRestart, kKept, false, QT_TRANSLATE_NOOP("Help", "no version reply")},
    // The same image would fail the same way: only a reinstall helps.
    {ImageDamaged, Says::ImageDamaged, ExitStatus::ImageDamaged, "image-damaged", kClose, kKept, false,
     QT_TRANSLATE_NOOP("Help", "the firmware image is damaged; nothing was erased")},
    // To a script the port closed under the update is the adapter gone: Disconnected's status,
    // name and help line.
    {Unopened, Says::Unopened, ExitStatus::Disconnected, "disconnected", kRestart, kByStage, false, nullptr},
    {Exception, Says::Exception, ExitStatus::Failure, "failure", kRestart, kByStage, false, QT_TRANSLATE_NOOP("Help", "an error nobody foresaw")},
    // --check ends as Done does to the exit status, under a name of its own.
    {Checked, std::nullopt, ExitStatus::Done, "checked", kNext, kKept, false, nullptr, true},
    {Declined, std::nullopt, ExitStatus::Declined, "declined", kNext, kKept, false,
     QT_TRANSLATE_NOOP("Help", "not updated: the answer was no (or input ended, or was too long)")},
    {AlreadyCurrent, std::nullopt, ExitStatus::AlreadyCurrent, "already-current", kNext, kKept, false,
     QT_TRANSLATE_NOOP("Help", "--skip-current: the QZ7 already has the firmware this program carries; not updated"), true},
    {NewerOnUnit, std::nullopt, ExitStatus::NewerOnUnit, "newer-on-unit", kNext, kKept, false,
     QT_TRANSLATE_NOOP("Help", "--yes: the QZ7 has newer firmware than this program carries; not updated (see --allow-older)")},
    {NoAdapter, std::nullopt, ExitStatus::NoAdapter, "no-adapter", kRestart, kKept, false,
     QT_TRANSLATE_NOOP("Help", "no usable adapter within --wait, or a --port that can never be one")},
    {Permission, std::nullopt, ExitStatus::Permission, "permission", kRestart, kKept, false,
     QT_TRANSLATE_NOOP("Help", "no permission to open the port")},
    {Busy, std::nullopt, ExitStatus::Busy, "busy", kRestart, kKept, false, QT_TRANSLATE_NOOP("Help", "the port is in use by another program")},
    {NoAnswer, std::nullopt, ExitStatus::NoAnswer, "no-answer", kRestart, kKept, false,
     QT_TRANSLATE_NOOP("Help", "the port opened, but no QZ7 answered within --wait")},
    {TimedOut, std::nullopt, ExitStatus::TimedOut, "timed-out", kRestart, kByStage, false,
     QT_TRANSLATE_NOOP("Help", "--timeout ran out; the port was put back")},
    {Interrupted, std::nullopt, ExitStatus::Interrupted, "interrupted", kRestart, kByStage, false,
     QT_TRANSLATE_NOOP("Help", "stopped by SIGINT (twice within 5 s while the QZ7 is being programmed), SIGTERM or SIGHUP;"
                               " the port was put back")},
};

const RunStatusRow kRunStatuses[] = {
    {ExitStatus::SomeFailed,
     QT_TRANSLATE_NOOP("Help", "several units: not every one was updated (each unit's status is in --json and --report)")},
    {ExitStatus::Usage, QT_TRANSLATE_NOOP("Help", "wrong usage: an unknown option or a bad value")},
    {ExitStatus::OutputFailed, QT_TRANSLATE_NOOP("Help", "standard output (or the --report file) could not be written")},
};

}  // namespace

std::span<const EndingRow> Endings()
{
    return kEndings;
}

const EndingRow& RowOf(Ending ending)
{
    return kEndings[static_cast<std::size_t>(ending)];
}

std::optional<Ending> EndingFor(int exitStatus)
{
    for (const EndingRow& row : kEndings)
        if (row.exitStatus == exitStatus)
            return row.ending;
    return std::nullopt;
}

std::span<const RunStatusRow> RunStatuses()
{
    return kRunStatuses;
}

bool LeavesEmpty(Ending ending, Stage stage)
{
    switch (RowOf(ending).leftEmpty) {
    case LeftEmpty::No: return false;
    case LeftEmpty::Yes: return true;
    case LeftEmpty::ByStage: return MayBeEmpty(stage);
    }
    return true;
}

std::string ExitStatusHelp()
{
    std::vector<std::pair<int, const char*>> statuses;
    for (const EndingRow& row : kEndings)
        if (row.help)
            statuses.emplace_back(row.exitStatus, row.help);
    for (const RunStatusRow& row : kRunStatuses)
        statuses.emplace_back(row.exitStatus, row.help);
    std::stable_sort(statuses.begin(), statuses.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string help = "\n" + Words::Tr("Help", "Exit statuses (with --cli):") + "\n";
    for (const auto& [code, text] : statuses) {
        std::string number = std::to_string(code);
        help += "  " + number + std::string(5 - number.size(), ' ') + Words::Tr("Help", text) + "\n";
    }
    return help;
}

bool FailureDirections(Says says)
{
    for (const EndingRow& row : Endings())
        if (row.says == says)
            return !row.endsWell;
    return false;
}
