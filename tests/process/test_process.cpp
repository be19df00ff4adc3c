// The real program as an operator starts it, pointed at a pseudo-terminal through
// QZ7_SERIAL_PORTS: what it does to the port, what it costs while it waits, how it ends, and
// what it says when it cannot open a window.
#include "tests/support/TestSupport.h"

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

std::string FileText(const std::string& path)
{
    std::ifstream file(path);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// A file for a child's transcript (its standard error), so that the test can wait for what the
// program did. Removed with it; shown when the test has failed, since a sanitizer's report from
// the child goes there too.
struct TranscriptFile {
    TranscriptFile() : path(testing::TempDir() + "qz7-process-" + std::to_string(getpid()) + "-" + std::to_string(++made) + ".log") {}
    ~TranscriptFile()
    {
        if (testing::Test::HasFailure())
            std::fprintf(stderr, "transcript of the program:\n%s\n", FileText(path).c_str());
        ::unlink(path.c_str());
    }
    TranscriptFile(const TranscriptFile&) = delete;
    TranscriptFile& operator=(const TranscriptFile&) = delete;
    // Waits until the transcript holds `part`.
    bool Says(const std::string& part, std::chrono::milliseconds bound = 10s) const
    {
        return WaitUntil([&] { return FileText(path).find(part) != std::string::npos; }, bound);
    }
    static inline int made = 0;
    std::string path;
};

// The updater with the windows off screen and QZ7_SERIAL_PORTS holding `ports`, its transcript
// in `transcript`.
Launch Offscreen(const std::string& ports, const TranscriptFile& transcript)
{
    return Launch{.env = OffscreenEnvironment(ports), .stderrFile = transcript.path};
}

// An X server of the test's own (Xvfb on a free display), for the cases that need the window
// system itself: pressing Update as an operator would, and losing the connection to it.
struct XServer {
    XServer()
    {
        // Xvfb writes its display number on its standard output once it accepts clients.
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0)
            return;
        server = std::make_unique<Updater>(Launch{OwnEnvironment(),
                                                  {"-displayfd", "1", "-screen", "0", "640x560x24", "-nolisten", "tcp"},
                                                  out[1], "/dev/null", "Xvfb"});
        ::close(out[1]);
        std::string number;
        char c;
        pollfd p{out[0], POLLIN, 0};
        while (server->pid > 0 && ::poll(&p, 1, 10000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(out[0]);
        if (!number.empty())
            display = ":" + number;
    }
    void Kill() { server.reset(); }
    // Presses `key` in the program's window, as an operator at the keyboard would.
    bool Press(const std::string& key) const
    {
        int status = 0;
        std::string window = CommandOutput("DISPLAY=" + display + " xdotool search --onlyvisible --name 'QZ7 Updater' 2>/dev/null | head -n1", status);
        if (window.empty())
            return false;
        window.pop_back();
        CommandOutput("DISPLAY=" + display + " xdotool windowfocus --sync " + window + " key " + key + " 2>/dev/null", status);
        return status == 0;
    }
    std::unique_ptr<Updater> server;
    std::string display;
};

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
                                 "XDG_RUNTIME_DIR=/tmp", "LSAN_OPTIONS=suppressions=" QZ7_SOURCE_DIR "/tests/support/lsan-x11.supp"};
    if (std::string tsan = XChildTsanOptions(); !tsan.empty())
        env.push_back(tsan);
    return env;
}

// Presses Update once the version question shows; true once the device was told to erase.
bool PressUpdate(const XServer& x, const bootsim::BootSim& sim)
{
    if (!WaitUntil([&] { return sim.CurrentStage() == bootsim::Stage::Prompt; }, 10s))
        return false;
    return WaitUntil([&] {
        x.Press("space");
        return WaitUntil([&] { return sim.CurrentStage() > bootsim::Stage::Prompt; }, 1s);
    }, 15s);
}

}  // namespace

TEST(Program, OpensThePortExclusivelyRawAndRestoresItOnSigtermAndSighup)
{
    for (int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        Pty pty;
        termios before = pty.Settings();
        TranscriptFile transcript;
        Updater updater(Offscreen("usbserial-sim=" + pty.path, transcript));
        // Exclusive use comes first, the settings a moment later.
        ASSERT_TRUE(WaitUntil([&] {
            termios t = pty.Settings();
            return pty.Exclusive() && cfgetospeed(&t) == B57600;
        }, 5s));
        termios now = pty.Settings();
        EXPECT_EQ(cfgetispeed(&now), B57600);
        EXPECT_EQ(now.c_lflag & ICANON, 0u);
        EXPECT_EQ(now.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(now.c_cc[VMIN], 1);
        EXPECT_EQ(now.c_cc[VTIME], 5);
        // A slow start (a sanitizer, a busy machine) must not count: the signal is sent only once
        // the program handles it.
        ASSERT_TRUE(WaitUntil([&] { return updater.Catches(signal); }, 10s));
        // Past the hand-over: a reader now waits for the banner.
        ASSERT_TRUE(transcript.Says(Directions::PowerOn));

        std::chrono::milliseconds took{};
        EXPECT_EQ(updater.Stop(signal, 2s, took), 0);
        EXPECT_LT(took, 1s);
        EXPECT_TRUE(SameSettings(pty.Settings(), before));
        EXPECT_FALSE(pty.Exclusive());
    }
}

TEST(Program, AnswersTheBannerAndWaitsForTheOperatorAtNoCost)
{
    bootsim::Options o = FastSim();
    bootsim::BootSim sim(o);
    ASSERT_TRUE(sim.Open());
    termios before = sim.SlaveSettings();
    sim.Start();
    TranscriptFile transcript;
    Updater updater(Offscreen("usbserial-sim=" + sim.SlavePath(), transcript));
    PowerOnWhenFileShows operatorAtTheQz7(sim, transcript.path);
    // A sanitized start on a busy machine is slow. The question shown, the program rests.
    ASSERT_TRUE(transcript.Says("directions: Found Version", 15s));
    EXPECT_EQ(sim.Wire(), "y");

    double cpu = updater.CpuSeconds();
    std::this_thread::sleep_for(2s);
    EXPECT_LT((updater.CpuSeconds() - cpu) / 2.0, kIdleShareLimit);

    std::chrono::milliseconds took{};
    EXPECT_EQ(updater.Stop(SIGINT, 2s, took), 0);
    EXPECT_LT(took, 1s);
    EXPECT_TRUE(SameSettings(sim.SlaveSettings(), before));
}

TEST(Program, AThreadThatCannotBeStartedIsAScreenNotAnAbort)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the thread checker needs a thread of its own";
#endif
    if (getuid() != 0 || !getpwnam("nobody"))
        GTEST_SKIP() << "needs root and the user 'nobody' (root is not held to a process limit)";
    // As the user nobody, allowed one process in all: the program itself, no thread more.
    Pty port;
    ASSERT_EQ(chmod(port.path.c_str(), 0666), 0);
    const std::string out = testing::TempDir() + "qz7-nproc-" + std::to_string(getpid()) + ".out";
    int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    ASSERT_GE(fd, 0);
    // The leak checker stops the process with a thread of its own at exit: not to be had here.
    Updater updater(Launch{.env = {"XDG_RUNTIME_DIR=/tmp", "ASAN_OPTIONS=detect_leaks=0"},
                           .args = {"--nproc=1", QZ7_BINARY_DIR "/qz7-updater", "--cli", "--yes", "--port", port.path},
                           .stdoutFd = fd,
                           .program = "/usr/bin/prlimit",
                           .asNobody = true});
    ::close(fd);
    EXPECT_EQ(updater.Wait(10s), 1);
    std::ifstream file(out);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ::unlink(out.c_str());
    EXPECT_NE(text.find("An Exception Occured: cannot start a thread: "), std::string::npos) << text;
    EXPECT_FALSE(port.Exclusive());
}

TEST(Program, QuitsPromptlyWhileStillSearchingForAnAdapter)
{
    Updater updater("usbserial-sim=/nonexistent/ttyUSB7");
    // A slow start (a sanitizer, a busy machine) must not count: the program is only asked to
    // quit once it handles the signal, a few discovery passes later.
    ASSERT_TRUE(WaitUntil([&] { return updater.Catches(SIGTERM); }, 10s));
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
        TranscriptFile transcript;
        Updater first(Launch{OffscreenEnvironment(""), {kUpdateUntilKilled, sim.SlavePath()}, -1, transcript.path, "/proc/self/exe"});
        PowerOnWhenFileShows operatorAtTheQz7(sim, transcript.path);
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
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenText(*second) == Directions::PowerOn; }, 5000)) << ScreenText(*second).toStdString();
    EXPECT_TRUE(SameSettings(second->controller->Serial()->termios_archive(), left));
    second->controller->applicationWillTerminate();
    second.reset();
    EXPECT_TRUE(SameSettings(sim.SlaveSettings(), left));
}

TEST(Program, SearchingWithTheSystemsOwnListingCostsAlmostNothing)
{
    // No QZ7_SERIAL_PORTS: the system's ports are listed (none here holds an adapter's name; on a
    // machine with an adapter plugged in, the program opens it and SIGTERM puts it back).
    Updater updater(Launch{{"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=/tmp"}});
    std::this_thread::sleep_for(1500ms);  // past start-up and the first enumeration
    double cpu = updater.CpuSeconds();
    std::this_thread::sleep_for(4s);
    double share = (updater.CpuSeconds() - cpu) / 4.0;
    EXPECT_LT(share, kSearchShareLimit);
    RecordProperty("share", std::to_string(share));
    std::chrono::milliseconds took{};
    EXPECT_EQ(updater.Stop(SIGTERM, 2s, took), 0);
}

TEST(Program, WithoutADisplaySaysSoAndLeavesThePortAlone)
{
    // A display number nothing listens on.
    int unused = 177;  // away from :77, where the demo's test puts a server of its own
    while (access(("/tmp/.X11-unix/X" + std::to_string(unused)).c_str(), F_OK) == 0 ||
           access(("/tmp/.X" + std::to_string(unused) + "-lock").c_str(), F_OK) == 0)
        ++unused;
    // No display at all, a platform named that needs one that is not there, and a display named
    // that is not there (with the default platform and with the X one named).
    for (std::string display : {std::string(), ":" + std::to_string(unused)}) {
        for (std::string platform : {"", "xcb"}) {
            SCOPED_TRACE("DISPLAY=" + display + " QT_QPA_PLATFORM=" + platform);
            Pty pty;
            termios before = pty.Settings();
            std::string log = testing::TempDir() + "qz7-nodisplay.log";
            std::vector<std::string> env{"QZ7_SERIAL_PORTS=usbserial-sim=" + pty.path, "XDG_RUNTIME_DIR=/tmp"};
            if (!platform.empty())
                env.push_back("QT_QPA_PLATFORM=" + platform);
            if (!display.empty())
                env.push_back("DISPLAY=" + display);
            Updater updater(Launch{env, {}, -1, log});
            EXPECT_EQ(updater.Wait(5s), 1);
            std::string said = FileText(log);
            EXPECT_NE(said.find("no display found"), std::string::npos) << said;
            EXPECT_EQ(said.find("einstall"), std::string::npos) << said;
            EXPECT_EQ(said.find("qt.qpa"), std::string::npos) << said;  // the window system's own complaints held back
            EXPECT_TRUE(SameSettings(pty.Settings(), before));
            EXPECT_FALSE(pty.Exclusive());
        }
    }
}

TEST(Program, ACrashMidDialogueRestoresThePortAndStillEndsWithTheSignal)
{
    // A sanitizer reports faults through handlers of its own: there, only SIGABRT and SIGQUIT
    // put the port back.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    const std::vector<int> crashSignals{SIGABRT, SIGQUIT};
#else
    const std::vector<int> crashSignals{SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT};
#endif
    // The crashes must not leave core files behind.
    rlimit core{};
    getrlimit(RLIMIT_CORE, &core);
    rlimit none = core;
    none.rlim_cur = 0;
    setrlimit(RLIMIT_CORE, &none);
    for (int signal : crashSignals) {
        SCOPED_TRACE(strsignal(signal));
        bootsim::BootSim sim(FastSim());
        ASSERT_TRUE(sim.Open());
        termios before = sim.SlaveSettings();
        sim.Start();
        TranscriptFile transcript;
        Updater updater(Offscreen("usbserial-sim=" + sim.SlavePath(), transcript));
        PowerOnWhenFileShows operatorAtTheQz7(sim, transcript.path);
        // The banner answered: the program waits for the operator at the version question.
        ASSERT_TRUE(WaitUntil([&] { return sim.Wire() == "y"; }, 15s));
        ASSERT_TRUE(updater.Catches(signal));
        EXPECT_TRUE(Pty::HeldExclusively(sim.SlavePath()));
        std::chrono::milliseconds took{};
        EXPECT_EQ(updater.Stop(signal, 5s, took), 128 + signal);
        EXPECT_TRUE(SameSettings(sim.SlaveSettings(), before));
        EXPECT_FALSE(Pty::HeldExclusively(sim.SlavePath()));
    }
    {
        // A crash during discovery's pause, while the descriptor it opened belongs to no record
        // yet (or just after the hand-over, when the machine is slow): put back all the same.
        Pty pty;
        termios before = pty.Settings();
        Updater updater("usbserial-sim=" + pty.path);
        ASSERT_TRUE(WaitUntil([&] {
            termios t = pty.Settings();
            return updater.Catches(SIGTERM) && pty.Exclusive() && cfgetospeed(&t) == B57600;
        }, 10s));
        std::this_thread::sleep_for(50ms);  // well inside the 0.2 s pause
        std::chrono::milliseconds took{};
        EXPECT_EQ(updater.Stop(SIGABRT, 5s, took), 128 + SIGABRT);
        EXPECT_TRUE(SameSettings(pty.Settings(), before));
        EXPECT_FALSE(pty.Exclusive());
    }
    setrlimit(RLIMIT_CORE, &core);
}

TEST(Program, HelpVersionAndUsageErrorsNeedNoDisplayAndEachHaveAStatus)
{
    int status = 0;
    std::string program = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " QZ7_BINARY_DIR "/qz7-updater";
    std::string version = CommandOutput(program + " --version", status);
    EXPECT_EQ(status, 0);
    // The firmware it carries, so that a bench knows what it will send.
    EXPECT_TRUE(version.starts_with("QZ7 Updater 1.0.0, firmware V2.007, 3075 lines, sha256 ")) << version;
    EXPECT_EQ(version.size(), std::string("QZ7 Updater 1.0.0, firmware V2.007, 3075 lines, sha256 \n").size() + 64);
    std::string help = CommandOutput(program + " --help", status);
    EXPECT_EQ(status, 0);
    for (const char* part : {"--help", "--version", "--timeout <seconds>", "Exit statuses", "\n  64   wrong usage",
                             "\n  124  --timeout ran out", "\n  130  stopped by SIGINT (twice within 5 s"})
        EXPECT_NE(help.find(part), std::string::npos) << part << "\n" << help;
    // A usage error is told apart from an error nobody foresaw (1).
    for (const char* wrong : {"--no-such-option", "--cli --timeout 0", "--timeout 5", "--port"}) {
        CommandOutput(program + " " + wrong + " 2>/dev/null", status);
        EXPECT_EQ(status, 64) << wrong;
    }
    // Output that could not be written is no success.
    for (const char* option : {"--help", "--version", "--list"}) {
        CommandOutput(program + " " + option + " >/dev/full 2>/dev/null", status);
        EXPECT_EQ(status, 74) << option;
    }
}

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

TEST(Simulator, HelpDocumentsEveryOption)
{
    int status = 0;
    std::string help = CommandOutput(QZ7_BINARY_DIR "/qz7-bootsim --help", status);
    EXPECT_EQ(status, 0);
    for (const char* option : {"--baud", "--power-on-ms", "--erase-ms", "--line-delay-us", "--banner", "--version",
                               "--no-version", "--extra-lines", "--fail-erase", "--chunking", "--noise", "--high-byte",
                               "--silent-from", "--hang-up-at", "--hang-up-after", "--burst", "--seed", "--expect", "--echo",
                               "--asterisks", "--restart-after", "--hang-up-after-version-ms", "SIGUSR1"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

namespace {
// What the far end of `fd` sends within `bound`, read until `part` has come.
std::string ReadUntil(int fd, const std::string& part, std::chrono::milliseconds bound)
{
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + bound;
    char buffer[256];
    while (got.find(part) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
    }
    return got;
}
}  // namespace

TEST(Simulator, ItsWaitsEndAtOnceWhenTheOperatorActsOrItIsStopped)
{
    // The tests power the simulator on at the moment the program shows its directions, and end
    // its pauses when they have seen enough: a wait that ignored them would cost its full length.
    bootsim::Options o;
    o.powerOnDelay = 60s;
    o.eraseDelay = 0ms;
    o.pauseAfterLines = 1;
    o.pause = 60s;
    {
        bootsim::BootSim sim(o);
        ASSERT_TRUE(sim.Open());
        sim.Start();
        OpenResult port = OpenAndConfigure(sim.SlavePath());
        ASSERT_GT(port.fd, 0);
        sim.PowerOn();
        EXPECT_NE(ReadUntil(port.fd, "Boot Loader\r\n", 1s).find("QZ-7 Boot Loader\r\n"), std::string::npos);
        const std::string line = ":0100000041BE\r\n";
        ASSERT_EQ(::write(port.fd, "yyEP", 4), 4);
        EXPECT_NE(ReadUntil(port.fd, "*", 1s).find("Erased\r\n*"), std::string::npos);
        ASSERT_EQ(::write(port.fd, line.data(), line.size()), static_cast<ssize_t>(line.size()));
        ASSERT_TRUE(WaitUntil([&] { return sim.Snapshot().lines == 1; }, 1s));
        EXPECT_EQ(ReadUntil(port.fd, "*", 100ms), "") << "no pause after the first line";
        sim.Resume();
        EXPECT_EQ(ReadUntil(port.fd, "*", 1s), "*") << "the pause went on";
        ASSERT_EQ(::write(port.fd, line.data(), line.size()), static_cast<ssize_t>(line.size()));
        EXPECT_EQ(ReadUntil(port.fd, "*", 1s), "*");  // a pause comes once
        RestoreAndClose(port.fd, port.archive, port.serialFlags);
    }
    {
        bootsim::BootSim sim(o);
        ASSERT_TRUE(sim.Open());
        sim.Start();
        OpenResult port = OpenAndConfigure(sim.SlavePath());
        ASSERT_TRUE(WaitUntil([&] { return sim.Snapshot().configured; }, 1s));
        auto start = std::chrono::steady_clock::now();
        sim.Stop();  // in the middle of the power-on wait
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
        EXPECT_TRUE(sim.WaitFinished(0ms));
        RestoreAndClose(port.fd, port.archive, port.serialFlags);
    }
    // The program: SIGUSR1 is the operator's power-on, and SIGTERM still ends it with its summary.
    int out[2];
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    Updater bootsim(Launch{.env = {}, .args = {"--power-on-ms", "60000", "--events"}, .stdoutFd = out[1],
                           .program = QZ7_BINARY_DIR "/qz7-bootsim"});
    ::close(out[1]);
    std::string said = ReadUntil(out[0], "\n", 5s);
    ASSERT_TRUE(said.ends_with("\n")) << said;
    OpenResult port = OpenAndConfigure(said.substr(0, said.size() - 1));
    ASSERT_GT(port.fd, 0) << said;
    said += ReadUntil(out[0], "event: configured\n", 5s);
    kill(bootsim.pid, SIGUSR1);
    said += ReadUntil(out[0], "event: banner\n", 1s);
    EXPECT_NE(said.find("event: banner\n"), std::string::npos) << said;
    std::chrono::milliseconds took{};
    EXPECT_EQ(bootsim.Stop(SIGTERM, 5s, took), 1);
    said += ReadUntil(out[0], "NOT intact", 1s);
    EXPECT_NE(said.find("qz7-bootsim: image NOT intact"), std::string::npos) << said;
    ::close(out[0]);
    RestoreAndClose(port.fd, port.archive, port.serialFlags);
}

TEST(Demo, PressesKeysInItsOwnWindowOnlyAndDrawsOnAServerOfItsOwn)
{
    // Another server on :77 (the display the demo once took for granted) with a window titled
    // like the updater's in front: a second checkout's demo, a parallel CI job.
    auto answers = [] {
        int status = 0;
        CommandOutput("DISPLAY=:77 xdotool getdisplaygeometry >/dev/null 2>&1", status);
        return status == 0;
    };
    std::unique_ptr<Updater> server;
    if (!answers()) {
        server = std::make_unique<Updater>(
            Launch{OwnEnvironment(), {":77", "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, -1, "/dev/null", "Xvfb"});
        WaitUntil(answers, 10s);
    }
    int out[2];
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    std::vector<std::string> env = OwnEnvironment();
    env.push_back("DISPLAY=:77");
    env.push_back("XDG_RUNTIME_DIR=/tmp");
    env.push_back("LSAN_OPTIONS=suppressions=" QZ7_SOURCE_DIR "/tests/support/lsan-x11.supp");
    Updater decoy(Launch{env, {kDecoyWindow}, out[1], "/dev/null", QZ7_BINARY_DIR "/tests/test_process"});
    ::close(out[1]);
    std::string said = ReadUntil(out[0], "shown\n", 5s);
    if (said.find("shown") == std::string::npos) {
        ::close(out[0]);
        GTEST_SKIP() << "no window could be shown on :77";
    }

    int status = 0;
    std::string demo = CommandOutput("env -u DISPLAY -u WAYLAND_DISPLAY " + XChildTsanOptions() + " BUILD=" QZ7_BINARY_DIR " " QZ7_SOURCE_DIR
                                     "/scripts/demo.sh --fast 2>&1",
                                     status);
    EXPECT_EQ(status, 0) << demo;
    EXPECT_NE(demo.find("image intact"), std::string::npos) << demo;
    said += ReadUntil(out[0], "key", 200ms);  // a key would have been told by now
    ::close(out[0]);
    EXPECT_EQ(said, "shown\n");  // not one key
    std::chrono::milliseconds took{};
    if (server)
        server->Stop(SIGTERM, 5s, took);  // so that it removes its socket and lock
}
