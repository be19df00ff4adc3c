// The dialogue, step by step against a pseudo-terminal the test plays by hand, and whole
// against the simulator: what the operator sees and what goes on the wire.
#include "TestSupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <thread>
#include <unistd.h>

namespace {

const std::string kTinyImage = ":0100000041BE\r\n:00000001FF\r\n";

QWidget* NextTabStop(QWidget* w)
{
    for (QWidget* n = w->nextInFocusChain(); n != w; n = n->nextInFocusChain())
        if (n->isEnabled() && n->isVisible() && (n->focusPolicy() & Qt::TabFocus))
            return n;
    return w;
}

class Step : public testing::Test {
protected:
    void SetUp() override
    {
        app = MakeApp(pty.path, kTinyImage);
        app->window->show();
        initial = pty.Settings();
        OpenPort(c(), pty.path);
    }
    QZ7_UpdaterAppDelegate& c() { return *app->controller; }
    UpdaterWindow& w() { return *app->window; }
    // Judges one reply in one state, then lets the posted updates run.
    void Judge(uint32_t state, std::optional<std::string> reply)
    {
        c().setState(state);
        c().setReceivedString(std::move(reply));
        c().ReceivedSomething();
        Spin(30ms);
    }
    bool PortOpen() { return c().Serial()->IsOpen(); }
    void ExpectUnexpected(const std::string& reply)
    {
        EXPECT_FALSE(PortOpen());
        EXPECT_EQ(c().state(), 0u);
        EXPECT_EQ(ScreenText(*app).toStdString(), Directions::Unexpected(reply));
    }

    Pty pty;
    termios initial{};
    std::unique_ptr<UpdaterApp> app;
};

}  // namespace

TEST_F(Step, BannerWithQz7AnywhereShowsThePictureAndAsksForTheVersion)
{
    Judge(AwaitingBanner, "boot: QZ-7 Loader");
    EXPECT_FALSE(w().ui.ImageView->isHidden());
    EXPECT_FALSE(w().ui.ImageView->pixmap().isNull());
    EXPECT_EQ(c().state(), AwaitingVersion);
    EXPECT_EQ(pty.Drain(), "y");  // the version reader asks
}

TEST_F(Step, BannerInLowerCaseClosesThePortAndSaysWhy)
{
    Judge(AwaitingBanner, "qz-7 boot loader");
    ExpectUnexpected("qz-7 boot loader");
    EXPECT_TRUE(w().ui.ImageView->isHidden());
    EXPECT_EQ(pty.Drain(), "");
}

TEST_F(Step, VersionReplyIsCutAtItsLineBreakAndOffered)
{
    Judge(AwaitingVersion, "QZ7 V2.005\r\n");
    EXPECT_EQ(ScreenText(*app), "Found Version: 2.005\n Update To: QZ7 V2.007?\n");
    EXPECT_EQ(c().state(), AwaitingPrompt);
    EXPECT_FALSE(c().ReceivedString());
    EXPECT_TRUE(w().ui.UpdateButtonView->isEnabled());
    EXPECT_TRUE(w().ui.CancelButtonView->isEnabled());
    EXPECT_EQ(w().focusWidget(), w().ui.UpdateButtonView);
    EXPECT_EQ(NextTabStop(w().ui.UpdateButtonView), w().ui.CancelButtonView);
    EXPECT_EQ(NextTabStop(w().ui.CancelButtonView), w().ui.UpdateButtonView);
    EXPECT_EQ(c().RunningThreads(), 0);  // nothing reads until the operator acts
    EXPECT_EQ(pty.Drain(), "");
}

TEST_F(Step, VersionEdgeCases)
{
    Judge(AwaitingVersion, "QZ7 V\r\n");  // empty version
    EXPECT_EQ(ScreenText(*app), "Found Version: \n Update To: QZ7 V2.007?\n");
    Judge(AwaitingVersion, "QZ7 V2.005");  // no line break: the whole tail, "V" kept
    EXPECT_EQ(ScreenText(*app), "Found Version: V2.005\n Update To: QZ7 V2.007?\n");
    Judge(AwaitingVersion, "Vendor QZ7 V2.005\r\n");  // the first "V" counts
    EXPECT_EQ(ScreenText(*app), "Found Version: endor QZ7 V2.005\n Update To: QZ7 V2.007?\n");
    Judge(AwaitingVersion, "QZ7 V2.005\r\nE or P?\r\n");  // version and prompt: version only
    EXPECT_EQ(c().state(), AwaitingPrompt);
    EXPECT_EQ(ScreenText(*app), "Found Version: 2.005\n Update To: QZ7 V2.007?\n");
}

TEST_F(Step, PromptWithoutVersionAsksToUpdateAnyway)
{
    Judge(AwaitingVersion, "E or P?\r\n");
    EXPECT_EQ(ScreenText(*app), "Version not Found.\nUpdate anyway?");
    EXPECT_EQ(c().state(), AwaitingPrompt);
    EXPECT_TRUE(w().ui.UpdateButtonView->isEnabled());
    EXPECT_TRUE(w().ui.CancelButtonView->isEnabled());
    EXPECT_EQ(c().RunningThreads(), 0);
}

TEST_F(Step, NeitherVersionNorPromptRestsWithAnHonestMessage)
{
    w().ui.LevelIndicatorVew->show();
    Judge(AwaitingVersion, "boot ok\r\n");
    EXPECT_EQ(c().state(), AwaitingVersion);
    EXPECT_EQ(ScreenText(*app), "No version reply\nPlease restart the program\nand the QZ7");
    EXPECT_TRUE(w().ui.LevelIndicatorVew->isHidden());
    EXPECT_TRUE(PortOpen());
    EXPECT_FALSE(w().ui.UpdateButtonView->isEnabled());
    Judge(AwaitingVersion, std::nullopt);  // undecodable reply
    EXPECT_EQ(c().state(), AwaitingVersion);
    EXPECT_EQ(pty.Drain(), "");
}

TEST_F(Step, PromptGetsEAndAnythingElseGetsY)
{
    Judge(AwaitingPrompt, "Menu line 1");
    EXPECT_EQ(c().state(), AwaitingPrompt);
    EXPECT_EQ(pty.Drain(), "y");
    Judge(AwaitingPrompt, "E or P");  // without the question mark it is not the prompt
    EXPECT_EQ(pty.Drain(), "y");
    auto start = std::chrono::steady_clock::now();
    Judge(AwaitingPrompt, "E or P?");
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
    EXPECT_EQ(c().state(), AwaitingErased);
    EXPECT_EQ(pty.Drain(), "E");
    EXPECT_GE(c().RunningThreads(), 1);  // a reader waits for the erase result
}

TEST_F(Step, EraseResults)
{
    w().ui.LevelIndicatorVew->show();
    Judge(AwaitingErased, "Not Erased");
    EXPECT_EQ(ScreenText(*app), "Not Erased\nPlease restart the program\nand the QZ7");
    EXPECT_TRUE(w().ui.LevelIndicatorVew->isHidden());
    EXPECT_FALSE(PortOpen());
    EXPECT_EQ(pty.Drain(), "");

    OpenPort(c(), pty.path);
    Judge(AwaitingErased, "Erased; Not verified");  // "Not" anywhere fails the erase
    EXPECT_EQ(ScreenText(*app), "Not Erased\nPlease restart the program\nand the QZ7");
    EXPECT_FALSE(PortOpen());

    OpenPort(c(), pty.path);
    Judge(AwaitingErased, "erased");
    ExpectUnexpected("erased");
    EXPECT_EQ(pty.Drain(), "");
}

TEST_F(Step, ErasedStartsTheTransferAfterP)
{
    testing::internal::CaptureStdout();
    c().setProgress(0.7f);
    Judge(AwaitingErased, "Erased");
    EXPECT_EQ(c().state(), AwaitingDone);
    EXPECT_EQ(pty.Drain(), "P");
    EXPECT_TRUE(WaitFor([&] { return w().ui.LevelIndicatorVew->value() == 53; }));  // 15 of 28, before any asterisk
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "28");
}

TEST_F(Step, DoneAndEverythingElseAtTheEnd)
{
    w().ui.LevelIndicatorVew->show();
    Judge(AwaitingDone, "Done");
    EXPECT_EQ(ScreenText(*app), "Done");
    EXPECT_TRUE(w().ui.LevelIndicatorVew->isHidden());
    EXPECT_FALSE(PortOpen());

    for (const char* notDone : {"Not Done", "Error: Not Done"}) {  // never shown as success
        OpenPort(c(), pty.path);
        w().ui.LevelIndicatorVew->show();
        Judge(AwaitingDone, notDone);
        EXPECT_EQ(ScreenText(*app), "Not Done\nPlease restart the program\nand the QZ7");
        EXPECT_TRUE(w().ui.LevelIndicatorVew->isHidden());
        EXPECT_FALSE(PortOpen());
    }

    OpenPort(c(), pty.path);
    w().ui.LevelIndicatorVew->show();
    Judge(AwaitingDone, "Checksum error");
    ExpectUnexpected("Checksum error");
    EXPECT_TRUE(w().ui.LevelIndicatorVew->isHidden());

    OpenPort(c(), pty.path);
    Judge(5, "Done");
    ExpectUnexpected("Done");
    EXPECT_EQ(pty.Drain(), "");
}

TEST_F(Step, UpdateAnswersOnceHoweverFastItIsPressed)
{
    Judge(AwaitingVersion, "QZ7 V2.005\r\n");
    w().ui.UpdateButtonView->click();
    w().ui.UpdateButtonView->click();
    EXPECT_FALSE(w().ui.UpdateButtonView->isEnabled());
    EXPECT_FALSE(w().ui.CancelButtonView->isEnabled());
    Spin(30ms);
    EXPECT_EQ(ScreenText(*app), "Updating QZ7, please wait...");
    EXPECT_FALSE(w().ui.LevelIndicatorVew->isHidden());
    EXPECT_EQ(pty.Drain(), "y");
    EXPECT_EQ(c().RunningThreads(), 1);
}

TEST_F(Step, UpdateNeverHoldsTheWindowOnAFullOutputQueue)
{
    Judge(AwaitingVersion, "QZ7 V2.005\r\n");
    // Nobody reads the master: fill the output queue until the port refuses more, and still
    // does after a pause (the pseudo-terminal moves queued bytes on for a while).
    std::string chunk(4096, 'a');
    std::size_t queued = 0;
    for (bool more = true; more;) {
        more = false;
        for (ssize_t n; (n = ::write(c().Serial()->PortID(), chunk.data(), chunk.size())) > 0; more = true)
            queued += static_cast<std::size_t>(n);
        std::this_thread::sleep_for(50ms);
    }
    auto start = std::chrono::steady_clock::now();
    w().ui.UpdateButtonView->click();
    // A held window would wait for the 5 s stall bound; a sanitizer slows the thread start.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    EXPECT_LT(std::chrono::steady_clock::now() - start, 300ms);
#else
    EXPECT_LT(std::chrono::steady_clock::now() - start, 50ms);
#endif
    Spin(300ms);
    EXPECT_EQ(ScreenText(*app), "Found Version: 2.005\n Update To: QZ7 V2.007?\n");  // the "y" waits for room
    // Once the device reads again, the "y" goes out and the update goes on as usual.
    std::string sent = pty.Drain(300ms);
    EXPECT_EQ(sent.size(), queued + 1);
    EXPECT_EQ(sent.back(), 'y');
    EXPECT_TRUE(WaitFor([&] { return ScreenText(*app) == "Updating QZ7, please wait..."; }));
}

TEST_F(Step, CancelClosesThePortRestoredAndTheWindow)
{
    Judge(AwaitingVersion, "QZ7 V2.005\r\n");
    w().ui.CancelButtonView->click();
    EXPECT_FALSE(PortOpen());
    EXPECT_TRUE(SameSettings(pty.Settings(), initial));
    EXPECT_FALSE(pty.Exclusive());
    EXPECT_FALSE(w().isVisible());
    Spin(20ms);
    EXPECT_FALSE(w().ui.UpdateButtonView->isEnabled());
    EXPECT_FALSE(w().ui.CancelButtonView->isEnabled());
    c().applicationWillTerminate();  // as at the end of the application: the port stays closed
    EXPECT_EQ(pty.Drain(), "");
}

// Whole dialogues against the simulator.

namespace {
struct SimRun {
    explicit SimRun(bootsim::Options o, std::optional<std::string> image = std::nullopt) : sim(std::move(o))
    {
        EXPECT_TRUE(sim.Open());
        initial = sim.SlaveSettings();
        sim.Start();
        app = MakeApp(sim.SlavePath(), std::move(image));
        app->Launch();
    }
    bool Shows(const std::string& text, std::chrono::milliseconds bound = 10s)
    {
        return WaitFor([&] { return ScreenText(*app).toStdString() == text; }, bound);
    }
    bootsim::BootSim sim;
    termios initial{};
    std::unique_ptr<UpdaterApp> app;
};
}  // namespace

TEST(Dialogue, ReachesTheVersionQuestionWithThePictureAndUpdateFocused)
{
    SimRun run(FastSim());
    ASSERT_TRUE(run.Shows(Directions::FoundVersion("2.005")));
    UpdaterWindow& w = *run.app->window;
    EXPECT_FALSE(w.ui.ImageView->isHidden());
    EXPECT_EQ(w.focusWidget(), w.ui.UpdateButtonView);
    EXPECT_EQ(run.sim.Wire(), "y");
}

TEST(Dialogue, DamagedImageIsNeverOfferedAndNothingIsErased)
{
    std::string damaged = kTinyImage;
    damaged[5] = 'X';
    SimRun run(FastSim(), damaged);
    ASSERT_TRUE(run.Shows("Firmware image damaged\nPlease reinstall the program"));
    Spin(200ms);
    EXPECT_FALSE(run.app->window->ui.UpdateButtonView->isEnabled());
    EXPECT_EQ(run.sim.Wire(), "y");
}
