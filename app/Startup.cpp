#include "app/Startup.h"

#include "terminal/Bench.h"
#include "terminal/Terminal.h"

#include "core/Status.h"
#include "core/Words.h"
#include "run/Identity.h"
#include "serial/Discovery.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <thread>
#include <vector>
#include <unistd.h>

namespace {

using Words::Tr;

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// Standard output was closed when the program started: it stands on /dev/null since, so that
// no port takes its number, but what the program was asked to print went nowhere.
bool stdoutClosed = false;

}  // namespace

void PrepareProcess()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1)
            continue;
        if (fd == STDOUT_FILENO)
            stdoutClosed = true;
        int null = ::open("/dev/null", O_RDWR);
        if (null >= 0 && null != fd) {
            dup2(null, fd);
            ::close(null);
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
}

// Qt's own catalogs lack the texts of its help options for some languages (French, Spanish,
// Japanese): the program's catalog carries them in Qt's context, and is looked in first.
[[maybe_unused]] constexpr const char* kQtHelpTexts[] = {
    QT_TRANSLATE_NOOP("QCommandLineParser", "Displays help on commandline options."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Displays help including Qt specific options."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Displays version information."),
};

void DeclareOptions(QCommandLineParser& parser)
{
    // The values' names, as --help shows them after each option and the descriptions quote them.
    //: The value of --port in --help ("--port <path>"); the descriptions quote it as <path>.
    const QString path = Q(Tr("Help", "path"));
    //: The value of --report, --capture and --history-file in --help ("--report <file>").
    const QString file = Q(Tr("Help", "file"));
    //: The value of --wait and --timeout in --help ("--wait <seconds>").
    const QString seconds = Q(Tr("Help", "seconds"));
    //: The value of --unit and --operator in --help ("--unit <name>").
    const QString name = Q(Tr("Help", "name"));
    parser.setApplicationDescription(Q(Tr("Help", "Updates the firmware of a QZ7 over a USB serial adapter. Connect the adapter,"
                                                  " power on the QZ7 while holding its front Run/Stop button, and follow the"
                                                  " directions in the window.")));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("cli"),
                      Q(Tr("Help", "Run on the terminal, without a window: print the directions and the status as they "
                                     "change, ask the version question there, and end with an exit status that says how "
                                     "the update ended (see the manual page)."))});
    parser.addOption({QStringLiteral("port"),
                      Q(Tr("Help", "Use the serial device at <path> instead of searching for a USB adapter. Given "
                                     "several times (with --cli --yes), updates those units side by side.")),
                      path});
    parser.addOption({QStringLiteral("all"),
                      Q(Tr("Help", "With --cli --yes: update every USB adapter's QZ7 side by side (every port that "
                                     "--list --json shows as taken)."))});
    parser.addOption({QStringLiteral("json"),
                      Q(Tr("Help", "With --cli, --list or --version: JSON Lines on standard output, one object per "
                                     "event (see the manual page); the prose goes to standard error."))});
    parser.addOption({QStringLiteral("check"),
                      Q(Tr("Help", "With --cli: read each QZ7's version and end without erasing anything."))});
    parser.addOption({QStringLiteral("skip-current"),
                      Q(Tr("Help", "With --cli: leave a QZ7 that already has the firmware this program carries."))});
    parser.addOption({QStringLiteral("report"),
                      Q(Tr("Help", "With --cli: append one JSON line per unit to <file> as each unit ends.")),
                      file});
    parser.addOption({QStringLiteral("capture"),
                      Q(Tr("Help", "Record every byte read from and written to the port, with its time, in <file> "
                                     "(JSON Lines; with several units, one file per unit named by its slot), for "
                                     "qz7-bootsim --replay.")),
                      file});
    parser.addOption({QStringLiteral("yes"), Q(Tr("Help", "With --cli: answer the version question with Update."))});
    parser.addOption({QStringLiteral("allow-older"),
                      Q(Tr("Help", "With --cli --yes: update a QZ7 that has newer firmware than this program carries too "
                                     "(without it, such a QZ7 is left as it is, with exit status 18)."))});
    parser.addOption({QStringLiteral("wait"),
                      Q(Tr("Help", "With --cli: give up when no QZ7 has answered within <seconds> (default: wait for ever).")),
                      seconds});
    parser.addOption({QStringLiteral("timeout"),
                      Q(Tr("Help", "With --cli: stop when the whole update has not ended within <seconds>, as a SIGTERM "
                                     "stops it, with exit status 124.")),
                      seconds});
    parser.addOption({QStringLiteral("unit"),
                      Q(Tr("Help", "With --cli and one port: the name of the QZ7 on it (its serial number or label), "
                                     "in every record of the update. For several ports: --port PATH=NAME.")),
                      name});
    parser.addOption({QStringLiteral("operator"),
                      Q(Tr("Help", "With --cli: the operator's name in every record (default: the login name).")),
                      name});
    parser.addOption({QStringLiteral("history-file"),
                      Q(Tr("Help", "The history database to write and read (default: "
                                     "$XDG_STATE_HOME/qz7-updater/history.sqlite).")),
                      file});
    parser.addOption({QStringLiteral("history"),
                      Q(Tr("Help", "Print the last records of the history (only the records of the unit named after it, "
                                     "with --json as JSON Lines, with --summary the figures per day), and end."))});
    parser.addOption({QStringLiteral("summary"),
                      Q(Tr("Help", "With --history: passed, failed, first-pass yield and units per hour, per day."))});
    parser.addOption({QStringLiteral("skip-done"),
                      Q(Tr("Help", "With --cli: leave a named QZ7 whose last record is Done with the firmware this "
                                     "program carries."))});
    parser.addOption({QStringLiteral("list"),
                      Q(Tr("Help", "List the serial ports with their names, paths and identities, mark the one the "
                                     "updater would choose, and end."))});

    // The window system's own options, which QApplication takes out of the arguments later on:
    // accepted here so that they are not refused as unknown, and left out of the help.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "display", "geometry",
                             "qwindowgeometry", "title", "qwindowtitle", "icon", "qwindowicon", "style",
                             "stylesheet", "session", "name"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

CommandLine HandleCommandLine(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("QZ7 Updater"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QZ7_VERSION));
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    // Qt's own texts in the help (its options, "Usage:") take the session's language through an
    // application object; the help needs nothing else of one.
    int helpArgc = 1;
    std::optional<QCoreApplication> helpApplication;
    for (const QString& a : arguments.mid(1))
        if (a == QLatin1String("-h") || a == QLatin1String("-?") || a == QLatin1String("--help") || a == QLatin1String("--help-all"))
            helpApplication.emplace(helpArgc, argv);
    QCommandLineParser parser;
    DeclareOptions(parser);
    bool parsed = parser.parse(arguments);
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        // Without an application object the parser cannot know the program's name.
        QString program = QString::fromLocal8Bit(argc > 0 ? argv[0] : "qz7-updater");
        std::fputs(parser.helpText().replace(QStringLiteral("<executable_name>"), program).toLocal8Bit().constData(), stdout);
        std::fputs(ExitStatusHelp().c_str(), stdout);
        return {OutputWritten(ExitStatus::Done), {}};
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::string line = parser.isSet(QStringLiteral("json")) ? VersionJson() : VersionText();
        std::printf("%s\n", line.c_str());
        return {OutputWritten(ExitStatus::Done), {}};
    }
    auto refuse = [](const QString& why) -> CommandLine {
        //: After a usage error; keep the command as it is.
        std::fprintf(stderr, "qz7-updater: %s\n%s\n", qPrintable(why), Tr("Help", "Try qz7-updater --help.").c_str());
        return {ExitStatus::Usage, {}};
    };
    if (!parsed) {
        // Qt's error texts, too, take the session's language only through an application object:
        // made for them, and the arguments read again.
        if (!helpApplication)
            helpApplication.emplace(helpArgc, argv);
        QCommandLineParser again;
        DeclareOptions(again);
        (void)again.parse(arguments);
        return refuse(again.errorText());
    }
    // --history UNIT: the unit's name stands after the option, as the one argument.
    std::optional<std::string> historyUnit;
    if (parser.isSet(QStringLiteral("history")) && parser.positionalArguments().size() == 1)
        historyUnit = RawPositional(argc, argv).value_or(parser.positionalArguments().first().toStdString());
    else if (!parser.positionalArguments().isEmpty())
        //: %1 the argument as it was typed.
        return refuse(Q(Tr("Help", "Unexpected argument '%1'."))
                          .arg(Q(StatusText::PrintableText(parser.positionalArguments().first().toStdString()))));

    RunOptions run;
    run.cli = parser.isSet(QStringLiteral("cli"));
    run.yes = parser.isSet(QStringLiteral("yes"));
    run.list = parser.isSet(QStringLiteral("list"));
    run.all = parser.isSet(QStringLiteral("all"));
    run.json = parser.isSet(QStringLiteral("json"));
    run.check = parser.isSet(QStringLiteral("check"));
    run.skipCurrent = parser.isSet(QStringLiteral("skip-current"));
    run.allowOlder = parser.isSet(QStringLiteral("allow-older"));
    run.skipDone = parser.isSet(QStringLiteral("skip-done"));
    run.history = parser.isSet(QStringLiteral("history"));
    run.summary = parser.isSet(QStringLiteral("summary"));
    run.historyUnit = historyUnit;
    if (parser.isSet(QStringLiteral("port"))) {
        const QStringList paths = parser.values(QStringLiteral("port"));
        if (paths.contains(QString()))
            return refuse(Q(Tr("Help", "--port needs the path of a serial device, such as /dev/ttyUSB0.")));
        // The bytes as given: a file name need not be valid in the locale's encoding.
        run.ports = RawOptionValues(argc, argv, "port");
        if (run.ports.size() != static_cast<std::size_t>(paths.size())) {
            run.ports.clear();
            for (const QString& path : paths)
                run.ports.push_back(path.toStdString());
        }
        // PATH=NAME names the unit on the port: the first "=" ends the path (device paths hold none).
        for (std::string& path : run.ports) {
            const std::size_t equals = path.find('=');
            if (equals == std::string::npos)
                continue;
            std::string name = path.substr(equals + 1);
            path.resize(equals);
            if (!identity::ValidName(name) || path.empty())
                return refuse(Q(Tr("Help", "--port PATH=NAME needs a path and a name of 1 to 128 characters, none of them a control character.")));
            run.unitNames[path] = std::move(name);
        }
        run.port = run.ports.back();
        // One adapter is one unit: a port named twice, however spelt, is refused before any opens.
        for (std::size_t i = 0; i < run.ports.size(); ++i)
            for (std::size_t k = 0; k < i; ++k)
                if (SamePort(run.ports[k], run.ports[i])) {
                    const std::string first = StatusText::PrintableText(run.ports[k]);
                    const std::string again = StatusText::PrintableText(run.ports[i]);
                    return refuse(Q(run.ports[k] == run.ports[i]
                                        //: %1 the device path given twice.
                                        ? Words::Fill(Tr("Help", "--port %1 is given twice: name each adapter once."), {first})
                                        //: %1 and %2 the two paths given.
                                        : Words::Fill(Tr("Help", "--port %1 and --port %2 are the same device: name each"
                                                                 " adapter once."), {first, again})));
                }
    }
    if (parser.isSet(QStringLiteral("report"))) {
        run.report = parser.value(QStringLiteral("report")).toStdString();
        if (run.report->empty())
            return refuse(Q(Tr("Help", "--report needs the name of a file.")));
    }
    for (auto [name, field] : {std::pair<const char*, std::optional<std::string>*>{"unit", &run.unit},
                               std::pair<const char*, std::optional<std::string>*>{"operator", &run.operatorName},
                               std::pair<const char*, std::optional<std::string>*>{"history-file", &run.historyFile}}) {
        if (!parser.isSet(QString::fromLatin1(name)))
            continue;
        *field = RawOptionValue(argc, argv, name).value_or(parser.value(QString::fromLatin1(name)).toStdString());
        const bool valid = std::string(name) == "history-file" ? !(*field)->empty() : identity::ValidName(**field);
        if (!valid)
            return refuse(Q(std::string(name) == "history-file"
                                ? Tr("Help", "--history-file needs the name of a file.")
                                //: %1 the option's name without its dashes (unit, operator).
                                : Words::Fill(Tr("Help", "--%1 needs a name of 1 to 128 characters, none of them a control character."),
                                              {std::string(name)})));
    }
    if (run.history) {
        // The history is read and printed: nothing else is done.
        if (run.cli || run.list || !run.ports.empty() || run.all || run.check || run.report || run.skipDone || run.unit)
            return refuse(Q(Tr("Help", "--history goes alone (or with a unit's name, --json, --summary and --history-file).")));
        if (run.summary && run.historyUnit)
            return refuse(Q(Tr("Help", "--history --summary counts every unit: it goes without a unit's name.")));
        return {std::nullopt, run};
    }
    if (run.summary)
        return refuse(Q(Tr("Help", "--summary goes with --history.")));
    if (run.unit && run.ports.size() > 1)
        return refuse(Q(Tr("Help", "--unit names the unit on one port: with several, name each as --port PATH=NAME.")));
    if (run.unit && run.all)
        return refuse(Q(Tr("Help", "--unit names the unit on one port: --all takes every adapter.")));
    if (!run.cli && (run.unit || run.operatorName || run.skipDone))
        return refuse(Q(Tr("Help", "--unit, --operator and --skip-done go with --cli.")));
    if (run.skipDone && run.unitNames.empty() && !run.unit)
        return refuse(Q(Tr("Help", "--skip-done looks units up by name: give --unit NAME, or --port PATH=NAME for each port.")));
    if (parser.isSet(QStringLiteral("capture"))) {
        std::optional<std::string> file = RawOptionValue(argc, argv, "capture");
        run.capture = file ? *file : parser.value(QStringLiteral("capture")).toStdString();
        if (run.capture->empty())
            return refuse(Q(Tr("Help", "--capture needs the name of a file.")));
        // The folder must take the file before any port is touched, as a report's must.
        const std::size_t slash = run.capture->rfind('/');
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : run.capture->substr(0, slash);
        if (::access(folder.c_str(), W_OK | X_OK) != 0) {
            std::fprintf(stderr, "qz7-updater: cannot write the capture %s: %s\n",
                         StatusText::PrintableText(*run.capture).c_str(), std::strerror(errno));
            return {ExitStatus::OutputFailed, {}};
        }
    }
    // At least one second, so that discovery has looked at the ports once; at most a week.
    for (auto [name, field] : {std::pair{"wait", &run.waitSeconds}, std::pair{"timeout", &run.timeoutSeconds}}) {
        if (!parser.isSet(QString::fromLatin1(name)))
            continue;
        bool number = false;
        int seconds = parser.value(QString::fromLatin1(name)).toInt(&number);
        if (!number || seconds < 1 || seconds > 7 * 24 * 3600)
            //: %1 the option's name without its dashes (wait, timeout).
            return refuse(Q(Tr("Help", "--%1 needs a whole number of seconds, from 1 to 604800 (a week)."))
                              .arg(QString::fromLatin1(name)));
        *field = seconds;
    }
    if (!run.cli && (run.yes || run.waitSeconds || run.timeoutSeconds))
        return refuse(Q(Tr("Help", "--yes, --wait and --timeout go with --cli.")));
    if (!run.cli && run.allowOlder)
        return refuse(Q(Tr("Help", "--allow-older goes with --cli.")));
    if (run.list && (run.cli || run.port || run.all || run.check || run.skipCurrent || run.report))
        return refuse(Q(Tr("Help", "--list goes alone (or with --json).")));
    if (!run.cli && !run.list && (run.all || run.json || run.check || run.skipCurrent || run.report))
        return refuse(Q(Tr("Help", "--all, --json, --check, --skip-current and --report go with --cli.")));
    if (run.all && run.port)
        return refuse(Q(Tr("Help", "--all takes every adapter: it goes without --port.")));
    // Side by side, or for a script reading JSON, nobody is there to answer the version question.
    if (run.cli && run.Bench() && !run.yes && !run.check)
        return refuse(Q(Tr("Help", "With several units, --all, --json, --skip-current or --report the version "
                                     "question is answered ahead: add --yes (or --check).")));
    return {std::nullopt, run};
}

std::vector<std::string> RawOptionValues(int argc, char* argv[], const std::string& name)
{
    // The forms the parser takes: --name value, --name=value, and the same with one dash, in
    // order; "--" ends the options.
    std::vector<std::string> values;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--")
            break;
        for (std::string_view dashes : {"--", "-"}) {
            if (!arg.starts_with(dashes) || arg.substr(dashes.size(), name.size()) != name)
                continue;
            std::string_view rest = arg.substr(dashes.size() + name.size());
            if (rest.empty() && i + 1 < argc)
                values.push_back(argv[++i]);
            else if (rest.starts_with('='))
                values.emplace_back(rest.substr(1));
            break;
        }
    }
    return values;
}

std::optional<std::string> RawPositional(int argc, char* argv[])
{
    // The one argument that is no option and no option's value: the options that take a value
    // are the ones DeclareOptions gives one.
    static const std::vector<std::string> valued{"port", "report", "wait", "timeout", "unit", "operator", "history-file"};
    std::optional<std::string> found;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--") {
            if (i + 1 < argc)
                found = argv[i + 1];
            break;
        }
        if (arg.starts_with('-')) {
            std::string_view name = arg.substr(arg.starts_with("--") ? 2 : 1);
            if (name.find('=') == std::string_view::npos &&
                std::find(valued.begin(), valued.end(), std::string(name)) != valued.end())
                ++i;
            continue;
        }
        found = std::string(arg);
    }
    return found;
}

std::optional<std::string> RawOptionValue(int argc, char* argv[], const std::string& name)
{
    // The last one counts, as for the parser.
    std::vector<std::string> values = RawOptionValues(argc, argv, name);
    if (values.empty())
        return std::nullopt;
    return values.back();
}

int OutputWritten(int status)
{
    if (stdoutClosed)
        errno = EBADF;
    else if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return status;
    //: After "qz7-updater: ". %1 the system's error text.
    std::fprintf(stderr, "qz7-updater: %s\n", Words::Fill(Tr("Help", "cannot write to standard output: %1"), {Words::ErrorText(errno)}).c_str());
    return ExitStatus::OutputFailed;
}

namespace {
void SayNoDisplay();

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The window-system plug-in named by -platform, or else by QT_QPA_PLATFORM.
std::string RequestedPlatform(int argc, char* argv[])
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "-platform" || std::string(argv[i]) == "--platform")
            return argv[i + 1];
    return Environment("QT_QPA_PLATFORM");
}
}  // namespace

bool DisplayFound(int argc, char* argv[])
{
    bool x11 = !Environment("DISPLAY").empty();
    bool wayland = !Environment("WAYLAND_DISPLAY").empty();
    std::string platform = RequestedPlatform(argc, argv);
    bool found = false;
    if (platform.empty()) {
        found = x11 || wayland;
    } else {
        // A list such as "wayland;xcb" is tried in order: one usable entry is enough. Plug-ins
        // other than these two draw without a display server (offscreen, framebuffer, VNC).
        std::size_t start = 0;
        while (!found && start <= platform.size()) {
            std::size_t end = platform.find(';', start);
            std::string entry = platform.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (entry.rfind("xcb", 0) == 0)
                found = x11;
            else if (entry.rfind("wayland", 0) == 0)
                found = wayland;
            else
                found = !entry.empty();
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
    }
    if (!found)
        SayNoDisplay();
    return found;
}

namespace {
void SayNoDisplay()
{
    std::fputs("qz7-updater: no display found. The QZ7 Updater shows a window and needs a desktop session:\n"
               "start it from the desktop, or over ssh with X forwarding (ssh -X), or update on the terminal\n"
               "with qz7-updater --cli. Nothing was done to any port.\n",
               stderr);
}
}  // namespace

struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};

namespace {
QtMessageHandler previousHandler = nullptr;
std::vector<HeldMessage>* heldMessages = nullptr;

void PassOn(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (previousHandler)
        previousHandler(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

void HoldStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg && text.contains(QLatin1String("platform plugin"))) {
        SayNoDisplay();
        std::_Exit(1);
    }
    if (type == QtFatalMsg) {
        PassOn(type, context, text);
        return;
    }
    heldMessages->push_back({type, QByteArray(context.category), text});
}
}  // namespace

WindowSystemStart::WindowSystemStart() : held_(std::make_unique<std::vector<HeldMessage>>())
{
    heldMessages = held_.get();
    previousHandler = qInstallMessageHandler(HoldStartMessage);
}

WindowSystemStart::~WindowSystemStart()
{
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage& message : *held_) {
        QMessageLogContext context(nullptr, 0, nullptr, message.category.isEmpty() ? nullptr : message.category.constData());
        PassOn(message.type, context, message.text);
    }
    heldMessages = nullptr;
}

TeardownBound::TeardownBound(std::chrono::milliseconds bound, int status, std::function<void()> end)
{
    thread_ = std::thread([this, bound, status, end = std::move(end)] {
        std::unique_lock lock(mutex_);
        if (ended_.wait_for(lock, bound, [this] { return done_; }))
            return;
        static constexpr char kSaid[] = "qz7-updater: the window system did not let the program end within 2 s; ending without"
                                        " it (the port was put back before).\n";
        [[maybe_unused]] ssize_t written = ::write(STDERR_FILENO, kSaid, sizeof kSaid - 1);
        if (end)
            end();
        else
            ::_exit(status);
    });
}

TeardownBound::~TeardownBound()
{
    {
        std::lock_guard lock(mutex_);
        done_ = true;
    }
    ended_.notify_all();
    thread_.join();
}
