// Whole updates against scripted loaders on ports in memory: the version question, a port named
// by the operator, ten units in a row with the same window, and a start-over after a failure.
#include "tests/support/Scripted.h"
#include "tests/support/WindowKeys.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>

TEST(Dialogue, ReachesTheVersionQuestionWithThePictureAndUpdateFocused)
{
    ScriptedUpdate run(FastSim());
    ASSERT_TRUE(run.Shows(Directions::FoundVersion("2.005")));
    UpdaterWindow& w = *run.app->window;
    EXPECT_FALSE(w.ImageView()->isHidden());
    EXPECT_FALSE(w.ImageView()->pixmap().isNull());
    EXPECT_EQ(w.focusWidget(), w.UpdateButtonView());
    EXPECT_EQ(run.Wire(), "y");
}

TEST(Dialogue, ANamedPortIsUsedWhateverTheListingOffers)
{
    // --port: the listing offers another USB adapter, which the choice rule would take; only
    // the named one has a QZ7 behind it.
    const std::string named = "/dev/ttyUSB-named";
    ScriptedUnit unit(FastSim());
    QZ7_UpdaterAppDelegate::Options options;
    options.port = named;
    options.lister = OneAdapter("/nonexistent/ttyUSB7");
    options.opener = ScriptedOpener([&](const std::string& path) { return path == named ? unit.port : nullptr; });
    options.discoveryInterval = 1ms;
    UpdaterApp app(std::move(options));
    PowerOnCue cue(app, [&unit] { unit.loader->PowerOn(); });
    app.Launch();
    EXPECT_TRUE(AtTheQuestion(app, 5s)) << ScreenText(app).toStdString();
    EXPECT_EQ(app.controller->ChosenPath(), named);
    app.controller->applicationWillTerminate();
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
    // Ten scripted units, one after the other, each on an adapter of its own that the program
    // finds. "Update another QZ7" is pressed three times in a row each time (Return held): one
    // start-over only.
    const std::string image = ":0100000041BE\r\n:00000001FF\r\n";
    auto current = std::make_shared<AtomicShared<const std::string>>();
    auto plugged = std::make_shared<AtomicShared<ScriptedPort>>();
    QZ7_UpdaterAppDelegate::Options options = WithFirmware(image);
    options.lister = [current] {
        return std::optional(std::vector<SerialService>{{"ttyUSB0", *current->load()}});
    };
    options.opener = ScriptedOpener([current, plugged](const std::string& path) {
        return path == *current->load() ? plugged->load() : nullptr;
    });
    options.discoveryInterval = 1ms;
    options.commandPause = 1ms;  // the scripted loader answers at once
    UpdaterApp app(std::move(options));
    PowerOnCue cue(app, std::function<void()>{});
    UpdaterWindow& w = *app.window;
    int threads = 0;
    for (int unit = 1; unit <= 10; ++unit) {
        SCOPED_TRACE("unit " + std::to_string(unit));
        bootsim::Options o = FastSim();
        o.expected = image;
        ScriptedUnit sim(o);
        // The adapter is plugged in before the lister names it.
        plugged->store(sim.port);
        current->store(std::make_shared<const std::string>("/dev/ttyUSB-unit" + std::to_string(unit)));
        auto powerOn = [l = sim.loader.get()] { l->PowerOn(); };
        if (unit == 1) {
            cue.powerOn = powerOn;
            app.Launch();
        } else {
            for (int press = 0; press < 3; ++press)
                Press(w, Qt::Key_Return);  // the next-unit button has the focus
            EXPECT_TRUE(w.NextUnitButtonView()->isHidden());
            EXPECT_TRUE(w.ImageView()->isHidden() && w.LevelIndicatorVew()->isHidden());
            // Powered on once the last unit's screen is seen cleared; the power-on directions
            // may have shown meanwhile.
            cue.powerOn = powerOn;
            if (ScreenText(app).toStdString() == Directions::PowerOn)
                powerOn();
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenText(app).toStdString() == Directions::FoundVersion("2.005"); }, 5000))
            << ScreenText(app).toStdString();
        EXPECT_FALSE(w.ImageView()->isHidden());
        EXPECT_TRUE(w.NextUnitButtonView()->isHidden());
        Press(w, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenText(app) == "Done"; }, 5000)) << ScreenText(app).toStdString();
        EXPECT_TRUE(sim.loader->Snapshot().Intact()) << sim.loader->Snapshot().Summary();
        EXPECT_EQ(sim.port->Written(), "yyEP" + image) << "one dialogue, one \"y\" each";
        EXPECT_TRUE(QTest::qWaitFor([&] { return sim.port->ShutDown(); }));
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.NextUnitButtonView()->isVisible() && app.controller->RunningOperations() == 0; }));
        EXPECT_FALSE(w.UpdateButtonView()->isEnabled());
        cue.powerOn = nullptr;
        if (unit == 1)
            threads = ProcessThreads();
    }
    EXPECT_EQ(ProcessThreads(), threads) << "no thread left over from ten units";
}

TEST(Restart, EveryFailureOffersRestartAndTheNextUpdateIsIntact)
{
    // The first unit refuses the erase; the second, on the next adapter, is updated whole.
    auto current = std::make_shared<AtomicShared<const std::string>>();
    bootsim::Options failing = FastSim();
    failing.replies[bootsim::Stage::Erase] = "Not Erased";
    bootsim::Options good = FastSim();
    good.expected = ShippedImage();
    ScriptedUnit first(failing), second(good);
    const std::string firstPath = "/dev/ttyUSB-first", secondPath = "/dev/ttyUSB-second";
    current->store(std::make_shared<const std::string>(firstPath));
    QZ7_UpdaterAppDelegate::Options options;
    options.lister = [current] {
        return std::optional(std::vector<SerialService>{{"ttyUSB0", *current->load()}});
    };
    options.opener = ScriptedOpener([&](const std::string& path) {
        return path == firstPath ? first.port : path == secondPath ? second.port : nullptr;
    });
    options.discoveryInterval = 1ms;
    UpdaterApp app(std::move(options));
    PowerOnCue cue(app, [&first] { first.loader->PowerOn(); });
    UpdaterWindow& w = *app.window;
    app.Launch();
    ASSERT_TRUE(AtTheQuestion(app, 5s));
    EXPECT_TRUE(w.RestartButtonView()->isHidden());
    EXPECT_FALSE(w.RestartButtonView()->isEnabled());
    Press(w, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenText(app).toStdString() == Directions::NotErased; }, 5000));
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
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("Failed \u2013 QZ7 Updater"));
    // One instruction, with the button that goes on.
    EXPECT_TRUE(StatusLine(app).find("The QZ7 may have no firmware now: press Restart, switch the QZ7 off, then hold Run/Stop") !=
                std::string::npos)
        << StatusLine(app);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app.controller->Serial()->IsOpen(); }));

    current->store(std::make_shared<const std::string>(secondPath));
    cue.powerOn = [&second] { second.loader->PowerOn(); };
    Press(w, Qt::Key_Return);  // Restart has the focus
    EXPECT_TRUE(w.RestartButtonView()->isHidden());
    EXPECT_FALSE(w.RestartButtonView()->isEnabled());
    EXPECT_TRUE(w.UpdateButtonView()->isDefault());
    EXPECT_TRUE(w.CloseButtonView()->isHidden());
    EXPECT_TRUE(w.OutcomeView()->isHidden());
    EXPECT_EQ(w.windowTitle(), "QZ7 Updater");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenText(app).toStdString() == Directions::FoundVersion("2.005"); }, 5000));
    Press(w, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenText(app) == "Done"; }, 5000));
    EXPECT_TRUE(second.loader->Snapshot().Intact()) << second.loader->Snapshot().Summary();
    EXPECT_TRUE(QTest::qWaitFor([&] { return second.port->ShutDown(); }));
    EXPECT_TRUE(w.RestartButtonView()->isHidden());
}
