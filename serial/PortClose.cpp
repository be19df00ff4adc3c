#include "QZ7_UpdaterAppDelegate.h"

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
    auto fresh = std::make_shared<WQSerial>();
    setSerial(fresh);
    fresh->setPortID(-1);
}

void QZ7_UpdaterAppDelegate::ClearReceiver()
{
    char scratch;
    while (Serial()->Read(&scratch, 1).status == PortIo::Data) {
    }
    setReceivedString(std::nullopt);
}
