#include "app/QZ7_UpdaterAppDelegate.h"
#include "app/ReplyRules.h"

using namespace std::chrono_literals;

namespace {

// The controller's port as a reader sees it: the current record is fetched anew for every read,
// and a read that finds nothing waits in poll(2) for at most 50 ms before the next look.
class PortSource : public ByteSource {
public:
    explicit PortSource(QZ7_UpdaterAppDelegate& controller) : controller_(controller) {}
    PortResult Read(char* buffer, std::size_t max) override
    {
        PortResult r = controller_.ReadPort(buffer, max);
        if (r.status == PortIo::Empty) {
            PortIo waited = controller_.WaitPort(50ms);
            if (waited == PortIo::Closed || waited == PortIo::HangUp)
                return {waited};
        }
        return r;
    }

private:
    QZ7_UpdaterAppDelegate& controller_;
};

}  // namespace

void QZ7_UpdaterAppDelegate::ReadThread()
{
    PortSource source(*this);
    // After the image, asterisks in front of the reply are pacing the loader sent ahead of
    // need, not part of the reply.
    const bool afterImage = state() == AwaitingDone;
    ReaderOutcome outcome = ReadReplyLine(source, afterImage ? "*" : "");
    if (outcome.status == PortIo::HangUp) {
        AdapterGone();
        return;
    }
    if (outcome.status != PortIo::Data)
        return;  // the port was closed: no reply, nothing more to do
    NoteReply(outcome.reply);
    setReceivedString(outcome.reply);
    StartBackground(&QZ7_UpdaterAppDelegate::ReceivedSomething);
}

void QZ7_UpdaterAppDelegate::ReadVersion()
{
    WriteString("y", 1);
    if (!Pause(50ms))
        return;
    PortSource source(*this);
    ReaderOutcome outcome = ReadVersionReply(source);
    if (outcome.status == PortIo::HangUp) {
        AdapterGone();
        return;
    }
    if (outcome.status != PortIo::Data)
        return;
    NoteReply(outcome.reply);
    setReceivedString(outcome.reply);
    ReceivedSomething();
}
