#include "controller/QZ7_UpdaterAppDelegate.h"
#include "core/Decision.h"
#include "core/Endings.h"

#include "controller/FirmwareImage.h"
#include "controller/Log.h"
#include "core/TestTimes.h"
#include "hex/ImageLines.h"
#include "serial/ByIdNames.h"

#include <QStringList>

#include <cstdio>
#include <cstring>

using namespace std::chrono;

QZ7_UpdaterAppDelegate::QZ7_UpdaterAppDelegate() : QZ7_UpdaterAppDelegate(Options{}) {}

QZ7_UpdaterAppDelegate::QZ7_UpdaterAppDelegate(Options options)
    : capture_(std::move(options.capture)),
      serial_(std::make_shared<WQSerial>()),
      lister_(options.lister ? std::move(options.lister) : WithByIdNames(SystemServiceLister())),
      opener_(options.opener ? std::move(options.opener) : PortOpener(OpenSerialPort)),
      discoveryInterval_(options.discoveryInterval),
      commandPause_(options.commandPause),
      beforeErase_(options.beforeErase),
      writeStall_(options.writeStall),
      loaderQuiet_(options.loaderQuiet),
      port_(std::move(options.port)),
      printImageLength_(options.printImageLength),
      status_({options.powerOnSilence, options.silence, options.unreadable, options.paging},
              [this](const StatusFact& shown) { ShowStatus(shown); }),
      searchHint_(options.noAdapter)
{
    InitUpdaterResources();
    if (capture_.file || capture_.kept > 0)
        opener_ = CapturingOpener(std::move(opener_), [this](const std::string& path, const OpenResult& opened, Port& port,
                                                             CaptureSession::Clock::time_point at) {
            return BeginCapture(path, opened, port, at);
        });
    // Every listing also feeds the status line's hint for an adapter that does not show up.
    lister_ = [this, listed = std::move(lister_)] {
        std::optional<std::vector<SerialService>> services = listed();
        if (services)
            NoteListing(*services);
        return services;
    };
    std::optional<std::string> image =
        options.useShippedFirmware ? LoadShippedFirmware() : std::move(options.firmware);
    if (image) {
        firmware_ = std::move(*image);
        firmwareGood_ = CheckFirmwareImage(firmware_).empty();
    }
}

QZ7_UpdaterAppDelegate::Options QZ7_UpdaterAppDelegate::ProgramOptions()
{
    static const TestTimes::Times times = [] {
        TestTimes::Times parsed = TestTimes::Parse(qEnvironmentVariable(TestTimes::kVariable).toStdString());
        for (const std::string& refused : parsed.refused)
            qCWarning(lcDialogue).noquote() << TestTimes::kVariable << "refused" << QString::fromStdString(refused);
        if (!parsed.taken.empty()) {
            QStringList taken;
            for (const std::string& t : parsed.taken)
                taken << QString::fromStdString(t);
            qCInfo(lcDialogue).noquote() << TestTimes::kVariable << "sets the waits for tests:" << taken.join(QStringLiteral(", "));
        }
        return parsed;
    }();
    Options options;
    options.powerOnSilence = times.powerOnSilence.value_or(options.powerOnSilence);
    options.silence = times.silence.value_or(options.silence);
    options.unreadable = times.unreadable.value_or(options.unreadable);
    options.paging = times.paging.value_or(options.paging);
    options.writeStall = times.writeStall.value_or(options.writeStall);
    options.loaderQuiet = times.loaderQuiet.value_or(options.loaderQuiet);
    options.noAdapter = times.noAdapter.value_or(options.noAdapter);
    options.discoveryInterval = times.discovery.value_or(options.discoveryInterval);
    return options;
}

QZ7_UpdaterAppDelegate::~QZ7_UpdaterAppDelegate()
{
    {
        std::lock_guard lock(lifeMutex_);
        stopping_ = true;
    }
    lifeCv_.notify_all();
    ClosePort();
    // Every wait of an operation is bounded and ends once the port is closed and stopping_ is
    // set; what was queued behind it never runs. No thread is left to post then, and the screen
    // updates not yet shown are dropped with gui_.
    worker_.Stop();
    // Nothing feeds the status board now. A transfer stopped here (a signal, the window closed)
    // has no end of its own on the status line: the line shows the count it reached, and the
    // transcript's last status says it, though the pace held the same kind of text back.
    status_.Settle();
    if (std::optional<std::string> last = statusLogPace_.Unlogged())
        LogStatus(*last);
    // The port is closed and no thread is left: the capture's end line goes out now.
    if (std::shared_ptr<CaptureSession> session = CurrentCapture())
        session->Finish();
}

StatusFact QZ7_UpdaterAppDelegate::StatusShown() const
{
    return status_.Shown();
}

void QZ7_UpdaterAppDelegate::StopNow()
{
    applicationWillTerminate();
    status_.Settle();
}

std::optional<std::string> QZ7_UpdaterAppDelegate::ReceivedString() const
{
    std::shared_ptr<const std::string> s = receivedString_.load();
    if (!s)
        return std::nullopt;
    return *s;
}

std::optional<std::string> QZ7_UpdaterAppDelegate::ChosenPath() const
{
    std::shared_ptr<const std::string> path = chosenPath_.load();
    if (!path)
        return std::nullopt;
    return *path;
}

void QZ7_UpdaterAppDelegate::setChosenPath(std::optional<std::string> path)
{
    chosenPath_.store(path ? std::make_shared<const std::string>(std::move(*path)) : nullptr);
}

void QZ7_UpdaterAppDelegate::setReceivedString(std::optional<std::string> s)
{
    receivedString_.store(s ? std::make_shared<const std::string>(std::move(*s)) : nullptr);
}

void QZ7_UpdaterAppDelegate::StartBackground(void (QZ7_UpdaterAppDelegate::*operation)())
{
    StartBackground(std::function<void()>([this, operation] { (this->*operation)(); }));
}

void QZ7_UpdaterAppDelegate::StartBackground(std::function<void()> operation)
{
    std::string error;
    bool started = worker_.Post(
        [this, operation = std::move(operation)] {
            try {
                operation();
            } catch (const std::exception& e) {
                EndOnException(e.what());
            }
        },
        error);
    if (!started)
        EndOnException("cannot start a thread: " + error);
}

void QZ7_UpdaterAppDelegate::EndOnException(const std::string& reason)
{
    qCWarning(lcDialogue).noquote() << "exception:" << QString::fromStdString(reason);
    Report({.kind = Event::Exception, .detail = reason});
}

bool QZ7_UpdaterAppDelegate::Pause(milliseconds duration)
{
    std::unique_lock lock(lifeMutex_);
    return !lifeCv_.wait_for(lock, duration, [this] { return stopping_; });
}

void QZ7_UpdaterAppDelegate::Post(ScreenUpdate update)
{
    RunOnGuiThread([this, update = std::move(update)] { Show(update); });
}

void QZ7_UpdaterAppDelegate::Show(const ScreenUpdate& update)
{
    // The end brings its report to the status board first: a front end that ends with the
    // update can read it (StatusShown) before the report's own update arrives.
    if (update.ended) {
        const EndingRow& row = RowOf(*update.ended);
        NoteOutcome(row.name, row.exitStatus);
        ended_ = true;
        status_.Ended(*update.ended, steady_clock::now());
    }
    // A controller that was never given a front end (as in some tests) has nothing to show.
    if (frontEnd_)
        frontEnd_->Show(update);
    // Every change of the directions goes into the transcript, and the dialogue's end, failure
    // or "Done", brings its detail to the status line.
    if (update.directions && update.directions != shownDirections_) {
        shownDirections_ = update.directions;
        qCInfo(lcDialogue).noquote() << "directions:" << Loggable(Words::Directions(*update.directions, Words::Language::English));
    }
}

void QZ7_UpdaterAppDelegate::AdapterGone()
{
    int error = Serial()->HangUpError();
    if (error)
        qCWarning(lcSerial).noquote() << "the line hung up:" << QString::fromStdString(Words::EnglishErrorText(error))
                                      << QStringLiteral("(errno %1)").arg(error);
    else
        qCWarning(lcSerial) << "the line hung up: a read found the end of input";
    status_.HungUp(error);
    Report({.kind = Event::HangUp});
}

void QZ7_UpdaterAppDelegate::DeviceStopped()
{
    Report({.kind = Event::Stalled});
}

void QZ7_UpdaterAppDelegate::applicationDidFinishLaunching()
{
    StartBackground(&QZ7_UpdaterAppDelegate::ConnectUSB);
}

void QZ7_UpdaterAppDelegate::applicationWillTerminate()
{
    {
        std::lock_guard lock(lifeMutex_);
        stopping_ = true;
    }
    lifeCv_.notify_all();
    ClosePort();
}

void QZ7_UpdaterAppDelegate::UpdatePressed()
{
    Report({.kind = Event::UpdatePressed});
}

void QZ7_UpdaterAppDelegate::CancelPressed()
{
    Report({.kind = Event::CancelPressed});
}

void QZ7_UpdaterAppDelegate::ConnectOrvane()
{
    adapterPath_ = ChosenPath();
    status_.PortOpened(steady_clock::now());
    setState(Stage::AwaitingBanner);
    Report({.kind = Event::PortOpened});
}

void QZ7_UpdaterAppDelegate::DrainKeepingBanner()
{
    const Drained drained = DrainInput();
    const std::optional<std::size_t> banner = BannerStart(drained.tail);
    if (banner)
        stream_.Keep(std::string_view(drained.tail).substr(*banner));
    if (drained.bytes > 0) {
        const std::string_view shown = std::string_view(drained.tail).substr(banner.value_or(0));
        qCInfo(lcDialogue).noquote() << QStringLiteral("drained %1 bytes of old input before the power-on prompt; %2: %3")
                                            .arg(drained.bytes)
                                            .arg(banner ? QStringLiteral("the QZ7's banner among them is kept")
                                                        : QStringLiteral("the last of them"))
                                            .arg(Loggable(shown.substr(shown.size() - std::min<std::size_t>(shown.size(), 120))));
    }
    setReceivedString(std::nullopt);
}

bool QZ7_UpdaterAppDelegate::Programming() const
{
    return MayBeEmpty(state()) && Serial()->IsOpen();
}

void QZ7_UpdaterAppDelegate::NextUnitPressed()
{
    Report({.kind = Event::NextUnit});
}

void QZ7_UpdaterAppDelegate::StartOver()
{
    // Runs after every operation of the last dialogue, on the same worker. A dialogue that
    // rested with the port open (no version reply) lets go of it first.
    ClosePort();
    // The adapter just used is chosen again, unless the choice rule finds a newer one.
    setChosenPath(adapterPath_);
    ConnectUSB();
}
