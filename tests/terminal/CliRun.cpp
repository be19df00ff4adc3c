#include "tests/terminal/CliRun.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

std::string OutFile()
{
    return testing::TempDir() + "qz7-cli-" + std::to_string(getpid()) + ".out";
}

std::string OutSoFar()
{
    return FileText(OutFile());
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

CliRun RunCli(std::vector<std::string> args, const std::string& input, const CliSetup& setup)
{
    args.insert(args.begin(), "--cli");
    const std::string outFile = setup.outFile.empty() ? OutFile() : setup.outFile;
    Pty own;
    const Pty& terminal = setup.terminal ? *setup.terminal : own;
    const bool tty = setup.tty || setup.terminal;
    int out = tty ? ::open(terminal.path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)
                  : ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    EXPECT_GE(out, 0) << (tty ? terminal.path : outFile) << ": " << std::strerror(errno);
    int in[2] = {-1, -1};
    if (setup.terminal) {
        in[0] = ::fcntl(out, F_DUPFD_CLOEXEC, 0);
    } else if (!setup.inputFile.empty()) {
        in[0] = ::open(setup.inputFile.c_str(), O_RDONLY | O_CLOEXEC);
    } else {
        EXPECT_EQ(pipe2(in, O_CLOEXEC), 0);
        EXPECT_EQ(::write(in[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
        if (!setup.holdInput)
            ::close(std::exchange(in[1], -1));
    }
    std::optional<PowerOnWhenFileShows> operatorAtTheQz7;
    if (setup.sim && !tty)
        operatorAtTheQz7.emplace(*setup.sim, outFile, std::string(), setup.powerOn);
    CliRun run;
    auto start = std::chrono::steady_clock::now();
    // Discovery looks every 20 ms, as in the tests' own controllers (MakeApp), unless the test
    // sets the waits itself: no test here is about the length of its pause, and each run would
    // otherwise sit through 0.2 s of it between opening the port and starting the dialogue.
    std::vector<std::string> env = setup.env;
    if (std::none_of(env.begin(), env.end(), [](const std::string& e) { return e.starts_with("QZ7_TEST_TIMES="); }))
        env.push_back("QZ7_TEST_TIMES=discovery=20ms");
    Launch launch{env, args, out, setup.stderrFile, QZ7_BINARY_DIR "/qz7-updater", in[0]};
    launch.ignored = setup.ignored;
    Updater updater(launch);
    ::close(out);
    ::close(in[0]);
    if (setup.meanwhile)
        setup.meanwhile(updater);
    while (run.status < 0 && std::chrono::steady_clock::now() - start < 60s) {
        if (tty)
            run.out += terminal.Drain(20ms);
        if (tty && setup.sim && Has(run.out, setup.powerOn))
            setup.sim->PowerOn();
        run.status = updater.Wait(10ms);
    }
    operatorAtTheQz7.reset();
    if (in[1] >= 0)
        ::close(in[1]);
    run.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    if (tty) {
        run.out += terminal.Drain(50ms);
    } else {
        run.out = FileText(outFile);
        ::unlink(outFile.c_str());
    }
    return run;
}

