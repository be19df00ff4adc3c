#pragma once
// Programs the tests start as processes (the updater, the simulator, a shell), and the files
// their transcripts go to.
#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

using namespace std::chrono_literals;

// Where a test program's files go: a folder of its own under the build tree
// (build/tests/scratch/PROGRAM-PID), never /tmp. Made at the start of the program, it is where
// testing::TempDir() points (TEST_TMPDIR) and TMPDIR, and it holds the runtime folder
// (XDG_RUNTIME_DIR) of the program and of every program it starts, so that Qt, D-Bus and the
// accessibility bus make nothing in /tmp either. Removed at the end once every test passed; kept
// for a look when one failed.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    // The test program's result: the folder goes when it is 0.
    void Finish(int result) { result_ = result; }

private:
    std::string path_;
    int result_ = 1;
};

// The runtime folder for a program the tests start (XDG_RUNTIME_DIR), in the scratch folder:
// the test program's own, or one that belongs to the user nobody.
std::string RuntimeFolder(bool asNobody = false);

// The environment for a program the tests start: `extra`, plus the sanitizers' options of this
// process, so that a sanitized child runs under the same rules as its test, and the scratch and
// runtime folders above (unless `extra` names its own).
std::vector<std::string> ChildEnvironment(std::vector<std::string> extra, bool asNobody = false);

// Runs a shell command with this process's environment; returns what it printed, and its exit
// status through `status` (as Updater::Wait has it).
std::string CommandOutput(const std::string& command, int& status);

// How a test starts a program: its whole environment (this process's sanitizer options are
// added), its arguments, where its standard output and error go, and the program itself (looked
// up on this process's PATH when it names no directory).
struct Launch {
    std::vector<std::string> env;
    std::vector<std::string> args = {};
    int stdoutFd = -1;            // /dev/null unless given
    std::string stderrFile = {};  // the test's own standard error unless given
    std::string program = QZ7_BINARY_DIR "/qz7-updater";
    int stdinFd = -1;             // the test's own standard input unless given
    bool asNobody = false;        // run as the user nobody when the test runs as root
    std::vector<int> ignored = {};  // signals the program starts with ignored (as nohup does)
};

// This process's own environment.
std::vector<std::string> OwnEnvironment();

// The updater's environment as an operator starts it with QZ7_SERIAL_PORTS set to `ports`, the
// window off screen.
std::vector<std::string> OffscreenEnvironment(const std::string& ports);

// A program started the way an operator starts it (the updater unless the launch names another),
// every signal at its default (but those the launch ignores) and none blocked
// (a test runner may ignore SIGPIPE or SIGHUP). Standard error stays the test's own unless the
// launch names a file, so that a sanitizer's report shows in the log. The destructor kills what
// is still running.
struct Updater {
    explicit Updater(const std::string& ports) : Updater(Launch{OffscreenEnvironment(ports)}) {}
    explicit Updater(Launch launch);
    ~Updater();
    Updater(const Updater&) = delete;  // the destructor kills and reaps the one child
    Updater& operator=(const Updater&) = delete;
    // Waits at most `bound` for the exit; returns the exit status (128 + the signal when one
    // ended it), or -1 past the bound.
    int Wait(std::chrono::milliseconds bound, std::chrono::milliseconds* took = nullptr);
    // Sends `signal` and waits for the exit, as Wait.
    int Stop(int signal, std::chrono::milliseconds bound, std::chrono::milliseconds& took);
    // User plus system time of the process, in seconds (to the nanosecond).
    double CpuSeconds() const;
    // Whether the process catches `signal` yet (before that, the signal ends it outright).
    bool Catches(int signal) const;
    pid_t pid = -1;
};

// The whole text of a file; empty when there is none.
std::string FileText(const std::string& path);

// A file for a child's transcript (its standard error), so that the test can wait for what the
// program did. Removed with it; shown when the test has failed, since a sanitizer's report from
// the child goes there too.
struct TranscriptFile {
    TranscriptFile();
    ~TranscriptFile();
    TranscriptFile(const TranscriptFile&) = delete;
    TranscriptFile& operator=(const TranscriptFile&) = delete;
    // Waits until the transcript holds `part`.
    bool Says(const std::string& part, std::chrono::milliseconds bound = 10s) const;
    std::string path;
};

// What the far end of `fd` sends within `bound`, read until `part` has come.
std::string ReadUntil(int fd, const std::string& part, std::chrono::milliseconds bound);
