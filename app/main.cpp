#include "app/Language.h"
#include "app/Startup.h"
#include "controller/Log.h"
#include "controller/SignalQuit.h"
#include "run/History.h"
#include "run/HistoryList.h"
#include "run/Ledger.h"
#include "run/Records.h"
#include "serial/ByIdNames.h"
#include "terminal/PortList.h"
#include "terminal/Terminal.h"
#include "window/UpdaterWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    PrepareProcess();
    InstallTranscriptFormat();
    LoadSessionLanguage();
    CommandLine command = HandleCommandLine(argc, argv);
    if (command.exitNow)
        return *command.exitNow;
    if (command.run.list) {
        // The system's listing answers without an application object or a display.
        QCoreApplication app(argc, argv);
        ServiceLister lister = WithByIdNames(SystemServiceLister());
        return OutputWritten(command.run.json ? ListPortsJson(lister, stdout) : ListPorts(lister, stdout));
    }
    if (command.run.history) {
        QCoreApplication app(argc, argv);
        const HistoryQuery query{.file = command.run.historyFile.value_or(History::DefaultPath()),
                                 .unit = command.run.historyUnit,
                                 .json = command.run.json,
                                 .summary = command.run.summary};
        return OutputWritten(PrintHistory(query, stdout));
    }
    // The terminal mode needs no display: it makes no window and no widget.
    if (command.run.cli)
        return RunTerminal(command.run, argc, argv);
    if (!DisplayFound(argc, argv))
        return 1;

    // Armed after the program's own teardown; destroyed after the application object's.
    std::optional<TeardownBound> teardown;
    std::optional<WindowSystemStart> starting(std::in_place);
    QApplication app(argc, argv);
    starting.reset();
    QApplication::setQuitOnLastWindowClosed(QZ7_UpdaterAppDelegate::applicationShouldTerminateAfterLastWindowClosed());

    // A language no installed font can show (Japanese without a CJK font) would be boxes in
    // every view: the window is in English then, and the transcript says why.
    if (!SessionLanguageHasFont()) {
        qCWarning(lcDialogue).noquote() << "no installed font shows" << SessionLanguageName()
                                        << "text: the window is in English (install a font for it, such as fonts-noto-cjk)";
        DropSessionLanguage();
    }

    // The history, before any port: a window that cannot keep its units' records does not
    // start, as the terminal does not.
    const std::string historyFile = command.run.historyFile.value_or(History::DefaultPath());
    std::string historyError;
    std::shared_ptr<Ledger> ledger = Ledger::Open({.historyFile = historyFile, .journal = JournalWanted()}, historyError);
    if (!ledger) {
        const QString why = UpdaterWindow::tr("The history %1 cannot be kept: %2. Nothing was done to any port.")
                                .arg(QString::fromStdString(StatusText::PrintableText(historyFile)),
                                     QString::fromStdString(historyError));
        std::fprintf(stderr, "qz7-updater: cannot keep the history %s: %s. Nothing was done to any port.\n",
                     StatusText::PrintableText(historyFile).c_str(), historyError.c_str());
        QMessageBox::critical(nullptr, UpdaterWindow::Title(), why);
        return ExitStatus::OutputFailed;
    }

    int status = 0;
    {
        QZ7_UpdaterAppDelegate::Options options = QZ7_UpdaterAppDelegate::ProgramOptions();
        options.port = command.run.port;
        // The session's capture and transcript stay in memory for "Save report…" on the end screens.
        options.capture = {.file = command.run.capture, .kept = kReportCaptureBytes};
        KeepTranscript(kReportTranscriptBytes);
        UpdaterApp updater(std::move(options), ledger);
        updater.reportParts = [] {
            std::vector<ReportPart> parts = {{"version.json", VersionJson() + "\n"}};
            char* listed = nullptr;
            std::size_t size = 0;
            if (std::FILE* out = open_memstream(&listed, &size)) {
                ListPortsJson(WithByIdNames(SystemServiceLister()), out);
                std::fclose(out);
                parts.push_back({"list.json", std::string(listed, size)});
                std::free(listed);
            }
            return parts;
        };
        QObject::connect(&app, &QCoreApplication::aboutToQuit, updater.controller.get(),
                         &QZ7_UpdaterAppDelegate::applicationWillTerminate);
        SignalQuit signalQuit([&updater](int) { updater.window->close(); });
        updater.Launch();
        status = app.exec();
    }
    // The controller has ended its threads and put the port back. What is left is the window
    // system's own teardown, which is bounded: Qt's Wayland client can wait for ever there for
    // its event thread.
    teardown.emplace(kTeardownBound, status);
    return status;
}
