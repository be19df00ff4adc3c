// The controller's side of the status line and the transcript: what discovery, the readers and
// the port tell it, passed on to the status board and the log.
#include "app/Log.h"
#include "app/QZ7_UpdaterAppDelegate.h"
#include "serial/ByIdNames.h"

using namespace std::chrono;

void QZ7_UpdaterAppDelegate::ShowStatus(const std::string& text)
{
    qCInfo(lcDialogue).noquote() << "status:" << (text.empty() ? QStringLiteral("(empty)") : Loggable(text));
    Post({.status = text});
}

void QZ7_UpdaterAppDelegate::ReportOpen(const std::string& path, const OpenResult& opened,
                                        const std::vector<SerialService>& services)
{
    const OpenFailure& failure = opened.failure;
    const termios& found = opened.archive;
    if (opened.fd > 0) {
        trouble_.store(PortTrouble::Opened);
        openTrouble_.Clear();
        qCInfo(lcSerial).noquote() << "opened" << QString::fromStdString(path) << "exclusive, set to 57600 baud, raw, 8 bits;"
                                   << "found" << QString::fromStdString(DescribeSettings(found));
        SerialService opened{std::nullopt, path};
        for (const SerialService& s : services)
            if (s.path == path)
                opened = s;
        // The listing may predate udev's details of a new adapter, and a named port has none:
        // sysfs has them as soon as the tty exists.
        AddSysfsFacts(opened);
        status_.SetBase(StatusText::Adapter(AdapterFacts(opened)));
        return;
    }
    trouble_.store(Classify(failure));
    bool changed = false;
    std::string text = openTrouble_.Describe(path, failure, steady_clock::now(), changed);
    if (changed) {
        qCWarning(lcSerial).noquote() << QStringLiteral("cannot open %1: %2 failed: %3 (errno %4)")
                                             .arg(QString::fromStdString(path), QString::fromStdString(failure.step),
                                                  QString::fromLocal8Bit(std::strerror(failure.error)))
                                             .arg(failure.error);
        status_.SetBase(text);
    }
}

PortResult QZ7_UpdaterAppDelegate::ReadPort(char* buffer, std::size_t max)
{
    PortResult r = Serial()->Read(buffer, max);
    if (r.status == PortIo::Data && r.count > 0) {
        status_.Received(state(), buffer, r.count, steady_clock::now());
        if (lcSerial().isDebugEnabled())
            qCDebug(lcSerial).noquote() << "read" << Loggable(std::string(buffer, r.count));
    }
    return r;
}

PortIo QZ7_UpdaterAppDelegate::WaitPort(milliseconds bound)
{
    PortIo waited = Serial()->WaitReadable(bound);
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
    qCInfo(lcDialogue).noquote() << "reply:" << Loggable(*reply);
    status_.Readable(steady_clock::now());
}
