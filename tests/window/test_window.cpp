// The window as the operator meets it: blank until an adapter opens, every message fitting, the
// end screens' marks and buttons, and the question the close control asks while an update runs.
#include "tests/support/TestSupport.h"
#include "core/Decision.h"
#include "core/Status.h"
#include "controller/Log.h"
#include "hex/CaptureFormat.h"
#include "run/Ledger.h"
#include "run/SupportReport.h"
#include "tests/support/WindowKeys.h"

#include <QAccessible>
#include <QLayout>
#include <filesystem>
#include <QClipboard>
#include <QLineEdit>
#include <QLabel>
#include <QProgressBar>
#include <QElapsedTimer>
#include <QPushButton>
#include <thread>

TEST(Window, StartsBlankAndShowsThePowerOnPromptOnceAnAdapterOpens)
{
    Pty pty;
    termios before = pty.Settings();
    auto app = MakeApp(pty.path);
    UpdaterWindow& w = *app->window;
    EXPECT_EQ(w.windowTitle(), "QZ7 Updater");
    EXPECT_EQ(w.DirectionsView()->textFormat(), Qt::PlainText);
    EXPECT_TRUE(w.DirectionsView()->wordWrap());
    EXPECT_EQ(w.LevelIndicatorVew()->minimum(), 0);
    EXPECT_EQ(w.LevelIndicatorVew()->maximum(), 100);
    EXPECT_EQ(w.UpdateButtonView()->text(), "Update");
    EXPECT_EQ(w.CancelButtonView()->text(), "Cancel");
    EXPECT_EQ(w.UpdateButtonView()->accessibleDescription().toStdString(), "Erases the QZ7 and sends it firmware " + kShippedV);

    app->Launch();
    EXPECT_TRUE(w.ImageView()->isHidden());
    EXPECT_TRUE(w.LevelIndicatorVew()->isHidden());
    EXPECT_FALSE(w.UpdateButtonView()->isEnabled());
    EXPECT_FALSE(w.CancelButtonView()->isEnabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenText(*app) == "Power on the QZ7 while holding front Run/Stop button"; }));
    EXPECT_TRUE(pty.Exclusive());
    EXPECT_EQ(app->controller->ChosenPath(), pty.path);

    // Closing the window with the port open: settings back, every thread gone, promptly.
    auto start = std::chrono::steady_clock::now();
    app->controller->applicationWillTerminate();
    app.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_TRUE(SameSettings(pty.Settings(), before));
}

TEST(Window, LongestMessagesFitWithoutClipping)
{
    Pty pty;
    auto app = MakeApp(pty.path);
    app->window->show();
    QLabel* label = app->window->DirectionsView();
    for (const std::string& text : {std::string(Directions::PowerOn), Directions::Unexpected(std::string(40, 'W')),
                                    std::string(Directions::Disconnected), Directions::FoundVersion("2.005"),
                                    std::string(Directions::Restarted), std::string(Directions::Stopped)}) {
        label->setText(QString::fromStdString(text));
        QCoreApplication::processEvents();
        EXPECT_GE(label->height(), label->heightForWidth(label->width())) << text;
    }
    // An end screen with the picture, the mark and a status of seven lines, as a language that
    // needs more words gives: the window grows, and nothing is drawn over anything else.
    UpdaterWindow& w = *app->window;
    app->frontEnd->Show({.picture = Picture::Device});
    app->frontEnd->Show(FailureScreen(Outcome::Disconnected));
    std::string longer;
    for (int i = 0; i < 40; ++i)
        longer += "Wortreicher ";
    app->frontEnd->Show({.status = StatusText::AdapterFacts{.path = "/dev/ttyUSB0", .description = longer}});
    QCoreApplication::processEvents();
    EXPECT_GE(w.ImageView()->height(), 180);
    QWidget* previous = nullptr;
    for (int i = 0; i < w.layout()->count(); ++i) {
        QWidget* item = w.layout()->itemAt(i)->widget();
        if (!item || item->isHidden())
            continue;
        if (previous) {
            EXPECT_LE(previous->geometry().bottom(), item->geometry().top())
                << previous->objectName().toStdString() << " over " << item->objectName().toStdString();
        }
        previous = item;
    }
}

// A progress bar repaints itself, and the window system with it, for every value it takes. A
// burst of values shows its first at once and then its newest, a frame later; the ends, and a
// level that comes with any other change, never wait, and a waiting level is shown before the
// change that follows it.
TEST(Window, TheLevelIndicatorTakesABurstFrameByFrameAndInOrder)
{
    using L = std::vector<int>;
    const ScreenUpdate directions{.directions = DirectionsFact{Says::Updating}};
    const struct {
        const char* what;
        std::vector<ScreenUpdate> updates;  // shown one after another, at once
        L atOnce;                           // the values the indicator took meanwhile
        L inTheEnd;                         // and those it took once a frame was up
    } rows[] = {
        {"a first value", {{.level = 5}}, {5}, {5}},
        {"a burst", {{.level = 5}, {.level = 6}, {.level = 7}, {.level = 8}}, {5}, {5, 8}},
        {"the end", {{.level = 5}, {.level = 6}, {.level = 100}}, {5, 100}, {5, 100}},
        {"back to the start", {{.level = 5}, {.level = 6}, {.level = 0}}, {5, 0}, {5, 0}},
        {"another change after a waiting level", {{.level = 5}, {.level = 6}, directions}, {5, 6}, {5, 6}},
        {"a level with another change", {{.level = 5}, {.level = 6, .levelShown = true}}, {5, 6}, {5, 6}},
    };
    Pty pty;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        auto app = MakeApp(pty.path);
        QProgressBar* bar = app->window->LevelIndicatorVew();
        QLabel* said = app->window->DirectionsView();
        const QString before = said->text();
        L taken;
        QStringList saidThen;  // the directions as each value was taken
        QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
            taken.push_back(v);
            saidThen.push_back(said->text());
        });
        QElapsedTimer burst;
        burst.start();
        for (const ScreenUpdate& u : row.updates)
            app->frontEnd->Show(u);
        // Only a burst shown within one frame is a burst (a loaded machine may stop the test).
        if (burst.elapsed() < UpdaterWindow::kLevelFrame) {
            EXPECT_EQ(taken, row.atOnce);
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return bar->value() == row.inTheEnd.back(); }, 1000));
        QTest::qWait(2 * UpdaterWindow::kLevelFrame);
        EXPECT_EQ(taken, row.inTheEnd);
        EXPECT_EQ(saidThen, QStringList(taken.size(), before));
    }
}

namespace {

// The buttons a screen reader finds showing in the window: their names, and those of the ones it
// finds disabled.
struct Showing {
    QStringList buttons;
    QStringList disabled;
};
void Walk(QAccessibleInterface* a, Showing& showing)
{
    if (!a || a->state().invisible)
        return;
    if (a->role() == QAccessible::Button) {
        showing.buttons << a->text(QAccessible::Name);
        if (a->state().disabled)
            showing.disabled << a->text(QAccessible::Name);
    }
    for (int i = 0; i < a->childCount(); ++i)
        Walk(a->child(i), showing);
}
Showing ButtonsShowing(QWidget& w)
{
    Showing showing;
    Walk(QAccessible::queryAccessibleInterface(&w), showing);
    showing.buttons.sort();
    return showing;
}
// The end screen's mark as a screen reader meets it: its name, or empty while it is not shown.
QString Mark(UpdaterWindow& w)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w.OutcomeView());
    return a->state().invisible ? QString() : a->text(QAccessible::Name);
}

}  // namespace

TEST(EndScreens, EachShowsItsMarkAndOnlyTheWaysOnThatWork)
{
    Pty pty;
    auto app = MakeApp(pty.path);
    UpdaterWindow& w = *app->window;
    w.show();
    EXPECT_EQ(Mark(w), "");
    const QStringList restart{"Close", "Restart", "Save report…"};
    struct Row {
        ScreenUpdate screen;
        QString mark;
        QStringList buttons;  // sorted
    };
    const Row rows[] = {
        {DoneScreen(), "Done", {"Close", "Save report…", "Update another QZ7"}},
        {FailureScreen(Outcome::Disconnected), "Failed", restart},
        {FailureScreen(Outcome::Stopped), "Failed", restart},
        {FailureScreen(Outcome::NotErased), "Failed", restart},
        {FailureScreen(Outcome::NotDone), "Failed", restart},
        {FailureScreen(Outcome::EndedEarly), "Failed", restart},
        {FailureScreen(Outcome::Restarted), "Failed", restart},
        {FailureScreen(Outcome::Unexpected, "QZ-8"), "Failed", restart},
        {FailureScreen(Outcome::NoVersion), "Failed", restart},
        {FailureScreen(Outcome::Unopened), "Failed", restart},
        {FailureScreen(Outcome::Exception, "bad_alloc"), "Failed", restart},
        // The same image would fail the same way: no way on but Close.
        {FailureScreen(Outcome::ImageDamaged), "Failed", {"Close", "Save report…"}},
    };
    QImage doneMark, failedMark;
    for (const Row& row : rows) {
        const std::string which = Words::Directions(*row.screen.directions);
        // Mid-transfer, as most ends come.
        app->frontEnd->Show({.directions = DirectionsFact{Says::Updating}, .updateEnabled = false, .cancelEnabled = false,
                             .level = 40, .levelShown = true});
        app->frontEnd->Show(row.screen);
        Showing showing = ButtonsShowing(w);
        EXPECT_EQ(showing.buttons, row.buttons) << which;
        EXPECT_TRUE(showing.disabled.isEmpty()) << which << ": " << showing.disabled.join(", ").toStdString();
        EXPECT_EQ(Mark(w), row.mark) << which;
        EXPECT_TRUE(w.LevelIndicatorVew()->isHidden()) << which;
        (row.mark == "Done" ? doneMark : failedMark) = w.OutcomeView()->pixmap().toImage();
        // The focus is on the way on: Restart, "Update another QZ7", or Close where it is the only one.
        QWidget* focused = row.buttons.contains("Restart") ? w.RestartButtonView()
                           : row.mark == "Done"           ? w.NextUnitButtonView()
                                                          : w.CloseButtonView();
        EXPECT_EQ(w.focusWidget(), focused) << which;
        // The failure's report (after its end, as the controller posts it) gives one instruction
        // for the QZ7, with the button that goes on where there is one.
        // Done's summary says what is on the QZ7 now and the way on.
        if (row.mark == "Done") {
            app->frontEnd->Show({.status = StatusText::SummaryFacts{3075, 138291, 32.0}});
            EXPECT_TRUE(w.StatusView()->text().endsWith("firmware V" + QString(Firmware::Version) +
                                                         ". You can disconnect it now; for the next QZ7, press Update another QZ7."))
                << w.StatusView()->text().toStdString();
        }
        for (Stage stage : {Stage::AwaitingVersion, Stage::AwaitingErased, Stage::AwaitingDone}) {
            if (row.mark == "Done")
                break;
            app->frontEnd->Show({.status = StatusText::FailureFacts{.stage = stage, .line = 1200, .lines = 3075}});
            const QString said = w.StatusView()->text();
            EXPECT_EQ(said.contains("ress Restart, switch the QZ7 off"), row.buttons.contains("Restart")) << which << ": " << said.toStdString();
            EXPECT_LE(said.count("Run/Stop"), 1) << which << ": " << said.toStdString();
        }
        // A late offer of Update or Cancel does not bring back a button that cannot work here.
        app->frontEnd->Show({.updateEnabled = true, .cancelEnabled = true});
        EXPECT_TRUE(ButtonsShowing(w).disabled.isEmpty()) << which;
        EXPECT_TRUE(w.UpdateButtonView()->isHidden() && !w.UpdateButtonView()->isEnabled()) << which;
        EXPECT_TRUE(w.CancelButtonView()->isHidden() && !w.CancelButtonView()->isEnabled()) << which;

        // Going on (as either button does) takes the end screen away.
        app->frontEnd->Show({.nextUnitShown = false});
        app->frontEnd->Show({.picture = Picture::None, .updateEnabled = false, .cancelEnabled = false, .level = 0, .levelShown = false});
        EXPECT_EQ(Mark(w), "") << which;
        EXPECT_EQ(ButtonsShowing(w).buttons, (QStringList{"Cancel", "Update"})) << which;
        EXPECT_TRUE(w.UpdateButtonView()->isDefault()) << which;
    }
    // Two marks that look different, not only named so.
    EXPECT_FALSE(doneMark.isNull());
    EXPECT_FALSE(failedMark.isNull());
    EXPECT_NE(doneMark, failedMark);
}

// The question for each relation of the version found to the one carried: the focus, the button
// Return takes (from the focus, and from anywhere else in the window), and the status line.
TEST(Question, ANewerQZ7HasCancelFocusedAndTheStatusLineSaysWhy)
{
    Pty pty;
    auto app = MakeApp(pty.path);
    UpdaterWindow& w = *app->window;
    w.show();
    // Counted here, not answered: the controller is never asked.
    QObject::disconnect(w.UpdateButtonView(), &QPushButton::clicked, app->controller.get(), nullptr);
    QObject::disconnect(w.CancelButtonView(), &QPushButton::clicked, app->controller.get(), nullptr);
    int updates = 0, cancels = 0;
    QObject::connect(w.UpdateButtonView(), &QPushButton::clicked, [&] { ++updates; });
    QObject::connect(w.CancelButtonView(), &QPushButton::clicked, [&] { ++cancels; });
    const StatusFact adapter = StatusText::AdapterFacts{.path = pty.path};
    const std::string carried = Firmware::Version, newer = NewerThanShipped();
    const struct {
        std::optional<std::string> version;
        bool cancel;         // Cancel focused and taking Return, rather than Update
        std::string status;  // empty: the status line stays as it was
    } rows[] = {
        {"2.005", false, ""},
        {std::nullopt, false, ""},
        {"2.0x", false, ""},
        {newer, true, "This QZ7 has " + newer + ", newer than the " + carried + " this program carries: Update would put the older firmware on it."},
        {carried, false, "This QZ7 already has " + carried + ", the firmware this program carries."},
        // After a newer one, an older one is Update's again.
        {"2.005", false, ""},
    };
    for (const auto& row : rows) {
        const std::string which = row.version.value_or("<none>");
        app->frontEnd->Show({.status = adapter, .updateEnabled = false, .cancelEnabled = false});
        const std::string before = StatusLine(*app);
        app->frontEnd->Show(QuestionScreen(row.version));
        QPushButton* answer = row.cancel ? w.CancelButtonView() : w.UpdateButtonView();
        QPushButton* other = row.cancel ? w.UpdateButtonView() : w.CancelButtonView();
        EXPECT_EQ(w.focusWidget(), answer) << which;
        EXPECT_TRUE(answer->isDefault()) << which;
        EXPECT_FALSE(other->isDefault()) << which;
        EXPECT_EQ(StatusLine(*app), row.status.empty() ? before : row.status) << which;
        // The directions keep their words whatever the relation.
        EXPECT_EQ(ScreenText(*app).toStdString(),
                  row.version ? Directions::FoundVersion(*row.version) : std::string(Directions::VersionNotFound)) << which;
        for (bool focused : {true, false}) {
            updates = cancels = 0;
            if (focused) {
                Press(w, Qt::Key_Return);
            } else {
                QTest::keyClick(&w, Qt::Key_Return);  // as from a widget that leaves Return to the window
            }
            EXPECT_EQ(cancels, row.cancel ? 1 : 0) << which << (focused ? ", focused" : ", from the window");
            EXPECT_EQ(updates, row.cancel ? 0 : 1) << which << (focused ? ", focused" : ", from the window");
        }
    }

    // From the dialogue itself: a simulated QZ7 with newer firmware.
    bootsim::Options o = FastSim();
    o.version = "QZ7 V" + newer;
    SimUpdate run(o);
    ASSERT_TRUE(run.opened);
    ASSERT_TRUE(AtTheQuestion(*run.app));
    EXPECT_EQ(run.app->window->focusWidget(), run.app->window->CancelButtonView());
    EXPECT_TRUE(run.Status("newer than the " + carried + " this program carries"));
    EXPECT_EQ(run.sim.Wire(), "y");
    run.Quit();
}

TEST(EndScreens, CloseAndEscapeEndTheProgramAfterDoneAndAfterAFailure)
{
    for (bool done : {true, false}) {
        Pty pty;
        auto app = MakeApp(pty.path);
        UpdaterWindow& w = *app->window;
        w.show();
        app->frontEnd->Show(done ? DoneScreen() : FailureScreen(Outcome::Stopped));
        QAccessibleInterface* close = QAccessible::queryAccessibleInterface(w.CloseButtonView());
        ASSERT_NE(close->actionInterface(), nullptr);
        EXPECT_EQ(close->text(QAccessible::Name), "Close");
        if (done) {
            close->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        } else {
            Press(w, Qt::Key_Escape);
        }
        // The accessible press animates the click, as a mouse press shows it.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); })) << (done ? "Close after Done" : "Escape after a failure");
    }
}

TEST(StatusCommand, StandsWholeOnItsOwnLineAndCopyPutsItOnTheClipboard)
{
    Pty pty;
    auto app = MakeApp(pty.path);
    UpdaterWindow& w = *app->window;
    w.show();
    StatusText::PermissionFacts facts{.device = "/dev/ttyUSB0", .owner = "root", .group = "dialout", .user = "operator",
                                      .groupMayUse = true};
    struct Row {
        StatusFact status;
        std::string command;
        std::string before, after;  // what the status line keeps above and below the command
    };
    const Row rows[] = {
        {facts, "sudo adduser operator dialout",
         "No permission to open /dev/ttyUSB0 (owner root, group dialout). Add yourself to the group with",
         "then log out and back in (the group counts only for a new login)."},
        {StatusText::SearchFacts{{"/dev/ttyS0"}, "/dev/ttyUSB0", true}, "sudo apt remove brltty",
         "No USB serial adapter found. Seen: /dev/ttyS0, not a USB adapter. An adapter appeared at /dev/ttyUSB0 and went away"
         " again: brltty, a braille display driver, is running and takes such adapters. Unless you use a braille display,"
         " remove it with",
         "then plug the adapter in again."},
        {StatusText::BusyFacts{"/dev/ttyUSB0", {{"minicom", 42}}, {}}, "", "", ""},
        {StatusText::SearchFacts{{"/dev/ttyS0"}}, "", "", ""},
        {StatusFact{}, "", "", ""},
    };
    for (const Row& r : rows) {
        struct {
            std::string status;
            std::string command, before, after;
        } row{Words::Status(r.status), r.command, r.before, r.after};
        ASSERT_EQ(Words::Command(r.status), row.command) << row.status;
        app->frontEnd->Show({.status = r.status});
        const QString command = QString::fromStdString(row.command);
        EXPECT_EQ(w.CommandView()->isHidden(), command.isEmpty()) << row.status;
        EXPECT_EQ(w.CopyButtonView()->isHidden(), command.isEmpty()) << row.status;
        EXPECT_EQ(w.CopyButtonView()->isEnabled(), !command.isEmpty()) << row.status;
        // An adapter found but unusable: the fix as prominent as the directions.
        const bool unusable = Words::AdapterUnusable(r.status);
        EXPECT_EQ(unusable, std::holds_alternative<StatusText::PermissionFacts>(r.status) ||
                                std::holds_alternative<StatusText::BusyFacts>(r.status)) << row.status;
        EXPECT_EQ(w.StatusView()->font().bold(), unusable) << row.status;
        EXPECT_EQ(w.StatusView()->font().pointSize() == w.DirectionsView()->font().pointSize(), unusable) << row.status;
        // The screen reader hears the status line whole, and the command as one value.
        EXPECT_EQ(QAccessible::queryAccessibleInterface(w.StatusView())->text(QAccessible::Name).toStdString(), row.status);
        if (command.isEmpty()) {
            EXPECT_EQ(w.StatusView()->text().toStdString(), row.status);
            EXPECT_TRUE(w.StatusAfterView()->isHidden());
            continue;
        }
        EXPECT_TRUE(w.CommandView()->isReadOnly());
        EXPECT_EQ(QAccessible::queryAccessibleInterface(w.CommandView())->text(QAccessible::Value), command);
        if (!row.before.empty()) {
            EXPECT_EQ(w.StatusView()->text().toStdString(), row.before);
        }
        EXPECT_FALSE(w.StatusView()->text().contains(command));
        EXPECT_EQ(w.StatusAfterView()->text().toStdString(), row.after);
        QGuiApplication::clipboard()->clear();
        w.CopyButtonView()->click();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), command);
    }
}

namespace {

bool ReachTransfer(SimUpdate& run)
{
    return run.PressUpdate() && QTest::qWaitFor([&] { return run.sim.Snapshot().lines >= 10; }, 10000) && run.app->controller->Programming();
}
}  // namespace

TEST(CloseQuestion, KeepUpdatingLetsTheImageArriveIntact)
{
    SimUpdate run(HeldTransfer(10));
    ASSERT_TRUE(ReachTransfer(run));
    UpdaterWindow& w = *run.app->window;
    CloseControl(w);
    ASSERT_NE(w.CloseQuestion(), nullptr);
    EXPECT_EQ(w.CloseQuestion()->text().toStdString(), UpdaterWindow::kStopQuestion);
    EXPECT_TRUE(w.isVisible());
    Answer(w, "Keep updating");
    EXPECT_EQ(w.CloseQuestion(), nullptr);
    run.sim.Resume();
    ASSERT_TRUE(run.Shows("Done", 30s));
    EXPECT_TRUE(w.isVisible());
    ASSERT_TRUE(run.sim.WaitFinished(5s));
    EXPECT_TRUE(run.sim.Snapshot().Intact()) << run.sim.Snapshot().Summary();
    EXPECT_TRUE(SameSettings(run.sim.SlaveSettings(), run.sim.InitialSettings()));
}

TEST(CloseQuestion, StopClosesWithThePortRestoredAndSignalsDoNotAsk)
{
    SimUpdate run(HeldTransfer(10));
    ASSERT_TRUE(ReachTransfer(run));
    UpdaterWindow& w = *run.app->window;
    Press(w, Qt::Key_W, Qt::ControlModifier);
    ASSERT_NE(w.CloseQuestion(), nullptr);
    Answer(w, "Stop");
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(run.app->controller->Serial()->IsOpen());
    EXPECT_TRUE(SameSettings(run.sim.SlaveSettings(), run.sim.InitialSettings()));
    EXPECT_FALSE(run.sim.Snapshot().doneSent);

    // A close the program makes itself (as SIGTERM and SIGINT do) never asks.
    SimUpdate again(HeldTransfer(10));
    ASSERT_TRUE(ReachTransfer(again));
    again.app->window->close();
    EXPECT_FALSE(again.app->window->isVisible());
    EXPECT_EQ(again.app->window->CloseQuestion(), nullptr);
}

TEST(CloseQuestion, AQuestionLeftOpenGoesAtTheEndAndTheTitleCarriesTheShare)
{
    SimUpdate run(HeldTransfer(10));
    ASSERT_TRUE(ReachTransfer(run));
    UpdaterWindow& w = *run.app->window;
    const QRegularExpression share(QStringLiteral("^([0-9]+) % \u2013 QZ7 Updater$"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return share.match(w.windowTitle()).hasMatch(); })) << w.windowTitle().toStdString();
    // The title follows the level at most four times a second: it may lag, never lead.
    const int titled = share.match(w.windowTitle()).captured(1).toInt();
    EXPECT_LE(titled, w.LevelIndicatorVew()->value());
    EXPECT_GE(titled, 0);
    CloseControl(w);
    ASSERT_NE(w.CloseQuestion(), nullptr);
    run.sim.Resume();  // the rest of the image goes while the question is open
    ASSERT_TRUE(run.Shows("Done", 30s));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.CloseQuestion() == nullptr; })) << "the question outlived the update";
    // The share gives way to the outcome.
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Done \u2013 QZ7 Updater"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(run.sim.Snapshot().Intact()) << run.sim.Snapshot().Summary();
}

// "Save report…" on an end screen: one .tar.gz with the session's capture (its last opening,
// kept in memory), the transcript, and the parts the start adds; nothing when the dialog is
// cancelled.
TEST(Window, AnEndScreenSavesAReportWithEveryPart)
{
    KeepTranscript(kReportTranscriptBytes);
    bootsim::Options sim;
    sim.failErase = true;
    sim.powerOnDelay = 0ms;
    QZ7_UpdaterAppDelegate::Options options;
    options.capture.kept = kReportCaptureBytes;
    SimUpdate update(sim, options);
    ASSERT_TRUE(update.PressUpdate());
    UpdaterWindow& w = *update.app->window;
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.OnEndScreen(); }, 10000));
    EXPECT_TRUE(w.SaveReportButtonView()->isVisible() && w.SaveReportButtonView()->isEnabled());
    update.app->reportParts = [] {
        return std::vector<ReportPart>{{"version.json", "{\"version\":\"1\"}\n"}, {"list.json", "{\"path\":\"x\"}\n"}};
    };
    struct Row {
        std::string answer;  // what the operator picks in the dialog; empty: Cancel
        bool written;
    };
    const std::string file = testing::TempDir() + "/report.tar.gz";
    for (const Row& row : {Row{"", false}, Row{file, true}}) {
        QString suggested;
        update.app->askReportFile = [&](const QString& s) {
            suggested = s;
            return QString::fromStdString(row.answer);
        };
        w.SaveReportButtonView()->click();
        // The default name holds the date and the slot (a pseudo-terminal's device).
        const std::string name = suggested.toStdString();
        EXPECT_NE(name.find("/qz7-report-" + QDate::currentDate().toString(Qt::ISODate).toStdString()), std::string::npos) << name;
        EXPECT_TRUE(name.ends_with(".tar.gz")) << name;
        EXPECT_NE(name.find("-pts-"), std::string::npos) << name;
        EXPECT_EQ(!FileText(file).empty(), row.written) << row.answer;
    }
    int status = -1;
    EXPECT_EQ(CommandOutput("tar tzf " + file, status), "capture.jsonl\ntranscript.txt\nversion.json\nlist.json\n");
    EXPECT_EQ(status, 0);
    capture::Parsed parsed = capture::ParseRecording(CommandOutput("tar xzOf " + file + " capture.jsonl", status));
    ASSERT_TRUE(parsed.recording) << parsed.error;
    ASSERT_TRUE(parsed.recording->end);
    EXPECT_EQ(parsed.recording->end->Text("outcome"), "not-erased");
    bool erase = false, notErased = false;
    for (const capture::Event& e : parsed.recording->events) {
        erase = erase || (e.kind == capture::Event::Write && e.bytes == "E");
        notErased = notErased || (e.kind == capture::Event::Read && e.bytes.find("Not Erased") != std::string::npos);
    }
    EXPECT_TRUE(erase && notErased);
    EXPECT_NE(CommandOutput("tar xzOf " + file + " transcript.txt", status).find("directions: Not Erased"), std::string::npos);
    EXPECT_EQ(CommandOutput("tar xzOf " + file + " list.json", status), "{\"path\":\"x\"}\n");
    update.Quit();
}

TEST(WindowRecords, EachUnitIsRecordedAndWhatACutOffUpdateLeftShowsUntilUpdatedAgain)
{
    // One row a way a window's unit ends: Done answers the earlier cut-off update of its slot,
    // a failed erase and a stop mid-transfer do not.
    enum class Way { Done, EraseFails, StoppedMidTransfer };
    const struct {
        Way way;
        const char* outcome;
        bool stillLeftEmpty;  // the warning is still shown after the unit's end
    } rows[] = {
        {Way::Done, "done", false},
        {Way::EraseFails, "not-erased", true},
        {Way::StoppedMidTransfer, "interrupted", true},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.outcome);
        const std::string folder = testing::TempDir() + "window-records-" + std::to_string(n++);
        std::filesystem::remove_all(folder);
        std::string error;
        std::shared_ptr<Ledger> ledger = Ledger::Open({.historyFile = folder + "/history.sqlite", .journal = false}, error);
        ASSERT_TRUE(ledger) << error;
        bootsim::Options sim = row.way == Way::StoppedMidTransfer ? HeldTransfer(10) : FastSim();
        sim.failErase = row.way == Way::EraseFails;
        SimUpdate run(sim, {}, ledger);
        // An earlier updater on the same slot was cut off after its erase (its ledger went with
        // no end, as a kill -9 leaves it); the window started after it.
        {
            UnitLedger earlier(ledger, identity::ForRun("dave"));
            StatusText::AdapterFacts adapter;
            adapter.path = run.sim.SlavePath();
            ASSERT_TRUE(earlier.Bind(adapter.path, adapter));
            earlier.BeforeErase();
        }
        run.app->ShowLeftEmpty();
        UpdaterWindow& w = *run.app->window;
        ASSERT_TRUE(w.LeftEmptyView()->isVisible());
        const std::string said = w.LeftEmptyView()->text().toStdString();
        EXPECT_NE(said.find("The QZ7 " + run.sim.SlavePath() + " on " + run.sim.SlavePath() + " was left without firmware at "),
                  std::string::npos) << said;
        EXPECT_EQ(w.LeftEmptyView()->accessibleName().toStdString(), said);

        if (row.way == Way::StoppedMidTransfer) {
            ASSERT_TRUE(ReachTransfer(run));
            CloseControl(w);
            Answer(w, "Stop");
            run.cue.reset();
            run.app.reset();  // the program ends: the unit under way is recorded as it goes
        } else {
            ASSERT_TRUE(run.PressUpdate());
            ASSERT_TRUE(QTest::qWaitFor([&] { return w.OnEndScreen(); }, 30000));
            EXPECT_EQ(w.LeftEmptyView()->isVisible(), row.stillLeftEmpty);
        }
        const std::vector<HistoryRecord> all = ledger->Records().All();
        ASSERT_EQ(all.size(), 2u);
        const HistoryRecord& unit = all[1];
        EXPECT_EQ(unit.outcome, row.outcome);
        EXPECT_EQ(unit.identity.slot, run.sim.SlavePath());
        EXPECT_EQ(unit.port, run.sim.SlavePath());
        EXPECT_EQ(unit.identity.operatorName, identity::LoginName());
        EXPECT_EQ(unit.identity.firmwareSha256, Firmware::Sha256);
        EXPECT_EQ(unit.versionFound, "2.005");
        EXPECT_FALSE(unit.erased.empty()) << "the pending record came before the erase";
        EXPECT_FALSE(unit.ended.empty());
        if (row.way == Way::Done) {
            EXPECT_EQ(unit.linesSent, Firmware::Lines);
        }
        if (row.way == Way::StoppedMidTransfer) {
            // The simulator holds its answer to the tenth line: nine were taken.
            EXPECT_GE(unit.linesSent, 9);
            EXPECT_LT(unit.linesSent, Firmware::Lines);
        }
        EXPECT_EQ(ledger->LeftEmpty().size(), row.stillLeftEmpty ? 1u : 0u);
        if (run.app)
            run.Quit();
    }
}
