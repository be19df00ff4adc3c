// The controller's captures: one session for each opening of the port, begun as discovery takes
// the port over, its header made of what the program and the system know at that moment.
#include "controller/Log.h"
#include "controller/QZ7_UpdaterAppDelegate.h"
#include "firmware/Firmware.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStringList>

#include <cstdlib>
#include <termios.h>

namespace {

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? capture::QuoteText(value) : std::string("null");
}

std::string Text(const std::string& text)
{
    return capture::QuoteText(text);
}

}  // namespace

std::shared_ptr<CaptureSession> QZ7_UpdaterAppDelegate::BeginCapture(const std::string& path, const OpenResult& opened,
                                                                      Port& port, CaptureSession::Clock::time_point at)
{
    std::shared_ptr<CaptureSession> previous;
    int number = 0;
    {
        std::lock_guard lock(captureMutex_);
        previous = currentCapture_;
        number = ++captureSessions_;
    }
    // The last opening's capture was finished as discovery began (ConnectUSB); this is only
    // for an opening that discovery made without a start-over between.
    if (previous)
        previous->Finish();

    CaptureSession::Fields header = {
        {"time", Text(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString())},
        {"program", Text(QCoreApplication::applicationVersion().toStdString())},
        {"firmware", Text(Firmware::Version)},
        {"firmware_sha256", Text(Firmware::Sha256)},
        {"firmware_lines", std::to_string(Firmware::Lines)},
        {"session", std::to_string(number)},
    };
    for (auto& field : AdapterFields(path))
        header.push_back(std::move(field));
    header.emplace_back("settings_found", Text(DescribeSettings(opened.archive)));
    // What the line holds now, read back from the descriptor the port was just given: nobody
    // else has the port before the hand-over completes.
    std::optional<std::string> applied;
    if (const auto* serial = dynamic_cast<const WQSerial*>(&RealPort(port)); serial && serial->PortID() > 0) {
        termios now{};
        if (tcgetattr(serial->PortID(), &now) == 0)
            applied = DescribeSettings(now);
    }
    header.emplace_back("settings_applied", applied ? Text(*applied) : std::string("null"));
    header.emplace_back("low_latency", Text(DescribeLowLatency(opened.lowLatency)));
    header.emplace_back("lang", Env("LANG"));
    header.emplace_back("lc_all", Env("LC_ALL"));
    header.emplace_back("lc_messages", Env("LC_MESSAGES"));
    header.emplace_back("language", Env("LANGUAGE"));
    if (QCoreApplication::instance()) {
        QStringList arguments = QCoreApplication::arguments();
        std::string list = "[";
        for (qsizetype i = 1; i < arguments.size(); ++i)
            list += (i > 1 ? "," : "") + Text(arguments[i].toStdString());
        header.emplace_back("arguments", list + "]");
    }

    std::optional<std::string> file;
    if (capture_.file)
        file = CaptureFileName(*capture_.file, capture_.bySlot ? std::optional(SlotName(path)) : std::nullopt, number);
    auto session = std::make_shared<CaptureSession>(file, capture_.kept, at, header);
    if (std::string error = session->Error(); !error.empty())
        qCWarning(lcSerial).noquote() << "capture" << LoggablePath(*file) << QString::fromStdString(error);
    else if (file)
        qCInfo(lcSerial).noquote() << "capturing the port's bytes to" << LoggablePath(*file);
    std::lock_guard lock(captureMutex_);
    currentCapture_ = session;
    return session;
}

std::shared_ptr<CaptureSession> QZ7_UpdaterAppDelegate::CurrentCapture() const
{
    std::lock_guard lock(captureMutex_);
    return currentCapture_;
}

void QZ7_UpdaterAppDelegate::NoteOutcome(const std::string& outcome, int exitStatus)
{
    if (std::shared_ptr<CaptureSession> session = CurrentCapture()) {
        session->SetOutcome({{"outcome", capture::QuoteText(outcome)},
                             {"exit", std::to_string(exitStatus)},
                             {"lines_sent", std::to_string(linesAtRead_.load())}});
    }
}
