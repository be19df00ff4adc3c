#include "terminal/Terminal.h"

#include "run/Bounds.h"
#include "run/History.h"
#include "run/Ledger.h"

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

    // The history, before any port: a run that cannot keep its records does not start. What a
    // cut-off update left without firmware is said first.
    const std::string historyFile = run.historyFile.value_or(History::DefaultPath());
    std::string error;
    std::shared_ptr<Ledger> ledger = Ledger::Open({.historyFile = historyFile, .journal = JournalWanted()}, error);
    if (!ledger) {
        std::fprintf(stderr, "qz7-updater: cannot keep the history %s: %s. Nothing was done to any port.\n",
                     StatusText::PrintableText(historyFile).c_str(), error.c_str());
        return ExitStatus::OutputFailed;
    }
    for (const HistoryRecord& left : ledger->LeftEmpty())
        std::printf("%s\n", LeftEmptyText(left).c_str());
    Identity identity = identity::ForRun(run.operatorName);
    identity.unit = run.port ? run.UnitName(*run.port) : run.unit.value_or("");
    // Bound to its slot when the port opens, with the adapter's facts.
    auto unitLedger = std::make_shared<UnitLedger>(ledger, identity);

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
                           .ledger = unitLedger,
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
    if (!unit.Recorded())
        std::fprintf(stderr, "qz7-updater: the history could not be written to %s: %s\n", StatusText::PrintableText(historyFile).c_str(),
                     unitLedger->Error().c_str());
    // The port is put back and every thread of the controller has ended before the status goes
    // out.
    unit.Release();
    return status;
}
