#pragma once
#include "core/Facts.h"
#include "core/Screen.h"
#include "core/Stage.h"

#include <optional>
#include <span>
#include <string>

// How `qz7-updater --cli` and the bench end: a script tells the outcomes apart by these numbers
// alone. A unit's end has its number in the table of endings below; the run's own ends (several
// units, a wrong option, output that could not be written) only here.
namespace ExitStatus {
enum : int {
    Done = 0,
    Failure = 1,        // an error nobody foresaw
    NoAdapter = 2,      // no usable adapter within --wait, or a --port that can never be one
    Permission = 3,     // the chosen port refused for lack of permission (last attempt)
    Busy = 4,           // the chosen port held by another program (last attempt)
    Disconnected = 5,
    NotErased = 6,
    Unexpected = 7,
    NoVersion = 8,
    Declined = 9,       // the operator answered no, or standard input ended, at the question
    ImageDamaged = 10,  // nothing was erased
    NotDone = 11,
    Restarted = 12,
    Stopped = 13,
    NoAnswer = 14,      // the port opened, but no QZ7 answered within --wait
    EndedEarly = 15,    // the QZ7 said "Done" before the whole image was sent
    SomeFailed = 16,    // several units: not every one ended in Done (or already current)
    AlreadyCurrent = 17, // --skip-current: the QZ7 already had the shipped firmware; not updated
    NewerOnUnit = 18,   // --yes without --allow-older: the QZ7 had newer firmware; not updated
    Usage = 64,         // a wrong option or argument (EX_USAGE)
    OutputFailed = 74,  // standard output could not be written (EX_IOERR)
    TimedOut = 124,     // --timeout ran out; the port was put back first
    Interrupted = 130,  // SIGINT, SIGTERM or SIGHUP; the port was put back first
};
}  // namespace ExitStatus

// Every way one unit's run can end. The dialogue's own ends come first, in Outcome's order and
// with its values, so that an Outcome is an Ending as it stands (EndingOf); the ends after them
// are decided around the dialogue (by the answer to the question, the wait for the QZ7, a
// signal, a bound) and never come in a screen update. A wider enum rather than a longer Outcome:
// the dialogue and the screen updates keep the ends they can post, and a switch over Outcome
// stays whole without cases it can never meet.
enum class Ending {
    Done, Disconnected, Stopped, NotErased, NotDone, EndedEarly, Restarted, Unexpected, NoVersion,
    ImageDamaged, Unopened, Exception,
    Checked,         // --check read the version and left the unit as it was
    Declined,        // the answer to the question was no (or input ended, or was too long)
    AlreadyCurrent,  // --skip-current: the unit had the firmware carried
    NewerOnUnit,     // --yes without --allow-older: the unit had newer firmware
    NoAdapter,       // no usable adapter within --wait, or a port that can never be one
    Permission,      // no QZ7 within --wait: the port refused for lack of permission
    Busy,            // no QZ7 within --wait: the port held by another program
    NoAnswer,        // no QZ7 within --wait: the port open, nothing answered
    TimedOut,        // --timeout ran out
    Interrupted,     // SIGINT, SIGTERM or SIGHUP
};

constexpr Ending EndingOf(Outcome outcome)
{
    return static_cast<Ending>(static_cast<int>(outcome));
}
// The two enums go in step: an Outcome added or moved without its Ending stops the build here.
static_assert(EndingOf(Outcome::Done) == Ending::Done && EndingOf(Outcome::Disconnected) == Ending::Disconnected &&
              EndingOf(Outcome::Stopped) == Ending::Stopped && EndingOf(Outcome::NotErased) == Ending::NotErased &&
              EndingOf(Outcome::NotDone) == Ending::NotDone && EndingOf(Outcome::EndedEarly) == Ending::EndedEarly &&
              EndingOf(Outcome::Restarted) == Ending::Restarted && EndingOf(Outcome::Unexpected) == Ending::Unexpected &&
              EndingOf(Outcome::NoVersion) == Ending::NoVersion && EndingOf(Outcome::ImageDamaged) == Ending::ImageDamaged &&
              EndingOf(Outcome::Unopened) == Ending::Unopened && EndingOf(Outcome::Exception) == Ending::Exception);

// What an end screen offers the operator to go on with.
enum class WaysOn {
    NextUnit,          // "Update another QZ7" (Close beside it, not focused)
    RestartAndClose,   // Restart, focused, and Close
    CloseOnly,         // Close: going on would end the same way
};

// Whether an end may leave the QZ7 without firmware.
enum class LeftEmpty {
    No,       // the firmware is as it was, or the new one
    Yes,      // the image was cut off: the QZ7 has none now
    ByStage,  // only once the erase was asked for (MayBeEmpty of the stage reached, core/Stage.h)
};

// One row of the table: all that the program says and does about an end, in one place.
struct EndingRow {
    Ending ending;
    std::optional<Says> says;  // the directions the dialogue shows for it, where it shows any
    int exitStatus;
    const char* name;          // in the JSON and the report: "done", "not-erased", ...
    WaysOn ways;
    LeftEmpty leftEmpty;
    bool quotesReply;          // its status report quotes the reply that decided it
    // Its line in --help's exit statuses, in English (context "Help"); none where another row
    // with the same status has it.
    const char* help;
    // The unit ended as it should for the run: a bench of several units counts it among those
    // that ended well (and its exit status is not SomeFailed for it).
    bool endsWell = false;
};

// The table, one row per Ending in the enum's order.
std::span<const EndingRow> Endings();
const EndingRow& RowOf(Ending ending);
inline const EndingRow& RowOf(Outcome outcome) { return RowOf(EndingOf(outcome)); }

// Whether `says` are the directions of an end that did not end well (a failure's screen).
bool FailureDirections(Says says);

// The ending a front end reports for an exit status it was given as a number (the first row
// with it), or none.
std::optional<Ending> EndingFor(int exitStatus);

// Exit statuses of the run as a whole, with no unit's row: their --help lines (context "Help").
struct RunStatusRow {
    int exitStatus;
    const char* help;
};
std::span<const RunStatusRow> RunStatuses();

// Whether `ending`, come to with the dialogue at `stage`, may leave the QZ7 without firmware.
bool LeavesEmpty(Ending ending, Stage stage);

// The exit statuses as --help lists them, in the operator's language.
std::string ExitStatusHelp();
