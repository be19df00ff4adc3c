#pragma once
#include "app/QZ7_UpdaterAppDelegate.h"
#include "app/ReplyRules.h"

// The controller's port as its line reader sees it: the current record is fetched anew for every
// read, and a read that finds nothing waits in poll(2) for at most 50 ms before the next look.
class PortSource : public ByteSource {
public:
    explicit PortSource(QZ7_UpdaterAppDelegate& controller) : controller_(controller) {}
    PortResult Read(char* buffer, std::size_t max) override
    {
        PortResult r = controller_.ReadPort(buffer, max);
        if (r.status == PortIo::Empty) {
            using namespace std::chrono_literals;
            PortIo waited = controller_.WaitPort(50ms);
            if (waited == PortIo::Closed || waited == PortIo::HangUp)
                return {waited};
        }
        return r;
    }

private:
    QZ7_UpdaterAppDelegate& controller_;
};
