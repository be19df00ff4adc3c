#pragma once
// One unit's run below the front ends: its controller, the answer to its version question, the
// --wait bound on its QZ7, and its end. It is the controller's front end and decides; what it
// shows goes to a UnitView, which only prints (or draws) and decides nothing.
#include "controller/QZ7_UpdaterAppDelegate.h"
#include "core/Endings.h"
#include "core/RunRules.h"
#include "core/Screen.h"
#include "run/Bounds.h"
#include "serial/PortOpening.h"
#include "run/Ledger.h"
#include "run/Records.h"

#include <QObject>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

// What a front end shows of one unit's run.
class UnitView {
public:
    virtual ~UnitView() = default;
    // Every screen update the controller posts, in order, before the run acts on it.
    virtual void Show(const ScreenUpdate& update) = 0;
    // The question, answered as `answer` says; with Answer::Ask the view asks and calls
    // UnitRun::Answered.
    virtual void Asked(Answer answer, VersionRelation relation) = 0;
    // A line of the run's own: why the wait gave up, what a stop left of the QZ7.
    virtual void Say(const std::string& line) = 0;
    // The port turned out to be no adapter, and no wait may make it one: the run ends as
    // NoAdapter just after.
    virtual void Unusable() = 0;
    // The question was answered with Cancel: the run ends as `how` just after.
    virtual void Cancelled(Ending how) = 0;
    // The run has ended (once).
    virtual void Ended(Ending how) = 0;
};

class UnitRun : public QObject, public FrontEnd {
public:
    struct Options {
        std::optional<std::string> port;  // the unit's port; none: the one discovery chooses
        AnswerOptions answers;
        std::optional<int> waitSeconds;   // --wait, counted from `since`
        std::optional<int> timeoutSeconds;  // --timeout on the whole update, counted from the start
        std::chrono::steady_clock::time_point since = std::chrono::steady_clock::now();
        // Let the controller go from the event loop as the run ends (the bench, which goes on with
        // other units); otherwise it stays until the run is let go.
        bool releaseAtEnd = false;
        // How the controller opens the port it chose (none: as the program does); tests hand
        // over ports in memory.
        PortOpener opener;
        // The unit's records (pending before the erase, its end); none: the run keeps none.
        std::shared_ptr<UnitLedger> ledger;
        QZ7_UpdaterAppDelegate::CaptureOptions capture;  // --capture
    };
    UnitRun(Options options, UnitView& view);
    ~UnitRun() override;

    // Makes the controller and starts the dialogue; the reason when the controller could not be
    // made (the run has not started then, and has not ended).
    std::optional<std::string> Start();
    // Stops the update for a signal or a bound, saying what is left of the QZ7.
    void Stop(const std::string& what, Ending how);
    // A quit signal on a run of its own: a Ctrl+C while the QZ7 is being erased or programmed
    // only warns, a second one within 5 s stops; SIGTERM and SIGHUP stop at once.
    void Signal(int signal);
    // Ends the run as `how` unless it has ended already.
    void End(Ending how);
    // Lets the controller go now: its port is put back and its threads have ended on return.
    void Release();
    // The operator's answer to a question the view asked.
    void Answered(bool update);

    void Show(const ScreenUpdate& update) override;
    void Cancelled() override;

    bool Ended() const { return ending_.has_value(); }
    std::optional<Ending> HowEnded() const { return ending_; }
    bool Programming() const { return controller_ && controller_->Programming(); }
    // The status report as it stands (the end's own summary or advice, posted just after it).
    std::optional<StatusFact> StatusShown() const;
    const std::optional<std::string>& Version() const { return version_; }
    VersionRelation Relation() const { return relation_; }
    QZ7_UpdaterAppDelegate* Controller() const { return controller_.get(); }
    // The unit's end as it was recorded, once it has ended: made, and written to the ledger,
    // before the view hears of the end.
    const std::optional<records::UnitEnd>& Record() const { return record_; }
    // Whether the ledger took the end (true without a ledger).
    bool Recorded() const { return recorded_; }

private:
    void MakeRecord(Ending how);

    Options options_;
    const std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now();
    std::optional<records::UnitEnd> record_;
    std::string openedPath_;  // the port discovery opened last, as its adapter's report named it
    bool recorded_ = true;
    int linesSent_ = 0;  // as the last status report that counted them said
    UnitView& view_;
    std::unique_ptr<QZ7_UpdaterAppDelegate> controller_;
    Bound wait_, timeout_;
    Interrupts interrupts_;
    Answer answer_ = Answer::Ask;
    std::optional<std::string> version_;
    VersionRelation relation_ = VersionRelation::Unknown;
    std::optional<Ending> ending_;
};
