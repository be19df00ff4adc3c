// The controller's link to the port, on real pseudo-terminals: closing with the settings put
// back, draining, writing, and discovery with the window as the operator sees it.
#include "serial/PortListing.h"
#include "tests/support/TestSupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

TEST(ClosePort, RestoresSettingsSendsPendingOutputAndInstallsAFreshRecord)
{
    Pty pty;
    termios before = pty.Settings();
    QZ7_UpdaterAppDelegate controller;
    OpenPort(controller, pty.path);
    auto old = SerialRecord(controller);
    int number = old->PortID();
    controller.setState(Stage::AwaitingDone);
    controller.setProgress(0.5f);
    controller.WriteString(":00000001FF\r\n", 13);
    controller.ClosePort();

    EXPECT_EQ(pty.Drain(), ":00000001FF\r\n");
    EXPECT_TRUE(SameSettings(pty.Settings(), before));
    EXPECT_FALSE(pty.Exclusive());
    EXPECT_NE(controller.Serial(), old);
    EXPECT_EQ(SerialRecord(controller)->PortID(), -1);
    EXPECT_FALSE(controller.ChosenPath());
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
    auto record = SerialRecord(controller);
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
    while (::write(SerialRecord(controller)->PortID(), chunk.data(), chunk.size()) > 0) {
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
        return ioctl(SerialRecord(controller)->PortID(), FIONREAD, &pending) == 0 && pending == 100;
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


TEST(ClosePort, TheExitHookRestoresARecordStillOpenWhileAReaderWaitsOnIt)
{
    Pty pty;
    termios before = pty.Settings();
    QZ7_UpdaterAppDelegate controller;
    OpenPort(controller, pty.path);
    auto record = SerialRecord(controller);
    std::atomic<int> waits{0};
    std::thread reader([record, &waits] {
        while (++waits, record->WaitReadable(50ms) != PortIo::Closed) {
        }
    });
    // A second wait has begun: the reader is in its loop, not still starting.
    EXPECT_TRUE(WaitUntil([&] { return waits >= 2; }, 5s));  // and the thread is joined either way
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
