#include "Log.h"
#include "QZ7_UpdaterAppDelegate.h"

#include <QThread>

using namespace std::chrono_literals;

void QZ7_UpdaterAppDelegate::ClosePort()
{
    setState(AwaitingBanner);
    setReceivedString(std::string());
    setProgress(0.0f);
    std::shared_ptr<WQSerial> record = Serial();
    if (record->PortID() <= 0)
        return;
    // A stuck line must not hold the caller (often the GUI thread): the drain is bounded.
    record->Shutdown(500ms);
    qCInfo(lcSerial).noquote() << "closed" << QString::fromStdString(record->ChosenPath().value_or("the port"))
                               << "with its settings restored:" << QString::fromStdString(DescribeSettings(record->termios_archive()));
    status_.PortClosed();
    auto fresh = std::make_shared<WQSerial>();
    setSerial(fresh);
    fresh->setPortID(-1);
}

void QZ7_UpdaterAppDelegate::ClearReceiver()
{
    // Drained in chunks. On the GUI thread a device that floods the line must not hold the
    // window or a quit: the drain stops after 64 KiB or 100 ms, and the reader that follows
    // meets whatever is left.
    constexpr std::size_t kGuiBytes = 64 * 1024;
    const bool onGui = QThread::currentThread() == thread();
    const auto deadline = std::chrono::steady_clock::now() + 100ms;
    std::size_t dropped = 0;
    char scratch[4096];
    for (;;) {
        PortResult r = Serial()->Read(scratch, sizeof scratch);
        if (r.status != PortIo::Data || r.count == 0)
            break;
        dropped += r.count;
        if (onGui && (dropped >= kGuiBytes || std::chrono::steady_clock::now() >= deadline))
            break;
    }
    setReceivedString(std::nullopt);
}
