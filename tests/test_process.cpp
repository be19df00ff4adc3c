// The real program as an operator starts it, pointed at a pseudo-terminal through
// QZ7_SERIAL_PORTS: what it does to the port, what it costs while it waits, how it ends.
#include "TestSupport.h"

#include <csignal>
#include <thread>

TEST(Program, OpensThePortExclusivelyRawAndRestoresItOnSigterm)
{
    Pty pty;
    termios before = pty.Settings();
    Updater updater("usbserial-sim=" + pty.path);
    ASSERT_TRUE(WaitUntil([&] { return pty.Exclusive(); }, 5s));
    termios now = pty.Settings();
    EXPECT_EQ(cfgetospeed(&now), B57600);
    EXPECT_EQ(cfgetispeed(&now), B57600);
    EXPECT_EQ(now.c_lflag & ICANON, 0u);
    EXPECT_EQ(now.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(now.c_cc[VMIN], 1);
    EXPECT_EQ(now.c_cc[VTIME], 5);
    std::this_thread::sleep_for(300ms);  // past the hand-over: a reader now waits for the banner

    std::chrono::milliseconds took{};
    EXPECT_EQ(updater.Stop(SIGTERM, 2s, took), 0);
    EXPECT_LT(took, 1s);
    EXPECT_TRUE(SameSettings(pty.Settings(), before));
    EXPECT_FALSE(pty.Exclusive());
}

TEST(Program, AnswersTheBannerAndWaitsForTheOperatorAtNoCost)
{
    bootsim::Options o = FastSim();
    bootsim::BootSim sim(o);
    ASSERT_TRUE(sim.Open());
    termios before = sim.SlaveSettings();
    sim.Start();
    Updater updater("usbserial-sim=" + sim.SlavePath());
    ASSERT_TRUE(WaitUntil([&] { return sim.Wire() == "y"; }, 15s));  // a sanitized start on a busy machine is slow
    std::this_thread::sleep_for(200ms);

    double cpu = updater.CpuSeconds();
    std::this_thread::sleep_for(2s);
    EXPECT_LT((updater.CpuSeconds() - cpu) / 2.0, kIdleShareLimit);

    std::chrono::milliseconds took{};
    EXPECT_EQ(updater.Stop(SIGINT, 2s, took), 0);
    EXPECT_LT(took, 1s);
    EXPECT_TRUE(SameSettings(sim.SlaveSettings(), before));
}

TEST(Program, QuitsPromptlyWhileStillSearchingForAnAdapter)
{
    Updater updater("usbserial-sim=/nonexistent/ttyUSB7");
    // A slow start (a sanitizer, a busy machine) must not count: the program is only asked to
    // quit once it handles the signal, a few discovery passes later.
    ASSERT_TRUE(WaitUntil([&] { return updater.CatchesSigterm(); }, 10s));
    std::this_thread::sleep_for(500ms);
    std::chrono::milliseconds took{};
    EXPECT_EQ(updater.Stop(SIGTERM, 2s, took), 0);
    EXPECT_LT(took, 1s);
}

TEST(Program, AfterAKillMidTransferTheNextRunTakesThePortAsItWasLeft)
{
    // An update killed outright leaves the port as it had set it (raw, 57600) and the device
    // half programmed, waiting for the next line. The next run opens the same port, saves those
    // settings as the ones to put back, and waits for the device's banner: the operator has to
    // power the device on again with Run/Stop held.
    bootsim::Options o = FastSim();
    o.baud = 57600;  // slow enough to kill in the middle of the transfer
    o.eraseDelay = 300ms;
    bootsim::BootSim sim(o);
    ASSERT_TRUE(sim.Open());
    termios initial = sim.SlaveSettings();
    sim.Start();
    {
        Updater first("", {"/proc/self/exe", kUpdateUntilKilled, sim.SlavePath()});
        ASSERT_TRUE(WaitUntil([&] { return sim.Snapshot().lines >= 100; }, 60s)) << sim.Snapshot().Summary();
        std::chrono::milliseconds took{};
        EXPECT_EQ(first.Stop(SIGKILL, 2s, took), 128 + SIGKILL);
    }
    EXPECT_TRUE(sim.WaitFinished(2s));  // the simulator saw the line close
    termios left = sim.SlaveSettings();
    EXPECT_FALSE(SameSettings(left, initial));
    EXPECT_EQ(cfgetospeed(&left), B57600);

    auto second = MakeApp(sim.SlavePath());
    second->Launch();
    EXPECT_TRUE(WaitFor([&] { return ScreenText(*second) == Directions::PowerOn; }, 5s)) << ScreenText(*second).toStdString();
    EXPECT_TRUE(SameSettings(second->controller->Serial()->termios_archive(), left));
    second->controller->applicationWillTerminate();
    second.reset();
    EXPECT_TRUE(SameSettings(sim.SlaveSettings(), left));
}

TEST(Simulator, HelpDocumentsEveryOption)
{
    int status = 0;
    std::string help = CommandOutput(QZ7_BINARY_DIR "/qz7-bootsim --help", status);
    EXPECT_EQ(status, 0);
    for (const char* option : {"--baud", "--power-on-ms", "--erase-ms", "--line-delay-us", "--banner", "--version",
                               "--no-version", "--extra-lines", "--fail-erase", "--chunking", "--noise", "--high-byte",
                               "--silent-from", "--hang-up-at", "--hang-up-after", "--burst", "--seed", "--expect"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}
