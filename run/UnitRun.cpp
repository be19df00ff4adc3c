#include "run/UnitRun.h"

#include "controller/Log.h"
#include "controller/PortDiagnosis.h"
#include "core/Words.h"

#include <QTimer>
#include <exception>

UnitRun::UnitRun(Options options, UnitView& view) : options_(std::move(options)), view_(view) {}

UnitRun::~UnitRun()
{
    if (controller_)
        controller_->setFrontEnd(nullptr);
}

std::optional<std::string> UnitRun::Start()
{
    QZ7_UpdaterAppDelegate::Options options = QZ7_UpdaterAppDelegate::ProgramOptions();
    options.port = options_.port;
    options.printImageLength = false;
    if (options_.opener)
        options.opener = options_.opener;
    // The controller's worker calls it, and holds the ledger for as long as it may.
    if (options_.ledger)
        options.beforeErase = [ledger = options_.ledger] { ledger->BeforeErase(); };
    options.capture = options_.capture;
    try {
        controller_ = std::make_unique<QZ7_UpdaterAppDelegate>(std::move(options));
    } catch (const std::exception& e) {
        return std::string(e.what());
    }
    controller_->setFrontEnd(this);
    if (options_.waitSeconds) {
        // A bound on the wait for the QZ7, until its banner comes.
        wait_.Start(Bound::Left(options_.since, *options_.waitSeconds), [this] {
            auto [how, why] = GaveUp(*controller_, *options_.waitSeconds);
            view_.Say(why);
            End(how);
        });
    }
    if (options_.timeoutSeconds) {
        // A bound on the whole update, from now to its end.
        timeout_.Start(std::chrono::seconds(*options_.timeoutSeconds), [this] {
            //: %1 the --timeout seconds. Starts a sentence: "… during the update: the QZ7 has no firmware now."
            Stop(Words::Fill(Words::Tr("Terminal", "Stopped after %1 s (--timeout)"), {std::to_string(*options_.timeoutSeconds)}),
                 Ending::TimedOut);
        });
    }
    controller_->applicationDidFinishLaunching();
    return std::nullopt;
}

void UnitRun::Show(const ScreenUpdate& update)
{
    // After the end the view still shows what comes (the end's own report, posted just after
    // it), and nothing more is decided.
    if (ending_) {
        view_.Show(update);
        return;
    }
    if (update.picture == Picture::Device)
        wait_.Stop();
    if (update.status) {
        linesSent_ = Words::LinesSent(*update.status).value_or(linesSent_);
        // The port discovery opened, with the adapter's facts: the unit's slot (a port named
        // from the start is bound already, and stays so).
        if (const auto* adapter = std::get_if<StatusText::AdapterFacts>(&*update.status)) {
            openedPath_ = adapter->path;
            if (options_.ledger)
                options_.ledger->Bind(adapter->path, *adapter);
        }
    }
    // The end is on disk before anything shows it.
    if (update.ended)
        MakeRecord(EndingOf(*update.ended));
    if (update.version)
        version_ = update.version;
    view_.Show(update);
    if (ending_)
        return;
    // Without --wait, a named port that an open has found can never be an adapter ends the run:
    // it will not become one by waiting.
    if (update.status && options_.port && !options_.waitSeconds && controller_->Trouble() == PortTrouble::NotSerial) {
        view_.Unusable();
        End(Ending::NoAdapter);
        return;
    }
    if (update.question) {
        version_ = update.version;
        relation_ = update.relation.value_or(VersionRelation::Unknown);
        answer_ = AnswerFor(options_.answers, relation_);
        if (options_.ledger)
            options_.ledger->Found(version_, relation_);
        view_.Asked(answer_, relation_);
        // Pressed from the event loop, as a button would be, not inside the update that asks.
        if (answer_ == Answer::Update)
            QTimer::singleShot(0, controller_.get(), [c = controller_.get()] { c->UpdatePressed(); });
        else if (answer_ != Answer::Ask)
            QTimer::singleShot(0, controller_.get(), [c = controller_.get()] { c->CancelPressed(); });
    }
    if (update.ended)
        End(EndingOf(*update.ended));
}

void UnitRun::MakeRecord(Ending how)
{
    if (record_)
        return;
    // The port as the run itself saw it open: the controller's own choice is cleared by its worker
    // as the port closes, which may be while this runs.
    records::UnitEnd end{.port = options_.port.value_or(openedPath_),
                         .versionFound = version_,
                         .relation = relation_,
                         .ending = how,
                         .seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began_).count()};
    // At an end the board holds the end's own report (its summary or failure, with the lines the
    // QZ7 took) before that report reaches the screen.
    const std::optional<StatusFact> shown = StatusShown();
    end.linesSent = shown ? Words::LinesSent(*shown).value_or(linesSent_) : linesSent_;
    if (options_.ledger)
        recorded_ = options_.ledger->End(end);
    else
        end.ended = records::Now();
    qCInfo(lcDialogue).noquote() << "record:" << QString::fromStdString(records::Line(records::EndFields(end)));
    record_ = std::move(end);
}

void UnitRun::Answered(bool update)
{
    if (!controller_ || ending_)
        return;
    if (update)
        controller_->UpdatePressed();
    else
        controller_->CancelPressed();
}

void UnitRun::Cancelled()
{
    if (ending_)
        return;
    const Ending how = CancelledAs(answer_);
    view_.Cancelled(how);
    End(how);
}

void UnitRun::Stop(const std::string& what, Ending how)
{
    if (ending_)
        return;
    const Stage reached = controller_ ? controller_->state() : Stage::AwaitingBanner;
    // The port is put back before the end is said or recorded: nothing more goes to the QZ7,
    // and the lines sent are those it had when it stopped.
    if (controller_)
        controller_->StopNow();
    view_.Say(StoppedText(what, how, reached));
    End(how);
}

void UnitRun::Signal(int signal)
{
    if (ending_)
        return;
    if (std::optional<std::string> warning = interrupts_.Warning(signal, Programming(), false)) {
        view_.Say(*warning);
        return;
    }
    //: Stopped by Ctrl+C or a signal. Starts a sentence: "… during the update: …", "… before anything was erased: …".
    Stop(Words::Tr("Terminal", "Interrupted"), Ending::Interrupted);
}

void UnitRun::End(Ending how)
{
    if (ending_)
        return;
    MakeRecord(how);
    ending_ = how;
    wait_.Stop();
    timeout_.Stop();
    if (controller_)
        controller_->NoteOutcome(RowOf(how).name, RowOf(how).exitStatus);
    view_.Ended(how);
    // The controller puts its port back as it goes; it is let go from the event loop, not from
    // inside its own screen update.
    if (options_.releaseAtEnd && controller_) {
        controller_->setFrontEnd(nullptr);
        QTimer::singleShot(0, this, [this] { controller_.reset(); });
    }
}

void UnitRun::Release()
{
    if (!controller_)
        return;
    controller_->setFrontEnd(nullptr);
    controller_.reset();
}

std::optional<StatusFact> UnitRun::StatusShown() const
{
    if (!controller_)
        return std::nullopt;
    return controller_->StatusShown();
}
