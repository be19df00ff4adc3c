#pragma once
#include "controller/QZ7_UpdaterAppDelegate.h"
#include "run/SupportReport.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

// The program's one window, laid out by its Designer form.
//
// Keys: Return and Enter press Update while it is enabled, or Restart while it is offered (a
// focused button takes them itself), Escape presses Cancel while it is enabled, or Close on an end
// screen; Ctrl+Q and Ctrl+W close the window as its close control does. While an erase or a transfer is under way, the close control and the two keys
// ask first; a close the program makes itself (Cancel, a signal) does not.
namespace Ui {
class QZ7UpdaterWindow;
}
class Ledger;
class UnitRecorder;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

class UpdaterWindow : public QWidget {
    Q_OBJECT
public:
    UpdaterWindow();
    ~UpdaterWindow() override;

    // The views the form lays out.
    QLabel* ImageView() const;
    QLabel* DirectionsView() const;
    QLabel* StatusView() const;
    QPushButton* UpdateButtonView() const;
    QPushButton* CancelButtonView() const;
    QPushButton* NextUnitButtonView() const;
    QPushButton* RestartButtonView() const;
    QPushButton* CloseButtonView() const;
    // "Save report…", offered on every end screen.
    QPushButton* SaveReportButtonView() const;
    QProgressBar* LevelIndicatorVew() const;
    QLineEdit* CommandView() const;
    QPushButton* CopyButtonView() const;
    QLabel* StatusAfterView() const;
    // The end screen's mark, named "Done" or "Failed" for a screen reader.
    QLabel* OutcomeView() const;
    // Above everything: the QZ7s that an update cut off earlier (a crash, a power cut, kill -9)
    // left without firmware, one sentence each; hidden while there are none.
    QLabel* LeftEmptyView() const;
    void SetLeftEmpty(const QStringList& sentences);

    // The dialogue has ended: the outcome's mark, and only the ways on that are live (after
    // "Done", "Update another QZ7" and Close; after a failure, Restart and Close; after a damaged
    // image, Close alone). Update, Cancel and the level indicator are hidden, and stay so until
    // LeaveEnd, so that an end screen shows no button that cannot be pressed.
    void ShowEnd(Outcome outcome);
    // The operator went on: the end screen's mark and buttons go, Update and Cancel come back
    // (disabled until the dialogue offers them).
    void LeaveEnd();
    // "Update another QZ7" offered after Done, or withdrawn with the whole end screen.
    void OfferNextUnit(bool offered);
    bool OnEndScreen() const { return onEndScreen_; }

    // The status line. A word too long for the line (an adapter's by-id path) is cut in the
    // middle; the whole text is then the tooltip and the accessible description. The accessible
    // name is always the whole text, so every change reaches a screen reader as a name change.
    // A command in it stands on a line of its own, selectable, with a Copy button; the status
    // line's words before it (`before`) stay above, the rest (`after`) goes below.
    // The status line as prominent as the directions (an adapter found but unusable), or small.
    void SetStatusProminent(bool prominent);
    void SetStatus(const QString& text, const QString& before = QString(), const QString& command = QString(),
                   const QString& after = QString());
    QString Status() const { return status_; }
    // The window title, with the transfer's share in front while one is shown ("34 % – QZ7
    // Updater"), so that a minimised window still tells how far the update is.
    void SetTitleLevel(std::optional<int> level);
    // The level indicator's value, and the title's share with it. A progress bar repaints itself
    // on the spot, and the window system with it, for every new value: a fast line brings a
    // hundred values in a fraction of a second. A value that comes less than kLevelFrame after
    // the last one shown waits, the newest in place of an older one, until that time is up; 0
    // and 100 are shown at once. FlushLevel shows a waiting value now: the front end calls it
    // before any other change of the screen, so that the screen still changes in the order of
    // the updates.
    void SetLevel(int level);
    void FlushLevel();
    static constexpr int kLevelFrame = 40;  // ms: 25 values a second at most
    // The update has ended: a close question still open has nothing left to protect.
    void DismissCloseQuestion();

    // Whether the device is being erased or programmed now; set by whoever runs the dialogue.
    std::function<bool()> programming;

    // The operator's request to close (close control, Ctrl+Q, Ctrl+W).
    void OperatorClose();
    // The question shown while closing is being asked; null otherwise.
    QMessageBox* CloseQuestion() const { return question_.data(); }

    static inline const char* const kTitle = QT_TRANSLATE_NOOP("UpdaterWindow", "QZ7 Updater");
    // The program's name as the window title has it, in the operator's language.
    static QString Title() { return tr(kTitle); }
    static inline const char* const kStopQuestion = QT_TRANSLATE_NOOP(
        "UpdaterWindow", "The QZ7 is being programmed. Stopping now leaves it without firmware until it is updated again.");

signals:
    // The window has closed: whatever the way, the port is to be put back at once.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool Programming() const { return programming && programming(); }
    void AskToStop();
    void LayOutStatus();
    // Makes the window taller when what it shows needs more room than it has (a long status in
    // a language that needs more words), so that no part is drawn over another. Never smaller.
    void GrowToFit();
    void ShowLevel(int level);

    std::unique_ptr<Ui::QZ7UpdaterWindow> ui_;
    bool stopChosen_ = false;
    QPointer<QMessageBox> question_;
    QString status_;
    QString before_, command_, after_;
    QString statusDescription_;  // the form's, for a status line shown whole
    int statusPointSize_ = 9;    // the status line's own size, as the layout gives it
    bool levelStyled_ = false;
    bool onEndScreen_ = false;
    QElapsedTimer titleSet_;  // since the title last changed
    QElapsedTimer levelSet_;  // since the level indicator last changed
    std::optional<int> waitingLevel_;
    QTimer levelTimer_;       // shows the waiting level once its frame is up
};

// The window as the controller's front end: applies each screen update to the window's own
// views. The controller holds none of them.
class WindowFrontEnd : public FrontEnd {
public:
    explicit WindowFrontEnd(UpdaterWindow& window) : window_(window) {}
    void Show(const ScreenUpdate& update) override;
    void Cancelled() override { window_.close(); }

private:
    UpdaterWindow& window_;
};

// The window and its controller, wired as the program runs them. The controller is destroyed
// first, so that no posted update can outlive the views.
struct UpdaterApp {
    // With `ledger`, every unit the window updates is recorded (pending before its erase, its
    // end), and the units a cut-off update left without firmware are shown until each is
    // updated again.
    explicit UpdaterApp(QZ7_UpdaterAppDelegate::Options options = {}, std::shared_ptr<Ledger> ledger = nullptr);
    ~UpdaterApp();
    // Shows the window and, once it is shown, starts discovery.
    void Launch();
    // "Save report…": asks where (askReportFile, the desktop's file dialog unless a test sets
    // another; an empty answer saves nothing) and writes the session's capture and transcript
    // with the parts `reportParts` adds (--version --json and --list --json, from the start).
    // Returns the file written, or an empty string.
    QString SaveReport();
    std::function<QString(const QString& suggested)> askReportFile;
    std::function<std::vector<ReportPart>()> reportParts;

    // The units left without firmware, as the history has them now, into the window.
    void ShowLeftEmpty();
    // The front end the controller is given: the recorder, which passes every update on to the
    // window's, or the window's own.
    FrontEnd* ControllersFrontEnd() const;

    std::unique_ptr<UpdaterWindow> window;
    std::unique_ptr<WindowFrontEnd> frontEnd;
    std::unique_ptr<UnitRecorder> recorder;  // none without a ledger
    std::unique_ptr<QZ7_UpdaterAppDelegate> controller;
};
