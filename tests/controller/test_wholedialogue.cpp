// Whole updates against the simulator: the version question, a port named by the operator,
// ten units in a row with the same window, and a start-over after a failure.
#include "tests/support/TestSupport.h"
#include "tests/support/WindowKeys.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>

TEST(Dialogue, ReachesTheVersionQuestionWithThePictureAndUpdateFocused)
{
    SimUpdate run(FastSim());
    ASSERT_TRUE(run.Shows(Directions::FoundVersion("2.005")));
    UpdaterWindow& w = *run.app->window;
    EXPECT_FALSE(w.ImageView()->isHidden());
    EXPECT_FALSE(w.ImageView()->pixmap().isNull());
    EXPECT_EQ(w.focusWidget(), w.UpdateButtonView());
    EXPECT_EQ(run.sim.Wire(), "y");
}

TEST(Dialogue, ANamedPortIsUsedWhateverTheListingOffers)
{
    // --port: the listing offers another USB adapter, which the choice rule would take.
    bootsim::BootSim sim(FastSim());
    ASSERT_TRUE(sim.Open());
    sim.Start();
    QZ7_UpdaterAppDelegate::Options options;
    options.port = sim.SlavePath();
    options.lister = OneAdapter("/nonexistent/ttyUSB7");
    options.discoveryInterval = 20ms;
    UpdaterApp app(std::move(options));
    PowerOnCue cue(app, &sim);
    app.Launch();
    EXPECT_TRUE(AtTheQuestion(app, 10s)) << ScreenText(app).toStdString();
    EXPECT_EQ(app.controller->ChosenPath(), sim.SlavePath());
}

// The keyboard and the next unit (the close question is in tests/window).

namespace {
int ProcessThreads()
{
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
        n += entry.is_directory() ? 1 : 0;
    return n;
}
}  // namespace

TEST(NextUnit, TenUnitsWithTheSameWindowEachStartedOnceThoughPressedThrice)
{
    // Ten simulated units, one after the other, on the adapter the program finds. "Update
    // another QZ7" is pressed three times in a row each time (Return held): one start-over only.
    const std::string image = ":0100000041BE\r\n:00000001FF\r\n";
    auto current = std::make_shared<AtomicShared<const std::string>>();
    QZ7_UpdaterAppDelegate::Options options = WithFirmware(image);
    options.lister = [current] {
        return std::optional(std::vector<SerialService>{{"ttyUSB0", *current->load()}});
    };
    options.discoveryInterval = 20ms;
    UpdaterApp app(std::move(options));
    PowerOnCue cue(app, nullptr);
    UpdaterWindow& w = *app.window;
    int threads = 0;
    for (int unit = 1; unit <= 10; ++unit) {
        SCOPED_TRACE("unit " + std::to_string(unit));
        bootsim::Options o = FastSim();
        o.expected = image;
        bootsim::BootSim sim(o);
        ASSERT_TRUE(sim.Open());
        current->store(std::make_shared<const std::string>(sim.SlavePath()));
        sim.Start();
        if (unit == 1) {
            cue.sim = &sim;
            app.Launch();
        } else {
            for (int press = 0; press < 3; ++press)
                Press(w, Qt::Key_Return);  // the next-unit button has the focus
            EXPECT_TRUE(w.NextUnitButtonView()->isHidden());
            EXPECT_TRUE(w.ImageView()->isHidden() && w.LevelIndicatorVew()->isHidden());
            // Powered on once the last unit's screen is seen cleared; the power-on directions
            // may have shown meanwhile.
            cue.sim = &sim;
            if (ScreenText(app).toStdString() == Directions::PowerOn)
                sim.PowerOn();
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenText(app).toStdString() == Directions::FoundVersion("2.005"); }, 10000))
            << ScreenText(app).toStdString();
        EXPECT_FALSE(w.ImageView()->isHidden());
        EXPECT_TRUE(w.NextUnitButtonView()->isHidden());
        Press(w, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenText(app) == "Done"; }, 20000)) << ScreenText(app).toStdString();
        ASSERT_TRUE(sim.WaitFinished(5s));
        EXPECT_TRUE(sim.Snapshot().Intact()) << sim.Snapshot().Summary();
        EXPECT_EQ(sim.Wire(), "yyEP" + image) << "one dialogue, one \"y\" each";
        EXPECT_TRUE(SameSettings(sim.SlaveSettings(), sim.InitialSettings()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.NextUnitButtonView()->isVisible() && app.controller->RunningOperations() == 0; }));
        EXPECT_FALSE(w.UpdateButtonView()->isEnabled());
        sim.Stop();
        cue.sim = nullptr;
        if (unit == 1)
            threads = ProcessThreads();
    }
    EXPECT_EQ(ProcessThreads(), threads) << "no thread left over from ten units";
}

TEST(Restart, EveryFailureOffersRestartAndTheNextUpdateIsIntact)
{
    // The first unit refuses the erase; the second, on the same adapter, is updated whole.
    auto current = std::make_shared<AtomicShared<const std::string>>();
    bootsim::Options failing = FastSim();
    failing.replies[bootsim::Stage::Erase] = "Not Erased";
    bootsim::Options good = FastSim();
    good.expected = ShippedImage();
    bootsim::BootSim first(failing), second(good);
    ASSERT_TRUE(first.Open() && second.Open());
    current->store(std::make_shared<const std::string>(first.SlavePath()));
    QZ7_UpdaterAppDelegate::Options options;
    options.lister = [current] {
        return std::optional(std::vector<SerialService>{{"ttyUSB0", *current->load()}});
    };
    options.discoveryInterval = 20ms;
    UpdaterApp app(std::move(options));
    PowerOnCue cue(app, &first);
    UpdaterWindow& w = *app.window;
    first.Start();
    app.Launch();
    ASSERT_TRUE(AtTheQuestion(app, 10s));
    EXPECT_TRUE(w.RestartButtonView()->isHidden());
    EXPECT_FALSE(w.RestartButtonView()->isEnabled());
    Press(w, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenText(app).toStdString() == Directions::NotErased; }, 20000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.RestartButtonView()->isVisible(); }));
    EXPECT_TRUE(w.RestartButtonView()->isEnabled());
    EXPECT_TRUE(w.RestartButtonView()->isDefault());
    EXPECT_FALSE(w.UpdateButtonView()->isDefault());
    EXPECT_EQ(w.focusWidget(), w.RestartButtonView());
    EXPECT_FALSE(w.NextUnitButtonView()->isEnabled());
    // No dead button beside the way on: Update and Cancel are hidden, Close is offered.
    EXPECT_TRUE(w.UpdateButtonView()->isHidden());
    EXPECT_FALSE(w.UpdateButtonView()->isEnabled());
    EXPECT_TRUE(w.CancelButtonView()->isHidden());
    EXPECT_FALSE(w.CancelButtonView()->isEnabled());
    EXPECT_TRUE(w.CloseButtonView()->isVisible() && w.CloseButtonView()->isEnabled());
    EXPECT_EQ(w.OutcomeView()->accessibleName(), "Failed");
    EXPECT_TRUE(StatusLine(app).find("The QZ7 may have no firmware now: switch it off, then hold Run/Stop") !=
                std::string::npos)
        << StatusLine(app);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app.controller->Serial()->IsOpen(); }));

    current->store(std::make_shared<const std::string>(second.SlavePath()));
    cue.sim = &second;
    second.Start();
    Press(w, Qt::Key_Return);  // Restart has the focus
    EXPECT_TRUE(w.RestartButtonView()->isHidden());
    EXPECT_FALSE(w.RestartButtonView()->isEnabled());
    EXPECT_TRUE(w.UpdateButtonView()->isDefault());
    EXPECT_TRUE(w.CloseButtonView()->isHidden());
    EXPECT_TRUE(w.OutcomeView()->isHidden());
    ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenText(app).toStdString() == Directions::FoundVersion("2.005"); }, 10000));
    Press(w, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenText(app) == "Done"; }, 20000));
    ASSERT_TRUE(second.WaitFinished(5s));
    EXPECT_TRUE(second.Snapshot().Intact()) << second.Snapshot().Summary();
    EXPECT_TRUE(SameSettings(second.SlaveSettings(), second.InitialSettings()));
    EXPECT_TRUE(w.RestartButtonView()->isHidden());
}
