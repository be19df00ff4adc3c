#pragma once
// The production bench's two parts, shared by Bench.cpp (the run) and BenchUnit.cpp (the printer
// of one unit); not for use outside the bench.
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

// The bench's printer for one unit: its row, its prose and its --json events. The unit's
// front end (TerminalFrontEnd, with its run) prints through it.
class BenchPrinter : public Printer {
public:
    BenchPrinter(Bench& bench, std::string path, const SerialService* listed);
    ~BenchPrinter() override;

    void Start();
    // Stops the update for a signal or the bound on the whole run.
    void Stop(const std::string& what, Ending how) { frontEnd_.Run().Stop(what, how); }
    bool Programming() const { return frontEnd_.Run().Programming(); }

    void Stage(const std::string& name) override;
    void Directions(const DirectionsFact& directions) override;
    void LevelShown(bool) override {}
    void Programming(std::size_t characters) override;
    void Level(int level) override;
    void Progress(const std::string& text) override;
    void Status(const StatusFact& report) override;
    void Question(Answer answer, VersionRelation relation, const std::optional<std::string>& version,
                  std::function<void(bool)> answered) override;
    void Line(const std::string& line) override;
    void Unusable() override;
    void Cancelled(Ending how, const std::optional<std::string>& version, VersionRelation relation) override;
    void Ended(Ending how) override;
    bool TakesEndReport() const override { return true; }

    const std::string path;
    StatusText::AdapterFacts adapter;
    int level = -1;
    std::string progress;        // the last progress text
    bool ended = false;
    Ending ending = Ending::Exception;
    const std::string& StageName() const { return frontEnd_.StageName(); }
    int LinesSent() const { return frontEnd_.LinesSent(); }
    const std::optional<std::string>& Version() const { return frontEnd_.Run().Version(); }
    VersionRelation Relation() const { return frontEnd_.Run().Relation(); }
    // How the unit ended, by name and by exit status.
    const char* Outcome() const { return RowOf(ending).name; }
    int Exit() const { return RowOf(ending).exitStatus; }
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

private:
    Bench& bench_;
    TerminalFrontEnd frontEnd_;
};

// The run: its units, where the prose and the JSON go, the report, the signals and the bounds.
class Bench : public QObject {
public:
    explicit Bench(const RunOptions& run);
    ~Bench() override;
    int Run();

    const RunOptions& run;
    // A unit's event as a JSON line (with --json); `fields` add to the common ones.
    void Event(const BenchPrinter* unit, const char* event, QJsonObject fields = {});
    // A line of prose, prefixed by the unit when there is one.
    void Say(const BenchPrinter* unit, const std::string& line);
    // The unit's row on the terminal has changed.
    void Changed();
    void Ended(BenchPrinter& unit);
    bool Tty() const { return tty_; }
    // When the run began: --wait bounds the wait for a QZ7 from here, the search for an adapter
    // included.
    const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

private:
    void Begin(std::vector<std::string> paths, const std::vector<SerialService>& listed);
    void LookForAdapters();
    void Redraw();
    std::string Row(const BenchPrinter& unit) const;
    void StopAll(const std::string& what, Ending how);
    void Conclude();

    std::FILE* human_;
    bool tty_;
    std::size_t rowsDrawn_ = 0;
    QTimer redraw_;
    std::vector<std::unique_ptr<BenchPrinter>> units_;
    ServiceLister lister_;
    std::optional<int> forced_;  // a signal, --timeout, or an unwritable report decides the status
    std::optional<int> status_;
    bool stopping_ = false;
    InterruptRule interrupts_;
    QTimer look_;
    Bound timeout_, waitAll_;
};

}  // namespace benchparts
