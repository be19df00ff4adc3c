#include "terminal/Bench.h"

#include "controller/FirmwareImage.h"
#include "controller/PortDiagnosis.h"
#include "controller/QZ7_UpdaterAppDelegate.h"
#include "controller/SignalQuit.h"
#include "core/Status.h"
#include "hex/ImageLines.h"
#include "serial/ByIdNames.h"
#include "terminal/PortList.h"
#include "terminal/RunOptions.h"
#include "terminal/Terminal.h"

#include <QCoreApplication>
#include <QCryptographicHash>
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

using namespace std::chrono_literals;

namespace {
constexpr int kSchema = 1;

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

QJsonValue OrNull(const std::string& text)
{
    return text.empty() ? QJsonValue() : QJsonValue(Q(text));
}

std::string Line(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

std::string Now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString();
}

QJsonObject FirmwareObject()
{
    const ShippedFirmware& f = Shipped();
    return {{"version", Q(f.version)}, {"lines", f.lines}, {"sha256", Q(f.sha256)}};
}

// "Line 120 of 3075, ..." and "Sent 3075 lines ...": the lines gone across, or -1.
int LinesIn(const std::string& status)
{
    for (const char* start : {"Line ", "Sent "})
        if (status.starts_with(start))
            return std::atoi(status.c_str() + std::strlen(start));
    return -1;
}
}  // namespace

const ShippedFirmware& Shipped()
{
    static const ShippedFirmware facts = [] {
        ShippedFirmware f;
        f.version = "V2.007";
        InitUpdaterResources();
        std::string image = LoadShippedFirmware().value_or(std::string());
        std::string_view rest = image;
        while (!rest.empty()) {
            ImageLine line = TakeImageLine(rest);
            ++f.lines;
            if (line.consumed == 0)
                break;
            rest.remove_prefix(std::min(line.consumed, rest.size()));
        }
        f.sha256 = QCryptographicHash::hash(QByteArray::fromStdString(image), QCryptographicHash::Sha256).toHex().toStdString();
        return f;
    }();
    return facts;
}

std::string VersionText()
{
    const ShippedFirmware& f = Shipped();
    return "QZ7 Updater " QZ7_VERSION ", firmware " + f.version + ", " + std::to_string(f.lines) + " lines, sha256 " + f.sha256;
}

std::string VersionJson()
{
    return Line({{"schema", kSchema}, {"program", "QZ7 Updater"}, {"version", QZ7_VERSION}, {"firmware", FirmwareObject()}});
}

const char* OutcomeName(int status)
{
    switch (status) {
    case ExitStatus::Done: return "done";
    case ExitStatus::NoAdapter: return "no-adapter";
    case ExitStatus::Permission: return "permission";
    case ExitStatus::Busy: return "busy";
    case ExitStatus::Disconnected: return "disconnected";
    case ExitStatus::NotErased: return "not-erased";
    case ExitStatus::Unexpected: return "unexpected";
    case ExitStatus::NoVersion: return "no-version";
    case ExitStatus::Declined: return "declined";
    case ExitStatus::ImageDamaged: return "image-damaged";
    case ExitStatus::NotDone: return "not-done";
    case ExitStatus::Restarted: return "restarted";
    case ExitStatus::Stopped: return "stopped";
    case ExitStatus::NoAnswer: return "no-answer";
    case ExitStatus::EndedEarly: return "ended-early";
    case ExitStatus::AlreadyCurrent: return "already-current";
    case ExitStatus::TimedOut: return "timed-out";
    case ExitStatus::Interrupted: return "interrupted";
    default: return "failure";
    }
}

bool IsShippedVersion(const std::string& found)
{
    // The dialogue keeps what follows the "V" of the reply; a reply may also be read whole.
    std::string v = found;
    if (std::size_t at = v.rfind('V'); at != std::string::npos)
        v = v.substr(at + 1);
    while (!v.empty() && std::isspace(static_cast<unsigned char>(v.back())))
        v.pop_back();
    return v == Shipped().version.substr(1);
}

bool AppendRecord(const std::string& path, const std::string& line)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const std::string whole = line + "\n";
    ssize_t n;
    do
        n = ::write(fd, whole.data(), whole.size());
    while (n < 0 && errno == EINTR);
    // A short write would leave half a line: with O_APPEND on a local file it does not happen
    // short of a full disk, and then the line is reported as not written.
    bool written = n == static_cast<ssize_t>(whole.size()) && ::fsync(fd) == 0;
    int error = errno;
    ::close(fd);
    errno = error;
    if (n >= 0 && n != static_cast<ssize_t>(whole.size()))
        errno = ENOSPC;
    return written;
}

namespace {

class Bench;

// One unit: its port, its controller, and what it has shown so far. It answers the version
// question as the options say, and ends once with an exit status.
class Unit : public QObject, public FrontEnd {
public:
    Unit(Bench& bench, std::string path, const SerialService* listed);
    ~Unit() override;

    void Start();
    void Show(const ScreenUpdate& update) override;
    void Cancelled() override;
    void Finish(int status);
    // Stops the update for a signal or the bound on the whole run.
    void Stop(const std::string& what, int status);
    bool Programming() const { return controller_ && controller_->Programming(); }

    const std::string path;
    StatusText::AdapterFacts adapter;
    std::string stage = "start";
    int level = -1;
    std::string progress;        // the last progress text
    std::optional<std::string> version;
    bool versionRead = false;    // the version question was reached
    int linesSent = 0;
    bool ended = false;
    int exit = ExitStatus::Failure;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

private:
    void SetStage(const std::string& name);
    void Decide();

    Bench& bench_;
    std::unique_ptr<QZ7_UpdaterAppDelegate> controller_;
    std::string directions_, status_;
    RepeatedHint hint_;
    QTimer wait_;
    enum class Answer { None, Check, Skip } answer_ = Answer::None;
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

private:
    void Begin(std::vector<std::string> paths, const std::vector<SerialService>& listed);
    void LookForAdapters();
    void Redraw();
    std::string Row(const Unit& unit) const;
    void StopAll(const std::string& what, int status);
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
    std::optional<std::chrono::steady_clock::time_point> firstInterrupt_;
    QTimer look_, timeout_, waitAll_;
};

Unit::Unit(Bench& bench, std::string unitPath, const SerialService* listed) : path(std::move(unitPath)), bench_(bench)
{
    if (listed)
        adapter = AdapterFacts(*listed);
    adapter.path = path;
    wait_.setSingleShot(true);
    wait_.setTimerType(Qt::PreciseTimer);
}

Unit::~Unit()
{
    if (controller_)
        controller_->setFrontEnd(nullptr);
}

void Unit::Start()
{
    bench_.Event(this, "start",
                 {{"port", Q(path)},
                  {"adapter",
                   QJsonObject{{"name", OrNull(adapter.name)},
                               {"description", OrNull(adapter.description)},
                               {"maker", OrNull(adapter.manufacturer)},
                               {"vid_pid", OrNull(adapter.vendorProduct)},
                               {"serial", OrNull(adapter.serialNumber)}}},
                  {"firmware", FirmwareObject()}});
    if (!bench_.run.waitSeconds) {
        // A port that can never be an adapter ends this unit at once.
        OpenFailure refused = RefusedDevice(path);
        PortTrouble trouble = refused.error ? Classify(refused) : PortTrouble::Opened;
        if (trouble == PortTrouble::NotSerial || trouble == PortTrouble::NoneFound) {
            bench_.Say(this, DescribeOpenFailure(path, refused) + " Nothing was done to this port.");
            Finish(ExitStatus::NoAdapter);
            return;
        }
    }
    QZ7_UpdaterAppDelegate::Options options;
    options.port = path;
    options.printImageLength = false;
    try {
        controller_ = std::make_unique<QZ7_UpdaterAppDelegate>(std::move(options));
    } catch (const std::exception& e) {
        bench_.Say(this, std::string("qz7-updater: ") + e.what());
        Finish(ExitStatus::Failure);
        return;
    }
    controller_->setFrontEnd(this);
    if (bench_.run.waitSeconds) {
        connect(&wait_, &QTimer::timeout, this, [this] {
            auto [code, why] = GaveUp(*controller_, *bench_.run.waitSeconds);
            bench_.Say(this, why);
            Finish(code);
        });
        wait_.start(std::chrono::seconds(*bench_.run.waitSeconds));
    }
    controller_->applicationDidFinishLaunching();
}

void Unit::SetStage(const std::string& name)
{
    if (name == stage)
        return;
    stage = name;
    bench_.Event(this, "stage", {{"stage", Q(stage)}});
    bench_.Changed();
}

void Unit::Show(const ScreenUpdate& update)
{
    if (ended)
        return;
    if (update.picture == Picture::Device)
        wait_.stop();
    if (update.directions) {
        const std::string& raw = *update.directions;
        if (raw == Directions::ConnectAdapter)
            SetStage("connect");
        else if (raw == Directions::PowerOn)
            SetStage("power-on");
        else if (raw == Directions::Updating)
            SetStage("erase");
        if (raw.starts_with("Found Version: ")) {
            const std::string rest = raw.substr(std::strlen("Found Version: "));
            version = rest.substr(0, rest.find('\n'));
        }
        // Directions may carry the QZ7's own bytes: escaped, so that they cannot move the cursor.
        std::string line = StatusText::Printable(OneLine(raw), std::string::npos);
        if (line != directions_) {
            directions_ = line;
            bench_.Say(this, line);
            bench_.Event(this, "directions", {{"directions", Q(line)}});
        }
    }
    if (update.levelShown && *update.levelShown && stage != "program") {
        SetStage("program");
        bench_.Say(this, "Sending the firmware image (" + std::to_string(Shipped().lines) + " lines).");
    }
    if (update.level && stage == "program" && *update.level != level) {
        const int before = level;
        level = *update.level;
        bench_.Event(this, "progress", {{"progress", level}});
        // Through a pipe, a line every 10 %; on a terminal the unit's row shows the level.
        for (int step = (std::max(before, 0) / 10 + 1) * 10; !bench_.Tty() && step <= level; step += 10)
            bench_.Say(this, std::to_string(step) + "%");
        bench_.Changed();
    }
    if (update.status && *update.status != status_) {
        status_ = *update.status;
        if (int lines = LinesIn(status_); lines >= 0)
            linesSent = lines;
        if (StatusText::IsProgress(status_)) {
            progress = status_;
            bench_.Changed();
        } else if (!status_.empty() && !hint_.Repeats(status_)) {
            const std::string line = StatusText::Printable(OneLine(status_), std::string::npos);
            bench_.Say(this, "  " + line);
            bench_.Event(this, "status", {{"status", Q(line)}});
        }
    }
    if (update.question) {
        versionRead = true;
        SetStage("question");
        Decide();
    }
    if (update.ended)
        Finish(ExitStatusFor(*update.ended));
}

void Unit::Decide()
{
    // Pressed from the event loop, as a button would be, not inside the update that asks.
    if (bench_.run.check)
        answer_ = Answer::Check;
    else if (bench_.run.skipCurrent && version && IsShippedVersion(*version))
        answer_ = Answer::Skip;
    bench_.Event(this, "version", {{"version", version ? QJsonValue(Q(*version)) : QJsonValue()}});
    if (answer_ != Answer::None) {
        QTimer::singleShot(0, controller_.get(), [c = controller_.get()] { c->CancelPressed(); });
        return;
    }
    bench_.Say(this, "Update? y (--yes)");
    QTimer::singleShot(0, controller_.get(), [c = controller_.get()] { c->UpdatePressed(); });
}

void Unit::Cancelled()
{
    if (answer_ == Answer::Check) {
        bench_.Say(this, "Version " + version.value_or("not found") + ": nothing erased (--check).");
        Finish(ExitStatus::Done);
    } else if (answer_ == Answer::Skip) {
        bench_.Say(this, "Already on " + Shipped().version + ": not updated (--skip-current).");
        Finish(ExitStatus::AlreadyCurrent);
    } else {
        Finish(ExitStatus::Declined);
    }
}

void Unit::Stop(const std::string& what, int status)
{
    if (ended)
        return;
    bench_.Say(this, StoppedText(what, controller_ ? controller_->state() : Stage::AwaitingBanner));
    Finish(status);
}

void Unit::Finish(int status)
{
    if (ended)
        return;
    ended = true;
    exit = status;
    wait_.stop();
    stage = "end";
    bench_.Ended(*this);
    // The controller puts its port back as it goes; it is let go from the event loop, not from
    // inside its own screen update.
    if (controller_) {
        controller_->setFrontEnd(nullptr);
        QTimer::singleShot(0, this, [this] {
            controller_.reset();
            bench_.Changed();
        });
    }
}

Bench::Bench(const RunOptions& options)
    : run(options), human_(options.json ? stderr : stdout), tty_(::isatty(fileno(human_)) == 1)
{
    redraw_.setSingleShot(true);
    connect(&redraw_, &QTimer::timeout, this, &Bench::Redraw);
}

Bench::~Bench() = default;

void Bench::Event(const Unit* unit, const char* event, QJsonObject fields)
{
    if (!run.json)
        return;
    fields.insert("schema", kSchema);
    fields.insert("time", Q(Now()));
    fields.insert("event", event);
    if (unit)
        fields.insert("unit", Q(unit->path));
    std::string line = Line(fields) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

void Bench::Say(const Unit* unit, const std::string& line)
{
    std::string out = (unit ? unit->path + ": " : std::string()) + line;
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

std::string Bench::Row(const Unit& unit) const
{
    std::string row = unit.path;
    if (!unit.adapter.serialNumber.empty())
        row += " (" + unit.adapter.serialNumber + ")";
    row += "  " + (unit.ended ? std::string(OutcomeName(unit.exit)) : unit.stage);
    if (unit.level >= 0) {
        char percent[16];
        std::snprintf(percent, sizeof percent, " %3d%%", unit.level);
        row += percent;
    }
    if (!unit.ended && !unit.progress.empty() && unit.stage == "program")
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

void Bench::Ended(Unit& unit)
{
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - unit.started).count();
    const QJsonObject versionFound{{"version_found", unit.version ? QJsonValue(Q(*unit.version)) : QJsonValue()}};
    QJsonObject end{{"port", Q(unit.path)},
                    {"version_found", versionFound["version_found"]},
                    {"outcome", OutcomeName(unit.exit)},
                    {"exit", unit.exit},
                    {"duration_s", std::round(seconds * 1000.0) / 1000.0},
                    {"lines_sent", unit.linesSent}};
    if (run.report) {
        // On disk before the end is reported anywhere.
        QJsonObject record = end;
        record.insert("schema", kSchema);
        record.insert("time", Q(Now()));
        record.insert("adapter", QJsonObject{{"name", OrNull(unit.adapter.name)},
                                             {"description", OrNull(unit.adapter.description)},
                                             {"maker", OrNull(unit.adapter.manufacturer)},
                                             {"vid_pid", OrNull(unit.adapter.vendorProduct)},
                                             {"serial", OrNull(unit.adapter.serialNumber)}});
        record.insert("firmware", FirmwareObject());
        if (!AppendRecord(*run.report, Line(record))) {
            Say(&unit, "The report could not be written to " + *run.report + ": " + std::strerror(errno) + ".");
            forced_ = forced_.value_or(ExitStatus::OutputFailed);
        }
    }
    Event(&unit, "end", end);
    Say(&unit, std::string("Ended: ") + OutcomeName(unit.exit) + " (status " + std::to_string(unit.exit) + ").");
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
    int failed = 0;
    std::map<std::string, int> outcomes;
    for (const auto& u : units_) {
        ++outcomes[OutcomeName(u->exit)];
        failed += u->exit != ExitStatus::Done && u->exit != ExitStatus::AlreadyCurrent;
    }
    int status = units_.size() == 1 ? units_.front()->exit : failed ? ExitStatus::SomeFailed : ExitStatus::Done;
    status_ = forced_.value_or(status);
    QJsonObject counts;
    for (const auto& [name, count] : outcomes)
        counts.insert(Q(name), count);
    Event(nullptr, "summary", {{"units", static_cast<int>(units_.size())}, {"outcomes", counts}, {"exit", *status_}});
    if (units_.size() > 1)
        Say(nullptr, std::to_string(units_.size()) + " units, " + std::to_string(units_.size() - failed) +
                         " ended well, " + std::to_string(failed) + " did not (exit status " + std::to_string(*status_) + ").");
    QCoreApplication::exit(*status_);
}

void Bench::StopAll(const std::string& what, int status)
{
    forced_ = status;
    if (units_.empty()) {
        Say(nullptr, what + " before any adapter was found: nothing was done to any port.");
        status_ = status;
        QCoreApplication::exit(status);
        return;
    }
    for (const auto& u : units_)
        u->Stop(what, status);
}

void Bench::Begin(std::vector<std::string> paths, const std::vector<SerialService>& listed)
{
    for (const std::string& path : paths) {
        const SerialService* found = nullptr;
        for (const SerialService& s : listed)
            if (s.path == path)
                found = &s;
        units_.push_back(std::make_unique<Unit>(*this, path, found));
    }
    for (const auto& u : units_)
        u->Start();
}

void Bench::LookForAdapters()
{
    std::optional<std::vector<SerialService>> services = lister_();
    if (!services)
        return;
    std::vector<PortVerdict> verdicts = JudgePorts(*services);
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < services->size(); ++i)
        if (!verdicts[i].word.empty())
            paths.push_back(*(*services)[i].path);
    if (paths.empty())
        return;
    look_.stop();
    waitAll_.stop();
    Say(nullptr, "Found " + std::to_string(paths.size()) + " adapter" + (paths.size() == 1 ? "" : "s") + ".");
    Begin(paths, *services);
}

int Bench::Run()
{
    if (run.report) {
        // Checked before any port is touched: a bench that cannot keep its record does not start.
        int fd = ::open(run.report->c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            std::fprintf(stderr, "qz7-updater: cannot write the report %s: %s. Nothing was done to any port.\n",
                         run.report->c_str(), std::strerror(errno));
            return ExitStatus::OutputFailed;
        }
        ::close(fd);
    }

    // One Ctrl+C is easily pressed by mistake, and while a QZ7 is being erased or programmed it
    // would leave it without firmware: then only a second one within 5 s stops every unit.
    // SIGTERM and SIGHUP stop every unit at once.
    SignalQuit signalQuit([this](int signal) {
        if (status_)
            return;
        const auto now = std::chrono::steady_clock::now();
        bool programming = false;
        for (const auto& u : units_)
            programming = programming || (!u->ended && u->Programming());
        if (signal == SIGINT && programming && (!firstInterrupt_ || now - *firstInterrupt_ > 5s)) {
            firstInterrupt_ = now;
            Say(nullptr, "QZ7s are being programmed: stopping now would leave them without firmware. The updates "
                         "go on; press Ctrl+C again within 5 s to stop them all.");
            Event(nullptr, "message", {{"message", "interrupt: press Ctrl+C again within 5 s to stop"}});
            return;
        }
        StopAll("Interrupted", ExitStatus::Interrupted);
    });
    timeout_.setSingleShot(true);
    timeout_.setTimerType(Qt::PreciseTimer);
    if (run.timeoutSeconds) {
        connect(&timeout_, &QTimer::timeout, this, [this] {
            StopAll("Stopped after " + std::to_string(*run.timeoutSeconds) + " s (--timeout)", ExitStatus::TimedOut);
        });
        timeout_.start(std::chrono::seconds(*run.timeoutSeconds));
    }

    lister_ = WithByIdNames(SystemServiceLister());
    if (run.all) {
        Say(nullptr, "Looking for USB adapters.");
        connect(&look_, &QTimer::timeout, this, &Bench::LookForAdapters);
        look_.start(200ms);
        if (run.waitSeconds) {
            waitAll_.setSingleShot(true);
            connect(&waitAll_, &QTimer::timeout, this, [this] {
                look_.stop();
                Say(nullptr, "No QZ7 within " + std::to_string(*run.waitSeconds) +
                                 " s: no usable USB adapter was found. Plug the adapters in and run again.");
                status_ = ExitStatus::NoAdapter;
                Event(nullptr, "summary", {{"units", 0}, {"outcomes", QJsonObject{}}, {"exit", *status_}});
                QCoreApplication::exit(*status_);
            });
            waitAll_.start(std::chrono::seconds(*run.waitSeconds));
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

}  // namespace

int RunBench(const RunOptions& run, int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (::isatty(STDERR_FILENO) == 1 && qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("qz7.*.info=false\nqz7.*.warning=false"));
    QCoreApplication app(argc, argv);
    Bench bench(run);
    return bench.Run();
}
