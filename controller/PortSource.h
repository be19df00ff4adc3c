#pragma once
#include "controller/QZ7_UpdaterAppDelegate.h"
#include "core/ReplyRules.h"

// The controller's port as its line reader sees it: the current record is fetched anew for every
// call, and the wait and the read of that call use the one record. The reader asks only once it
// has consumed every byte it holds, when the device has most often not answered yet: so it first
// waits in poll(2), for at most 50 ms, and reads only what the poll says is there (one system
// call fewer per image line than reading first).
class PortSource : public ByteSource {
public:
    explicit PortSource(QZ7_UpdaterAppDelegate& controller) : controller_(controller) {}
    PortResult Read(char* buffer, std::size_t max) override
    {
        using namespace std::chrono_literals;
        const std::shared_ptr<Port> port = controller_.Serial();
        PortIo waited = controller_.WaitPort(*port, 50ms);
        if (waited != PortIo::Data)
            return {waited};
        return controller_.ReadPort(*port, buffer, max);
    }

private:
    QZ7_UpdaterAppDelegate& controller_;
};
