#include "Log.h"
#include "QZ7_UpdaterAppDelegate.h"

using namespace std::chrono_literals;

bool QZ7_UpdaterAppDelegate::WriteString(const std::string& text, int32_t length)
{
    std::string bytes = text.substr(0, static_cast<std::size_t>(length < 0 ? 0 : length));
    // Commands at info level; the image's lines (written while "Done" is awaited) at debug level.
    if (state() != AwaitingDone)
        qCInfo(lcDialogue).noquote() << "write:" << Loggable(bytes);
    else
        qCDebug(lcTransfer).noquote() << "write:" << Loggable(bytes);
    if (Serial()->PortID() <= 0) {
        PostDirections(Directions::Unopened);
        return false;
    }
    // A full output queue is waited out. A write that fails for good, or a line that hangs up,
    // means the adapter is gone; five seconds without any progress on a line that is still up
    // mean the device has stopped taking bytes.
    PortResult r = Serial()->WriteAll(bytes.data(), bytes.size(), 5s);
    if (r.status == PortIo::HangUp)
        AdapterGone();
    else if (r.status == PortIo::Stalled)
        DeviceStopped();
    return r.status == PortIo::Data;
}
