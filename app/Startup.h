#pragma once
#include "run/RunOptions.h"

#include <QCommandLineParser>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What the program does before it opens its window. Each step runs before any application
// object exists, so none of them needs a display.

// Makes sure descriptors 0, 1 and 2 are open (on /dev/null when they were not), so that nothing
// the program opens later (the port above all) takes a number that printing would write to, and
// ignores SIGPIPE: the image length on standard output is best effort, and a reader that went
// away must not end an update.
void PrepareProcess();

// The program's options. A new option is declared here and acted on in HandleCommandLine.
void DeclareOptions(QCommandLineParser& parser);

struct CommandLine {
    std::optional<int> exitNow;  // the program ends at once with this status
    RunOptions run;
};
// Prints the help or the version when asked for, or a complaint about a wrong option (status 64).
CommandLine HandleCommandLine(int argc, char* argv[]);

// The value of the option `name` as its bytes stand in argv (the last one given), or none.
std::optional<std::string> RawOptionValue(int argc, char* argv[], const std::string& name);
// The one argument that is no option nor an option's value, as its bytes stand in argv, or none.
std::optional<std::string> RawPositional(int argc, char* argv[]);
// Every value of the option `name` as its bytes stand in argv, in order.
std::vector<std::string> RawOptionValues(int argc, char* argv[], const std::string& name);

// `status`, once standard output has taken everything printed; else, after saying so on standard
// error, ExitStatus::OutputFailed (a full disk, a closed pipe).
int OutputWritten(int status);

// Whether a window can be opened: false, after saying so on standard error, when there is no
// display to open it on.
bool DisplayFound(int argc, char* argv[]);

// A bound on the window system's teardown, after the program's own, which has put the port back
// already: armed, it ends the process with `status` once `bound` has passed, saying so on
// standard error, unless it is destroyed first. Its thread ends with it, so that a process that
// ends well has no thread left over. `end` stands in for ending the process (tests).
inline constexpr std::chrono::seconds kTeardownBound{2};
class TeardownBound {
public:
    TeardownBound(std::chrono::milliseconds bound, int status, std::function<void()> end = {});
    ~TeardownBound();
    TeardownBound(const TeardownBound&) = delete;
    TeardownBound& operator=(const TeardownBound&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread thread_;
};

// For as long as it lives (while the application object is made): a window system that cannot be
// reached, such as DISPLAY naming a server that is not running, ends the program with status 1
// and the same plain message as no display at all, where Qt would abort and suggest reinstalling.
// What the window system says meanwhile is held back, and passed on once it has started.
struct HeldMessage;
class WindowSystemStart {
public:
    WindowSystemStart();
    ~WindowSystemStart();
    WindowSystemStart(const WindowSystemStart&) = delete;
    WindowSystemStart& operator=(const WindowSystemStart&) = delete;

private:
    std::unique_ptr<std::vector<HeldMessage>> held_;
};
