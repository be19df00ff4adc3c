// qz7-updater --cli and the signals an operator or a script sends it: Ctrl+C before the erase
// and while programming, and a signal ignored at start.
#include "tests/terminal/CliRun.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// Sends `sent` to the program once the transfer is held at line 100, `gap` apart, and then
// lets the transfer go on when `resume`.
std::function<void(Updater&)> SignalAtLine100(bootsim::BootSim& sim, std::vector<int> sent, bool resume,
                                              std::chrono::milliseconds gap = 100ms)
{
    return [&sim, sent, resume, gap](Updater& updater) {
        ASSERT_TRUE(WaitUntil([&] { return sim.Snapshot().lines >= 100; }, 30s)) << sim.Snapshot().Summary();
        EXPECT_TRUE(Pty::HeldExclusively(sim.SlavePath()));
        for (int signal : sent) {
            kill(updater.pid, signal);
            std::this_thread::sleep_for(gap);
        }
        if (resume)
            sim.Resume();
    };
}

TEST(Cli, CtrlCWhileProgrammingAsksForASecondOneAndOtherStopsAreAtOnce)
{
    struct Case {
        const char* name;
        std::vector<int> sent;
        std::chrono::milliseconds gap;
        int status;
        const char* says;
    };
    const char* warning = "\nThe QZ7 is being programmed: stopping now would leave it without firmware. The update goes "
                          "on; press Ctrl+C again within 5 s to stop.\n";
    const std::vector<Case> cases{
        {"one Ctrl+C", {SIGINT}, 100ms, 0, "\nDone\n"},
        {"two Ctrl+C", {SIGINT, SIGINT}, 300ms, 130, "\nInterrupted during the update: the QZ7 has no firmware now."},
        {"SIGTERM", {SIGTERM}, 100ms, 130, "\nInterrupted during the update"},
        {"SIGHUP", {SIGHUP}, 100ms, 130, "\nInterrupted during the update"}};
    // The cases run side by side, each with a simulator, a transcript and an output file of its own.
    std::vector<std::unique_ptr<bootsim::BootSim>> sims;
    std::vector<std::unique_ptr<TranscriptFile>> transcripts;
    std::vector<termios> settings;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        sims.push_back(std::make_unique<bootsim::BootSim>(HeldTransfer(100)));
        ASSERT_TRUE(sims.back()->Open()) << cases[i].name;
        settings.push_back(sims.back()->SlaveSettings());
        sims.back()->Start();
        transcripts.push_back(std::make_unique<TranscriptFile>());
    }
    std::vector<std::future<CliRun>> runs;
    for (std::size_t i = 0; i < cases.size(); ++i)
        runs.push_back(std::async(std::launch::async, [&, i] {
            const Case& c = cases[i];
            return RunCli({"--yes", "--port", sims[i]->SlavePath()}, "",
                          {.meanwhile = SignalAtLine100(*sims[i], c.sent, c.status == 0, c.gap),
                           .stderrFile = transcripts[i]->path,
                           .sim = sims[i].get(),
                           .outFile = OutFile() + "." + std::to_string(i)});
        }));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        bootsim::BootSim& sim = *sims[i];
        const termios& before = settings[i];
        const TranscriptFile& transcript = *transcripts[i];
        CliRun run = runs[i].get();
        EXPECT_EQ(run.status, c.status) << run.out;
        EXPECT_TRUE(Has(run.out, c.says)) << run.out;
        EXPECT_EQ(Has(run.out, warning), c.sent[0] == SIGINT) << run.out;
        EXPECT_TRUE(SameSettings(sim.SlaveSettings(), before));
        EXPECT_FALSE(Pty::HeldExclusively(sim.SlavePath()));
        EXPECT_EQ(sim.Snapshot().Intact(), c.status == 0) << sim.Snapshot().Summary();
        if (c.status != 0) {
            // The transcript's last progress is the line reached when it stopped (the one line
            // written that the QZ7 had not yet read aside), however soon after a refresh.
            const std::string text = FileText(transcript.path);
            const std::size_t last = text.rfind("status: Line ");
            ASSERT_NE(last, std::string::npos) << text;
            const int line = std::atoi(text.c_str() + last + std::strlen("status: Line "));
            EXPECT_GE(line, sim.Snapshot().lines) << text.substr(last, 60);
            EXPECT_LE(line, sim.Snapshot().lines + 1) << text.substr(last, 60);
        }
    }
}

TEST(Cli, BeforeTheEraseOneCtrlCStopsAtOnceOnALineOfItsOwn)
{
    bootsim::BootSim sim(FastSim());
    ASSERT_TRUE(sim.Open());
    sim.Start();
    // Standard input stays open: the question waits for an answer.
    CliRun run = RunCli({"--port", sim.SlavePath()}, "", {.meanwhile = [&](Updater& updater) {
        ASSERT_TRUE(WaitUntil([&] { return Has(OutSoFar(), "Update? [y/N] "); }, 10s)) << OutSoFar();
        kill(updater.pid, SIGINT);
    }, .holdInput = true, .sim = &sim});
    EXPECT_EQ(run.status, 130) << run.out;
    EXPECT_TRUE(Has(run.out, "Update? [y/N] \nInterrupted before anything was erased: the QZ7 is as it was.\n")) << run.out;
    EXPECT_EQ(sim.Wire(), "y");
}

TEST(Cli, ASignalIgnoredAtStartStaysIgnored)
{
    // nohup ignores SIGHUP, a shell's background job SIGINT: a closed terminal or a Ctrl+C meant
    // for the foreground must not end the update.
    const std::vector<int> ignoredSignals{SIGHUP, SIGINT};
    std::vector<std::unique_ptr<bootsim::BootSim>> sims;
    for (std::size_t i = 0; i < ignoredSignals.size(); ++i) {
        sims.push_back(std::make_unique<bootsim::BootSim>(HeldTransfer(100)));
        ASSERT_TRUE(sims.back()->Open());
        sims.back()->Start();
    }
    // Both at once, each with an output file of its own.
    std::vector<std::future<CliRun>> runs;
    for (std::size_t i = 0; i < ignoredSignals.size(); ++i)
        runs.push_back(std::async(std::launch::async, [&, i] {
            return RunCli({"--yes", "--port", sims[i]->SlavePath()}, "",
                          {.meanwhile = SignalAtLine100(*sims[i], {ignoredSignals[i], ignoredSignals[i]}, true),
                           .ignored = {ignoredSignals[i]},
                           .sim = sims[i].get(),
                           .outFile = OutFile() + "." + std::to_string(i)});
        }));
    for (std::size_t i = 0; i < ignoredSignals.size(); ++i) {
        SCOPED_TRACE(strsignal(ignoredSignals[i]));
        CliRun run = runs[i].get();
        EXPECT_EQ(run.status, 0) << run.out;
        EXPECT_TRUE(sims[i]->Snapshot().Intact()) << sims[i]->Snapshot().Summary();
        EXPECT_FALSE(Has(run.out, "Ctrl+C")) << run.out;
    }
}
