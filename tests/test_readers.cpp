// The readers on a real port: waiting costs next to nothing, a closed port ends them, a hang-up
// is told to the operator, and replies split over reads still arrive whole.
#include "TestSupport.h"

#include <QLabel>
#include <sys/resource.h>
#include <thread>

namespace {
double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class Reader : public testing::Test {
protected:
    void SetUp() override
    {
        app = MakeApp(pty.path);
        app->window->show();
        OpenPort(c(), pty.path);
    }
    QZ7_UpdaterAppDelegate& c() { return *app->controller; }
    Pty pty;
    std::unique_ptr<UpdaterApp> app;
};
}  // namespace

TEST_F(Reader, WaitingForAReplyCostsUnderTwoPercentOfACore)
{
    c().StartBackground(&QZ7_UpdaterAppDelegate::ReadThread);
    std::this_thread::sleep_for(100ms);
    double cpu = CpuSeconds();
    auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(1s);
    double share = (CpuSeconds() - cpu) / std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(share, kIdleShareLimit);
    EXPECT_EQ(c().RunningThreads(), 1);
}

TEST_F(Reader, ClosingThePortEndsWaitingReadersWithoutAReply)
{
    c().setState(AwaitingPrompt);
    c().StartBackground(&QZ7_UpdaterAppDelegate::ReadThread);
    c().StartBackground(&QZ7_UpdaterAppDelegate::ReadVersion);
    std::this_thread::sleep_for(100ms);
    c().setReceivedString(std::nullopt);
    auto start = std::chrono::steady_clock::now();
    c().ClosePort();
    EXPECT_TRUE(WaitFor([&] { return c().RunningThreads() == 0; }, 200ms));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);
    EXPECT_EQ(c().ReceivedString(), "");  // what ClosePort left, untouched by the readers
    EXPECT_EQ(pty.Drain(), "y");          // the version reader's question, and nothing after
}

TEST_F(Reader, HangUpIsToldWithinASecondAndThePortIsClosed)
{
    c().StartBackground(&QZ7_UpdaterAppDelegate::ReadThread);
    std::this_thread::sleep_for(100ms);
    auto start = std::chrono::steady_clock::now();
    ::close(pty.master);
    pty.master = -1;
    EXPECT_TRUE(WaitFor([&] { return ScreenText(*app) == "USB adapter disconnected\nPlease restart the program\nand the QZ7"; }, 1s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_FALSE(c().Serial()->IsOpen());
    EXPECT_EQ(c().RunningThreads(), 0);
}

TEST_F(Reader, SplitRepliesAndAStrayLineEndStillGiveTheRightLines)
{
    // The prompt in pieces, its LF late; the LF must not cost the next reply.
    c().setState(AwaitingPrompt);
    c().StartBackground(&QZ7_UpdaterAppDelegate::ReadThread);
    for (const char* piece : {"E o", "r P", "?\r"}) {
        pty.Send(piece);
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_TRUE(WaitFor([&] { return c().state() == AwaitingErased; }));
    EXPECT_EQ(pty.Drain(), "E");
    pty.Send("\n");
    std::this_thread::sleep_for(20ms);
    pty.Send("Erased\r\n");
    testing::internal::CaptureStdout();
    EXPECT_TRUE(WaitFor([&] { return c().state() == AwaitingDone; }));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(pty.Drain().substr(0, 1), "P");
}

TEST_F(Reader, VersionReaderGathersUntilItSeesAVersion)
{
    c().setState(AwaitingVersion);
    c().StartBackground(&QZ7_UpdaterAppDelegate::ReadVersion);
    EXPECT_EQ(pty.Drain(), "y");
    pty.Send("QZ-7 Boot Loader\r\n");
    std::this_thread::sleep_for(30ms);
    pty.Send("Build 7 QZ7 V2.005\r\n");
    EXPECT_TRUE(WaitFor([&] { return ScreenText(*app) == "Found Version: 2.005\n Update To: QZ7 V2.007?\n"; }));
}
