// The real program as an operator starts it, pointed at a pseudo-terminal through
// QZ7_SERIAL_PORTS: what it does to the port, what it costs while it waits, how it ends, and
// what it says when it cannot open a window.
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <pwd.h>
#include <fstream>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// The updater with the windows off screen and QZ7_SERIAL_PORTS holding `ports`, its transcript
// in `transcript`.
Launch Offscreen(const std::string& ports, const TranscriptFile& transcript)
{
    return Launch{.env = OffscreenEnvironment(ports), .stderrFile = transcript.path};
}

// While it lives, crashes leave no core files behind.
struct NoCoreFiles {
    NoCoreFiles()
    {
        getrlimit(RLIMIT_CORE, &kept);
        rlimit none = kept;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_CORE, &none);
    }
    ~NoCoreFiles() { setrlimit(RLIMIT_CORE, &kept); }
    rlimit kept{};
};

// A thread of process `pid` other than its main thread (the highest number), or 0.
pid_t OtherThread(pid_t pid)
{
    pid_t other = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task"))
        if (pid_t tid = std::stoi(entry.path().filename().string()); tid != pid)
            other = std::max(other, tid);
    return other;
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

TEST(Program, AnswersTheBannerAndWaitsForTheOperatorAndSearchesAtNoCost)
{
    // Two programs measured over the same second: one that answered the banner and waits at the
    // question, and one still searching for an adapter in the system's own listing.
    bootsim::Options o = FastSim();
    bootsim::BootSim sim(o);
    ASSERT_TRUE(sim.Open());
    termios before = sim.SlaveSettings();
    sim.Start();
    TranscriptFile transcript;
    Updater updater(Offscreen("usbserial-sim=" + sim.SlavePath(), transcript));
    PowerOnWhenFileShows operatorAtTheQz7(sim, transcript.path);

    // No QZ7_SERIAL_PORTS: the system's ports are listed, kept current from the kernel's events,
    // and the choice rule runs over them every 0.2 s. A port the rule would take (an adapter
    // plugged into the machine that runs the tests) is left out of the listing, so that the test
    // opens no device of the machine's.
    int out[2];
    ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
    Updater searching(Launch{{"QT_QPA_PLATFORM=offscreen"}, {kSearchUntilKilled}, out[1], {}, "/proc/self/exe"});
    ::close(out[1]);
    const auto searchStarted = std::chrono::steady_clock::now();
    std::string said = ReadUntil(out[0], "searching\n", 10s);
    ::close(out[0]);
    ASSERT_EQ(said, "searching\n");

    // A sanitized start on a busy machine is slow. The question shown, the program rests.
    ASSERT_TRUE(transcript.Says("directions: Found Version", 15s));
    EXPECT_EQ(sim.Wire(), "y");
    // The search past its start-up and its first enumeration.
    std::this_thread::sleep_until(searchStarted + 500ms);

    // Five passes of discovery, on a clock that counts nanoseconds.
    const double waiting = updater.CpuSeconds(), looking = searching.CpuSeconds();
    std::this_thread::sleep_for(1s);
    EXPECT_LT(updater.CpuSeconds() - waiting, kIdleShareLimit);
    const double share = searching.CpuSeconds() - looking;
    EXPECT_LT(share, kSearchShareLimit);
    RecordProperty("share", std::to_string(share));

    std::chrono::milliseconds took{};
    EXPECT_EQ(updater.Stop(SIGINT, 2s, took), 0);
    EXPECT_LT(took, 1s);
    EXPECT_TRUE(SameSettings(sim.SlaveSettings(), before));
    EXPECT_EQ(searching.Stop(SIGTERM, 2s, took), 0);
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
    Updater updater(Launch{.env = {"ASAN_OPTIONS=detect_leaks=0"},
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

TEST(Program, ALanguageNoInstalledFontShowsFallsBackToEnglishAndSaysSo)
{
    // Only the DejaVu fonts, whatever else the machine has: no font for Japanese.
    const std::string fonts = testing::TempDir() + "fonts-latin-only.conf";
    std::ofstream(fonts) << "<?xml version=\"1.0\"?><!DOCTYPE fontconfig SYSTEM \"fonts.dtd\"><fontconfig>"
                            "<dir>/usr/share/fonts/truetype/dejavu</dir><cachedir>"
                         << testing::TempDir() << "fontcache</cachedir></fontconfig>\n";
    const struct {
        const char* lang;
        bool fallsBack;
    } rows[] = {{"ja_JP.UTF-8", true}, {"de_DE.UTF-8", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lang);
        TranscriptFile transcript;
        std::vector<std::string> env = OffscreenEnvironment("usbserial-sim=/nonexistent/ttyUSB7");
        env.insert(env.end(), {std::string("LANG=") + row.lang, "LANGUAGE=", "LC_ALL=", "FONTCONFIG_FILE=" + fonts});
        Updater updater(Launch{.env = env, .stderrFile = transcript.path});
        ASSERT_TRUE(WaitUntil([&] { return updater.Catches(SIGTERM); }, 10s));
        EXPECT_EQ(transcript.Says("no installed font shows Japanese text: the window is in English", row.fallsBack ? 5s : 300ms),
                  row.fallsBack)
            << FileText(transcript.path);
        std::chrono::milliseconds took{};
        EXPECT_EQ(updater.Stop(SIGTERM, 5s, took), 0);
    }
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
        // 20 lines in: about a sixth of a second into a transfer of some 25 s at this speed.
        ASSERT_TRUE(WaitUntil([&] { return sim.Snapshot().lines >= 20; }, 60s)) << sim.Snapshot().Summary();
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
    EXPECT_TRUE(SameSettings(SerialRecord(*second->controller)->termios_archive(), left));
    second->controller->applicationWillTerminate();
    second.reset();
    EXPECT_TRUE(SameSettings(sim.SlaveSettings(), left));
}

TEST(Program, WithoutADisplaySaysSoAndLeavesThePortAlone)
{
    // A display number nothing listens on.
    int unused = 177;  // far above the lowest free numbers, which the tests' own servers take
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
            TranscriptFile log;  // a name of this process's own: checkouts run side by side
            std::vector<std::string> env{"QZ7_SERIAL_PORTS=usbserial-sim=" + pty.path};
            if (!platform.empty())
                env.push_back("QT_QPA_PLATFORM=" + platform);
            if (!display.empty())
                env.push_back("DISPLAY=" + display);
            Updater updater(Launch{env, {}, -1, log.path});
            EXPECT_EQ(updater.Wait(5s), 1);
            std::string said = FileText(log.path);
            EXPECT_NE(said.find("no display found"), std::string::npos) << said;
            EXPECT_EQ(said.find("einstall"), std::string::npos) << said;
            EXPECT_EQ(said.find("qt.qpa"), std::string::npos) << said;  // the window system's own complaints held back
            EXPECT_TRUE(SameSettings(pty.Settings(), before));
            EXPECT_FALSE(pty.Exclusive());
        }
    }
}

TEST(Program, EverySignalThatEndsItPutsThePortBackFirstAndStillEndsWithIt)
{
    // Every signal whose default action ends the process, at the version question (the window)
    // and in the middle of the transfer (--cli --yes): the port's settings and its exclusive use
    // are put back, and the process still ends by that signal, also when it is sent to a thread
    // other than the main one. A signal the program was started with ignored, and SIGPIPE, which
    // it ignores itself, change nothing: SIGTERM ends it then.
    // A sanitizer reports faults through handlers of its own: there, the faults are left to it.
    enum class Sent { ToProcess, ToAThread, IgnoredAtStart };
    struct Case {
        int signal;
        bool atQuestion;
        Sent sent = Sent::ToProcess;
        bool Ends() const { return signal != SIGPIPE && sent != Sent::IgnoredAtStart; }
    };
    std::vector<int> ending{SIGABRT, SIGQUIT, SIGTRAP, SIGSYS, SIGXCPU, SIGXFSZ, SIGUSR1, SIGUSR2, SIGALRM,
                            SIGVTALRM, SIGPROF, SIGPOLL, SIGPWR, SIGSTKFLT, SIGRTMIN + 1, SIGRTMAX, SIGPIPE};
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    ending.insert(ending.end(), {SIGSEGV, SIGBUS, SIGFPE, SIGILL});
#endif
    std::vector<Case> cases;
    for (bool atQuestion : {true, false}) {
        for (int signal : ending)
            cases.push_back({signal, atQuestion});
        cases.insert(cases.end(), {{SIGUSR2, atQuestion, Sent::ToAThread}, {SIGRTMIN + 2, atQuestion, Sent::ToAThread},
                                   {SIGUSR1, atQuestion, Sent::IgnoredAtStart}});
    }
    NoCoreFiles noCores;  // for the crashes
    struct Run {
        std::unique_ptr<bootsim::BootSim> sim;
        termios before{};
        TranscriptFile transcript;
        std::unique_ptr<Updater> updater;
        std::unique_ptr<PowerOnWhenFileShows> powerOn;
    };
    std::chrono::milliseconds slowest{};
    // Half of them side by side, each with a simulator and a transcript of its own.
    const std::size_t batch = (cases.size() + 1) / 2;
    for (std::size_t first = 0; first < cases.size(); first += batch) {
        std::vector<std::unique_ptr<Run>> runs;
        for (std::size_t i = first; i < std::min(first + batch, cases.size()); ++i) {
            const Case& c = cases[i];
            Run& run = *runs.emplace_back(std::make_unique<Run>());
            run.sim = std::make_unique<bootsim::BootSim>(c.atQuestion ? FastSim() : HeldTransfer(100));
            ASSERT_TRUE(run.sim->Open());
            run.before = run.sim->SlaveSettings();
            run.sim->Start();
            const std::string path = run.sim->SlavePath();
            Launch launch = Offscreen(c.atQuestion ? "usbserial-sim=" + path : "", run.transcript);
            if (!c.atQuestion)
                launch.args = {"--cli", "--yes", "--port", path};
            if (c.sent == Sent::IgnoredAtStart)
                launch.ignored = {c.signal};
            run.updater = std::make_unique<Updater>(launch);
            run.powerOn = std::make_unique<PowerOnWhenFileShows>(*run.sim, run.transcript.path);
        }
        for (std::size_t k = 0; k < runs.size(); ++k) {
            const Case& c = cases[first + k];
            SCOPED_TRACE(std::string(strsignal(c.signal)) + (c.atQuestion ? " at the question" : " mid-transfer") +
                         (c.sent == Sent::ToAThread ? ", to a thread" : c.sent == Sent::IgnoredAtStart ? ", ignored" : ""));
            bootsim::BootSim& sim = *runs[k]->sim;
            Updater& updater = *runs[k]->updater;
            // The banner answered (the program waits for the operator), or the transfer held.
            ASSERT_TRUE(WaitUntil([&] { return c.atQuestion ? sim.Wire() == "y" : sim.Snapshot().lines >= 100; }, 30s))
                << sim.Snapshot().Summary();
            EXPECT_EQ(updater.Catches(c.signal), c.Ends());
            EXPECT_TRUE(Pty::HeldExclusively(sim.SlavePath()));
            std::chrono::milliseconds took{};
            if (c.sent == Sent::ToAThread) {
                const pid_t thread = OtherThread(updater.pid);
                ASSERT_NE(thread, 0);
                ASSERT_EQ(syscall(SYS_tgkill, updater.pid, thread, c.signal), 0);
                EXPECT_EQ(updater.Wait(5s, &took), 128 + c.signal);
            } else if (c.Ends()) {
                EXPECT_EQ(updater.Stop(c.signal, 5s, took), 128 + c.signal);
            } else {
                kill(updater.pid, c.signal);
                std::this_thread::sleep_for(200ms);  // nothing happens meanwhile
                EXPECT_TRUE(Pty::HeldExclusively(sim.SlavePath()));
                EXPECT_EQ(updater.Stop(SIGTERM, 5s, took), c.atQuestion ? 0 : 130);
            }
            slowest = std::max(slowest, c.Ends() ? took : 0ms);
            EXPECT_TRUE(SameSettings(sim.SlaveSettings(), runs[k]->before));
            EXPECT_FALSE(Pty::HeldExclusively(sim.SlavePath()));
        }
    }
    RecordProperty("slowest_ms", std::to_string(slowest.count()));
    EXPECT_LT(slowest, 2s);
}

TEST(Program, ACrashInDiscoverysPauseRestoresThePortAndStillEndsWithTheSignal)
{
    // A crash during discovery's pause, while the descriptor it opened belongs to no record yet
    // (or just after the hand-over, when the machine is slow): put back all the same.
    NoCoreFiles noCores;
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

TEST(Program, HelpVersionAndUsageErrorsNeedNoDisplayAndEachHaveAStatus)
{
    int status = 0;
    std::string program = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " QZ7_BINARY_DIR "/qz7-updater";
    std::string version = CommandOutput(program + " --version", status);
    EXPECT_EQ(status, 0);
    // The firmware it carries, so that a bench knows what it will send.
    EXPECT_EQ(version, "QZ7 Updater 1.0.0, firmware " + kShippedV + ", " + kShippedLines + " lines, sha256 " +
                           Firmware::Sha256 + "\n");
    std::string help = CommandOutput(program + " --help", status);
    EXPECT_EQ(status, 0);
    for (const char* part : {"--help", "--version", "--timeout <seconds>", "Exit statuses", "\n  64   wrong usage",
                             "\n  124  --timeout ran out", "--allow-older", "\n  18   --yes: the QZ7 has newer firmware",
                             "\n  130  stopped by SIGINT (twice within 5 s"})
        EXPECT_NE(help.find(part), std::string::npos) << part << "\n" << help;
    // A usage error is told apart from an error nobody foresaw (1).
    for (const char* wrong : {"--no-such-option", "--cli --timeout 0", "--timeout 5", "--port", "--allow-older"}) {
        CommandOutput(program + " " + wrong + " 2>/dev/null", status);
        EXPECT_EQ(status, 64) << wrong;
    }
    // Output that could not be written is no success: a full device, or no output at all.
    for (const char* option : {"--help", "--version", "--list"}) {
        for (const char* redirect : {" >/dev/full 2>/dev/null", " >&- 2>/dev/null"}) {
            CommandOutput(program + " " + option + redirect, status);
            EXPECT_EQ(status, 74) << option << redirect;
        }
    }
}
