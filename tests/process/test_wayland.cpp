// The real program as a native Wayland client, on a headless weston of the test's own: it starts,
// names itself to the compositor by its desktop entry, shows its directions, can be photographed
// through weston's screenshooter, and ends promptly on SIGTERM with the port put back.
#include "tests/support/TestSupport.h"

#include <QImage>
#include <QLibraryInfo>
#include <QString>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Whether `program` is on this process's PATH.
bool OnPath(const std::string& program)
{
    int status = 0;
    CommandOutput("command -v " + program + " >/dev/null 2>&1", status);
    return status == 0;
}

// A headless weston with its own runtime directory under the build tree and a socket name of its
// own; the directory goes with it. Rendered by pixman, so that its screenshooter has pixels to
// give, and with the debug protocol, through which the screenshooter and the protocol log work.
struct Weston {
    Weston()
    {
        std::string pattern = QZ7_BINARY_DIR "/tests/wayland-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            return;
        runtimeDir = pattern;  // mkdtemp makes it 0700, as a runtime directory must be
        socket = "qz7-test-" + std::to_string(::getpid());
        log = runtimeDir + "/weston.log";
        server = std::make_unique<Updater>(Launch{{"XDG_RUNTIME_DIR=" + runtimeDir, "PATH=/usr/bin:/bin"},
                                                  {"--backend=headless-backend.so", "--use-pixman", "--debug",
                                                   "--socket=" + socket, "--idle-time=0", "--width=640", "--height=560",
                                                   "--logger-scopes=log,proto", "--log=" + log},
                                                  -1, runtimeDir + "/weston.stderr", "weston"});
        // The socket's lock file is made before the socket; the socket, once it listens.
        ready = WaitUntil([&] { return fs::exists(runtimeDir + "/" + socket); }, 10s);
    }
    ~Weston()
    {
        std::chrono::milliseconds took{};
        if (server)
            server->Stop(SIGTERM, 5s, took);
        server.reset();
        std::error_code ignored;
        if (!runtimeDir.empty())
            fs::remove_all(runtimeDir, ignored);
    }
    std::vector<std::string> ClientEnvironment() const
    {
        return {"XDG_RUNTIME_DIR=" + runtimeDir, "WAYLAND_DISPLAY=" + socket, "QT_QPA_PLATFORM=wayland"};
    }
    // A screenshot of the whole output through weston's screenshooter; its path, or empty.
    std::string Screenshot() const
    {
        int status = 0;
        CommandOutput("cd '" + runtimeDir + "' && env -u DISPLAY XDG_RUNTIME_DIR='" + runtimeDir + "' WAYLAND_DISPLAY=" +
                          socket + " weston-screenshooter >/dev/null 2>&1",
                      status);
        for (const fs::directory_entry& e : fs::directory_iterator(runtimeDir))
            if (e.path().filename().string().rfind("wayland-screenshot-", 0) == 0)
                return e.path().string();
        return {};
    }
    std::unique_ptr<Updater> server;
    std::string runtimeDir;
    std::string socket;
    std::string log;
    bool ready = false;
};

}  // namespace

TEST(ProgramOnWayland, StartsNativelyShowsItsDirectionsAndEndsOnSigtermWithThePortRestored)
{
#if defined(__SANITIZE_THREAD__)
    // Qt's Wayland plug-in reads the compositor on a thread of its own inside Qt, which is not
    // built with the thread checker: it reports Qt's own locking as races. The program's threads
    // are checked under X and offscreen.
    GTEST_SKIP() << "not under ThreadSanitizer: Qt's Wayland event thread is not instrumented";
#endif
    if (!OnPath("weston") || !OnPath("weston-screenshooter"))
        GTEST_SKIP() << "weston is not installed (scripts/deps.sh test installs it)";
    const QString plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms/libqwayland-generic.so");
    if (!fs::exists(plugin.toStdString()))
        GTEST_SKIP() << "Qt's Wayland plug-in is not installed (" << plugin.toStdString() << "; scripts/deps.sh test installs qt6-wayland)";
    Weston weston;
    ASSERT_TRUE(weston.ready) << "weston did not start: " << FileText(weston.runtimeDir + "/weston.stderr");

    bootsim::BootSim sim(FastSim());
    ASSERT_TRUE(sim.Open());
    const termios before = sim.SlaveSettings();
    sim.Start();
    TranscriptFile transcript;
    std::vector<std::string> env = weston.ClientEnvironment();
    env.push_back("QZ7_SERIAL_PORTS=usbserial-sim=" + sim.SlavePath());
    // Qt's Wayland plug-in keeps its libwayland-client proxies until the process ends, some from
    // a module already unloaded by then, which no suppression can name: under the sanitizers the
    // leak check is left to the runs on X and offscreen, which cover the program's own code.
    env.push_back("LSAN_OPTIONS=detect_leaks=0");
    Updater updater(Launch{env, {}, -1, transcript.path});

    // Its first directions, then the power-on prompt once it holds the port; the QZ7 is left
    // off, so the program waits there with the port open, raw and exclusive.
    EXPECT_TRUE(transcript.Says("directions: Connect USB adapter")) << FileText(transcript.path);
    ASSERT_TRUE(transcript.Says("directions: Power on the QZ7")) << FileText(transcript.path);
    ASSERT_TRUE(WaitUntil([&] { return Pty::HeldExclusively(sim.SlavePath()); }, 10s));
    // A native client, not one through XWayland (there is no X server here): weston's protocol log
    // holds its toplevel, named by the desktop entry.
    EXPECT_TRUE(WaitUntil([&] { return FileText(weston.log).find("set_app_id(\"qz7-updater\")") != std::string::npos; }, 10s))
        << "no app id in " << weston.log;
    EXPECT_TRUE(WaitUntil([&] { return FileText(weston.log).find("set_title(\"QZ7 Updater\")") != std::string::npos; }, 10s));

    // What the compositor shows, kept in the build tree to be looked at.
    std::string shot;
    ASSERT_TRUE(WaitUntil([&] { return !(shot = weston.Screenshot()).empty(); }, 10s)) << "weston's screenshooter gave nothing";
    QImage image(QString::fromStdString(shot));
    EXPECT_EQ(image.size(), QSize(640, 560));
    const std::string kept = QZ7_BINARY_DIR "/tests/wayland-power-on.png";
    std::error_code ignored;
    fs::rename(shot, kept, ignored);
    RecordProperty("screenshot", kept);

    std::chrono::milliseconds took{};
    EXPECT_EQ(updater.Stop(SIGTERM, 5s, took), 0);
    EXPECT_LT(took, 2s);
    RecordProperty("quit_ms", std::to_string(took.count()));
    EXPECT_TRUE(SameSettings(sim.SlaveSettings(), before));
    EXPECT_FALSE(Pty::HeldExclusively(sim.SlavePath()));
}
