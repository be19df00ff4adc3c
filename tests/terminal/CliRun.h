#pragma once
// Runs qz7-updater --cli as a script runs it, for the terminal tests.
#include "tests/support/TestSupport.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct CliRun {
    int status = -1;
    std::string out;
    std::chrono::milliseconds took{};
};

// How the program is started besides its arguments and its input.
struct CliSetup {
    bool tty = false;                           // standard output on a pseudo-terminal
    const Pty* terminal = nullptr;              // ... this one, also as standard input
    std::function<void(Updater&)> meanwhile = {};
    std::vector<int> ignored = {};              // signals it starts with ignored
    std::string inputFile = {};                 // standard input from this file instead
    bool holdInput = false;                     // standard input stays open after `input`
    std::string stderrFile = {};                // standard error to this file
    bootsim::BootSim* sim = {};                 // powered on when the power-on directions show
    std::string powerOn = Directions::PowerOn;  // ... worded so
    std::vector<std::string> env = {};          // its environment (ChildEnvironment adds the rest)
    std::string outFile = {};                   // standard output to this file, not OutFile(),
                                                // for runs side by side in one test
};

// Where RunCli puts standard output when it is no terminal. One file per process: ctest runs
// the tests of a file side by side.
std::string OutFile();
// What the program has written to OutFile() so far.
std::string OutSoFar();
bool Has(const std::string& text, const std::string& part);
// Runs `qz7-updater --cli` with `args` and no display; standard input holds `input` and then
// ends. Standard output goes to a file, or to a pseudo-terminal when `tty`.
CliRun RunCli(std::vector<std::string> args, const std::string& input, const CliSetup& setup = {});
