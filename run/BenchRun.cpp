#include "run/BenchRun.h"

#include "controller/PortDiagnosis.h"
#include "core/OneLine.h"
#include "core/Words.h"
#include "firmware/Firmware.h"
#include "run/Records.h"
#include "serial/ByIdNames.h"

#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <unistd.h>

using namespace std::chrono_literals;
using namespace records;

BenchUnit::BenchUnit(BenchRun& bench, std::string unitPath, const SerialService* listed) : path(std::move(unitPath)), bench_(bench)
{
    if (listed)
        adapter = AdapterFacts(*listed);
    adapter.path = path;
    if (bench_.ledger_) {
        Identity unit = bench_.identity_;
        unit.unit = bench.run.UnitName(path);
        ledger_ = std::make_shared<UnitLedger>(bench_.ledger_, unit);
        // Held by another updater's record: its own port's exclusive use refuses this one too.
        ledger_->Bind(path, adapter);
    }
    shown_ = bench_.view_.Show(*this);
    // The bench never asks: the start refuses it without --yes or --check, so the answer is
    // --yes's where --check does not decide it. --wait counts from the bench's start, the search
    // for an adapter included. The front end's printer shows each change before the events go
    // out, and this unit's end is recorded after both.
    frontEnd_ = std::make_unique<UnitFrontEnd>(
        UnitRun::Options{.port = path,
                         .answers = {.yes = true, .allowOlder = bench.run.allowOlder, .check = bench.run.check, .skipCurrent = bench.run.skipCurrent},
                         .waitSeconds = bench.run.waitSeconds,
                         .since = bench.started,
                         .releaseAtEnd = true,
                         .opener = bench.seams_.opener,
                         .ledger = ledger_,
                         .capture = {.file = bench.run.capture, .bySlot = bench.run.ports.size() > 1 || bench.run.all}},
        std::initializer_list<UnitPrinter*>{shown_.get(), this}, true);
}

BenchUnit::~BenchUnit()
{
    // The run (and its controller) goes first: it may still call its printers as it ends.
    frontEnd_.reset();
}

void BenchUnit::Start()
{
    QJsonObject start = ledger_ ? IdentityFields(ledger_->identity()) : QJsonObject();
    start.insert("port", Q(path));
    start.insert("adapter", AdapterObject(adapter));
    start.insert("firmware", FirmwareObject());
    bench_.Event(this, "start", start);
    UnitRun& run = frontEnd_->Run();
    // --skip-done: a unit whose last update ended in Done with this image is left unopened.
    const std::string unit = bench_.run.UnitName(path);
    if (bench_.run.skipDone && ledger_ && !unit.empty())
        if (std::optional<HistoryRecord> done = bench_.ledger_->DoneAlready(unit)) {
            bench_.view_.Say(this, DoneAlreadyText(*done));
            run.End(Ending::AlreadyCurrent);
            return;
        }
    // A port that can never be an adapter ends this unit at once; the others go on.
    if (std::optional<StatusFact> why = bench_.seams_.unusable(path, bench_.run.waitSeconds.has_value())) {
        bench_.view_.Say(this, Words::Sentences(OneLine(Words::Status(*why)), Words::Tr("Terminal", "Nothing was done to this port.")));
        run.End(Ending::NoAdapter);
        return;
    }
    if (std::optional<std::string> error = run.Start()) {
        bench_.view_.Say(this, "qz7-updater: " + *error);
        run.End(Ending::Exception);
    }
}

void BenchUnit::Stage(const std::string& name)
{
    bench_.Event(this, "stage", {{"stage", Q(name)}});
}

void BenchUnit::Directions(const DirectionsFact& directions)
{
    // The events are for programs: in English whatever the operator's language.
    bench_.Event(this, "directions", {{"directions", Q(PrintableLines(Words::Directions(directions, Words::Language::English)))}});
}

void BenchUnit::Level(int level)
{
    if (StageName() != "program" || level == level_)
        return;
    level_ = level;
    bench_.Event(this, "progress", {{"progress", level}});
}

void BenchUnit::Status(const StatusFact& report)
{
    bench_.Event(this, "status", {{"status", Q(OneLine(Words::Status(report, Words::Language::English), Words::Language::English))}});
}

void BenchUnit::Question(Answer, VersionRelation, const std::optional<std::string>& version, std::function<void(bool)>)
{
    bench_.Event(this, "version", {{"version", version ? QJsonValue(Q(*version)) : QJsonValue()}});
}

void BenchUnit::Ended(Ending)
{
    bench_.UnitEnded(*this);
}

BenchRun::BenchRun(const RunOptions& options, BenchView& view, Seams seams) : run(options), view_(view), seams_(std::move(seams))
{
    if (!seams_.lister)
        seams_.lister = WithByIdNames(SystemServiceLister());
    if (!seams_.unusable)
        seams_.unusable = UnusablePort;
}

BenchRun::~BenchRun()
{
    Release();
}

void BenchRun::Release()
{
    units_.clear();
}

void BenchRun::Event(const BenchUnit* unit, const char* event, QJsonObject fields)
{
    if (run.json)
        view_.Event(EventLine(event, unit ? &unit->path : nullptr, std::move(fields)));
}

void BenchRun::UnitEnded(BenchUnit& unit)
{
    // The unit's run made its record, with the identity and the times, and wrote it to the
    // history and the journal before it ended.
    const UnitRun& ran = unit.frontEnd_->Run();
    const UnitEnd end = ran.Record().value_or(UnitEnd{.port = unit.path,
                                                      .versionFound = unit.Version(),
                                                      .relation = unit.Relation(),
                                                      .ending = unit.HowEnded(),
                                                      .linesSent = unit.LinesSent()});
    if (!ran.Recorded()) {
        //: %1 the file, %2 the error.
        view_.Say(&unit, Words::Fill(Words::Tr("Terminal", "The history could not be written to %1: %2."),
                                     {StatusText::PrintableText(run.historyFile.value_or(History::DefaultPath())),
                                      unit.ledger_ ? unit.ledger_->Error() : std::string()}));
        forced_ = forced_.value_or(ExitStatus::OutputFailed);
    }
    if (run.report) {
        // On disk before the end is reported anywhere.
        if (!AppendRecord(*run.report, ReportLine(end, unit.adapter))) {
            //: %1 the file, %2 the error.
            view_.Say(&unit, Words::Fill(Words::Tr("Terminal", "The report could not be written to %1: %2."),
                                         {StatusText::PrintableText(*run.report), std::strerror(errno)}));
            forced_ = forced_.value_or(ExitStatus::OutputFailed);
        }
    }
    Event(&unit, "end", EndFields(end));
    const EndingRow& row = RowOf(end.ending);
    //: %1 the outcome's name as scripts read it ("done", "not-erased": keep it), %2 the exit status.
    view_.Say(&unit, Words::Fill(Words::Tr("Terminal", "Ended: %1 (status %2)."), {row.name, std::to_string(row.exitStatus)}));
    view_.Ended(unit);
    bool all = true;
    for (const auto& u : units_)
        all = all && u->Ended();
    if (all)
        QTimer::singleShot(0, this, &BenchRun::Conclude);
}

void BenchRun::Finish(int status)
{
    if (status_)
        return;
    status_ = status;
    look_.stop();
    waitAll_.Stop();
    timeout_.Stop();
    view_.Finished(status);
}

void BenchRun::Conclude()
{
    if (status_)
        return;
    std::map<std::string, int> outcomes;
    std::vector<Ending> ends;
    for (const auto& u : units_) {
        ++outcomes[RowOf(u->HowEnded()).name];
        ends.push_back(u->HowEnded());
    }
    const auto [ended, failed] = RunEndOf(ends);
    const int status = forced_.value_or(ended);
    Event(nullptr, "summary", SummaryFields(static_cast<int>(units_.size()), outcomes, status));
    if (units_.size() > 1) {
        const long units = static_cast<long>(units_.size());
        //: The bench's last line: %n units in all, %1 of them ended well, %2 did not, %3 the exit status.
        view_.Say(nullptr, Words::Fill(Words::TrN("Terminal", "%n units, %1 ended well, %2 did not (exit status %3).",
                                                  "%n unit, %1 ended well, %2 did not (exit status %3).", units),
                                       {std::to_string(units_.size() - failed), std::to_string(failed), std::to_string(status)}));
    }
    Finish(status);
}

void BenchRun::StopAll(const std::string& what, Ending how)
{
    forced_ = RowOf(how).exitStatus;
    if (units_.empty()) {
        //: %1 says what stopped the bench ("Stopped after 5 s (--timeout)", "Interrupted").
        view_.Say(nullptr, Words::Fill(Words::Tr("Terminal", "%1 before any adapter was found: nothing was done to any port."), {what}));
        Finish(*forced_);
        return;
    }
    for (const auto& u : units_)
        u->Stop(what, how);
}

void BenchRun::Signal(int signal)
{
    if (status_)
        return;
    bool programming = false;
    for (const auto& u : units_)
        programming = programming || (!u->Ended() && u->Programming());
    if (std::optional<std::string> warning = interrupts_.Warning(signal, programming, units_.size() > 1)) {
        view_.Say(nullptr, *warning);
        Event(nullptr, "message", {{"message", "interrupt: press Ctrl+C again within 5 s to stop"}});
        return;
    }
    StopAll(Words::Tr("Terminal", "Interrupted"), Ending::Interrupted);
}

void BenchRun::Begin(const std::vector<std::string>& paths, const std::vector<SerialService>& listed)
{
    for (const std::string& path : paths) {
        const SerialService* found = nullptr;
        for (const SerialService& s : listed)
            if (s.path == path)
                found = &s;
        units_.push_back(std::make_unique<BenchUnit>(*this, path, found));
    }
    for (const auto& u : units_)
        u->Start();
}

void BenchRun::LookForAdapters()
{
    if (status_)
        return;
    std::optional<std::vector<SerialService>> services = seams_.lister();
    if (!services)
        return;
    std::vector<std::string> paths;
    if (run.all)
        paths = AllPorts(*services);
    else if (std::optional<std::string> chosen = ChoosePath(*services, std::nullopt))
        // One unit: the adapter the single-unit update would take.
        paths.push_back(*chosen);
    if (paths.empty())
        return;
    look_.stop();
    waitAll_.Stop();
    if (run.all) {
        const long found = static_cast<long>(paths.size());
        view_.Say(nullptr, Words::TrN("Terminal", "Found %n adapters.", "Found %n adapter.", found));
    } else
        //: %1 the device path.
        view_.Say(nullptr, Words::Fill(Words::Tr("Terminal", "Found the USB adapter: %1."), {StatusText::PrintableText(paths.front())}));
    Begin(paths, *services);
}

std::optional<BenchRun::Refusal> BenchRun::Start()
{
    if (run.report) {
        // Checked before any port is touched: a bench that cannot keep its record does not start.
        int fd = ::open(run.report->c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0)
            //: After "qz7-updater: ". %1 the report file, %2 the system's error text.
            return Refusal{ExitStatus::OutputFailed,
                           Words::Fill(Words::Tr("Terminal", "cannot write the report %1: %2. Nothing was done to any port."),
                                       {StatusText::PrintableText(*run.report), Words::ErrorText(errno)})};
        ::close(fd);
    }
    // The history likewise; and the units a cut-off update left without firmware are said first.
    const std::string historyFile = run.historyFile.value_or(History::DefaultPath());
    std::string error;
    ledger_ = Ledger::Open({.historyFile = historyFile, .journal = JournalWanted()}, error);
    if (!ledger_)
        //: After "qz7-updater: ". %1 the history file, %2 what went wrong.
        return Refusal{ExitStatus::OutputFailed, Words::Fill(Words::Tr("Terminal", "cannot keep the history %1: %2. Nothing was done to any port."),
                                                             {StatusText::PrintableText(historyFile), error})};
    identity_ = identity::ForRun(run.operatorName);
    for (const HistoryRecord& left : ledger_->LeftEmpty()) {
        view_.Say(nullptr, LeftEmptyText(left));
        QJsonObject fields = HistoryFields(left);
        fields.insert("message", Q(LeftEmptyText(left, false)));
        Event(nullptr, "left-empty", fields);
    }
    if (run.timeoutSeconds) {
        timeout_.Start(std::chrono::seconds(*run.timeoutSeconds), [this] {
            StopAll(Words::Fill(Words::Tr("Terminal", "Stopped after %1 s (--timeout)"), {std::to_string(*run.timeoutSeconds)}),
                    Ending::TimedOut);
        });
    }
    if (run.all || run.ports.empty()) {
        // --all takes every adapter the choice rule accepts; without --port, the one unit is the
        // adapter the single-unit update would find, looked for as it looks.
        view_.Say(nullptr, run.all ? Words::Tr("Terminal", "Looking for USB adapters.") : Words::Tr("Terminal", "Looking for the USB adapter."));
        connect(&look_, &QTimer::timeout, this, &BenchRun::LookForAdapters);
        look_.start(200ms);
        if (run.waitSeconds) {
            waitAll_.Start(std::chrono::seconds(*run.waitSeconds), [this] {
                look_.stop();
                view_.Say(nullptr, Words::Fill(run.all ? Words::Tr("Terminal", "No QZ7 within %1 s: no usable USB adapter was found."
                                                                               " Plug the adapters in and run again.")
                                                       : Words::Tr("Terminal", "No QZ7 within %1 s: no usable USB adapter was found."
                                                                               " Plug the adapter in and run again."),
                                               {std::to_string(*run.waitSeconds)}));
                Event(nullptr, "summary", SummaryFields(0, {}, ExitStatus::NoAdapter));
                Finish(ExitStatus::NoAdapter);
            });
        }
        QTimer::singleShot(0, this, &BenchRun::LookForAdapters);
    } else {
        // The adapters' identities, as far as the system lists them.
        std::vector<SerialService> listed = seams_.lister().value_or(std::vector<SerialService>{});
        QTimer::singleShot(0, this, [this, listed] { Begin(run.ports, listed); });
    }
    return std::nullopt;
}

std::string CheckedText(const std::optional<std::string>& version, VersionRelation relation)
{
    // The bare number, as the version found and every other text give it.
    const std::string carried = Firmware::Version;
    if (!version)
        return Words::Tr("Terminal", "Version not found: nothing erased (--check).");
    if (relation == VersionRelation::Older)
        //: %1 the version on the QZ7, %2 the firmware this program carries.
        return Words::Fill(Words::Tr("Terminal", "Version %1, older than the %2 this program carries: nothing erased (--check)."),
                           {*version, carried});
    if (relation == VersionRelation::Same)
        //: %1 the version on the QZ7.
        return Words::Fill(Words::Tr("Terminal", "Version %1, the one this program carries: nothing erased (--check)."), {*version});
    if (relation == VersionRelation::Newer)
        //: %1 the version on the QZ7, %2 the firmware this program carries.
        return Words::Fill(Words::Tr("Terminal", "Version %1, newer than the %2 this program carries: nothing erased (--check)."),
                           {*version, carried});
    //: %1 the version on the QZ7, which cannot be compared.
    return Words::Fill(Words::Tr("Terminal", "Version %1: nothing erased (--check)."), {*version});
}
