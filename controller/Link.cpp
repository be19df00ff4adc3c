// The controller's link to the device: discovery, writing, draining and closing, as thin glue over
// the port (serial/Port.h), opened through the options' opener. The controller's lifetime lock is
// taken here, never in the port's own code.
#include "controller/Log.h"
#include "controller/QZ7_UpdaterAppDelegate.h"

#include <QThread>

using namespace std::chrono_literals;

void QZ7_UpdaterAppDelegate::ConnectUSB()
{
    // The last dialogue's capture is complete (its outcome noted): its end line and the sync go
    // out here, on the worker and outside the lifetime lock that the hand-over below holds.
    if (std::shared_ptr<CaptureSession> last = CurrentCapture())
        last->Finish();
    Report({.kind = Event::Searching});
    while (!Serial()->IsOpen()) {
        PortOpening opening;
        std::optional<std::vector<SerialService>> services;
        if (port_) {
            // A port named by the operator is used as it stands: no listing, no choice.
            setChosenPath(port_);
            services = std::vector<SerialService>{};
        } else if ((services = lister_())) {
            setChosenPath(ChoosePath(*services, ChosenPath()));
        }
        if (std::optional<std::string> path = ChosenPath(); path && services) {
            // The opener holds an opened descriptor for the crash handler from the start.
            opening = opener_(*path);
            ReportOpen(*path, opening.result, *services);
        }
        bool stopped = !Pause(discoveryInterval_);
        // The hand-over and a quit are decided under one lock: either the port is installed
        // before ClosePort looks at it, or it is put back and closed here.
        std::unique_lock lock(lifeMutex_);
        if (stopped || stopping_) {
            lock.unlock();
            if (opening.giveUp)
                opening.giveUp();
            return;
        }
        if (opening.takeOver)
            if (std::shared_ptr<Port> taken = opening.takeOver())
                setSerial(std::move(taken));
    }
    RunOnGuiThread([this] { ConnectOrvane(); });
}

void QZ7_UpdaterAppDelegate::ClosePort()
{
    setState(Stage::AwaitingBanner);
    setReceivedString(std::string());
    setProgress(0.0f);
    std::shared_ptr<Port> record = Serial();
    if (!record->IsOpen() && !ClosedByClosePort(record))
        return;  // never opened: nothing to close
    // A stuck line must not hold the caller (often the GUI thread): the drain is bounded.
    // Two callers may race here (the dialogue's thread and the GUI's); only the one whose call
    // closed the port logs it.
    const std::optional<std::string> chosen = ChosenPath();
    const QString path = chosen ? LoggablePath(*chosen) : QStringLiteral("the port");
    {
        std::lock_guard lock(closedMutex_);
        closedPort_ = record;
    }
    switch (record->Shutdown(500ms)) {
    case Port::Closed::Restored:
        if (const auto* serial = dynamic_cast<const WQSerial*>(&RealPort(*record)))
            qCInfo(lcSerial).noquote() << "closed" << path << "with its settings restored:"
                                       << QString::fromStdString(DescribeSettings(serial->termios_archive()));
        else
            qCInfo(lcSerial).noquote() << "closed" << path;
        break;
    case Port::Closed::NotRestored:
        qCInfo(lcSerial).noquote() << "closed" << path << "without restoring its settings: the line was gone";
        break;
    case Port::Closed::NotOpen:
        break;
    }
    status_.PortClosed();
    // Closing retires the port with its path: the next dialogue starts from a record that
    // never was open.
    setChosenPath(std::nullopt);
    setSerial(std::make_shared<WQSerial>());
}

bool QZ7_UpdaterAppDelegate::ClosedByClosePort(const std::shared_ptr<Port>& port) const
{
    std::lock_guard lock(closedMutex_);
    return closedPort_.lock() == port;
}

void QZ7_UpdaterAppDelegate::ClearReceiver()
{
    DrainInput();
    setReceivedString(std::nullopt);
}

QZ7_UpdaterAppDelegate::Drained QZ7_UpdaterAppDelegate::DrainInput()
{
    stream_.Clear();
    // Drained in chunks. On the GUI thread a device that floods the line must not hold the
    // window or a quit: the drain stops after 64 KiB or 100 ms, and the reader that follows
    // meets whatever is left.
    constexpr std::size_t kGuiBytes = 64 * 1024;
    const bool onGui = QThread::currentThread() == thread();
    const auto deadline = std::chrono::steady_clock::now() + 100ms;
    Drained drained;
    char scratch[4096];
    for (;;) {
        PortResult r = Serial()->Read(scratch, sizeof scratch);
        if (r.status != PortIo::Data || r.count == 0)
            break;
        drained.bytes += r.count;
        drained.tail.append(scratch, r.count);
        if (drained.tail.size() > 2 * kDrainedTail)
            drained.tail.erase(0, drained.tail.size() - kDrainedTail);
        if (onGui && (drained.bytes >= kGuiBytes || std::chrono::steady_clock::now() >= deadline))
            break;
    }
    if (drained.tail.size() > kDrainedTail)
        drained.tail.erase(0, drained.tail.size() - kDrainedTail);
    return drained;
}

bool QZ7_UpdaterAppDelegate::WriteString(const std::string& text, int32_t length)
{
    const std::string_view bytes = std::string_view(text).substr(0, static_cast<std::size_t>(length < 0 ? 0 : length));
    // Commands at info level; the image's lines (written while "Done" is awaited) at debug level.
    if (state() != Stage::AwaitingDone) {
        if (!quietWrites_)
            qCInfo(lcDialogue).noquote() << "write:" << Loggable(bytes);
    }
    else
        qCDebug(lcTransfer).noquote() << "write:" << Loggable(bytes);
    // The record is fetched once: the check and the write are on the same one.
    const std::shared_ptr<Port> port = Serial();
    if (!port->IsOpen()) {
        // A port that ClosePort is closing or has closed ends the write without a word, as its
        // closer has its own; only a port that was never opened is said to be unopened.
        if (!ClosedByClosePort(port))
            Report({.kind = Event::Unopened});
        return false;
    }
    // A full output queue is waited out. A write that fails for good, or a line that hangs up,
    // means the adapter is gone; writeStall_ (five seconds, unless a test shortens it) without
    // any progress on a line that is still up means the device has stopped taking bytes.
    PortResult r = port->WriteAll(bytes.data(), bytes.size(), writeStall_);
    if (r.status == PortIo::HangUp)
        AdapterGone();
    else if (r.status == PortIo::Stalled)
        DeviceStopped();
    return r.status == PortIo::Data;
}
