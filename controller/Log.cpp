#include "controller/Log.h"

#include "core/Status.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

Q_LOGGING_CATEGORY(lcSerial, "qz7.serial", QtInfoMsg)
Q_LOGGING_CATEGORY(lcDialogue, "qz7.dialogue", QtInfoMsg)
Q_LOGGING_CATEGORY(lcTransfer, "qz7.transfer", QtInfoMsg)

namespace {

// Every thread of the controller logs. Qt formats a line under a lock of its own that the thread
// checker cannot see; this handler formats and writes one line at a time under a lock it does
// see, so that a line is never interleaved with another and the checker's view of the threads
// holds.
std::mutex logMutex;
QtMessageHandler qtHandler = nullptr;

std::size_t keptBound = 0;  // under logMutex, as the two below
std::string kept;
std::size_t keptStart = 0;  // kept holds up to twice the bound; the transcript starts here

void OneLineAtATime(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    std::lock_guard lock(logMutex);
    if (keptBound > 0) {
        kept += qFormatLogMessage(type, context, message).toStdString();
        kept += '\n';
        if (kept.size() - keptStart > keptBound)
            keptStart = kept.size() - keptBound;
        if (keptStart > keptBound) {
            kept.erase(0, keptStart);
            keptStart = 0;
        }
    }
    if (qtHandler) {
        qtHandler(type, context, message);
        return;
    }
    std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, message).toLocal8Bit().constData());
}

// Installed before main, before any thread of the program logs.
const bool installed = [] {
    qtHandler = qInstallMessageHandler(OneLineAtATime);
    return true;
}();

}  // namespace

void KeepTranscript(std::size_t bytes)
{
    std::lock_guard lock(logMutex);
    keptBound = bytes;
}

std::string KeptTranscript()
{
    std::lock_guard lock(logMutex);
    return kept.substr(keptStart);
}

void InstallTranscriptFormat()
{
    // Each line's time stamp is in local time. Without TZ the C library finds the zone anew for
    // every line, and rewrites its own copy of the zone's name each time; naming the system's
    // zone once, before any thread starts, leaves every later look-up a plain read.
    if (!std::getenv("TZ"))
        setenv("TZ", ":/etc/localtime", 0);
    tzset();
    qSetMessagePattern(QStringLiteral("%{time yyyy-MM-dd hh:mm:ss.zzz} %{if-category}%{category} %{endif}%{type}: %{message}"));
}

QString Loggable(std::string_view text)
{
    return QString::fromStdString(StatusText::Printable(text, 200));
}

QString LoggablePath(std::string_view path)
{
    return QString::fromStdString(StatusText::PrintableText(path));
}

std::string DescribeSettings(const termios& t)
{
    static const struct {
        speed_t code;
        int baud;
    } speeds[] = {{B0, 0},         {B300, 300},       {B1200, 1200},     {B2400, 2400},   {B4800, 4800},
                  {B9600, 9600},   {B19200, 19200},   {B38400, 38400},   {B57600, 57600}, {B115200, 115200},
                  {B230400, 230400}, {B460800, 460800}, {B921600, 921600}};
    speed_t speed = cfgetospeed(&t);
    std::string text = "speed code " + std::to_string(speed);
    for (const auto& s : speeds)
        if (s.code == speed)
            text = std::to_string(s.baud) + " baud";
    text += (t.c_lflag & ICANON) ? ", canonical" : ", raw";
    switch (t.c_cflag & CSIZE) {
    case CS5: text += ", 5 bits"; break;
    case CS6: text += ", 6 bits"; break;
    case CS7: text += ", 7 bits"; break;
    default: text += ", 8 bits"; break;
    }
    if (t.c_lflag & ECHO)
        text += ", echo";
    return text;
}
