#pragma once
// The production bench's two parts, shared by Bench.cpp (the run) and BenchUnit.cpp (one unit);
// not for use outside the bench.
#include "controller/PortDiagnosis.h"
#include "controller/QZ7_UpdaterAppDelegate.h"
#include "controller/SignalQuit.h"
#include "core/RunRules.h"
#include "run/Bounds.h"
#include "run/Records.h"
#include "run/UnitRun.h"
#include "core/Status.h"
#include "core/Words.h"
#include "serial/ByIdNames.h"
#include "terminal/Bench.h"
#include "terminal/PortList.h"
#include "terminal/RunOptions.h"
#include "terminal/Terminal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/ioctl.h>
#include <unistd.h>

namespace benchparts {
using namespace records;

class Bench;

// One unit's row and lines: what its run (UnitRun: its controller, its answer, its end) shows,
// as prose and as --json events.
class Unit : public QObject, public UnitView {
public:
    Unit(Bench& bench, std::string path, const SerialService* listed);
    ~Unit() override;

    void Start();
    // Stops the update for a signal or the bound on the whole run.
    void Stop(const std::string& what, Ending how) { run_.Stop(what, how); }
    bool Programming() const { return run_.Programming(); }

    void Show(const ScreenUpdate& update) override;
    void Asked(Answer answer, VersionRelation relation) override;
    void Say(const std::string& line) override;
    void Unusable() override;
    void Cancelled(Ending how) override;
    void Ended(Ending how) override;

    const std::string path;
    StatusText::AdapterFacts adapter;
    std::string stage = "start";
    int level = -1;
    std::string progress;        // the last progress text
    std::optional<std::string> version;
    VersionRelation relation = VersionRelation::Unknown;  // of the version to the firmware carried
    int linesSent = 0;
    bool ended = false;
    Ending ending = Ending::Exception;
    // How the unit ended, by name and by exit status.
    const char* Outcome() const { return RowOf(ending).name; }
    int Exit() const { return RowOf(ending).exitStatus; }
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

private:
    void SetStage(const std::string& name);
    // A status report: its lines sent, and a line of prose and a "status" event unless it is
    // the transfer's progress or a count already said this minute.
    void TakeStatus(const StatusFact& report);

    Bench& bench_;
    UnitRun run_;
    std::optional<DirectionsFact> directions_;
    std::optional<StatusFact> status_;
    RepeatedHint hint_;
};

// The run: its units, where the prose and the JSON go, the report, the signals and the bounds.
class Bench : public QObject {
public:
    explicit Bench(const RunOptions& run);
    ~Bench() override;
    int Run();

    const RunOptions& run;
    // A unit's event as a JSON line (with --json); `fields` add to the common ones.
    void Event(const Unit* unit, const char* event, QJsonObject fields = {});
    // A line of prose, prefixed by the unit when there is one.
    void Say(const Unit* unit, const std::string& line);
    // The unit's row on the terminal has changed.
    void Changed();
    void Ended(Unit& unit);
    bool Tty() const { return tty_; }
    // When the run began: --wait bounds the wait for a QZ7 from here, the search for an adapter
    // included.
    const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

private:
    void Begin(std::vector<std::string> paths, const std::vector<SerialService>& listed);
    void LookForAdapters();
    void Redraw();
    std::string Row(const Unit& unit) const;
    void StopAll(const std::string& what, Ending how);
    void Conclude();

    std::FILE* human_;
    bool tty_;
    std::size_t rowsDrawn_ = 0;
    QTimer redraw_;
    std::vector<std::unique_ptr<Unit>> units_;
    ServiceLister lister_;
    std::optional<int> forced_;  // a signal, --timeout, or an unwritable report decides the status
    std::optional<int> status_;
    bool stopping_ = false;
    InterruptRule interrupts_;
    QTimer look_;
    Bound timeout_, waitAll_;
};

}  // namespace benchparts
