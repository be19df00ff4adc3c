#include "terminal/Bench.h"

#include "terminal/BenchParts.h"

#include <algorithm>

using namespace std::chrono_literals;

namespace benchparts {

Bench::Bench(const RunOptions& options)
    : run(options), human_(options.json ? stderr : stdout), tty_(::isatty(fileno(human_)) == 1)
{
    redraw_.setSingleShot(true);
    connect(&redraw_, &QTimer::timeout, this, &Bench::Redraw);
}

Bench::~Bench() = default;

void Bench::Event(const BenchPrinter* unit, const char* event, QJsonObject fields)
{
    if (!run.json)
        return;
    const std::string line = EventLine(event, unit ? &unit->path : nullptr, std::move(fields));
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

void Bench::Say(const BenchPrinter* unit, const std::string& line)
{
    // A path may hold any byte but NUL: escaped, so that it cannot move the cursor or cut the line.
    std::string out = (unit ? StatusText::PrintableText(unit->path) + ": " : std::string()) + line;
    if (tty_ && rowsDrawn_ > 0) {
        // Above the rows: go up to the first one, write the line there, and draw the rows again
        // below it.
        out = "\x1b[" + std::to_string(rowsDrawn_) + "A\r" + out + "\x1b[J\n";
        rowsDrawn_ = 0;
        std::fputs(out.c_str(), human_);
        Redraw();
        return;
    }
    out += "\n";
    std::fputs(out.c_str(), human_);
    std::fflush(human_);
}

void Bench::Changed()
{
    if (tty_ && !redraw_.isActive())
        redraw_.start(100ms);
}

std::string Bench::Row(const BenchPrinter& unit) const
{
    std::string row = StatusText::PrintableText(unit.path);
    if (!unit.adapter.serialNumber.empty())
        row += " (" + StatusText::PrintableText(unit.adapter.serialNumber) + ")";
    row += "  " + (unit.ended ? std::string(unit.Outcome()) : unit.StageName());
    if (unit.level >= 0) {
        char percent[16];
        std::snprintf(percent, sizeof percent, " %3d%%", unit.level);
        row += percent;
    }
    if (!unit.ended && !unit.progress.empty() && unit.StageName() == "program")
        row += "  " + unit.progress;
    return row;
}

void Bench::Redraw()
{
    if (!tty_)
        return;
    winsize size{};
    std::size_t columns = ::ioctl(fileno(human_), TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
    std::string out = rowsDrawn_ > 0 ? "\x1b[" + std::to_string(rowsDrawn_) + "A" : "";
    for (const auto& unit : units_) {
        // One row each: a wider line would wrap, and the cursor would no longer come back.
        std::string row = Row(*unit);
        if (row.size() > columns - 1)
            row.resize(columns - 1);
        out += "\r" + row + "\x1b[K\n";
    }
    rowsDrawn_ = units_.size();
    std::fputs(out.c_str(), human_);
    std::fflush(human_);
}

void Bench::Ended(BenchPrinter& unit)
{
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - unit.started).count();
    const UnitEnd end{.port = unit.path,
                      .versionFound = unit.Version(),
                      .relation = unit.Relation(),
                      .ending = unit.ending,
                      .seconds = seconds,
                      .linesSent = unit.LinesSent()};
    if (run.report) {
        // On disk before the end is reported anywhere.
        if (!AppendRecord(*run.report, ReportLine(end, unit.adapter))) {
            Say(&unit, Words::Fill(Words::Tr("Terminal", "The report could not be written to %1: %2."),
                                   {StatusText::PrintableText(*run.report), std::strerror(errno)}));
            forced_ = forced_.value_or(ExitStatus::OutputFailed);
        }
    }
    Event(&unit, "end", EndFields(end));
    Say(&unit, Words::Fill(Words::Tr("Terminal", "Ended: %1 (status %2)."), {unit.Outcome(), std::to_string(unit.Exit())}));
    Changed();
    bool all = true;
    for (const auto& u : units_)
        all = all && u->ended;
    if (all)
        QTimer::singleShot(0, this, &Bench::Conclude);
}

void Bench::Conclude()
{
    if (status_)
        return;
    std::map<std::string, int> outcomes;
    std::vector<Ending> ends;
    for (const auto& u : units_) {
        ++outcomes[u->Outcome()];
        ends.push_back(u->ending);
    }
    const auto [status, failed] = RunEndOf(ends);
    status_ = forced_.value_or(status);
    Event(nullptr, "summary", SummaryFields(static_cast<int>(units_.size()), outcomes, *status_));
    if (units_.size() > 1)
        Say(nullptr, std::to_string(units_.size()) + " units, " + std::to_string(units_.size() - failed) +
                         " ended well, " + std::to_string(failed) + " did not (exit status " + std::to_string(*status_) + ").");
    QCoreApplication::exit(*status_);
}

void Bench::StopAll(const std::string& what, Ending how)
{
    const int status = RowOf(how).exitStatus;
    forced_ = status;
    if (units_.empty()) {
        Say(nullptr, what + " before any adapter was found: nothing was done to any port.");
        status_ = status;
        QCoreApplication::exit(status);
        return;
    }
    for (const auto& u : units_)
        u->Stop(what, how);
}

void Bench::Begin(std::vector<std::string> paths, const std::vector<SerialService>& listed)
{
    for (const std::string& path : paths) {
        const SerialService* found = nullptr;
        for (const SerialService& s : listed)
            if (s.path == path)
                found = &s;
        units_.push_back(std::make_unique<BenchPrinter>(*this, path, found));
    }
    for (const auto& u : units_)
        u->Start();
}

void Bench::LookForAdapters()
{
    std::optional<std::vector<SerialService>> services = lister_();
    if (!services)
        return;
    std::vector<std::string> paths;
    if (run.all) {
        std::vector<PortVerdict> verdicts = JudgePorts(*services);
        for (std::size_t i = 0; i < services->size(); ++i)
            // A unit is named by its port, once a run: a device the listing gives twice (the
            // same path, or a link beside its node) is one unit, the first.
            if (!verdicts[i].word.empty() &&
                std::none_of(paths.begin(), paths.end(), [&](const std::string& p) { return SamePort(p, *(*services)[i].path); }))
                paths.push_back(*(*services)[i].path);
    } else if (std::optional<std::string> chosen = ChoosePath(*services, std::nullopt)) {
        // One unit: the adapter the single-unit update would take.
        paths.push_back(*chosen);
    }
    if (paths.empty())
        return;
    look_.stop();
    waitAll_.Stop();
    if (run.all)
        Say(nullptr, paths.size() == 1 ? Words::Tr("Terminal", "Found 1 adapter.")
                                       : Words::Fill(Words::Tr("Terminal", "Found %1 adapters."), {std::to_string(paths.size())}));
    else
        Say(nullptr, Words::Fill(Words::Tr("Terminal", "Found the USB adapter: %1."), {StatusText::PrintableText(paths.front())}));
    Begin(paths, *services);
}

int Bench::Run()
{
    if (run.report) {
        // Checked before any port is touched: a bench that cannot keep its record does not start.
        int fd = ::open(run.report->c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            std::fprintf(stderr, "qz7-updater: cannot write the report %s: %s. Nothing was done to any port.\n",
                         StatusText::PrintableText(*run.report).c_str(), std::strerror(errno));
            return ExitStatus::OutputFailed;
        }
        ::close(fd);
    }

    // A Ctrl+C while any QZ7 is being erased or programmed only warns (InterruptRule); a
    // second one within 5 s, SIGTERM and SIGHUP stop every unit.
    SignalQuit signalQuit([this](int signal) {
        if (status_)
            return;
        bool programming = false;
        for (const auto& u : units_)
            programming = programming || (!u->ended && u->Programming());
        if (!interrupts_.Stops(signal == SIGINT, programming, std::chrono::steady_clock::now())) {
            Say(nullptr, "QZ7s are being programmed: stopping now would leave them without firmware. The updates "
                         "go on; press Ctrl+C again within 5 s to stop them all.");
            Event(nullptr, "message", {{"message", "interrupt: press Ctrl+C again within 5 s to stop"}});
            return;
        }
        StopAll("Interrupted", Ending::Interrupted);
    });
    if (run.timeoutSeconds) {
        timeout_.Start(std::chrono::seconds(*run.timeoutSeconds), [this] {
            StopAll(Words::Fill(Words::Tr("Terminal", "Stopped after %1 s (--timeout)"), {std::to_string(*run.timeoutSeconds)}),
                    Ending::TimedOut);
        });
    }

    lister_ = WithByIdNames(SystemServiceLister());
    if (run.all || run.ports.empty()) {
        // --all takes every adapter the choice rule accepts; without --port, the one unit is the
        // adapter the single-unit update would find, looked for as it looks.
        Say(nullptr, run.all ? Words::Tr("Terminal", "Looking for USB adapters.") : Words::Tr("Terminal", "Looking for the USB adapter."));
        connect(&look_, &QTimer::timeout, this, &Bench::LookForAdapters);
        look_.start(200ms);
        if (run.waitSeconds) {
            waitAll_.Start(std::chrono::seconds(*run.waitSeconds), [this] {
                look_.stop();
                Say(nullptr, Words::Fill(run.all ? Words::Tr("Terminal", "No QZ7 within %1 s: no usable USB adapter was found."
                                                                         " Plug the adapters in and run again.")
                                                 : Words::Tr("Terminal", "No QZ7 within %1 s: no usable USB adapter was found."
                                                                         " Plug the adapter in and run again."),
                                         {std::to_string(*run.waitSeconds)}));
                status_ = ExitStatus::NoAdapter;
                Event(nullptr, "summary", SummaryFields(0, {}, *status_));
                QCoreApplication::exit(*status_);
            });
        }
        QTimer::singleShot(0, this, &Bench::LookForAdapters);
    } else {
        // The adapters' identities, as far as the system lists them.
        std::vector<SerialService> listed = lister_().value_or(std::vector<SerialService>{});
        QTimer::singleShot(0, this, [this, listed] { Begin(run.ports, listed); });
    }
    QCoreApplication::exec();
    // Every port is put back and every controller's thread has ended before the status goes out.
    units_.clear();
    return status_.value_or(forced_.value_or(ExitStatus::Failure));
}

}  // namespace benchparts

using benchparts::Bench;

int RunBench(const RunOptions& run, int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (::isatty(STDERR_FILENO) == 1 && qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("qz7.*.info=false\nqz7.*.warning=false"));
    QCoreApplication app(argc, argv);
    Bench bench(run);
    return bench.Run();
}
