// The controller's side of the status line and the transcript: what discovery, the readers and
// the port tell it, passed on to the status board and the log.
#include "controller/Log.h"
#include "controller/QZ7_UpdaterAppDelegate.h"
#include "serial/ByIdNames.h"

using namespace std::chrono;
using namespace std::chrono_literals;

void QZ7_UpdaterAppDelegate::ShowStatus(const StatusFact& shown)
{
    // Called under the status board's lock, so the pace sees the reports one at a time, in order.
    // The transcript is for whoever reads it later, at a bench or a desk: it stays in English.
    for (const std::string& logged : statusLogPace_.Take(Words::Status(shown, Words::Language::English), Words::Kind(shown), steady_clock::now()))
        LogStatus(logged);
    Post({.status = shown});
}

void QZ7_UpdaterAppDelegate::LogStatus(const std::string& text)
{
    qCInfo(lcDialogue).noquote() << "status:" << (text.empty() ? QStringLiteral("(empty)") : Loggable(text));
}

void QZ7_UpdaterAppDelegate::ReportOpen(const std::string& path, const OpenResult& opened,
                                        const std::vector<SerialService>& services)
{
    const OpenFailure& failure = opened.failure;
    const termios& found = opened.archive;
    if (opened.fd > 0) {
        trouble_.store(PortTrouble::Opened);
        openTrouble_.Clear();
        qCInfo(lcSerial).noquote() << "opened" << LoggablePath(path) << "exclusive, set to 57600 baud, raw, 8 bits;"
                                   << "found" << QString::fromStdString(DescribeSettings(found)) + ";"
                                   << QString::fromStdString(DescribeLowLatency(opened.lowLatency));
        SerialService opened{std::nullopt, path};
        for (const SerialService& s : services)
            if (s.path == path)
                opened = s;
        // The listing may predate udev's details of a new adapter, and a named port has none:
        // sysfs has them as soon as the tty exists.
        AddSysfsFacts(opened);
        status_.SetBase(AdapterFacts(opened));
        return;
    }
    trouble_.store(Classify(failure));
    bool changed = false;
    StatusFact report = openTrouble_.Describe(path, failure, steady_clock::now(), changed);
    if (changed) {
        qCWarning(lcSerial).noquote() << QStringLiteral("cannot open %1: %2 failed: %3 (errno %4)")
                                             .arg(LoggablePath(path), QString::fromStdString(failure.step),
                                                  QString::fromStdString(Words::EnglishErrorText(failure.error)))
                                             .arg(failure.error);
        status_.SetBase(std::move(report));
    }
}

void QZ7_UpdaterAppDelegate::NoteListing(const std::vector<SerialService>& services)
{
    if (std::optional<StatusText::SearchFacts> hint = searchHint_.Pass(services, steady_clock::now(), RunningGrabbers))
        status_.SetBase(*hint);
}

PortResult QZ7_UpdaterAppDelegate::ReadPort(Port& port, char* buffer, std::size_t max)
{
    PortResult r = port.Read(buffer, max);
    if (r.status == PortIo::Data && r.count > 0) {
        // Whatever this read brought came after every line written so far.
        linesAtRead_.store(linesWritten_.load());
        status_.Received(state(), buffer, r.count, steady_clock::now());
        if (lcSerial().isDebugEnabled())
            qCDebug(lcSerial).noquote() << "read" << Loggable(std::string(buffer, r.count));
    }
    return r;
}

PortIo QZ7_UpdaterAppDelegate::WaitPort(Port& port, milliseconds bound)
{
    // What the readers have taken since the last reply, before they wait for more.
    status_.Unjudged(stream_.SinceJudged(), steady_clock::now());
    PortIo waited = port.WaitReadable(bound);
    if (waited == PortIo::Empty)
        status_.Waiting(state(), steady_clock::now());
    return waited;
}

void QZ7_UpdaterAppDelegate::NoteReply(const std::optional<std::string>& reply)
{
    if (!reply) {
        qCInfo(lcDialogue) << "reply: (not 7-bit ASCII)";
        return;
    }
    stream_.MarkJudged();
    status_.Readable(*reply, steady_clock::now());
    if (IsPage(state(), reply) ? NotePage(*reply) : (EndPaging(), true))
        qCInfo(lcDialogue).noquote() << "reply:" << Loggable(*reply);
}

bool QZ7_UpdaterAppDelegate::NotePage(const std::string& reply)
{
    // A loader that answers every "y" with the same line would otherwise fill the transcript
    // with thousands of lines a second: a repeat is counted, and the count logged once a second.
    const auto now = steady_clock::now();
    if (paging_.count == 0)
        paging_.since = now;
    const bool repeat = paging_.count > 0 && reply == paging_.reply;
    // A new line first ends the count of the one before, which this line is no repeat of.
    if (!repeat)
        EndRepeats();
    ++paging_.count;
    status_.Paging(paging_.count, reply, paging_.since, now);
    quietWrites_ = repeat;
    if (!repeat) {
        paging_.reply = reply;
        paging_.logged = paging_.count;
        paging_.lastLogged = now;
        return true;
    }
    if (now - paging_.lastLogged >= 1s)
        EndRepeats();
    return false;
}

void QZ7_UpdaterAppDelegate::EndRepeats()
{
    if (paging_.count > paging_.logged)
        qCInfo(lcDialogue).noquote() << "reply:" << Loggable(paging_.reply) << "again," << (paging_.count - paging_.logged)
                                     << "more times, each answered with \"y\"";
    paging_.logged = paging_.count;
    paging_.lastLogged = steady_clock::now();
}

void QZ7_UpdaterAppDelegate::EndPaging()
{
    if (paging_.count == 0)
        return;
    EndRepeats();
    qCInfo(lcDialogue) << "the prompt was answered with \"y\"" << paging_.count << "times";
    status_.Paging(0, {}, paging_.since, steady_clock::now());
    paging_ = {};
    quietWrites_ = false;
}
