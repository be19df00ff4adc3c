// The program on /dev/ttyS0, a UART with a real serial driver (a pseudo-terminal never holds
// output, a UART does). Nothing is attached to it, so the tests put it in the UART's loopback
// mode: what goes out comes back to the receiver and never reaches the line (on a machine whose
// console is this port, nothing reaches the console). A held output queue is made with hardware
// flow control: with CRTSCTS set and RTS dropped, loopback drops CTS and the driver stops
// sending. Every test puts back the settings, driver flags and modem lines it found.
// Skipped, with the reason, where there is no such port or the tests do not run as root.
// Another build's suite on the same machine may run these tests at the same moment: each test
// holds an flock on the port's sysfs entry, so the runs take turns on the one UART.
#include "tests/support/TestSupport.h"

#include <QPushButton>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* kPort = "/dev/ttyS0";
// The UART's loopback bit among the modem lines (the kernel's TIOCM_LOOP, which glibc's
// headers leave out).
constexpr int kModemLoop = 0x8000;

// Why the port cannot be used here, or empty when it can.
std::string WhyNoPort()
{
    if (geteuid() != 0)
        return "not root: the tests change /dev/ttyS0's driver flags and modem lines";
    if (::access(kPort, F_OK) != 0)
        return "there is no /dev/ttyS0";
    int fd = ::open(kPort, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::string("/dev/ttyS0 does not open: ") + std::strerror(errno);
    serial_struct ss{};
    bool uart = ioctl(fd, TIOCGSERIAL, &ss) == 0 && ss.type != PORT_UNKNOWN;
    ::close(fd);
    return uart ? "" : "/dev/ttyS0 is no UART (its driver reports no port type)";
}

// Waits for the other suites' tests on the port to finish; the lock goes with the descriptor.
int TakeTurn()
{
    int fd = ::open("/sys/class/tty/ttyS0", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    auto until = std::chrono::steady_clock::now() + 5min;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (std::chrono::steady_clock::now() > until) {
            ::close(fd);
            return -1;
        }
        std::this_thread::sleep_for(50ms);
    }
    return fd;
}

class RealPort : public testing::Test {
protected:
    void SetUp() override
    {
        std::string why = WhyNoPort();
        if (!why.empty()) {
            std::printf("skipped: %s\n", why.c_str());
            GTEST_SKIP() << why;
        }
        turn_ = TakeTurn();
        ASSERT_GE(turn_, 0) << "another run kept /dev/ttyS0 for five minutes";
        fd_ = ::open(kPort, O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd_, 0);
        RecoverFromACutRun();
        ASSERT_EQ(tcgetattr(fd_, &original_), 0);
        ASSERT_EQ(ioctl(fd_, TIOCGSERIAL, &originalSerial_), 0);
        ASSERT_EQ(ioctl(fd_, TIOCMGET, &originalModem_), 0);
    }

    void TearDown() override
    {
        if (!Own())
            return;
        tcflush(fd_, TCIOFLUSH);  // still in loopback: nothing left over goes out on the line
        ioctl(fd_, TIOCMSET, &originalModem_);
        serial_struct ss{};
        if (ioctl(fd_, TIOCGSERIAL, &ss) == 0) {
            ss.flags = originalSerial_.flags;
            ioctl(fd_, TIOCSSERIAL, &ss);
        }
        tcsetattr(fd_, TCSANOW, &original_);
        EXPECT_TRUE(SameSettings(Settings(), original_));
        ::close(fd_);
        ::close(turn_);
    }

    // Only these tests put the UART in loopback and hold its output. A run of them that was killed (a timeout, a
    // stopped suite) left it so, with hardware flow control on and the output held: nothing would
    // go out again, and the next run would take that as the port's own state. Loopback off, flow
    // control off, the held bytes dropped.
    void RecoverFromACutRun()
    {
        // An XOFF that came back through the loopback while the port was not raw stops its
        // output until an XON: restarted, whatever the last run did.
        tcflow(fd_, TCOON);
        int modem = 0;
        if (ioctl(fd_, TIOCMGET, &modem) != 0 || !(modem & kModemLoop))
            return;
        std::printf("/dev/ttyS0 was left in loopback by a run cut short: put back\n");
        termios t{};
        tcgetattr(fd_, &t);
        t.c_cflag &= ~CRTSCTS;
        tcsetattr(fd_, TCSANOW, &t);
        int loop = kModemLoop;
        ioctl(fd_, TIOCMBIC, &loop);
        int lines = TIOCM_RTS | TIOCM_DTR;
        ioctl(fd_, TIOCMBIS, &lines);
        tcflush(fd_, TCIOFLUSH);
    }

    // The test's own descriptor, opened again if the test let go of it.
    bool Own()
    {
        if (fd_ < 0 && WhyNoPort().empty())
            fd_ = ::open(kPort, O_RDWR | O_NOCTTY | O_NONBLOCK);
        return fd_ >= 0;
    }
    void LetGo()
    {
        ::close(fd_);
        fd_ = -1;
    }

    // Loopback, and hardware flow control on, as the program will find the port.
    void Prepare()
    {
        int loop = kModemLoop;
        ASSERT_EQ(ioctl(fd_, TIOCMBIS, &loop), 0);
        termios t = original_;
        t.c_cflag |= CRTSCTS;
        ASSERT_EQ(tcsetattr(fd_, TCSANOW, &t), 0);
        tcflush(fd_, TCIOFLUSH);
        found_ = Settings();
        foundFlags_ = SerialFlags();
    }

    // Stops the driver sending and fills its output queue. The driver looks at CTS when the
    // settings change, so after RTS is dropped one setting is changed and put back at once.
    void HoldOutput()
    {
        int rts = TIOCM_RTS;
        ASSERT_EQ(ioctl(fd_, TIOCMBIC, &rts), 0);
        termios now = Settings();
        termios nudged = now;
        nudged.c_cflag ^= CSTOPB;
        ASSERT_EQ(tcsetattr(fd_, TCSANOW, &nudged), 0);
        ASSERT_EQ(tcsetattr(fd_, TCSANOW, &now), 0);
        std::string chunk(256, 'x');
        while (::write(fd_, chunk.data(), chunk.size()) > 0) {
        }
        ASSERT_EQ(errno, EAGAIN);
        int queued = OutQ();
        std::this_thread::sleep_for(100ms);
        ASSERT_GT(queued, 0);
        ASSERT_EQ(OutQ(), queued) << "the driver sends although CTS is down";
        std::printf("output queue held at %d bytes\n", queued);
    }

    int OutQ() const
    {
        int queued = -1;
        ioctl(fd_, TIOCOUTQ, &queued);
        return queued;
    }
    termios Settings() const
    {
        termios t{};
        tcgetattr(fd_, &t);
        return t;
    }
    int SerialFlags() const
    {
        serial_struct ss{};
        ioctl(fd_, TIOCGSERIAL, &ss);
        return ss.flags;
    }
    // Sends a line to the program: it goes out and comes back through the loopback.
    void Say(const std::string& line) const { ASSERT_EQ(::write(fd_, line.data(), line.size()), static_cast<ssize_t>(line.size())); }

    // The port as the program found it, and its driver flags then.
    void ExpectAsFound()
    {
        ASSERT_TRUE(Own());
        EXPECT_EQ(OutQ(), 0) << "the held output was not discarded";
        EXPECT_TRUE(SameSettings(Settings(), found_));
        EXPECT_EQ(SerialFlags(), foundFlags_);
    }

    int fd_ = -1;
    int turn_ = -1;
    termios original_{};
    serial_struct originalSerial_{};
    int originalModem_ = 0;
    termios found_{};
    int foundFlags_ = 0;
};

// The program's window and controller on the port, at the version question: the test plays the
// boot loader's banner and version through the loopback.
std::unique_ptr<UpdaterApp> ToTheQuestion(const std::function<void(const std::string&)>& say,
                                          QZ7_UpdaterAppDelegate::Options options = {})
{
    auto app = MakeApp(kPort, std::move(options));
    app->Launch();
    // Shown only once old input has been drained: what comes now is kept for the reader.
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenText(*app) == Directions::PowerOn; }, 5000)) << ScreenText(*app).toStdString();
    say("QZ-7 Boot Loader\r\n");
    // The program's "y" comes back to it through the loopback, ahead of the version.
    EXPECT_TRUE(QTest::qWaitFor([&] { return app->controller->state() == Stage::AwaitingVersion; }, 5000));
    QTest::qWait(100);
    say("QZ7 V2.005\r\n");
    EXPECT_TRUE(AtTheQuestion(*app, 5s)) << ScreenText(*app).toStdString();
    return app;
}

// Longest time the GUI thread went without running its event loop while `during` held.
std::chrono::milliseconds LongestGuiStall(const std::function<bool()>& during, std::chrono::milliseconds bound)
{
    using Clock = std::chrono::steady_clock;
    auto last = Clock::now();
    Clock::duration longest{};
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, Clock::now() - last);
        last = Clock::now();
    });
    tick.start(5);
    (void)QTest::qWaitFor(during, static_cast<int>(bound.count()));  // the caller checks the end itself
    return std::chrono::duration_cast<std::chrono::milliseconds>(longest);
}

}  // namespace

TEST_F(RealPort, LowLatencyWhileOpenAndEverythingBackAfterClose)
{
    int before = SerialFlags();
    termios settings = Settings();
    Updater updater("serial-ttyS0=" + std::string(kPort));
    // The port is taken for exclusive use first, then set, then the driver's flag is asked for;
    // a port left at 57600 baud or with the flag by an earlier run passes none of this early.
    ASSERT_TRUE(WaitUntil([&] {
        int exclusive = 0;
        termios t = Settings();
        return ioctl(fd_, TIOCGEXCL, &exclusive) == 0 && exclusive && cfgetospeed(&t) == B57600
            && (SerialFlags() & ASYNC_LOW_LATENCY);
    }, 10s)) << std::hex << SerialFlags();
    std::chrono::milliseconds took{};
    EXPECT_EQ(updater.Stop(SIGTERM, 2s, took), 0);
    EXPECT_LT(took, 1s);
    EXPECT_EQ(SerialFlags(), before);
    EXPECT_TRUE(SameSettings(Settings(), settings));
}

TEST_F(RealPort, StuckWriteGivesUpWhileTheWindowStaysLive)
{
    // The transfer writes on a background thread; with the queue held and the line still up, its
    // write must give up as a device that stopped taking bytes without the window ever stopping.
    // The bound is 5 s; 1 s here, still four times the longest stall the window may have.
    Prepare();
    QZ7_UpdaterAppDelegate::Options options;
    options.writeStall = 1s;
    auto app = ToTheQuestion([this](const std::string& l) { Say(l); }, options);
    HoldOutput();
    std::atomic<bool> returned{false};
    bool written = true;
    std::thread writer([&] {
        written = app->controller->WriteString(":00000001FF\r\n", 13);
        returned = true;
    });
    auto stall = LongestGuiStall([&] { return returned.load(); }, 10s);
    writer.join();
    EXPECT_TRUE(returned);
    EXPECT_FALSE(written);
    EXPECT_LT(stall, 250ms);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenText(*app) == Directions::Stopped; }, 1000)) << ScreenText(*app).toStdString();
    EXPECT_FALSE(app->controller->Serial()->IsOpen());
    ExpectAsFound();
    app->controller->applicationWillTerminate();
}

TEST_F(RealPort, CancelWithTheQueueHeldReturnsWithinASecond)
{
    Prepare();
    auto app = ToTheQuestion([this](const std::string& l) { Say(l); });
    HoldOutput();
    auto start = std::chrono::steady_clock::now();
    app->window->CancelButtonView()->click();
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, 1s);
    std::printf("Cancel returned in %lld ms\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    EXPECT_FALSE(app->window->isVisible());
    app->controller->applicationWillTerminate();
    app.reset();
    ExpectAsFound();
}

TEST_F(RealPort, WindowCloseWithTheQueueHeldReturnsWithinASecond)
{
    Prepare();
    auto app = MakeApp(kPort);
    app->Launch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenText(*app) == Directions::PowerOn; }, 5000));
    HoldOutput();
    auto start = std::chrono::steady_clock::now();
    app->window->close();
    app->controller->applicationWillTerminate();
    app.reset();
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, 1s);
    std::printf("window close returned in %lld ms\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    ExpectAsFound();
}

TEST_F(RealPort, SigtermWithTheQueueHeldEndsTheProgramWithinASecond)
{
    // Here the program holds the last descriptor of the port, so the driver's own wait at the
    // last close (by default up to 30 s for a queue that never empties) is in the way, unless
    // the program discarded what was stuck.
    Prepare();
    Updater updater("serial-ttyS0=" + std::string(kPort));
    // The program's own open, not a speed an earlier run may have left the port at.
    ASSERT_TRUE(WaitUntil([&] {
        int exclusive = 0;
        termios t = Settings();
        return ioctl(fd_, TIOCGEXCL, &exclusive) == 0 && exclusive && cfgetospeed(&t) == B57600;
    }, 10s));
    std::this_thread::sleep_for(300ms);  // past the hand-over: a reader waits for the banner
    HoldOutput();
    LetGo();
    std::chrono::milliseconds took{};
    EXPECT_EQ(updater.Stop(SIGTERM, 5s, took), 0);
    EXPECT_LT(took, 1s);
    std::printf("SIGTERM to exit: %lld ms\n", static_cast<long long>(took.count()));
    ExpectAsFound();
}
