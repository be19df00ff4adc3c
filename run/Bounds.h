#pragma once
// The bounds of a run: --wait on the wait for the QZ7 and --timeout on the whole update, and what
// giving up on them or on a port that can never be used means.
#include "core/Endings.h"
#include "core/Facts.h"
#include "core/RunRules.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>

class QZ7_UpdaterAppDelegate;

// One bound: `then` runs once when it runs out, unless it was stopped first. A precise timer: a
// coarse one may fire up to 5 % early.
class Bound {
public:
    Bound();
    // Starts it with `left` to go (none left: it runs out from the event loop at once).
    void Start(std::chrono::milliseconds left, std::function<void()> then);
    void Stop();

    // What is left of a bound of `seconds` from `since`, at least nothing.
    static std::chrono::milliseconds Left(std::chrono::steady_clock::time_point since, int seconds);

private:
    QTimer timer_;
    QMetaObject::Connection connection_;
};

// What giving up on --wait means, from what the last attempt to open the port found: the end
// and the line that says so.
std::pair<Ending, std::string> GaveUp(const QZ7_UpdaterAppDelegate& controller, int seconds);

// Why a --port path ends its run (or its bench unit) at once, looked at before anything opens:
// without --wait, a path that can never be an adapter or is not there; with --wait (a missing
// path may yet appear), only a character device that no terminal driver serves, which exists
// already and cannot become an adapter by waiting. The report that says why, or none.
std::optional<StatusFact> UnusablePort(const std::string& path, bool waiting);

// What a quit signal does to a run of one unit or of several: a Ctrl+C while a QZ7 is being
// erased or programmed only warns, and a second one within 5 s stops (InterruptRule); any other
// quit signal stops at once.
class Interrupts {
public:
    // The warning to say when the run goes on (`several`: of more than one unit); none when the
    // signal stops it.
    std::optional<std::string> Warning(int signal, bool programming, bool several);

private:
    InterruptRule rule_;
};
