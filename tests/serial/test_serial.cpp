// The port record, opening, writing, draining and closing, on real pseudo-terminals; and
// discovery with the window as the operator sees it.
#include "serial/PortListing.h"
#include "tests/support/TestSupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

TEST(PortOpen, AppliesRaw57600EightBitsExclusiveAndNonBlocking)
{
    Pty pty;
    termios before = pty.Settings();
    OpenResult opened = OpenAndConfigure(pty.path);
    const int fd = opened.fd;
    ASSERT_GT(fd, 0);
    EXPECT_TRUE(opened.archived);
    EXPECT_TRUE(SameSettings(opened.archive, before));
    termios now = pty.Settings();
    EXPECT_EQ(cfgetispeed(&now), B57600);
    EXPECT_EQ(cfgetospeed(&now), B57600);
    EXPECT_EQ(now.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(now.c_oflag & OPOST, 0u);
    EXPECT_EQ(now.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(now.c_cc[VMIN], 1);
    EXPECT_EQ(now.c_cc[VTIME], 5);
    EXPECT_TRUE(fcntl(fd, F_GETFL) & O_NONBLOCK);
    EXPECT_TRUE(pty.Exclusive());
    RestoreAndClose(fd, opened.archive, opened.serialFlags);
    EXPECT_FALSE(pty.Exclusive());
    EXPECT_TRUE(SameSettings(pty.Settings(), before));
}

TEST(PortOpen, FailedSettingsStepsLeakNoDescriptor)
{
    int before = OpenDescriptors();
    for (int i = 0; i < 200; ++i) {  // /dev/null opens, but is no terminal
        EXPECT_EQ(OpenAndConfigure("/dev/null").fd, -1);
        EXPECT_EQ(OpenAndConfigure("/nonexistent/ttyUSB9").failure.error, ENOENT);
        EXPECT_EQ(OpenAndConfigure("/dev/tty\xC3\xA9").fd, -1);
        EXPECT_EQ(OpenAndConfigure("/dev/ptmx").failure.error, ENOTTY);  // never a new master
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(PortOpen, AnOpenPortIsLockedAgainstPrivilegedOpenersToo)
{
    // The tests run as root, past TIOCEXCL: the lock alone keeps the second opener out.
    Pty pty;
    OpenResult first = OpenAndConfigure(pty.path);
    ASSERT_GT(first.fd, 0);
    OpenResult second = OpenAndConfigure(pty.path);
    EXPECT_EQ(second.fd, -1);
    EXPECT_EQ(second.failure.step, "flock");
    EXPECT_EQ(Classify(second.failure), PortTrouble::Busy);
    RestoreAndClose(first.fd, first.archive, first.serialFlags);
    OpenResult again = OpenAndConfigure(pty.path);  // the lock went with the close
    EXPECT_GT(again.fd, 0);
    RestoreAndClose(again.fd, again.archive, again.serialFlags);
}

TEST(ClosePort, RestoresSettingsSendsPendingOutputAndInstallsAFreshRecord)
{
    Pty pty;
    termios before = pty.Settings();
    QZ7_UpdaterAppDelegate controller;
    OpenPort(controller, pty.path);
    auto old = controller.Serial();
    int number = old->PortID();
    controller.setState(Stage::AwaitingDone);
    controller.setProgress(0.5f);
    controller.WriteString(":00000001FF\r\n", 13);
    controller.ClosePort();

    EXPECT_EQ(pty.Drain(), ":00000001FF\r\n");
    EXPECT_TRUE(SameSettings(pty.Settings(), before));
    EXPECT_FALSE(pty.Exclusive());
    EXPECT_NE(controller.Serial(), old);
    EXPECT_EQ(controller.Serial()->PortID(), -1);
    EXPECT_FALSE(controller.Serial()->ChosenPath());
    EXPECT_EQ(controller.state(), Stage::AwaitingBanner);
    EXPECT_EQ(controller.ReceivedString(), "");
    EXPECT_EQ(controller.progress(), 0.0f);

    // The retired record still names the old number, but nothing can reach it through the
    // record any more, not even once the number belongs to another file.
    EXPECT_EQ(old->PortID(), number);
    int reused = fcntl(number, F_GETFD) == -1 ? ::open("/dev/null", O_RDWR) : -1;
    ASSERT_NE(fcntl(number, F_GETFD), -1) << "the number should belong to another file by now";
    char byte;
    EXPECT_EQ(old->Read(&byte, 1).status, PortIo::Closed);
    EXPECT_EQ(old->WriteAll("y", 1, 1s).status, PortIo::Closed);
    if (reused >= 0)
        ::close(reused);

    // Once more: nothing but the three fields changes.
    auto fresh = controller.Serial();
    controller.setState(Stage::AwaitingErased);
    controller.ClosePort();
    EXPECT_EQ(controller.Serial(), fresh);
    EXPECT_EQ(controller.state(), Stage::AwaitingBanner);
}

TEST(ClosePort, TreatsDescriptorZeroAsNotOpen)
{
    QZ7_UpdaterAppDelegate controller;
    auto record = controller.Serial();
    record->setPortID(0);
    controller.ClosePort();
    EXPECT_EQ(controller.Serial(), record);
    EXPECT_FALSE(record->IsOpen());
}

TEST(ClosePort, GivesUpOnAStuckLineWithinItsBound)
{
    Pty pty;
    QZ7_UpdaterAppDelegate controller;
    OpenPort(controller, pty.path);
    // Nobody reads the master: fill the output queue until the port refuses more.
    std::string chunk(4096, 'a');
    while (::write(controller.Serial()->PortID(), chunk.data(), chunk.size()) > 0) {
    }
    auto start = std::chrono::steady_clock::now();
    controller.ClosePort();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_FALSE(pty.Exclusive());
}

TEST(ClearReceiver, DropsEverythingPendingAndLeavesTheReplyAbsent)
{
    Pty pty;
    QZ7_UpdaterAppDelegate controller;
    OpenPort(controller, pty.path);
    pty.Send(std::string(100, 'x'));
    ASSERT_TRUE(WaitUntil([&] {  // every byte waits on the port's side
        int pending = 0;
        return ioctl(controller.Serial()->PortID(), FIONREAD, &pending) == 0 && pending == 100;
    }, 1s));
    controller.setReceivedString("old");
    controller.ClearReceiver();
    EXPECT_FALSE(controller.ReceivedString());
    char byte;
    EXPECT_EQ(controller.Serial()->Read(&byte, 1).status, PortIo::Empty);

    QZ7_UpdaterAppDelegate closed;  // no port: one failed read, then absent
    closed.setReceivedString("");
    closed.ClearReceiver();
    EXPECT_FALSE(closed.ReceivedString());
}

TEST(WriteString, SendsExactlyTheBytesAskedFor)
{
    Pty pty;
    auto app = MakeApp(pty.path);
    OpenPort(*app->controller, pty.path);
    app->controller->WriteString("P", 1);
    EXPECT_EQ(pty.Drain(), "\x50");
    app->controller->WriteString(":0100000041BE\r\n:00000001FF\r\n", 15);
    EXPECT_EQ(pty.Drain(), ":0100000041BE\r\n");
    app->controller->ClosePort();

    app->controller->WriteString("y", 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenText(*app) == "Trying to write to unopened Port"; }));
    EXPECT_EQ(pty.Drain(), "");
}

TEST(Discovery, KeepsSearchingWithoutAnAdapterAndStopsWhenTheProgramQuits)
{
    QZ7_UpdaterAppDelegate::Options options;
    std::atomic<int> passes{0};
    options.lister = [&] {
        ++passes;
        return std::optional(std::vector<SerialService>{{"ttyS0", "/dev/ttyS0"}});
    };
    options.discoveryInterval = 20ms;
    auto app = std::make_unique<UpdaterApp>(std::move(options));
    app->Launch();
    EXPECT_TRUE(QTest::qWaitFor([&] { return passes >= 5; }));
    EXPECT_EQ(ScreenText(*app), "Connect USB adapter");
    auto start = std::chrono::steady_clock::now();
    app->controller->applicationWillTerminate();
    app.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    int after = passes;
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(passes, after);
}

TEST(Discovery, AQuitDuringTheHandOverLeavesThePortRestored)
{
    // The pass opens and configures the port, then sleeps before handing it over; a quit in
    // that sleep must still put the port's settings back.
    Pty pty;
    termios before = pty.Settings();
    QZ7_UpdaterAppDelegate::Options options;
    options.lister = OneAdapter(pty.path);
    options.discoveryInterval = 300ms;
    auto controller = std::make_unique<QZ7_UpdaterAppDelegate>(std::move(options));
    controller->applicationDidFinishLaunching();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pty.Exclusive(); }));
    controller->applicationWillTerminate();
    controller.reset();
    EXPECT_FALSE(pty.Exclusive());
    EXPECT_TRUE(SameSettings(pty.Settings(), before));
}

TEST(PortListing, EnumeratesOnlyWhenATtyCameOrWentAndOnceMoreWhenUdevHasSettled)
{
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair), 0);
    int calls = 0;
    bool fail = false;
    CachedPortListing listing(
        [&]() -> std::optional<std::vector<SerialService>> {
            ++calls;
            if (fail)
                return std::nullopt;
            return std::vector<SerialService>(static_cast<std::size_t>(calls), {"ttyUSB0", "/dev/ttyUSB0"});
        },
        std::make_unique<UeventWatch>(pair[1]));
    auto event = [&](const std::string& action, const std::string& subsystem) {
        std::string m = action + "@/devices/x/tty/ttyUSB0";
        m += '\0' + ("ACTION=" + action) + '\0' + "DEVPATH=/devices/x/tty/ttyUSB0" + '\0' + "SUBSYSTEM=" + subsystem + '\0';
        ASSERT_EQ(::send(pair[0], m.data(), m.size(), 0), static_cast<ssize_t>(m.size()));
    };

    EXPECT_EQ(listing.Current()->size(), 1u);
    for (int pass = 0; pass < 20; ++pass)
        listing.Current();
    event("change", "tty");
    event("add", "usb");
    EXPECT_EQ(listing.Current()->size(), 1u);
    EXPECT_EQ(calls, 1);

    event("add", "tty");
    EXPECT_EQ(listing.Current()->size(), 2u);
    listing.Current();
    EXPECT_EQ(calls, 2);
    std::this_thread::sleep_for(CachedPortListing::kSettle + 100ms);
    listing.Current();
    listing.Current();
    EXPECT_EQ(calls, 3);

    // A failed enumeration is not kept: the next call tries again.
    fail = true;
    event("remove", "tty");
    EXPECT_FALSE(listing.Current());
    EXPECT_FALSE(listing.Current());
    EXPECT_EQ(calls, 5);
    ::close(pair[0]);
}

TEST(ClosePort, TheExitHookRestoresARecordStillOpenWhileAReaderWaitsOnIt)
{
    Pty pty;
    termios before = pty.Settings();
    QZ7_UpdaterAppDelegate controller;
    OpenPort(controller, pty.path);
    auto record = controller.Serial();
    std::thread reader([record] {
        while (record->WaitReadable(50ms) != PortIo::Closed) {
        }
    });
    std::this_thread::sleep_for(50ms);
    WQSerial::ShutdownAllOpen();
    reader.join();
    EXPECT_FALSE(record->IsOpen());
    EXPECT_TRUE(SameSettings(pty.Settings(), before));
    EXPECT_FALSE(pty.Exclusive());
    // The program's own close afterwards closes nothing twice: the port's old number, taken
    // by a new file meanwhile, stays open.
    int reused = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    EXPECT_EQ(reused, record->PortID());
    controller.ClosePort();
    EXPECT_NE(fcntl(reused, F_GETFD), -1);
    ::close(reused);
}

TEST(PortClose, OnlyTheCallThatClosedHearsOfItAndRestoredOnlyWhenTheSettingsWentBack)
{
    // Two closers at once (the dialogue's thread and the GUI's): exactly one of them closed it.
    for (int round = 0; round < 20; ++round) {
        Pty pty;
        termios before = pty.Settings();
        OpenResult opened = OpenAndConfigure(pty.path);
        auto record = std::make_shared<WQSerial>();
        record->setTermios_archive(opened.archive);
        record->setPortID(opened.fd);
        WQSerial::Closed a{}, b{};
        std::thread other([&] { a = record->Shutdown(50ms); });
        b = record->Shutdown(50ms);
        other.join();
        EXPECT_EQ((a == WQSerial::Closed::NotOpen) + (b == WQSerial::Closed::NotOpen), 1);
        EXPECT_EQ((a == WQSerial::Closed::Restored) + (b == WQSerial::Closed::Restored), 1);
        EXPECT_TRUE(SameSettings(pty.Settings(), before));
    }

    // A line that has hung up (the adapter gone) takes no settings back.
    auto pty = std::make_unique<Pty>();
    OpenResult opened = OpenAndConfigure(pty->path);
    auto record = std::make_shared<WQSerial>();
    record->setTermios_archive(opened.archive);
    record->setPortID(opened.fd);
    ::close(pty->master);
    pty->master = -1;
    EXPECT_EQ(record->Shutdown(50ms), WQSerial::Closed::NotRestored);
    EXPECT_EQ(record->Shutdown(50ms), WQSerial::Closed::NotOpen);
}

TEST(PortListing, ATtyNodeMadeOrRemovedInDevCountsAsAChangeWithoutKernelEvents)
{
    char tmpl[] = "/tmp/qz7-dev-XXXXXX";
    const std::filesystem::path dev = mkdtemp(tmpl);
    int calls = 0;
    CachedPortListing listing([&] { ++calls; return std::optional(std::vector<SerialService>{}); }, nullptr,
                              std::make_unique<DevNodeWatch>(dev.string()));
    listing.Current();
    std::ofstream(dev / "null2").put('\n');  // not a tty
    listing.Current();
    EXPECT_EQ(calls, 1);
    std::ofstream(dev / "ttyACM0").put('\n');
    listing.Current();
    listing.Current();
    EXPECT_EQ(calls, 2);
    std::filesystem::remove(dev / "ttyACM0");
    listing.Current();
    EXPECT_EQ(calls, 3);
    std::filesystem::remove_all(dev);

    EXPECT_FALSE(DevNodeWatch("/nonexistent/dev").Watching());
}
