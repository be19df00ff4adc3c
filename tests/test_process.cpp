// The real program as an operator starts it, pointed at a pseudo-terminal through
// QZ7_SERIAL_PORTS: what it does to the port, what it costs while it waits, how it ends, and
// what it says when it cannot open a window.
#include "TestSupport.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// How the program is started: its environment (the sanitizers' options are added), its
// arguments, and where its standard output and error go.
struct Launch {
    std::vector<std::string> env;
    std::vector<std::string> args = {};
    int stdoutFd = -1;       // /dev/null unless given
    std::string stderrFile = {};  // the test's own standard error unless given
};

std::vector<std::string> SeamEnvironment(const std::string& path)
{
    return {"QT_QPA_PLATFORM=offscreen", "QZ7_SERIAL_PORTS=usbserial-sim=" + path, "XDG_RUNTIME_DIR=/tmp"};
}

struct Updater {
    explicit Updater(const std::string& path) : Updater(Launch{SeamEnvironment(path)}) {}
    explicit Updater(Launch launch)
    {
        std::vector<std::string> env = ChildEnvironment(launch.env);
        std::vector<char*> envp;
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string program = QZ7_BINARY_DIR "/qz7-updater";
        std::vector<char*> argv{program.data()};
        for (auto& a : launch.args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (launch.stdoutFd >= 0)
            posix_spawn_file_actions_adddup2(&actions, launch.stdoutFd, 1);
        else
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        // Standard error stays the test's own unless asked for, so that a sanitizer's report shows.
        if (!launch.stderrFile.empty())
            posix_spawn_file_actions_addopen(&actions, 2, launch.stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        // Every signal as a shell would leave it: a test runner may ignore SIGPIPE or SIGHUP.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t all, none;
        sigfillset(&all);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        EXPECT_EQ(posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data()), 0);
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Updater()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    // Waits at most `bound` for the exit; returns the exit status (128 + signal), or -1.
    int Wait(std::chrono::milliseconds bound, std::chrono::milliseconds* took = nullptr)
    {
        auto start = std::chrono::steady_clock::now();
        int status = 0;
        while (std::chrono::steady_clock::now() - start < bound) {
            if (waitpid(pid, &status, WNOHANG) == pid) {
                if (took)
                    *took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(5ms);
        }
        return -1;
    }
    // Sends `signal` and waits for the exit.
    int Stop(int signal, std::chrono::milliseconds bound, std::chrono::milliseconds& took)
    {
        kill(pid, signal);
        return Wait(bound, &took);
    }
    // User plus system time of the process, in seconds.
    double CpuSeconds() const
    {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        std::istringstream fields(text.substr(text.rfind(')') + 2));
        std::string skip;
        for (int i = 0; i < 11; ++i)
            fields >> skip;
        double utime = 0, stime = 0;
        fields >> utime >> stime;
        return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    pid_t pid = -1;
};

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound)
{
    auto deadline = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

std::string FileText(const std::string& path)
{
    std::ifstream file(path);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// An X server of the test's own (Xvfb on a free display), for the cases that need the window
// system itself: pressing Update as an operator would, and losing the connection to it.
struct XServer {
    XServer()
    {
        int pipeFds[2];
        if (pipe2(pipeFds, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 3);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        char* argv[] = {const_cast<char*>("Xvfb"), const_cast<char*>("-displayfd"), const_cast<char*>("3"),
                        const_cast<char*>("-screen"), const_cast<char*>("0"), const_cast<char*>("640x560x24"),
                        const_cast<char*>("-nolisten"), const_cast<char*>("tcp"), nullptr};
        if (posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv, environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeFds[1]);
        // Xvfb writes its display number once it accepts clients.
        std::string number;
        char c;
        pollfd p{pipeFds[0], POLLIN, 0};
        while (pid > 0 && ::poll(&p, 1, 10000) > 0 && ::read(pipeFds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(pipeFds[0]);
        if (!number.empty())
            display = ":" + number;
    }
    ~XServer() { Kill(); }
    void Kill()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            pid = -1;
        }
    }
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
    pid_t pid = -1;
    std::string display;
};

std::vector<std::string> XEnvironment(const XServer& x, const std::string& path)
{
    return {"DISPLAY=" + x.display, "QT_QPA_PLATFORM=xcb", "QZ7_SERIAL_PORTS=usbserial-sim=" + path, "XDG_RUNTIME_DIR=/tmp",
            "LSAN_OPTIONS=suppressions=" QZ7_SOURCE_DIR "/tests/lsan-x11.supp"};
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
        Updater updater(pty.path);
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
        std::this_thread::sleep_for(300ms);  // past the hand-over: a reader now waits for the banner

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
    Updater updater(sim.SlavePath());
    ASSERT_TRUE(WaitUntil([&] { return sim.Wire() == "y"; }, 5s));
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
    Updater updater("/nonexistent/ttyUSB7");
    std::this_thread::sleep_for(500ms);
    std::chrono::milliseconds took{};
    EXPECT_EQ(updater.Stop(SIGTERM, 2s, took), 0);
    EXPECT_LT(took, 1s);
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
    // No display at all, and a platform named that needs one that is not there.
    for (std::string platform : {"", "xcb"}) {
        SCOPED_TRACE("QT_QPA_PLATFORM=" + platform);
        Pty pty;
        termios before = pty.Settings();
        std::string log = testing::TempDir() + "qz7-nodisplay.log";
        std::vector<std::string> env{"QZ7_SERIAL_PORTS=usbserial-sim=" + pty.path, "XDG_RUNTIME_DIR=/tmp"};
        if (!platform.empty())
            env.push_back("QT_QPA_PLATFORM=" + platform);
        Updater updater(Launch{env, {}, -1, log});
        EXPECT_EQ(updater.Wait(5s), 1);
        std::string said = FileText(log);
        EXPECT_NE(said.find("no display found"), std::string::npos) << said;
        EXPECT_EQ(said.find("einstall"), std::string::npos) << said;
        EXPECT_TRUE(SameSettings(pty.Settings(), before));
        EXPECT_FALSE(pty.Exclusive());
    }
}

TEST(Program, HelpAndVersionNeedNoDisplay)
{
    int status = 0;
    std::string program = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " QZ7_BINARY_DIR "/qz7-updater";
    std::string version = CommandOutput(program + " --version", status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(version, "QZ7 Updater 1.0.0\n");
    std::string help = CommandOutput(program + " --help", status);
    EXPECT_EQ(status, 0);
    for (const char* option : {"--help", "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << help;
    CommandOutput(program + " --no-such-option 2>/dev/null", status);
    EXPECT_EQ(WEXITSTATUS(status), 1);
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
    Updater updater(Launch{XEnvironment(x, sim.SlavePath()), {}, out[1]});
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
    Updater updater(Launch{XEnvironment(x, sim.SlavePath())});
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
                               "--asterisks", "--restart-after", "--hang-up-after-version-ms"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}
