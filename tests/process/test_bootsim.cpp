// The simulator as a process and as an object: its options are documented, and its waits end
// at once when the operator acts or it is stopped.
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


TEST(Simulator, ItsWaitsEndAtOnceWhenTheOperatorActsOrItIsStopped)
{
    // The tests power the simulator on at the moment the program shows its directions, and end
    // its pauses when they have seen enough: a wait that ignored them would cost its full length.
    // The waits are 60 s, so a bound of 10 s tells them apart on a loaded machine too.
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
        EXPECT_NE(ReadUntil(port.fd, "Boot Loader\r\n", 10s).find("QZ-7 Boot Loader\r\n"), std::string::npos);
        const std::string line = ":0100000041BE\r\n";
        ASSERT_EQ(::write(port.fd, "yyEP", 4), 4);
        EXPECT_NE(ReadUntil(port.fd, "*", 10s).find("Erased\r\n*"), std::string::npos);
        ASSERT_EQ(::write(port.fd, line.data(), line.size()), static_cast<ssize_t>(line.size()));
        ASSERT_TRUE(WaitUntil([&] { return sim.Snapshot().lines == 1; }, 10s));
        EXPECT_EQ(ReadUntil(port.fd, "*", 100ms), "") << "no pause after the first line";
        sim.Resume();
        EXPECT_EQ(ReadUntil(port.fd, "*", 10s), "*") << "the pause went on";
        ASSERT_EQ(::write(port.fd, line.data(), line.size()), static_cast<ssize_t>(line.size()));
        EXPECT_EQ(ReadUntil(port.fd, "*", 10s), "*");  // a pause comes once
        RestoreAndClose(port.fd, port.archive, port.serialFlags);
    }
    {
        bootsim::BootSim sim(o);
        ASSERT_TRUE(sim.Open());
        sim.Start();
        OpenResult port = OpenAndConfigure(sim.SlavePath());
        ASSERT_TRUE(WaitUntil([&] { return sim.Snapshot().configured; }, 10s));
        auto start = std::chrono::steady_clock::now();
        sim.Stop();  // in the middle of the power-on wait
        EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
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
    said += ReadUntil(out[0], "event: banner\n", 10s);
    EXPECT_NE(said.find("event: banner\n"), std::string::npos) << said;
    std::chrono::milliseconds took{};
    EXPECT_EQ(bootsim.Stop(SIGTERM, 5s, took), 1);
    said += ReadUntil(out[0], "NOT intact", 10s);
    EXPECT_NE(said.find("qz7-bootsim: image NOT intact"), std::string::npos) << said;
    ::close(out[0]);
    RestoreAndClose(port.fd, port.archive, port.serialFlags);
}
