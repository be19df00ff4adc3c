#pragma once
// The records of the units that one controller updates one after another, as the window does:
// after Done or a failure the operator goes on to the next unit, on the same adapter or another.
// Each unit is one ledger from its port's opening to its end, with the pending record before the
// erase (on the controller's worker) and the end as the screen shows it. The recorder stands
// between the controller and the front end that draws, and passes every update on unchanged.
#include "core/Endings.h"
#include "core/Screen.h"
#include "run/Ledger.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class UnitRecorder : public FrontEnd {
public:
    // `run`: the run's identity (identity::ForRun); `inner`: the front end that draws.
    UnitRecorder(std::shared_ptr<Ledger> ledger, Identity run, FrontEnd* inner);

    // The controller's beforeErase hook: the pending record of the unit whose port is open. It
    // throws, and so stops the dialogue before the erase, when that record cannot be written.
    std::function<void()> BeforeEraseHook();

    void Show(const ScreenUpdate& update) override;
    void Cancelled() override;
    // The program ends with a unit between its port's opening and its end (the window closed,
    // a quit signal): that unit ends as Interrupted, as it would on the terminal.
    void Stop();

    // Called after each unit's end is recorded and shown.
    std::function<void()> recorded;
    // The status report as the controller holds it: at an end, the end's own (with the lines the
    // QZ7 took), which reaches the screen only after the end.
    std::function<std::optional<StatusFact>()> statusShown;
    // Whether a unit's port has opened and its end is not yet recorded.
    bool UnderWay() const { return unit_ != nullptr; }

    // Whether the history took the last unit's end, and why not.
    bool Recorded() const { return recorded_; }
    std::string Error() const;
    // The units a cut-off update left without firmware, as the history has them now; a unit
    // updated again since is not among them.
    std::vector<HistoryRecord> LeftEmpty() { return ledger_->LeftEmpty(); }

private:
    struct Current {
        std::mutex mutex;  // the worker's hook and the event loop
        std::shared_ptr<UnitLedger> unit;
    };
    void Begin(const StatusText::AdapterFacts& adapter);
    void EndUnit(Ending how);

    std::shared_ptr<Ledger> ledger_;
    const Identity run_;
    FrontEnd* inner_;
    std::shared_ptr<Current> current_ = std::make_shared<Current>();
    // The unit under way (the event loop's copy of current_->unit) and what its screens said.
    std::shared_ptr<UnitLedger> unit_;
    std::optional<StatusText::AdapterFacts> adapter_;  // the last adapter that opened
    std::string port_;
    std::chrono::steady_clock::time_point began_;
    std::optional<std::string> version_;
    VersionRelation relation_ = VersionRelation::Unknown;
    int linesSent_ = 0;
    bool recorded_ = true;
    std::string error_;
};
