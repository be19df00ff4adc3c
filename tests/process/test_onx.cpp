// The real program on an X server of the test's own: an update pressed as an operator would,
// the screen reader's view, losing the window system mid-transfer, and the demo's key presses.
#include "tests/support/TestSupport.h"
#include "tests/support/XServer.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// On a real X server Qt runs threads of its own (the X event reader, and the accessibility
// bridge's D-Bus connection) that hand events to the GUI thread under Qt's locks, which a thread
// checker cannot see in libraries not built for it. For children on X only, accesses made inside
// such libraries are left out; the program's own code is still checked. Empty without the checker.
std::string XChildTsanOptions()
{
    const char* tsan = std::getenv("TSAN_OPTIONS");
    return tsan ? std::string("TSAN_OPTIONS=") + tsan + ":ignore_noninstrumented_modules=1" : std::string();
}

std::vector<std::string> XEnvironment(const XServer& x, const std::string& path)
{
    std::vector<std::string> env{"DISPLAY=" + x.display, "QT_QPA_PLATFORM=xcb", "QZ7_SERIAL_PORTS=usbserial-sim=" + path,
                                 "LSAN_OPTIONS=suppressions=" QZ7_SOURCE_DIR "/tests/support/lsan-x11.supp"};
    if (std::string tsan = XChildTsanOptions(); !tsan.empty())
        env.push_back(tsan);
    return env;
}

// Presses Update once the version question shows, again every quarter of a second until a press
// lands (the first may come before the window has the keyboard); true once the device was told
// to erase.
bool PressUpdate(const XServer& x, const bootsim::BootSim& sim)
{
    if (!WaitUntil([&] { return sim.CurrentStage() == bootsim::Stage::Prompt; }, 10s))
        return false;
    return WaitUntil([&] {
        x.Press("space");
        return WaitUntil([&] { return sim.CurrentStage() > bootsim::Stage::Prompt; }, 250ms);
    }, 15s);
}
}  // namespace

TEST(ProgramOnX, AnUpdateCompletesIntactWithStandardOutputClosed)
{
    XServer x;
    ASSERT_FALSE(x.display.empty()) << "Xvfb did not start (scripts/deps.sh test installs it)";
    bootsim::BootSim sim(FastSim());
    ASSERT_TRUE(sim.Open());
    termios before = sim.SlaveSettings();
    sim.Start();
    int out[2];
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    TranscriptFile transcript;
    Updater updater(Launch{XEnvironment(x, sim.SlavePath()), {}, out[1], transcript.path});
    PowerOnWhenFileShows operatorAtTheQz7(sim, transcript.path);
    // Nobody reads standard output: the image length printed at "P" meets a closed pipe.
    ::close(out[0]);
    ::close(out[1]);
    ASSERT_TRUE(PressUpdate(x, sim));
    ASSERT_TRUE(WaitUntil([&] { return sim.Snapshot().doneSent; }, 60s)) << sim.Snapshot().Summary();
    EXPECT_TRUE(sim.Snapshot().Intact()) << sim.Snapshot().Summary();
    EXPECT_TRUE(sim.WaitFinished(5s));  // the program closed the port after "Done"
    EXPECT_TRUE(SameSettings(sim.SlaveSettings(), before));
    std::chrono::milliseconds took{};
    EXPECT_EQ(updater.Stop(SIGTERM, 10s, took), 0);  // how fast it quits is measured elsewhere
    RecordProperty("quit_ms", std::to_string(took.count()));
}

TEST(ProgramOnX, AScreenReaderHearsTheStatusLineOverAtSpi)
{
    // A real AT-SPI client walks the program's tree on a session bus of its own (the script starts
    // the accessibility bus; it exits 77 only when that bus cannot start).
    XServer x;
    ASSERT_FALSE(x.display.empty()) << "Xvfb did not start (scripts/deps.sh test installs it)";
    int status = 0;
    std::string out = CommandOutput("DISPLAY=" + x.display + " " + XChildTsanOptions() + " dbus-run-session -- /usr/bin/python3 " QZ7_SOURCE_DIR
                                    "/tests/process/atspi_status.py " QZ7_BINARY_DIR "/qz7-updater 2>&1",
                                    status);
    if (status == 77)
        GTEST_SKIP() << out;
    EXPECT_EQ(status, 0) << out;
}

TEST(ProgramOnX, LosingTheWindowSystemMidTransferRestoresThePort)
{
    XServer x;
    ASSERT_FALSE(x.display.empty()) << "Xvfb did not start (scripts/deps.sh test installs it)";
    bootsim::Options o = FastSim();
    o.lineDelay = 2ms;
    bootsim::BootSim sim(o);
    ASSERT_TRUE(sim.Open());
    termios before = sim.SlaveSettings();
    sim.Start();
    TranscriptFile transcript;
    Updater updater(Launch{XEnvironment(x, sim.SlavePath()), {}, -1, transcript.path});
    PowerOnWhenFileShows operatorAtTheQz7(sim, transcript.path);
    ASSERT_TRUE(PressUpdate(x, sim));
    ASSERT_TRUE(WaitUntil([&] { return sim.Snapshot().lines >= 100; }, 30s)) << sim.Snapshot().Summary();
    EXPECT_TRUE(Pty::HeldExclusively(sim.SlavePath()));
    // The X server dies: Qt ends the program with exit(1), past the window's own shutdown.
    x.Kill();
    EXPECT_EQ(updater.Wait(5s), 1);
    EXPECT_TRUE(SameSettings(sim.SlaveSettings(), before));
    EXPECT_FALSE(Pty::HeldExclusively(sim.SlavePath()));
    EXPECT_FALSE(sim.Snapshot().doneSent);
}

TEST(Demo, PressesKeysInItsOwnWindowOnlyAndDrawsOnAServerOfItsOwn)
{
    // Another server, up before the demo's, with a window titled like the updater's in front (a
    // second checkout's demo, a parallel CI job): the demo must neither draw there nor press a
    // key in that window.
    XServer other("1024x768x24");
    ASSERT_FALSE(other.display.empty()) << "Xvfb did not start (scripts/deps.sh test installs it)";
    int out[2];
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    std::vector<std::string> env = OwnEnvironment();
    env.push_back("DISPLAY=" + other.display);
    env.push_back("LSAN_OPTIONS=suppressions=" QZ7_SOURCE_DIR "/tests/support/lsan-x11.supp");
    Updater decoy(Launch{env, {kDecoyWindow}, out[1], "/dev/null", QZ7_BINARY_DIR "/tests/test_process"});
    ::close(out[1]);
    std::string said = ReadUntil(out[0], "shown\n", 5s);
    if (said.find("shown") == std::string::npos) {
        ::close(out[0]);
        GTEST_SKIP() << "no window could be shown on " << other.display;
    }

    int status = 0;
    std::string demo = CommandOutput("env -u DISPLAY -u WAYLAND_DISPLAY " + XChildTsanOptions() + " BUILD=" QZ7_BINARY_DIR " " QZ7_SOURCE_DIR
                                     "/scripts/demo.sh --fast 2>&1",
                                     status);
    EXPECT_EQ(status, 0) << demo;
    EXPECT_NE(demo.find("image intact"), std::string::npos) << demo;
    // Its first picture is the clean search: the hint that no adapter is listed, and no attempt
    // to open a port that is not there yet, in either of its updaters' transcripts.
    const std::string connect = FileText(QZ7_BINARY_DIR "/demo/updater-connect.log");
    const std::string update = FileText(QZ7_BINARY_DIR "/demo/updater.log");
    EXPECT_NE(connect.find("status: No USB serial adapter found."), std::string::npos) << connect;
    for (const std::string* transcript : {&connect, &update})
        EXPECT_EQ(transcript->find("Cannot open"), std::string::npos) << *transcript;
    said += ReadUntil(out[0], "key", 200ms);  // a key would have been told by now
    ::close(out[0]);
    EXPECT_EQ(said, "shown\n");  // not one key
}
