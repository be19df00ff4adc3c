#include "run/UnitRecorder.h"

#include "controller/Log.h"
#include "core/RunRules.h"
#include "core/Words.h"

UnitRecorder::UnitRecorder(std::shared_ptr<Ledger> ledger, Identity run, FrontEnd* inner)
    : ledger_(std::move(ledger)), run_(std::move(run)), inner_(inner)
{
}

std::function<void()> UnitRecorder::BeforeEraseHook()
{
    // The worker holds the unit's ledger while it writes, whatever the event loop does meanwhile.
    return [current = current_] {
        std::shared_ptr<UnitLedger> unit;
        {
            std::lock_guard lock(current->mutex);
            unit = current->unit;
        }
        if (!unit)
            throw std::runtime_error("no unit's record is open: nothing is erased");
        unit->BeforeErase();
    };
}

void UnitRecorder::Begin(const StatusText::AdapterFacts& adapter)
{
    // A port that opened and led to no erase before the next one opened leaves no record: the
    // search went on to another adapter. Its slot is let go as its ledger goes.
    unit_ = std::make_shared<UnitLedger>(ledger_, run_);
    unit_->Bind(adapter.path, adapter);
    port_ = adapter.path;
    began_ = std::chrono::steady_clock::now();
    version_.reset();
    relation_ = VersionRelation::Unknown;
    linesSent_ = 0;
    std::lock_guard lock(current_->mutex);
    current_->unit = unit_;
}

void UnitRecorder::EndUnit(Ending how)
{
    if (!unit_)
        return;
    if (statusShown)
        if (const std::optional<StatusFact> shown = statusShown())
            linesSent_ = Words::LinesSent(*shown).value_or(linesSent_);
    records::UnitEnd end{.port = port_,
                         .versionFound = version_,
                         .relation = relation_,
                         .ending = how,
                         .seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began_).count(),
                         .linesSent = linesSent_};
    recorded_ = unit_->End(end);
    error_ = recorded_ ? std::string() : unit_->Error();
    qCInfo(lcDialogue).noquote() << "record:" << QString::fromStdString(records::Line(records::EndFields(end)));
    if (!recorded_)
        qCWarning(lcDialogue).noquote() << "the history did not take this record:" << QString::fromStdString(error_);
    unit_.reset();
    std::lock_guard lock(current_->mutex);
    current_->unit.reset();
}

void UnitRecorder::Show(const ScreenUpdate& update)
{
    if (update.status) {
        linesSent_ = Words::LinesSent(*update.status).value_or(linesSent_);
        if (const auto* adapter = std::get_if<StatusText::AdapterFacts>(&*update.status)) {
            adapter_ = *adapter;
            if (!unit_ || adapter->path != port_)
                Begin(*adapter);
        }
    }
    // The next unit on the adapter just used, should its opening have brought no new report of
    // it: the question comes before any erase.
    if (update.question && !unit_ && adapter_)
        Begin(*adapter_);
    if (update.question) {
        version_ = update.version;
        relation_ = update.relation.value_or(VersionRelation::Unknown);
        if (unit_)
            unit_->Found(version_, relation_);
    }
    // The end is on disk before the screen shows it.
    if (update.ended)
        EndUnit(EndingOf(*update.ended));
    if (inner_)
        inner_->Show(update);
    if (update.ended && recorded)
        recorded();
}

void UnitRecorder::Cancelled()
{
    EndUnit(CancelledAs(Answer::Ask));
    if (inner_)
        inner_->Cancelled();
}

void UnitRecorder::Stop()
{
    EndUnit(Ending::Interrupted);
}

std::string UnitRecorder::Error() const
{
    return error_;
}
