#include "terminal/Terminal.h"

#include "run/Bounds.h"

#include "controller/PortDiagnosis.h"
#include "controller/QZ7_UpdaterAppDelegate.h"
#include "controller/SignalQuit.h"
#include "core/Status.h"
#include "core/Words.h"
#include "terminal/Bench.h"
#include "terminal/RunOptions.h"

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

namespace {
// The end of a run whose --port can never be used (given no --wait).
const char* const kUnusablePort = QT_TRANSLATE_NOOP("Terminal", "Not updated: the port given with --port cannot be used"
                                                              " (with --wait the updater waits for it). Nothing was done to any port.");
// ... and of one that is no terminal at all, with or without --wait.
const char* const kNoTerminalPort = QT_TRANSLATE_NOOP("Terminal", "Not updated: the port given with --port cannot be used:"
                                                                " it is no terminal, and waiting does not make it one."
                                                                " Nothing was done to any port.");

int Unusable(std::optional<std::reference_wrapper<TerminalFrontEnd>> frontEnd, const char* why = kUnusablePort)
{
    if (!frontEnd) {
        std::printf("%s\n", Words::Tr("Terminal", why).c_str());
        return ExitStatus::NoAdapter;
    }
    frontEnd->get().Say(Words::Tr("Terminal", why));
    frontEnd->get().Finish(Ending::NoAdapter);
    return ExitStatus::NoAdapter;
}
}  // namespace

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
            return Unusable(std::nullopt, RefusedDevice(*run.port).step == kNoTerminalStep ? kNoTerminalPort : kUnusablePort);
        }
    }

    QZ7_UpdaterAppDelegate::Options options = QZ7_UpdaterAppDelegate::ProgramOptions();
    options.port = run.port;
    options.printImageLength = false;
    std::unique_ptr<QZ7_UpdaterAppDelegate> controller;
    try {
        controller = std::make_unique<QZ7_UpdaterAppDelegate>(std::move(options));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qz7-updater: %s\n", e.what());
        return ExitStatus::Failure;
    }

    int status = ExitStatus::Failure;
    TerminalFrontEnd frontEnd(*controller, {.yes = run.yes, .allowOlder = run.allowOlder}, [&status](int s) {
        status = s;
        QCoreApplication::exit(s);
    });
    controller->setFrontEnd(&frontEnd);

    // A bound on the wait for the QZ7: from now until its banner comes.
    Bound wait;
    if (run.waitSeconds) {
        frontEnd.answered = [&wait] { wait.Stop(); };
        wait.Start(std::chrono::seconds(*run.waitSeconds), [&] {
            auto [ending, why] = GaveUp(*controller, *run.waitSeconds);
            frontEnd.Say(why);
            frontEnd.Finish(ending);
        });
    }

    // Stops the update at once, saying what is left of the QZ7.
    auto stop = [&](const std::string& what, Ending ending) {
        if (frontEnd.Ended())
            return;
        frontEnd.Say(StoppedText(what, ending, controller->state()));
        frontEnd.Finish(ending);
    };

    // A Ctrl+C while the QZ7 is being erased or programmed only warns (InterruptRule); SIGTERM
    // and SIGHUP (sent by a program, or the terminal gone) stop at once.
    InterruptRule interrupts;
    SignalQuit signalQuit([&](int signal) {
        if (frontEnd.Ended())
            return;
        if (!interrupts.Stops(signal == SIGINT, controller->Programming(), std::chrono::steady_clock::now())) {
            frontEnd.Say(Words::Tr("Terminal", "The QZ7 is being programmed: stopping now would leave it without firmware."
                                               " The update goes on; press Ctrl+C again within 5 s to stop."));
            return;
        }
        stop(Words::Tr("Terminal", "Interrupted"), Ending::Interrupted);
    });

    // A bound on the whole update, from now to its end.
    Bound timeout;
    if (run.timeoutSeconds) {
        timeout.Start(std::chrono::seconds(*run.timeoutSeconds), [&] {
            stop(Words::Fill(Words::Tr("Terminal", "Stopped after %1 s (--timeout)"), {std::to_string(*run.timeoutSeconds)}),
                 Ending::TimedOut);
        });
    }

    // A port named without --wait that can never be an adapter (no serial device, the program's
    // own terminal) ends the run at once: it will not become one by waiting.
    if (run.port && !run.waitSeconds) {
        frontEnd.statusChanged = [&] {
            if (!frontEnd.Ended() && controller->Trouble() == PortTrouble::NotSerial)
                Unusable(frontEnd);
        };
    }

    controller->applicationDidFinishLaunching();
    app.exec();
    // The port is put back and every thread of the controller has ended before the status goes
    // out.
    controller->setFrontEnd(nullptr);
    controller.reset();
    return status;
}
