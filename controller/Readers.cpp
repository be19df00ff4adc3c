#include "controller/PortSource.h"
#include "controller/QZ7_UpdaterAppDelegate.h"

using namespace std::chrono_literals;

void QZ7_UpdaterAppDelegate::ReadThread()
{
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
