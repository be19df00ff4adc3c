#pragma once
#include "core/Endings.h"
#include "core/Facts.h"
#include "core/Screen.h"
#include "core/Stage.h"

#include <chrono>
#include <optional>
#include <span>
#include <string>

// The rules of a run on the terminal that no front end should hold: how the version question is
// answered for the options given, when Ctrl+C stops, and what a stop says is left of the QZ7.

// The options that answer the version question ahead (--yes, --allow-older, --check,
// --skip-current).
struct AnswerOptions {
    bool yes = false;
    bool allowOlder = false;
    bool check = false;
    bool skipCurrent = false;
};

// How the question is answered.
enum class Answer {
    Ask,         // nothing answers it ahead: the operator does
    Update,      // Update, as --yes (and, for a newer QZ7, --allow-older) say
    Check,       // --check: the version is read, nothing is erased
    Skip,        // --skip-current: the QZ7 has the firmware carried
    LeaveNewer,  // --yes without --allow-older: the QZ7 has newer firmware
};

// The answer for the options and how the version found stands to the firmware carried.
Answer AnswerFor(const AnswerOptions& options, VersionRelation relation);

// How a unit ends when the question was answered with Cancel: as the answer says, or, where the
// operator said no, Declined.
Ending CancelledAs(Answer answer);

// How a run of several units ends, from each unit's end: the one unit's own status, or Done
// when every unit ended well and SomeFailed otherwise; and how many did not end well.
struct RunEnd {
    int exitStatus = ExitStatus::Done;
    int failed = 0;
};
RunEnd RunEndOf(std::span<const Ending> ends);

// One Ctrl+C is easily pressed by mistake, and while a QZ7 is being erased or programmed it
// would leave it without firmware: then only a second one within 5 s stops. Any other signal
// (SIGTERM, SIGHUP) stops at once. The clock is the caller's.
class InterruptRule {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kWithin{5};

    // Whether the signal that came at `now` stops the run; false: it only warns. `interrupt`:
    // the signal is SIGINT; `programming`: a QZ7 is being erased or programmed.
    bool Stops(bool interrupt, bool programming, Clock::time_point now);

private:
    std::optional<Clock::time_point> first_;  // the Ctrl+C that warned
};

// What is left of the QZ7 when an update is stopped by `what` ("Interrupted", ...) as `how`
// (Interrupted, TimedOut) with the dialogue at `state`, in the operator's language.
std::string StoppedText(const std::string& what, Ending how, Stage state);

// A status line that counts the seconds ("Nothing from the QZ7 for 31 s") changes every second:
// on the terminal it is printed again only once a minute. Any other change is printed at once.
class RepeatedHint {
public:
    // Whether a status of `kind` is a counting hint of the kind printed less than a minute ago.
    bool Repeats(StatusKind kind);

private:
    StatusKind printedKind_ = StatusKind::Plain;  // the kind of the last status printed
    std::chrono::steady_clock::time_point printedAt_{};
};

// The line that says a QZ7 with newer firmware (`found`, as the question had it) was left as it
// was, and what to do to update it all the same.
std::string NewerLeftText(const std::optional<std::string>& found);

// Whether the operator's answer at the terminal's [y/N] question is yes: "y", "yes", or a yes
// word of the operator's language ("j", "oui", "sí", "はい", ...), in any case. Anything else is no.
bool IsYes(const std::string& answer);
