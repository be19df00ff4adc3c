// Faults at opening the port, against the real program and controller: an adapter held by
// another process, one the user may not open, and a device that floods the line from the start.
#include "controller/SignalQuit.h"
#include "tests/support/TestSupport.h"

#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <regex>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {
const std::string kPowerOn = Directions::PowerOn;
}  // namespace

// The real program as an unprivileged user (root ignores exclusive use and file modes), its
// transcript kept in a file: the status line is read from its "status:" lines.
namespace {
struct Unprivileged {
    static passwd* Nobody() { return getpwnam("nobody"); }
    explicit Unprivileged(const std::string& ports)
        : transcript(testing::TempDir() + "qz7-transcript-" + std::to_string(getpid()) + ".log"),
          updater(Launch{.env = OffscreenEnvironment(ports), .stderrFile = transcript, .asNobody = true})
    {
    }
    ~Unprivileged() { std::remove(transcript.c_str()); }
    std::string Transcript() const
    {
        std::ifstream file(transcript);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }
    // Waits until the transcript holds a status line that contains `part`.
    bool StatusSays(const std::string& part, std::chrono::milliseconds bound = 5s) const
    {
        return QTest::qWaitFor([&] {
            std::istringstream lines(Transcript());
            for (std::string line; std::getline(lines, line);)
                if (line.find("status: ") != std::string::npos && line.find(part) != std::string::npos)
                    return true;
            return false;
        }, static_cast<int>(bound.count()));
    }
    std::string transcript;
    Updater updater;
};

bool Configured(const Pty& pty)
{
    termios t = pty.Settings();
    return cfgetospeed(&t) == B57600;
}
}  // namespace

TEST(Faults, HeldAdapterIsNamedWithItsHolderAndOpenedOnceFree)
{
    passwd* nobody = Unprivileged::Nobody();
    if (getuid() == 0 && !nobody)
        GTEST_SKIP() << "running as root and there is no user 'nobody' to drop to";
    Pty pty;
    termios before = pty.Settings();
    if (getuid() == 0) {
        ASSERT_EQ(chown(pty.path.c_str(), nobody->pw_uid, static_cast<gid_t>(-1)), 0);
        ASSERT_EQ(chmod(pty.path.c_str(), 0666), 0);
    }
    // Another program of the same user holds the adapter in exclusive use, on its standard input.
    int held = ::open(pty.path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(ioctl(held, TIOCEXCL), 0);
    auto sleeper = std::make_unique<Updater>(Launch{.env = {}, .args = {"60"}, .program = "/bin/sleep", .stdinFd = held, .asNobody = true});
    ::close(held);
    const pid_t holder = sleeper->pid;
    ASSERT_TRUE(pty.Exclusive());

    Unprivileged updater("usbserial-held=" + pty.path);
    EXPECT_TRUE(updater.StatusSays(pty.path + " is in use by another program: sleep (PID " + std::to_string(holder) + ")"))
        << updater.Transcript();
    EXPECT_FALSE(Configured(pty));

    // The other program ends. On a pseudo-terminal exclusive use outlives the descriptor, so it is
    // given up here as a well-behaved program would have done.
    sleeper.reset();
    int fd = ::open(pty.path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ioctl(fd, TIOCNXCL);
    ::close(fd);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Configured(pty); }, 2000));
    EXPECT_TRUE(updater.StatusSays("Adapter on " + pty.path)) << updater.Transcript();
    std::chrono::milliseconds took{};
    EXPECT_EQ(updater.updater.Stop(SIGTERM, 10s, took), 0);
    EXPECT_TRUE(SameSettings(pty.Settings(), before));
}

TEST(Faults, FloodAtPortOpenHoldsNeitherTheWindowNorAQuit)
{
    // The device floods the line with line ends from before the port opens: the drain on the
    // GUI thread is bounded, and the reader after it never finds a reply.
    Pty pty;
    termios before = pty.Settings();
    ASSERT_EQ(fcntl(pty.master, F_SETFL, O_NONBLOCK), 0);
    std::atomic<bool> stop{false};
    std::thread flood([&] {
        const std::string lineEnds(4096, '\n');
        while (!stop) {
            if (::write(pty.master, lineEnds.data(), lineEnds.size()) <= 0)
                std::this_thread::sleep_for(1ms);
        }
    });
    auto app = MakeApp(pty.path);
    SignalQuit signalQuit([&app](int) { app->window->close(); });
    app->window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app->window.get()));
    // The GUI thread's longest pause from before the port opens, seen by a timer that asks to
    // run every 5 ms.
    QElapsedTimer sinceTick;
    qint64 longestPause = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { longestPause = std::max(longestPause, sinceTick.restart()); });
    sinceTick.start();
    tick.start(5);
    app->Launch();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenText(*app).toStdString() == kPowerOn; }));
    QTest::qWait(300);
    tick.stop();
    std::printf("longest pause of the GUI thread during the flood: %lld ms\n", static_cast<long long>(longestPause));
    EXPECT_LT(longestPause, 250);

    auto start = std::chrono::steady_clock::now();
    std::raise(SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app->window->isVisible(); }, 1000));
    app->controller->applicationWillTerminate();
    app.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    stop = true;
    flood.join();
    EXPECT_TRUE(SameSettings(pty.Settings(), before));
}

TEST(Faults, PermissionRefusedNamesTheGroupAndTheCommandUntilTheModeAllows)
{
    passwd* nobody = Unprivileged::Nobody();
    group* dialout = getgrnam("dialout");
    if (getuid() != 0 || !nobody || !dialout)
        GTEST_SKIP() << "needs root, the user 'nobody' and the group 'dialout'";
    Pty pty;
    // As udev leaves a USB adapter: owned by root, group dialout, mode 0660.
    ASSERT_EQ(chown(pty.path.c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(chmod(pty.path.c_str(), 0660), 0);

    Unprivileged updater("usbserial-locked=" + pty.path);
    EXPECT_TRUE(updater.StatusSays("No permission to open " + pty.path + " (owner root, group dialout)")) << updater.Transcript();
    EXPECT_TRUE(updater.StatusSays("sudo adduser nobody dialout")) << updater.Transcript();
    EXPECT_FALSE(Configured(pty));
    // The transcript: one line per event, with a time stamp, and the errno of the failure.
    EXPECT_TRUE(std::regex_search(updater.Transcript(),
                                  std::regex(R"((?:^|\n)\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} qz7\.serial warning: cannot open \S+: open failed: .* \(errno 13\)\n)")))
        << updater.Transcript();

    ASSERT_EQ(chmod(pty.path.c_str(), 0666), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Configured(pty); }, 2000));
    EXPECT_TRUE(updater.StatusSays("Adapter on " + pty.path)) << updater.Transcript();
}
