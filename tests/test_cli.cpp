// qz7-updater --cli as a script runs it: without a display, against the simulator on a
// pseudo-terminal, with its exit status, its output and what it leaves on the port.
#include "tests/TestSupport.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::chrono::milliseconds took{};
};

// Runs `qz7-updater --cli` with `args` and no display; standard input holds `input` and then
// ends. Standard output goes to a file, or to a pseudo-terminal when `tty`.
CliRun RunCli(std::vector<std::string> args, const std::string& input, bool tty = false,
              const std::function<void(Updater&)>& meanwhile = {})
{
    args.insert(args.begin(), "--cli");
    // One file per process: ctest runs the tests of this file side by side.
    std::string outFile = testing::TempDir() + "qz7-cli-" + std::to_string(getpid()) + ".out";
    Pty terminal;
    int out = tty ? ::open(terminal.path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)
                  : ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    int in[2] = {-1, -1};
    EXPECT_EQ(pipe2(in, O_CLOEXEC), 0);
    EXPECT_EQ(::write(in[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    ::close(in[1]);
    CliRun run;
    auto start = std::chrono::steady_clock::now();
    Updater updater(Launch{{"XDG_RUNTIME_DIR=/tmp"}, args, out, {}, QZ7_BINARY_DIR "/qz7-updater", in[0]});
    ::close(out);
    ::close(in[0]);
    if (meanwhile)
        meanwhile(updater);
    while (run.status < 0 && std::chrono::steady_clock::now() - start < 60s) {
        if (tty)
            run.out += terminal.Drain(20ms);
        run.status = updater.Wait(10ms);
    }
    run.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    if (tty) {
        run.out += terminal.Drain(50ms);
    } else {
        std::ifstream file(outFile);
        run.out.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        ::unlink(outFile.c_str());
    }
    return run;
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(Cli, EachOutcomeEndsWithItsOwnStatus)
{
    struct Case {
        const char* name;
        std::function<void(bootsim::Options&)> sim;
        bool yes;
        std::string input;
        int status;
        const char* says;
    };
    const std::vector<Case> cases{
        {"update, --yes", [](bootsim::Options&) {}, true, "", 0, "\nDone\n  Sent 3075 lines"},
        {"update, answered on standard input", [](bootsim::Options&) {}, false, " Yes \n", 0, "\nDone\n"},
        {"declined", [](bootsim::Options&) {}, false, "n\n", 9, "Update? [y/N] n\nNot updated"},
        {"standard input ended", [](bootsim::Options&) {}, false, "", 9, "(end of input)\nNot updated"},
        {"hang-up mid-transfer", [](bootsim::Options& o) { o.hangUpAfterLines = 100; }, true, "", 5,
         "USB adapter disconnected. Please restart the program and the QZ7\n  Stopped while sending the image"},
        {"not erased", [](bootsim::Options& o) { o.failErase = true; }, true, "", 6,
         "\nNot Erased. Please restart the program and the QZ7\n"},
        {"unexpected reply", [](bootsim::Options& o) { o.replies[bootsim::Stage::Erase] = "Huh?"; }, true, "", 7,
         "\nUnexpected reply: Huh?"},
        {"not done", [](bootsim::Options& o) { o.replies[bootsim::Stage::Done] = "Not Done"; }, true, "", 11,
         "\nNot Done. Please restart"},
        {"restarted", [](bootsim::Options& o) { o.restartAfterLines = 100; }, true, "", 12,
         "\nQZ7 restarted during the update. It has no firmware now."},
    };
    const std::string length = std::to_string(ShippedImage().size());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bootsim::Options o = FastSim();
        o.expected = ShippedImage();
        c.sim(o);
        bootsim::BootSim sim(o);
        ASSERT_TRUE(sim.Open());
        termios before = sim.SlaveSettings();
        sim.Start();
        std::vector<std::string> args{"--port", sim.SlavePath()};
        if (c.yes)
            args.push_back("--yes");
        CliRun run = RunCli(args, c.input);
        EXPECT_EQ(run.status, c.status) << run.out;
        EXPECT_TRUE(Has(run.out, c.says)) << run.out;
        EXPECT_TRUE(run.out.starts_with("Connect USB adapter\n  Adapter on " + sim.SlavePath() + "\n")) << run.out;
        if (!sim.Snapshot().hungUp) {  // a closed master leaves no slave to look at
            EXPECT_TRUE(SameSettings(sim.SlaveSettings(), before));
            EXPECT_FALSE(Pty::HeldExclusively(sim.SlavePath()));
        }
        if (c.status == 0) {
            EXPECT_TRUE(sim.Snapshot().Intact()) << sim.Snapshot().Summary();
            // The length in a line of its own, and nowhere else; the progress in steps of 10 %.
            EXPECT_TRUE(Has(run.out, "\nSending the firmware image (" + length + " characters).\n10%\n20%\n")) << run.out;
            EXPECT_EQ(run.out.find(length), run.out.rfind(length)) << run.out;
            EXPECT_TRUE(Has(run.out, "\n90%\n100%\nDone\n")) << run.out;
        }
        if (c.status == 9) {
            EXPECT_EQ(sim.Wire(), "y");  // nothing after the version's "y": never erased
        }
    }
}

TEST(Cli, OnATerminalTheTransferIsOneLineRedrawnInPlace)
{
    bootsim::Options o = FastSim();
    o.lineDelay = 200us;  // long enough for a few progress texts
    bootsim::BootSim sim(o);
    ASSERT_TRUE(sim.Open());
    sim.Start();
    CliRun run = RunCli({"--yes", "--port", sim.SlavePath()}, "", true);
    EXPECT_EQ(run.status, 0) << run.out;
    // The terminal turns each line end into CR LF.
    EXPECT_TRUE(Has(run.out, "\r[------------------------]   0%")) << run.out;
    EXPECT_TRUE(Has(run.out, "\r[########################] 100%  Line 3075 of 3075")) << run.out;
    // The bar ends before the next line, and its last state gives no "about 0 s left".
    const std::size_t last = run.out.rfind("100%  Line 3075 of 3075");
    ASSERT_NE(last, std::string::npos) << run.out;
    EXPECT_EQ(run.out.find('\r', last), run.out.find("\r\nDone\r\n", last)) << run.out;
    EXPECT_FALSE(Has(run.out, "about 0 s")) << run.out;
    EXPECT_FALSE(Has(run.out, "\r\n10%\r\n")) << run.out;
}

TEST(Cli, KeysTypedOnTheTerminalBeforeTheQuestionAreNoAnswer)
{
    // An operator who types "y" while the QZ7 is still powering on has not seen its version yet.
    bootsim::Options o = FastSim();
    o.powerOnDelay = 600ms;
    bootsim::BootSim sim(o);
    ASSERT_TRUE(sim.Open());
    sim.Start();
    Pty terminal;
    int fd = ::open(terminal.path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    Updater updater(Launch{{"XDG_RUNTIME_DIR=/tmp"}, {"--cli", "--port", sim.SlavePath()}, fd, {},
                           QZ7_BINARY_DIR "/qz7-updater", fd});
    ::close(fd);
    terminal.Send("y\n");
    std::string out;
    ASSERT_TRUE(WaitUntil([&] { return Has(out += terminal.Drain(20ms), "Update? [y/N] "); }, 10s)) << out;
    terminal.Send("n\n");
    EXPECT_EQ(updater.Wait(10s), 9) << out + terminal.Drain(100ms);
    EXPECT_EQ(sim.Wire(), "y");
}

TEST(Cli, GivesUpWaitingWithTheReason)
{
    // No adapter at all, a path that is no serial port, and a port that opens but where nothing
    // answers. A sanitizer slows the program's start several times over.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    constexpr auto kBound = 5s;
#else
    constexpr auto kBound = 2500ms;
#endif
    Pty silent;
    termios before = silent.Settings();
    struct Case {
        std::string port;
        int status;
        const char* says;
    };
    for (const Case& c : {Case{"/nonexistent/ttyUSB9", 2, "Plug the adapter in (or check the path given with --port)"},
                          Case{"/dev/null", 2, "/dev/null is not a serial port."},
                          Case{silent.path, 14, "the port is open but nothing answered"}}) {
        SCOPED_TRACE(c.port);
        CliRun run = RunCli({"--port", c.port, "--wait", "1"}, "");
        EXPECT_EQ(run.status, c.status) << run.out;
        EXPECT_TRUE(Has(run.out, "\nNo QZ7 within 1 s: ")) << run.out;
        EXPECT_TRUE(Has(run.out, c.says)) << run.out;
        EXPECT_GE(run.took, 1s);
        EXPECT_LT(run.took, kBound);
    }
    EXPECT_TRUE(SameSettings(silent.Settings(), before));
    EXPECT_FALSE(silent.Exclusive());
}

TEST(Cli, SigintMidTransferPutsThePortBackAndEndsWith130)
{
    bootsim::Options o = FastSim();
    o.baud = 57600;  // slow enough to interrupt in the middle
    bootsim::BootSim sim(o);
    ASSERT_TRUE(sim.Open());
    termios before = sim.SlaveSettings();
    sim.Start();
    CliRun run = RunCli({"--yes", "--port", sim.SlavePath()}, "", false, [&](Updater& updater) {
        ASSERT_TRUE(WaitUntil([&] { return sim.Snapshot().lines >= 100; }, 30s)) << sim.Snapshot().Summary();
        EXPECT_TRUE(Pty::HeldExclusively(sim.SlavePath()));
        kill(updater.pid, SIGINT);
    });
    EXPECT_EQ(run.status, 130) << run.out;
    EXPECT_TRUE(Has(run.out, "\nInterrupted during the update: the QZ7 has no firmware now.")) << run.out;
    EXPECT_TRUE(SameSettings(sim.SlaveSettings(), before));
    EXPECT_FALSE(Pty::HeldExclusively(sim.SlavePath()));
    EXPECT_FALSE(sim.Snapshot().doneSent);
}
