#include "TestSupport.h"

#include <QCoreApplication>
#include <QLabel>
#include <QThread>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <pty.h>
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
    return app.window->ui.DirectionsView->text();
}

std::string StatusLine(const UpdaterApp& app)
{
    return app.window->ui.StatusView->text().toStdString();
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
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "TSAN_OPTIONS"})
        if (const char* value = std::getenv(name))
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

#ifndef QZ7_SOAK_MAIN
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

void OpenPort(QZ7_UpdaterAppDelegate& controller, const std::string& path)
{
    termios archive{};
    std::optional<int> flags;
    bool archived = false;
    int fd = OpenAndConfigure(path, archive, flags, archived);
    ASSERT_GT(fd, 0);
    auto record = controller.Serial();
    record->setChosenPath(path);
    record->setTermios_archive(archive);
    record->setPortID(fd);
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
