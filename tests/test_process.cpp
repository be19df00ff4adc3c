// The real program as an operator starts it, pointed at a pseudo-terminal through
// QZ7_SERIAL_PORTS: what it does to the port, what it costs while it waits, how it ends.
#include "TestSupport.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

struct Updater {
    explicit Updater(const std::string& path)
    {
        std::vector<std::string> env = ChildEnvironment(
            {"QT_QPA_PLATFORM=offscreen", "QZ7_SERIAL_PORTS=usbserial-sim=" + path, "XDG_RUNTIME_DIR=/tmp"});
        std::vector<char*> envp;
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string program = QZ7_BINARY_DIR "/qz7-updater";
        char* argv[] = {program.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        // Standard error stays the test's own, so that a sanitizer's report shows in the log.
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        EXPECT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Updater()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    // Sends `signal` and waits for the exit; returns the exit status, or -1 past the bound.
    int Stop(int signal, std::chrono::milliseconds bound, std::chrono::milliseconds& took)
    {
        auto start = std::chrono::steady_clock::now();
        kill(pid, signal);
        int status = 0;
        while (std::chrono::steady_clock::now() - start < bound) {
            if (waitpid(pid, &status, WNOHANG) == pid) {
                took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(5ms);
        }
        return -1;
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

}  // namespace

TEST(Program, OpensThePortExclusivelyRawAndRestoresItOnSigterm)
{
    Pty pty;
    termios before = pty.Settings();
    Updater updater(pty.path);
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
