// The real program as a native Wayland client, on a weston of the test's own. Headless: it starts,
// names itself to the compositor by its desktop entry, shows its directions, can be photographed
// through weston's screenshooter, and ends promptly on SIGTERM with the port put back. Weston's
// headless backend has no input devices, so the keys are pressed on a weston nested in an Xvfb of
// the test's own (its X backend passes the X keyboard on to the focused Wayland client): closing
// mid-transfer asks, the question's keys and the end screen's work, and every end puts the port
// back.
#include "tests/support/TestSupport.h"
#include "tests/support/XServer.h"

#include <QImage>
#include <QLibraryInfo>
#include <QString>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <regex>
#include <sstream>
#include <thread>
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

// A weston with its own runtime directory under the build tree and a socket name of its own; the
// directory goes with it. Headless, or, given an X display, in a window on it that takes the X
// server's keyboard. Rendered by pixman, so that its screenshooter has pixels to give, and with
// the debug protocol, through which the screenshooter and the protocol log work.
struct Weston {
    explicit Weston(const std::string& xDisplay = {})
    {
        std::string pattern = QZ7_BINARY_DIR "/tests/wayland-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            return;
        runtimeDir = pattern;  // mkdtemp makes it 0700, as a runtime directory must be
        socket = "qz7-test-" + std::to_string(::getpid());
        log = runtimeDir + "/weston.log";
        std::vector<std::string> env{"XDG_RUNTIME_DIR=" + runtimeDir, "PATH=/usr/bin:/bin"};
        if (!xDisplay.empty())
            env.push_back("DISPLAY=" + xDisplay);
        const std::string backend = xDisplay.empty() ? "headless-backend.so" : "x11-backend.so";
        server = std::make_unique<Updater>(Launch{env,
                                                  {"--backend=" + backend, "--use-pixman", "--debug",
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
    // How often a client has made a request that holds `call`, such as naming a toplevel by the
    // desktop entry (once for each window shown) or giving a toplevel its parent (a dialog's).
    std::size_t Requests(const std::string& call) const
    {
        const std::string text = FileText(log);
        std::size_t n = 0;
        for (std::size_t at = text.find(call); at != std::string::npos; at = text.find(call, at + 1))
            ++n;
        return n;
    }
    // How often weston has given a client's surface the keyboard (wl_keyboard's enter event).
    std::size_t KeyboardEnters() const
    {
        static const std::regex enter(R"(wl_keyboard@[0-9]+\.enter\()");
        const std::string text = FileText(log);
        return static_cast<std::size_t>(std::distance(std::sregex_iterator(text.begin(), text.end(), enter), std::sregex_iterator()));
    }
    // Weston's lines about the keyboard's focus and the toplevels, for a failure's message.
    std::string KeyboardLines() const
    {
        std::istringstream text(FileText(log));
        std::string lines;
        for (std::string line; std::getline(text, line);)
            if ((line.find("wl_keyboard@") != std::string::npos && line.find(".key(") == std::string::npos) ||
                line.find("xdg_toplevel@") != std::string::npos)
                lines += line.substr(0, 160) + "\n";
        return lines;
    }
    // Moves the screenshot to `kept` in the build tree, to be looked at; whether there was one.
    bool KeepScreenshot(const std::string& kept) const
    {
        std::string shot;
        if (!WaitUntil([&] { return !(shot = Screenshot()).empty(); }, 10s))
            return false;
        std::error_code failed;
        fs::rename(shot, kept, failed);
        return !failed;
    }
    std::unique_ptr<Updater> server;
    std::string runtimeDir;
    std::string socket;
    std::string log;
    bool ready = false;
};

// The toplevel's app id is the name of the desktop entry the package installs (the one .desktop
// file among the resources), so that the shell finds its icon and name.
std::string DesktopEntryName()
{
    std::vector<std::string> names;
    for (const fs::directory_entry& e : fs::directory_iterator(QZ7_SOURCE_DIR "/resources"))
        if (e.path().extension() == ".desktop")
            names.push_back(e.path().stem().string());
    return names.size() == 1 ? names.front() : std::string();
}
const std::string kAppId = "set_app_id(\"" + DesktopEntryName() + "\")";
constexpr const char* kParent = ".set_parent(xdg_toplevel@";

// Why the Wayland runs cannot run here, or empty.
std::string WhyNotOnWayland()
{
    if (!OnPath("weston") || !OnPath("weston-screenshooter"))
        return "weston is not installed (scripts/deps.sh test installs it)";
    const QString plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms/libqwayland-generic.so");
    if (!fs::exists(plugin.toStdString()))
        return "Qt's Wayland plug-in is not installed (" + plugin.toStdString() + "; scripts/deps.sh test installs qt6-wayland)";
    return {};
}

// The updater's environment on `weston`, with the simulator's port listed.
std::vector<std::string> WaylandEnvironment(const Weston& weston, const std::string& port)
{
    std::vector<std::string> env = weston.ClientEnvironment();
    env.push_back("QZ7_SERIAL_PORTS=usbserial-sim=" + port);
    // Qt's Wayland plug-in keeps its libwayland-client proxies until the process ends, some from
    // a module already unloaded by then, which no suppression can name: under the sanitizers the
    // leak check is left to the runs on X and offscreen, which cover the program's own code.
    env.push_back("LSAN_OPTIONS=detect_leaks=0");
    return env;
}

}  // namespace

TEST(ProgramOnWayland, StartsNativelyShowsItsDirectionsAndEndsOnSigtermWithThePortRestored)
{
#if defined(__SANITIZE_THREAD__)
    // Qt's Wayland plug-in reads the compositor on a thread of its own inside Qt, which is not
    // built with the thread checker: it reports Qt's own locking as races. The program's threads
    // are checked under X and offscreen.
    GTEST_SKIP() << "not under ThreadSanitizer: Qt's Wayland event thread is not instrumented";
#endif
    if (std::string why = WhyNotOnWayland(); !why.empty())
        GTEST_SKIP() << why;
    Weston weston;
    ASSERT_TRUE(weston.ready) << "weston did not start: " << FileText(weston.runtimeDir + "/weston.stderr");

    bootsim::BootSim sim(FastSim());
    ASSERT_TRUE(sim.Open());
    const termios before = sim.SlaveSettings();
    sim.Start();
    TranscriptFile transcript;
    Updater updater(Launch{WaylandEnvironment(weston, sim.SlavePath()), {}, -1, transcript.path});

    // Its first directions, then the power-on prompt once it holds the port; the QZ7 is left
    // off, so the program waits there with the port open, raw and exclusive.
    EXPECT_TRUE(transcript.Says("directions: Connect USB adapter")) << FileText(transcript.path);
    ASSERT_TRUE(transcript.Says("directions: Power on the QZ7")) << FileText(transcript.path);
    ASSERT_TRUE(WaitUntil([&] { return Pty::HeldExclusively(sim.SlavePath()); }, 10s));
    // A native client, not one through XWayland (there is no X server here): weston's protocol log
    // holds its toplevel, named by the desktop entry.
    EXPECT_TRUE(WaitUntil([&] { return weston.Requests(kAppId) == 1; }, 10s))
        << "no app id in " << weston.log;
    EXPECT_TRUE(WaitUntil([&] { return FileText(weston.log).find("set_title(\"QZ7 Updater\")") != std::string::npos; }, 10s));

    // What the compositor shows, kept in the build tree to be looked at.
    const std::string kept = QZ7_BINARY_DIR "/tests/wayland-power-on.png";
    ASSERT_TRUE(weston.KeepScreenshot(kept)) << "weston's screenshooter gave nothing";
    EXPECT_EQ(QImage(QString::fromStdString(kept)).size(), QSize(640, 560));
    RecordProperty("screenshot", kept);

    std::chrono::milliseconds took{};
    EXPECT_EQ(updater.Stop(SIGTERM, 5s, took), 0);
    EXPECT_LT(took, 2s);
    RecordProperty("quit_ms", std::to_string(took.count()));
    EXPECT_TRUE(SameSettings(sim.SlaveSettings(), before));
    EXPECT_FALSE(Pty::HeldExclusively(sim.SlavePath()));
}

TEST(ProgramOnWayland, ClosingMidTransferAsksAndTheKeysOfEveryEndPutThePortBack)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "not under ThreadSanitizer: Qt's Wayland event thread is not instrumented";
#endif
    if (std::string why = WhyNotOnWayland(); !why.empty())
        GTEST_SKIP() << why;
    if (!OnPath("xdotool"))
        GTEST_SKIP() << "xdotool is not installed (scripts/deps.sh test installs it)";

    // Each run closes mid-transfer with `close`, answers the question with `answer`; the update
    // then either goes on to Done, where `atDone` closes the window, or stops at once.
    const struct Case {
        const char* name;
        const char* close;
        const char* answer;  // xdotool's keys, pressed one after the other
        bool keepsUpdating;
        const char* atDone;
    } cases[] = {
        {"Ctrl+W, Escape keeps updating, Escape at Done closes", "ctrl+w", "Escape", true, "Escape"},
        {"Ctrl+Q, Return keeps updating, Ctrl+Q at Done closes", "ctrl+q", "Return", true, "ctrl+q"},
        {"Ctrl+W, Tab and Space choose Stop", "ctrl+w", "Tab space", false, nullptr},
    };
    const auto run = [](const Case& c, bool screenshot) {
        SCOPED_TRACE(c.name);
        // The X server is weston's keyboard only: weston's window covers its screen, and the
        // updater is given no X display at all. Each case has both of its own, as the keyboard's
        // focus is the compositor's.
        XServer x("640x560x24");
        ASSERT_FALSE(x.display.empty()) << "Xvfb did not start (scripts/deps.sh test installs it)";
        Weston weston(x.display);
        ASSERT_TRUE(weston.ready) << "weston did not start: " << FileText(weston.runtimeDir + "/weston.stderr");
        bootsim::Options o = FastSim();
        o.lineDelay = 1ms;  // about 3 s of transfer: time to ask and answer, then hurried
        bootsim::BootSim sim(o);
        ASSERT_TRUE(sim.Open());
        const termios before = sim.SlaveSettings();
        sim.Start();
        TranscriptFile transcript;
        Updater updater(Launch{WaylandEnvironment(weston, sim.SlavePath()), {}, -1, transcript.path});
        PowerOnWhenFileShows operatorAtTheQz7(sim, transcript.path);
        ASSERT_TRUE(WaitUntil([&] { return sim.CurrentStage() == bootsim::Stage::Prompt; }, 15s)) << FileText(transcript.path);
        // Space presses the focused Update once the window has the keyboard; the stage moves
        // on within milliseconds of a press that landed.
        ASSERT_TRUE(WaitUntil([&] {
            x.Key("space");
            return WaitUntil([&] { return sim.CurrentStage() > bootsim::Stage::Prompt; }, 300ms);
        }, 15s)) << FileText(weston.log).substr(0, 4000);
        ASSERT_TRUE(WaitUntil([&] { return sim.Snapshot().lines >= 200; }, 20s)) << sim.Snapshot().Summary();

        const std::size_t windows = weston.Requests(kAppId), dialogs = weston.Requests(kParent);
        const std::size_t enters = weston.KeyboardEnters();
        ASSERT_TRUE(x.Key(c.close));
        // The question is a dialog of the window, named by the desktop entry too; the transfer
        // goes on meanwhile.
        ASSERT_TRUE(WaitUntil([&] { return weston.Requests(kAppId) > windows && weston.Requests(kParent) > dialogs; }, 5s))
            << "no question shown";
        // Its keys are pressed once weston has given it the keyboard: a key pressed before that
        // goes to the window beneath, or nowhere, on a loaded machine.
        ASSERT_TRUE(WaitUntil([&] { return weston.KeyboardEnters() > enters; }, 5s)) << "the question never had the keyboard";
        std::this_thread::sleep_for(150ms);
        const auto asked = sim.Snapshot().lines;
        EXPECT_TRUE(WaitUntil([&] { return sim.Snapshot().lines > asked + 50; }, 5s)) << "the transfer stopped at the question";
        EXPECT_EQ(updater.Wait(0ms), -1);
        if (screenshot) {
            const std::string kept = QZ7_BINARY_DIR "/tests/wayland-close-question.png";
            EXPECT_TRUE(weston.KeepScreenshot(kept));
            RecordProperty("screenshot", kept);
        }
        std::istringstream keys(c.answer);
        for (std::string key; keys >> key;) {
            ASSERT_TRUE(x.Key(key));
            std::this_thread::sleep_for(150ms);
        }
        std::chrono::milliseconds took{};
        if (c.keepsUpdating) {
            sim.Hurry();  // the rest of the image at full speed: what is left to see is the end
            ASSERT_TRUE(WaitUntil([&] { return sim.Snapshot().doneSent; }, 30s)) << sim.Snapshot().Summary();
            EXPECT_TRUE(sim.Snapshot().Intact()) << sim.Snapshot().Summary();
            ASSERT_TRUE(transcript.Says("directions: Done"));
            EXPECT_EQ(updater.Wait(300ms), -1);  // Done waits for the operator
            // The key closes once the window has the keyboard back from the question: a key
            // pressed within about a second of the question going is lost under weston, so the
            // key is pressed again every quarter of a second until the program ends.
            const auto pressed = std::chrono::steady_clock::now();
            int status = -1, presses = 0;
            while (status == -1 && presses < 40) {
                ASSERT_TRUE(x.Key(c.atDone));
                ++presses;
                status = updater.Wait(250ms);
            }
            took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - pressed);
            EXPECT_EQ(status, 0) << FileText(transcript.path) << weston.KeyboardLines();
            RecordProperty(std::string("presses_") + c.atDone, std::to_string(presses));
        } else {
            EXPECT_EQ(updater.Wait(5s, &took), 0) << FileText(transcript.path);
            EXPECT_LT(took, 2s);
            EXPECT_FALSE(sim.Snapshot().doneSent);
        }
        RecordProperty(std::string("quit_ms_") + (c.keepsUpdating ? c.atDone : "stop"), std::to_string(took.count()));
        // Whether the window system's teardown had to be cut short by the program's bound.
        RecordProperty(std::string("teardown_cut_") + (c.keepsUpdating ? c.atDone : "stop"),
                       FileText(transcript.path).find("did not let the program end") != std::string::npos ? "yes" : "no");
        EXPECT_TRUE(SameSettings(sim.SlaveSettings(), before));
        EXPECT_FALSE(Pty::HeldExclusively(sim.SlavePath()));
        EXPECT_NE(FileText(transcript.path).find("with its settings restored"), std::string::npos) << FileText(transcript.path);
    };
    // The cases side by side.
    std::vector<std::future<void>> runs;
    for (const Case& c : cases)
        runs.push_back(std::async(std::launch::async, run, std::cref(c), &c == &cases[0]));
    for (std::future<void>& r : runs)
        r.get();
}
