#include "tests/TestSupport.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <sstream>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds bound)
{
    auto deadline = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(2ms);
    }
    QCoreApplication::processEvents();
    return true;
}

void Spin(std::chrono::milliseconds duration)
{
    WaitFor([] { return false; }, duration);
}

Pty::Pty()
{
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) == 0) {
        ::close(slave);
        path = name;
    }
}

Pty::~Pty()
{
    if (master >= 0)
        ::close(master);
}

void Pty::Send(const std::string& bytes) const
{
    ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

std::string Pty::Drain(std::chrono::milliseconds quiet) const
{
    std::string out;
    char buffer[4096];
    for (;;) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(quiet.count())) <= 0 || !(p.revents & POLLIN))
            return out;
        ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            return out;
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

termios Pty::Settings() const
{
    termios t{};
    tcgetattr(master, &t);
    return t;
}

bool Pty::HeldExclusively(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return true;  // refused: held exclusively (we are not privileged)
    int exclusive = 0;
    ioctl(fd, TIOCGEXCL, &exclusive);
    ::close(fd);
    return exclusive != 0;
}

ServiceLister OneAdapter(const std::string& path)
{
    return [path] { return std::optional(std::vector<SerialService>{{"ttyS0", "/nonexistent/ttyS0"}, {"ttyUSB-sim", path}}); };
}

std::unique_ptr<UpdaterApp> MakeApp(const std::string& path, QZ7_UpdaterAppDelegate::Options options)
{
    options.lister = OneAdapter(path);
    options.discoveryInterval = 20ms;
    return std::make_unique<UpdaterApp>(std::move(options));
}

std::unique_ptr<UpdaterApp> MakeApp(const std::string& path, std::optional<std::string> firmware)
{
    QZ7_UpdaterAppDelegate::Options options;
    if (firmware) {
        options.useShippedFirmware = false;
        options.firmware = std::move(firmware);
    }
    return MakeApp(path, std::move(options));
}

QString ScreenText(const UpdaterApp& app)
{
    return app.window->DirectionsView()->text();
}

std::string StatusLine(const UpdaterApp& app)
{
    return app.window->StatusView()->text().toStdString();
}

bool SameSettings(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0 && cfgetispeed(&a) == cfgetispeed(&b) &&
           cfgetospeed(&a) == cfgetospeed(&b);
}

bootsim::Options FastSim()
{
    bootsim::Options o;
    o.powerOnDelay = 300ms;  // the operator powers on once the prompt shows
    o.eraseDelay = 0ms;
    return o;
}

std::vector<std::string> ChildEnvironment(std::vector<std::string> extra)
{
    // A variable the test sets itself wins over this process's own.
    auto given = [&extra](const std::string& name) {
        return std::any_of(extra.begin(), extra.end(), [&](const std::string& e) { return e.rfind(name + "=", 0) == 0; });
    };
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS"})
        if (const char* value = std::getenv(name); value && !given(name))
            extra.push_back(std::string(name) + "=" + value);
    return extra;
}

std::string CommandOutput(const std::string& command, int& status)
{
    std::string output;
    status = -1;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, n);
        status = pclose(pipe);
    }
    return output;
}

std::string ShippedImage()
{
    std::ifstream file(QZ7_SOURCE_DIR "/resources/QZ-7-2_007.hex", std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound)
{
    auto deadline = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

std::vector<std::string> OffscreenEnvironment(const std::string& ports)
{
    return {"QT_QPA_PLATFORM=offscreen", "QZ7_SERIAL_PORTS=" + ports, "XDG_RUNTIME_DIR=/tmp"};
}

Updater::Updater(Launch launch)
{
    std::vector<std::string> env = ChildEnvironment(launch.env);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<char*> argv{launch.program.data()};
    for (std::string& a : launch.args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (launch.stdinFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, launch.stdinFd, 0);
    if (launch.stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, launch.stdoutFd, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (!launch.stderrFile.empty())
        posix_spawn_file_actions_addopen(&actions, 2, launch.stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    EXPECT_EQ(posix_spawn(&pid, launch.program.c_str(), &actions, &attributes, argv.data(), envp.data()), 0)
        << launch.program;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
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
    kill(pid, signal);
    return Wait(bound, &took);
}

double Updater::CpuSeconds() const
{
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

#ifndef QZ7_SOAK_MAIN
namespace {
// The window and controller started on `path`, with Update pressed as soon as it is offered,
// left running until the process is killed: an update that a test can stop at any moment from
// outside (the program itself cannot be made to press Update).
int UpdateUntilKilled(const std::string& path)
{
    auto app = MakeApp(path);
    app->Launch();
    if (!WaitFor([&] { return app->window->UpdateButtonView()->isEnabled(); }, 30s))
        return 3;
    app->window->UpdateButtonView()->click();
    return QApplication::exec();
}
}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == kUpdateUntilKilled)
        return UpdateUntilKilled(argv[2]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

void OpenPort(QZ7_UpdaterAppDelegate& controller, const std::string& path)
{
    OpenResult opened = OpenAndConfigure(path);
    ASSERT_GT(opened.fd, 0);
    auto record = controller.Serial();
    record->setChosenPath(path);
    record->setTermios_archive(opened.archive);
    record->setPortID(opened.fd);
}

int OpenDescriptors()
{
    int count = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d))
            ++count;
        closedir(d);
    }
    return count - 3;  // ".", ".." and the directory's own descriptor
}
#endif
