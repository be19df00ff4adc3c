#include "tests/support/Processes.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {
std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}
}  // namespace

ScratchFolder::ScratchFolder()
    : path_(QZ7_BINARY_DIR "/tests/scratch/" + std::string(program_invocation_short_name) + "-" + std::to_string(getpid()))
{
    std::error_code error;
    std::filesystem::create_directories(path_, error);
    if (error)
        std::fprintf(stderr, "cannot make %s: %s\n", path_.c_str(), error.message().c_str());
    // XDG's rule for a runtime folder: the user's alone.
    ::mkdir((path_ + "/runtime").c_str(), 0700);
    setenv("TEST_TMPDIR", path_.c_str(), 1);
    setenv("TMPDIR", path_.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (path_ + "/runtime").c_str(), 1);
    // The units' history of every updater a test starts, and no test unit in the machine's
    // journal.
    setenv("XDG_STATE_HOME", (path_ + "/state").c_str(), 1);
    setenv("QZ7_JOURNAL", "off", 1);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code error;
    if (result_ == 0)
        std::filesystem::remove_all(path_, error);
    else
        std::fprintf(stderr, "the files of this run are kept in %s\n", path_.c_str());
}

std::string RuntimeFolder(bool asNobody)
{
    const std::string own = Environment("XDG_RUNTIME_DIR");
    if (!asNobody || getuid() != 0)
        return own;
    // Beside the test's own, so that it goes with the scratch folder.
    const std::string folder = own + "-nobody";
    const passwd* nobody = getpwnam("nobody");
    if (::mkdir(folder.c_str(), 0700) == 0 && nobody && ::chown(folder.c_str(), nobody->pw_uid, nobody->pw_gid) != 0)
        std::fprintf(stderr, "cannot give %s to nobody: %s\n", folder.c_str(), std::strerror(errno));
    return folder;
}

std::vector<std::string> ChildEnvironment(std::vector<std::string> extra, bool asNobody)
{
    // A variable the test sets itself wins over this process's own.
    auto given = [&extra](const std::string& name) {
        return std::any_of(extra.begin(), extra.end(), [&](const std::string& e) { return e.rfind(name + "=", 0) == 0; });
    };
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS", "TEST_TMPDIR", "TMPDIR"})
        if (const char* value = std::getenv(name); value && !given(name))
            extra.push_back(std::string(name) + "=" + value);
    if (!given("XDG_RUNTIME_DIR") && !Environment("XDG_RUNTIME_DIR").empty())
        extra.push_back("XDG_RUNTIME_DIR=" + RuntimeFolder(asNobody));
    // The history: the test's own, or, for nobody, in the runtime folder it owns.
    if (!given("XDG_STATE_HOME") && !Environment("XDG_STATE_HOME").empty())
        extra.push_back("XDG_STATE_HOME=" + (asNobody && getuid() == 0 ? RuntimeFolder(true) + "/state" : Environment("XDG_STATE_HOME")));
    if (!given("QZ7_JOURNAL") && !Environment("QZ7_JOURNAL").empty())
        extra.push_back("QZ7_JOURNAL=" + Environment("QZ7_JOURNAL"));
    return extra;
}

std::string CommandOutput(const std::string& command, int& status)
{
    std::string output;
    status = -1;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return output;
    {
        Updater shell(Launch{OwnEnvironment(), {"-c", command}, out[1], {}, "/bin/sh"});
        ::close(out[1]);
        char buffer[4096];
        for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
            output.append(buffer, static_cast<std::size_t>(n));
        status = shell.Wait(60s);
    }
    ::close(out[0]);
    return output;
}

std::vector<std::string> OffscreenEnvironment(const std::string& ports)
{
    return {"QT_QPA_PLATFORM=offscreen", "QZ7_SERIAL_PORTS=" + ports};
}

std::vector<std::string> OwnEnvironment()
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    return env;
}

Updater::Updater(Launch launch)
{
    // Everything the child needs is made before the fork: between fork and exec it makes
    // system calls only.
    std::vector<std::string> env = ChildEnvironment(launch.env, launch.asNobody);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<char*> argv{launch.program.data()};
    for (std::string& a : launch.args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const passwd* nobody = launch.asNobody && getuid() == 0 ? getpwnam("nobody") : nullptr;
    EXPECT_TRUE(nobody || !launch.asNobody || getuid() != 0) << "no user nobody";
    const uid_t uid = nobody ? nobody->pw_uid : 0;
    const gid_t gid = nobody ? nobody->pw_gid : 0;
    int failed[2];  // carries the child's errno when the program could not be started
    if (pipe2(failed, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe2: " << std::strerror(errno);
        return;
    }
    pid = fork();
    if (pid == 0) {
        struct sigaction byDefault {};
        byDefault.sa_handler = SIG_DFL;
        for (int s = 1; s < NSIG; ++s)
            sigaction(s, &byDefault, nullptr);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        for (int s : launch.ignored)
            sigaction(s, &ignore, nullptr);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        // Opened close-on-exec: the program gets the copies dup2 makes, not a second descriptor.
        dup2(launch.stdoutFd >= 0 ? launch.stdoutFd : ::open("/dev/null", O_WRONLY | O_CLOEXEC), 1);
        if (launch.stdinFd >= 0)
            dup2(launch.stdinFd, 0);
        if (!launch.stderrFile.empty())
            dup2(::open(launch.stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600), 2);
        if (!nobody || (setgroups(0, nullptr) == 0 && setgid(gid) == 0 && setuid(uid) == 0))
            execvpe(argv[0], argv.data(), envp.data());
        int error = errno;
        (void)!::write(failed[1], &error, sizeof error);
        _exit(127);
    }
    ::close(failed[1]);
    int error = 0;
    bool started = pid > 0 && ::read(failed[0], &error, sizeof error) == 0;
    ::close(failed[0]);
    EXPECT_TRUE(started) << launch.program << ": " << std::strerror(pid > 0 ? error : errno);
    if (!started && pid > 0) {
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
}

Updater::~Updater()
{
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

int Updater::Wait(std::chrono::milliseconds bound, std::chrono::milliseconds* took)
{
    // No child (it never started, or it was waited for already): never waitpid(-1), which
    // would reap another child of this process.
    if (pid <= 0)
        return -1;
    auto start = std::chrono::steady_clock::now();
    int status = 0;
    while (std::chrono::steady_clock::now() - start < bound) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            if (took)
                *took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
            pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(5ms);
    }
    return -1;
}

int Updater::Stop(int signal, std::chrono::milliseconds bound, std::chrono::milliseconds& took)
{
    // kill(-1) would signal every process this user may signal.
    if (pid > 0)
        kill(pid, signal);
    return Wait(bound, &took);
}

double Updater::CpuSeconds() const
{
    // The process's own CPU clock, to the nanosecond; /proc counts in ticks of 10 ms, too coarse
    // for a share of 0.5 % over a few seconds.
    clockid_t clock{};
    timespec t{};
    if (clock_getcpuclockid(pid, &clock) == 0 && clock_gettime(clock, &t) == 0)
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string skip;
    for (int i = 0; i < 11; ++i)
        fields >> skip;
    double utime = 0, stime = 0;
    fields >> utime >> stime;
    return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool Updater::Catches(int signal) const
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key) {
        if (key == "SigCgt:") {
            std::string mask;
            status >> mask;
            return (std::stoull(mask, nullptr, 16) >> (signal - 1)) & 1;
        }
        status.ignore(1 << 10, '\n');
    }
    return false;
}

std::string FileText(const std::string& path)
{
    std::ifstream file(path);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

TranscriptFile::TranscriptFile()
{
    // Tests make these from several threads at once (cases side by side): each must get a name
    // of its own, or one case's end removes the transcript another is still reading.
    static std::atomic<int> made{0};
    path = testing::TempDir() + "qz7-process-" + std::to_string(getpid()) + "-" + std::to_string(++made) + ".log";
}

TranscriptFile::~TranscriptFile()
{
    if (testing::Test::HasFailure())
        std::fprintf(stderr, "transcript of the program:\n%s\n", FileText(path).c_str());
    ::unlink(path.c_str());
}

bool TranscriptFile::Says(const std::string& part, std::chrono::milliseconds bound) const
{
    return WaitUntil([&] { return FileText(path).find(part) != std::string::npos; }, bound);
}

// What the far end of `fd` sends within `bound`, read until `part` has come.
std::string ReadUntil(int fd, const std::string& part, std::chrono::milliseconds bound)
{
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + bound;
    char buffer[256];
    while (got.find(part) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
    }
    return got;
}
