// The window as the controller's front end, and the window and controller wired together as the
// program runs them (see UpdaterWindow.h).
#include "window/UpdaterWindow.h"

#include "controller/Log.h"
#include "core/Endings.h"
#include "core/Words.h"
#include "run/UnitRecorder.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

void WindowFrontEnd::Show(const ScreenUpdate& update)
{
    UpdaterWindow& w = window_;
    // A level alone may wait for its frame; everything else comes after the level before it.
    if (update.level && update == ScreenUpdate{.level = update.level}) {
        w.SetLevel(*update.level);
        return;
    }
    w.FlushLevel();
    if (update.picture == Picture::Device) {
        w.ImageView()->setHidden(false);
        // Through QIcon, which picks QZ7@2x.png on a high-density screen.
        w.ImageView()->setPixmap(QIcon(QStringLiteral(":/QZ7.png")).pixmap(QSize(400, 180), w.ImageView()->devicePixelRatioF()));
    } else if (update.picture == Picture::None) {
        w.ImageView()->setHidden(true);
        w.ImageView()->clear();
    }
    if (update.directions)
        w.DirectionsView()->setText(QString::fromStdString(Words::Directions(*update.directions)));
    if (update.status) {
        StatusFact status = *update.status;
        // A failure's advice goes with the Restart button where the end screen offers it (the
        // end comes before its report, or with it).
        if (auto* failure = std::get_if<StatusText::FailureFacts>(&status))
            failure->restartButton = update.ended ? RowOf(*update.ended).ways == WaysOn::RestartAndClose
                                                  : w.OnEndScreen() && !w.RestartButtonView()->isHidden();
        // And Done's, with "Update another QZ7".
        if (auto* summary = std::get_if<StatusText::SummaryFacts>(&status))
            summary->nextUnitButton = update.nextUnitShown ? *update.nextUnitShown : !w.NextUnitButtonView()->isHidden();
        const Words::AroundCommand pieces = Words::StatusAroundCommand(status);
        w.SetStatusProminent(Words::AdapterUnusable(status));
        w.SetStatus(QString::fromStdString(Words::Status(status)), QString::fromStdString(pieces.before),
                    QString::fromStdString(pieces.command), QString::fromStdString(pieces.after));
    }
    // On an end screen Update and Cancel are not offered: hidden, and so disabled.
    if (update.updateEnabled)
        w.UpdateButtonView()->setEnabled(*update.updateEnabled && !w.OnEndScreen());
    if (update.cancelEnabled)
        w.CancelButtonView()->setEnabled(*update.cancelEnabled && !w.OnEndScreen());
    if (update.levelShown) {
        w.LevelIndicatorVew()->setHidden(!*update.levelShown);
        if (!*update.levelShown)
            w.SetTitleLevel(std::nullopt);
    }
    if (update.level) {
        w.SetLevel(*update.level);
        w.FlushLevel();  // with the rest of its update
    }
    if (update.nextUnitShown)
        w.OfferNextUnit(*update.nextUnitShown);
    if (update.ended) {
        w.SetTitleLevel(std::nullopt);
        w.DismissCloseQuestion();
        w.ShowEnd(*update.ended);
    }
    if (update.question) {
        QWidget::setTabOrder(w.UpdateButtonView(), w.CancelButtonView());
        QWidget::setTabOrder(w.CancelButtonView(), w.UpdateButtonView());
        // Show the focus ring at once, as if the focus had come by Tab: the keyboard is the way on.
        w.setAttribute(Qt::WA_KeyboardFocusChange);
    }
    // Update or Cancel, whichever the question focuses, is also the one Return takes from
    // elsewhere in the window: for a QZ7 with newer firmware, Cancel.
    if (update.focus == Focus::Update || update.focus == Focus::Cancel) {
        const bool cancel = update.focus == Focus::Cancel;
        w.UpdateButtonView()->setDefault(!cancel);
        w.CancelButtonView()->setDefault(cancel);
        (cancel ? w.CancelButtonView() : w.UpdateButtonView())->setFocus();
    } else if (update.focus == Focus::NextUnit)
        w.NextUnitButtonView()->setFocus();
}

UpdaterApp::UpdaterApp(QZ7_UpdaterAppDelegate::Options options, std::shared_ptr<Ledger> ledger)
    : window(std::make_unique<UpdaterWindow>())
{
    QGuiApplication::setDesktopFileName(QStringLiteral("qz7-updater"));
    frontEnd = std::make_unique<WindowFrontEnd>(*window);
    if (ledger) {
        recorder = std::make_unique<UnitRecorder>(std::move(ledger), identity::ForRun(std::nullopt), frontEnd.get());
        options.beforeErase = recorder->BeforeEraseHook();
        // A unit updated again answers its earlier cut-off update: the warning is renewed as
        // each unit's end is recorded.
        recorder->recorded = [this] { ShowLeftEmpty(); };
    }
    controller = std::make_unique<QZ7_UpdaterAppDelegate>(std::move(options));
    QZ7_UpdaterAppDelegate& c = *controller;
    window->programming = [&c] { return c.Programming(); };
    if (recorder)
        recorder->statusShown = [&c] { return c.StatusShown(); };
    c.setFrontEnd(ControllersFrontEnd());
    QObject::connect(window->UpdateButtonView(), &QPushButton::clicked, &c, &QZ7_UpdaterAppDelegate::UpdatePressed);
    QObject::connect(window->CancelButtonView(), &QPushButton::clicked, &c, &QZ7_UpdaterAppDelegate::CancelPressed);
    QObject::connect(window.get(), &UpdaterWindow::Closed, &c, [&c] { c.ClosePort(); });
    QObject::connect(window->NextUnitButtonView(), &QPushButton::clicked, &c, &QZ7_UpdaterAppDelegate::NextUnitPressed);
    // After a failure the same way on as after "Done": discovery again, on the same adapter.
    QObject::connect(window->CloseButtonView(), &QPushButton::clicked, window.get(), &UpdaterWindow::OperatorClose);
    QObject::connect(window->CopyButtonView(), &QPushButton::clicked, window.get(),
                     [w = window.get()] { QGuiApplication::clipboard()->setText(w->CommandView()->text()); });
    QObject::connect(window->RestartButtonView(), &QPushButton::clicked, &c, &QZ7_UpdaterAppDelegate::NextUnitPressed);
    QObject::connect(window->SaveReportButtonView(), &QPushButton::clicked, window.get(), [this] { SaveReport(); });
    askReportFile = [w = window.get()](const QString& suggested) {
        return QFileDialog::getSaveFileName(w, UpdaterWindow::tr("Save report"), suggested,
                                            UpdaterWindow::tr("Report (*.tar.gz)"));
    };
}

QString UpdaterApp::SaveReport()
{
    // What the report holds is taken now, on the GUI thread: the capture and the transcript are
    // copies of what the controller and the log keep, the worker goes on meanwhile.
    std::shared_ptr<CaptureSession> capture = controller->CurrentCapture();
    std::string slot = "no-port";
    std::vector<ReportPart> parts;
    if (capture) {
        const std::string kept = capture->Kept();
        if (std::optional<capture::Line> header = capture::ParseLine(kept.substr(0, kept.find('\n'))))
            if (std::optional<std::string> path = header->Text("path"))
                slot = SlotName(*path);
        parts.push_back({"capture.jsonl", kept});
    }
    parts.push_back({"transcript.txt", KeptTranscript()});
    if (reportParts)
        for (ReportPart& part : reportParts())
            parts.push_back(std::move(part));
    const QDateTime now = QDateTime::currentDateTime();
    const QString suggested = QDir::home().filePath(QString::fromStdString(ReportFileName(now, slot)));
    const QString file = askReportFile ? askReportFile(suggested) : QString();
    if (file.isEmpty())
        return {};
    const std::string error = WriteReport(file.toStdString(), parts, now);
    if (!error.empty()) {
        QMessageBox::warning(window.get(), UpdaterWindow::tr("Save report"),
                             UpdaterWindow::tr("The report could not be written to %1: %2.")
                                 .arg(file, QString::fromStdString(error)));
        return {};
    }
    qCInfo(lcDialogue).noquote() << "report saved to" << LoggablePath(file.toStdString());
    return file;
}

UpdaterApp::~UpdaterApp()
{
    window->programming = nullptr;
    // A unit still under way ends as interrupted, as on the terminal: its port put back first,
    // so that its record counts the lines the QZ7 took.
    if (recorder && recorder->UnderWay()) {
        controller->StopNow();
        recorder->Stop();
    }
    if (recorder)
        recorder->statusShown = nullptr;
    controller.reset();
}

FrontEnd* UpdaterApp::ControllersFrontEnd() const
{
    return recorder ? static_cast<FrontEnd*>(recorder.get()) : frontEnd.get();
}

void UpdaterApp::ShowLeftEmpty()
{
    if (!recorder)
        return;
    QStringList sentences;
    for (const HistoryRecord& record : recorder->LeftEmpty())
        sentences << QString::fromStdString(LeftEmptyText(record));
    // A record the history did not take is said where the operator looks, not only in the
    // transcript.
    if (!recorder->Recorded())
        sentences << UpdaterWindow::tr("The history did not take this unit's record: %1.")
                         .arg(QString::fromStdString(recorder->Error()));
    window->SetLeftEmpty(sentences);
}

void UpdaterApp::Launch()
{
    ShowLeftEmpty();
    window->show();
    QTimer::singleShot(0, controller.get(), [c = controller.get()] { c->applicationDidFinishLaunching(); });
}
