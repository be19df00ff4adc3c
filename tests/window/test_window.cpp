// The window as the operator meets it: blank until an adapter opens, every message fitting, and
// the question the close control asks while an update runs.
#include "tests/support/TestSupport.h"
#include "tests/support/WindowKeys.h"

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
    EXPECT_EQ(app->controller->Serial()->ChosenPath(), pty.path);

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
}

// A progress bar repaints itself, and the window system with it, for every value it takes. A
// burst of values shows its first at once and then its newest, a frame later; the ends, and a
// level that comes with any other change, never wait, and a waiting level is shown before the
// change that follows it.
TEST(Window, TheLevelIndicatorTakesABurstFrameByFrameAndInOrder)
{
    using L = std::vector<int>;
    const ScreenUpdate directions{.directions = "Updating"};
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
    EXPECT_EQ(w.windowTitle(), "QZ7 Updater");
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(run.sim.Snapshot().Intact()) << run.sim.Snapshot().Summary();
}
