#include "controller/PortSource.h"
#include "controller/QZ7_UpdaterAppDelegate.h"

using namespace std::chrono_literals;

void QZ7_UpdaterAppDelegate::ReadThread()
{
    if (state() == Stage::AwaitingDone) {
        AwaitVerdict();
        return;
    }
    PortSource source(*this);
    ReaderOutcome outcome = stream_.ReadReplyLine(source);
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
    ReaderOutcome outcome = stream_.ReadVersionReply(source);
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
