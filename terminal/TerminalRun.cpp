#include "terminal/Terminal.h"

#include "run/Bounds.h"

#include "controller/PortDiagnosis.h"
#include "controller/QZ7_UpdaterAppDelegate.h"
#include "controller/SignalQuit.h"
#include "core/Status.h"
#include "core/Words.h"
#include "terminal/Bench.h"
#include "run/RunOptions.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <exception>
#include <chrono>
#include <csignal>
#include <memory>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using namespace std::chrono_literals;

int RunTerminal(const RunOptions& run, int argc, char** argv)
{
    if (run.Bench())
        return RunBench(run, argc, argv);
    // Scripts read the output as it comes, a line at a time.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // The transcript on the same terminal would tear the output (and the bar) apart: there it is
    // left out unless asked for. Sent elsewhere (2> file, the journal), it is kept.
    if (::isatty(STDERR_FILENO) == 1 && qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("qz7.*.info=false\nqz7.*.warning=false"));
    QCoreApplication app(argc, argv);

    if (run.port) {
        if (std::optional<StatusFact> why = UnusablePort(*run.port, run.waitSeconds.has_value())) {
            std::printf("  %s\n", Words::Status(*why).c_str());
            std::printf("%s\n", Words::Tr("Terminal", RefusedDevice(*run.port).step == kNoTerminalStep ? kNoTerminalPort
                                                                                                     : kUnusablePort)
                                     .c_str());
            return ExitStatus::NoAdapter;
        }
    }

    int status = ExitStatus::Failure;
    LinePrinter printer([&status](int s) {
        status = s;
        QCoreApplication::exit(s);
    });
    // --wait bounds the wait for the QZ7 from now until its banner comes, --timeout the whole
    // update.
    UnitFrontEnd frontEnd({.port = run.port,
                           .answers = {.yes = run.yes, .allowOlder = run.allowOlder},
                           .waitSeconds = run.waitSeconds,
                           .timeoutSeconds = run.timeoutSeconds,
                           .capture = {.file = run.capture}},
                          {&printer});
    UnitRun& unit = frontEnd.Run();
    if (std::optional<std::string> error = unit.Start()) {
        std::fprintf(stderr, "qz7-updater: %s\n", error->c_str());
        return ExitStatus::Failure;
    }
    // SIGTERM and SIGHUP (sent by a program, or the terminal gone) and Ctrl+C, as the run takes
    // them.
    SignalQuit signalQuit([&unit](int signal) { unit.Signal(signal); });

    app.exec();
    // The port is put back and every thread of the controller has ended before the status goes
    // out.
    unit.Release();
    return status;
}
