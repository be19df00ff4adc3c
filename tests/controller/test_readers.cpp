// The readers: waiting on a real port costs next to nothing, and closing the port (here one in
// memory) ends them. (Hang-ups, split replies and noise are in the fault table.)
#include "tests/support/OnPty.h"
#include "tests/support/Scripted.h"

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

class Reader : public OnPty {};
class ReaderInMemory : public OnScriptedPort {};
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
    EXPECT_EQ(c().RunningOperations(), 1);
}

TEST_F(ReaderInMemory, ClosingThePortEndsWaitingReadersWithoutAReply)
{
    // The banner is answered with "y" and the version reader waits; a reply reader is queued
    // on the worker beside it.
    c().setReceivedString("QZ-7 Boot Loader");
    c().StartBackground(&QZ7_UpdaterAppDelegate::ReceivedSomething);
    c().StartBackground(&QZ7_UpdaterAppDelegate::ReadThread);
    ASSERT_TRUE(port->WaitWritten([](const std::string& w) { return w == "y"; }, 2s));
    c().setReceivedString(std::nullopt);
    auto start = std::chrono::steady_clock::now();
    c().ClosePort();
    // A reader that went on waiting would wait for ever: ending within a second proves it did
    // not, and leaves room for a loaded machine.
    EXPECT_TRUE(QTest::qWaitFor([&] { return c().RunningOperations() == 0; }, 1000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(c().ReceivedString(), "");  // what ClosePort left, untouched by the readers
    EXPECT_EQ(port->Written(), "y");      // nothing after the banner's answer
}

