#pragma once
// A run of several units side by side (the production bench): which adapters it takes, each
// unit's run and its --json events, the report's record as each unit ends, the signals and the
// --wait and --timeout bounds on the whole run, and how the run ends from its units' ends. A front
// end shows it through a BenchView, which prints (or draws) and decides nothing.
#include "core/Endings.h"
#include "core/RunRules.h"
#include "core/Status.h"
#include "run/Bounds.h"
#include "run/Identity.h"
#include "run/Ledger.h"
#include "run/RunOptions.h"
#include "run/UnitFrontEnd.h"
#include "serial/Discovery.h"

#include <QJsonObject>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BenchRun;

// One unit of the run: its run and what it has shown, the adapter as the listing described it,
// and its --json events.
class BenchUnit : private UnitPrinter {
public:
    BenchUnit(BenchRun& bench, std::string path, const SerialService* listed);
    ~BenchUnit() override;

    const std::string path;
    StatusText::AdapterFacts adapter;
    const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

    const std::string& StageName() const { return frontEnd_->StageName(); }
    int LinesSent() const { return frontEnd_->LinesSent(); }
    const std::optional<std::string>& Version() const { return frontEnd_->Run().Version(); }
    VersionRelation Relation() const { return frontEnd_->Run().Relation(); }
    bool Ended() const { return frontEnd_->Run().Ended(); }
    Ending HowEnded() const { return frontEnd_->Run().HowEnded().value_or(Ending::Exception); }
    bool Programming() const { return frontEnd_->Run().Programming(); }

private:
    friend class BenchRun;
    void Start();
    void Stop(const std::string& what, Ending how) { frontEnd_->Run().Stop(what, how); }

    // The unit's --json events, as the run shows it.
    void Stage(const std::string& name) override;
    void Directions(const DirectionsFact& directions) override;
    void LevelShown(bool) override {}
    void Programming(std::size_t) override {}
    void Level(int level) override;
    void Progress(const std::string&) override {}
    void Status(const StatusFact& report) override;
    void Question(Answer answer, VersionRelation relation, const std::optional<std::string>& version,
                  std::function<void(bool)> answered) override;
    void Line(const std::string&) override {}
    void Unusable() override {}
    void Cancelled(Ending, const std::optional<std::string>&, VersionRelation) override {}
    void Ended(Ending how) override;

    BenchRun& bench_;
    std::shared_ptr<UnitLedger> ledger_;  // the unit's records; the controller's worker holds it too
    std::unique_ptr<UnitPrinter> shown_;  // the front end's printer of this unit
    std::unique_ptr<UnitFrontEnd> frontEnd_;
    int level_ = -1;
};

// What a front end shows of the run.
class BenchView {
public:
    virtual ~BenchView() = default;
    // The printer that shows a unit the run takes (its row, its tile); made before the unit starts.
    virtual std::unique_ptr<UnitPrinter> Show(const BenchUnit& unit) = 0;
    // A line of prose for the operator, of one unit or (none) of the whole run.
    virtual void Say(const BenchUnit* unit, const std::string& line) = 0;
    // One --json line, with its line end.
    virtual void Event(const std::string& line) = 0;
    // A unit has ended.
    virtual void Ended(const BenchUnit&) {}
    // The run has ended with this exit status (once).
    virtual void Finished(int status) = 0;
};

class BenchRun : public QObject {
public:
    // Where the run meets the system; each left empty is the program's own.
    struct Seams {
        ServiceLister lister;  // where adapters are looked for: the listing with its by-id names
        PortOpener opener;     // how each unit's port is opened
        // Why a port can never be used, looked at before it is opened: UnusablePort.
        std::function<std::optional<StatusFact>(const std::string& path, bool waiting)> unusable;
    };
    BenchRun(const RunOptions& run, BenchView& view, Seams seams = {});
    ~BenchRun() override;

    // Why the run cannot start (an unwritable report or history: nothing was done to any port),
    // with the exit status; otherwise it has started, and ends with BenchView::Finished. Before
    // any unit starts it says which QZ7s a cut-off update left without firmware.
    struct Refusal {
        int status;
        std::string why;
    };
    std::optional<Refusal> Start();
    // A quit signal: SIGINT while any QZ7 is being erased or programmed only warns, a second one
    // within 5 s, SIGTERM and SIGHUP stop every unit.
    void Signal(int signal);
    // Lets every unit go: every port is put back and every controller's thread has ended on
    // return.
    void Release();

    const RunOptions& run;
    const std::vector<std::unique_ptr<BenchUnit>>& Units() const { return units_; }
    // When the run began: --wait bounds the wait for a QZ7 from here, the search for an adapter
    // included.
    const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    // The exit status, once the run has ended.
    std::optional<int> Status() const { return status_; }

private:
    friend class BenchUnit;
    // A unit's event, or (no unit) the run's, as a --json line.
    void Event(const BenchUnit* unit, const char* event, QJsonObject fields = {});
    void UnitEnded(BenchUnit& unit);
    void Begin(const std::vector<std::string>& paths, const std::vector<SerialService>& listed);
    void LookForAdapters();
    void StopAll(const std::string& what, Ending how);
    void Conclude();
    void Finish(int status);

    BenchView& view_;
    Seams seams_;
    std::shared_ptr<Ledger> ledger_;  // the history, the slots' locks and the journal
    Identity identity_;               // the station's, the operator's and the program's
    std::vector<std::unique_ptr<BenchUnit>> units_;
    std::optional<int> forced_;  // a signal, --timeout, or an unwritable report decides the status
    std::optional<int> status_;
    Interrupts interrupts_;
    QTimer look_;
    Bound timeout_, waitAll_;
};

// What --check found on a unit, said as its end: the version beside the one carried.
std::string CheckedText(const std::optional<std::string>& version, VersionRelation relation);
