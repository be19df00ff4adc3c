#pragma once
// The production bench's two parts, shared by Bench.cpp (the run) and BenchUnit.cpp (one unit);
// not for use outside the bench.
#include "controller/PortDiagnosis.h"
#include "controller/QZ7_UpdaterAppDelegate.h"
#include "controller/SignalQuit.h"
#include "core/RunRules.h"
#include "core/Status.h"
#include "core/Words.h"
#include "serial/ByIdNames.h"
#include "terminal/Bench.h"
#include "terminal/PortList.h"
#include "terminal/RunOptions.h"
#include "terminal/Terminal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/ioctl.h>
#include <unistd.h>

namespace benchparts {
inline constexpr int kSchema = 2;

inline QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// The directions as they stand, their line breaks kept (JSON writes them as \n) and every
// other byte that is no printable ASCII escaped, as the QZ7's own bytes are.
inline std::string PrintableLines(const std::string& text)
{
    std::string out;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        out += StatusText::Printable(std::string_view(text).substr(start, end - start), std::string::npos);
        if (end == std::string::npos)
            return out;
        out += '\n';
        start = end + 1;
    }
}

inline QJsonValue OrNull(const std::string& text)
{
    return text.empty() ? QJsonValue() : QJsonValue(Q(text));
}

inline std::string Line(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

// Versions in the JSON are the bare number, as the QZ7 reports it after its "V" ("2.007").
inline QJsonObject FirmwareObject()
{
    const ShippedFirmware& f = Shipped();
    return {{"version", Q(f.version.substr(1))}, {"lines", f.lines}, {"sha256", Q(f.sha256)}};
}

// The version found beside the firmware carried, for the JSON: null when none could be read.
inline QJsonValue RelationName(VersionRelation relation)
{
    switch (relation) {
    case VersionRelation::Older: return QStringLiteral("older");
    case VersionRelation::Same: return QStringLiteral("current");
    case VersionRelation::Newer: return QStringLiteral("newer");
    case VersionRelation::Unknown: break;
    }
    return QJsonValue();
}

inline std::string Now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString();
}


class Bench;

// One unit: its port, its controller, and what it has shown so far. It answers the version
// question as the options say, and ends once.
class Unit : public QObject, public FrontEnd {
public:
    Unit(Bench& bench, std::string path, const SerialService* listed);
    ~Unit() override;

    void Start();
    void Show(const ScreenUpdate& update) override;
    // A status report: its lines sent, and a line of prose and a "status" event unless it is
    // the transfer's progress or a count already said this minute.
    void TakeStatus(const StatusFact& report);
    void Cancelled() override;
    void Finish(Ending how);
    // Stops the update for a signal or the bound on the whole run.
    void Stop(const std::string& what, Ending how);
    bool Programming() const { return controller_ && controller_->Programming(); }

    const std::string path;
    StatusText::AdapterFacts adapter;
    std::string stage = "start";
    int level = -1;
    std::string progress;        // the last progress text
    std::optional<std::string> version;
    VersionRelation relation = VersionRelation::Unknown;  // of the version to the firmware carried
    bool versionRead = false;    // the version question was reached
    int linesSent = 0;
    bool ended = false;
    Ending ending = Ending::Exception;
    // How the unit ended, by name and by exit status.
    const char* Outcome() const { return RowOf(ending).name; }
    int Exit() const { return RowOf(ending).exitStatus; }
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

private:
    void SetStage(const std::string& name);
    void Decide();

    Bench& bench_;
    std::unique_ptr<QZ7_UpdaterAppDelegate> controller_;
    std::optional<DirectionsFact> directions_;
    std::optional<StatusFact> status_;
    RepeatedHint hint_;
    QTimer wait_;
    // How the question was answered.
    Answer answer_ = Answer::Update;
};

// The run: its units, where the prose and the JSON go, the report, the signals and the bounds.
class Bench : public QObject {
public:
    explicit Bench(const RunOptions& run);
    ~Bench() override;
    int Run();

    const RunOptions& run;
    // A unit's event as a JSON line (with --json); `fields` add to the common ones.
    void Event(const Unit* unit, const char* event, QJsonObject fields = {});
    // A line of prose, prefixed by the unit when there is one.
    void Say(const Unit* unit, const std::string& line);
    // The unit's row on the terminal has changed.
    void Changed();
    void Ended(Unit& unit);
    bool Tty() const { return tty_; }
    // When the run began: --wait bounds the wait for a QZ7 from here, the search for an adapter
    // included.
    const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

private:
    void Begin(std::vector<std::string> paths, const std::vector<SerialService>& listed);
    void LookForAdapters();
    void Redraw();
    std::string Row(const Unit& unit) const;
    void StopAll(const std::string& what, Ending how);
    void Conclude();

    std::FILE* human_;
    bool tty_;
    std::size_t rowsDrawn_ = 0;
    QTimer redraw_;
    std::vector<std::unique_ptr<Unit>> units_;
    ServiceLister lister_;
    std::optional<int> forced_;  // a signal, --timeout, or an unwritable report decides the status
    std::optional<int> status_;
    bool stopping_ = false;
    InterruptRule interrupts_;
    QTimer look_, timeout_, waitAll_;
};

}  // namespace benchparts
