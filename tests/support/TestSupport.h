#pragma once
#include "core/Directions.h"
#include "core/Words.h"
#include "firmware/Firmware.h"
#include "sim/BootSim.h"
#include "window/UpdaterWindow.h"
#include "tests/support/Processes.h"

#include <QApplication>
#include <QJsonObject>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

// A pseudo-terminal whose master side the test plays by hand.
struct Pty {
    Pty();
    ~Pty();
    int master = -1;
    std::string path;
    void Send(const std::string& bytes) const;
    std::string Drain(std::chrono::milliseconds quiet = 100ms) const;  // what the program sent
    termios Settings() const;
    // Whether the slave is held in exclusive use (asked on a second descriptor of the slave).
    bool Exclusive() const { return HeldExclusively(path); }
    static bool HeldExclusively(const std::string& path);
};

// The languages the program carries, as translations/LANGUAGES lists them ("de", ...).
std::vector<std::string> CarriedLanguages();

// A lister that offers one adapter at `path` under a USB name.
ServiceLister OneAdapter(const std::string& path);

// The window and controller as the program builds them, pointed at `path` (the lister offers
// only that adapter, and discovery passes every 20 ms).
// With `ledger`, the window keeps its units' records there.
std::unique_ptr<UpdaterApp> MakeApp(const std::string& path, QZ7_UpdaterAppDelegate::Options options = {},
                                    std::shared_ptr<Ledger> ledger = nullptr);
// Controller options that send `image` instead of the shipped image.
QZ7_UpdaterAppDelegate::Options WithFirmware(std::string image);

// The operator at a simulated QZ7: stands between the controller and `app`'s own front end,
// passing every update on to `next` (that front end unless changed), and powers `sim` on when the
// power-on directions show. The controller shows them after it has drained old input, so the
// banner cannot be lost, and no test waits a fixed time for the drain. While it lives, `app`'s
// controller is to keep it as its front end; it gives `app` its own front end back when it goes.
struct PowerOnCue : FrontEnd {
    PowerOnCue(UpdaterApp& app, bootsim::BootSim* sim);
    // Powers on by calling `powerOn` instead (a loader in memory, say).
    PowerOnCue(UpdaterApp& app, std::function<void()> powerOn);
    ~PowerOnCue() override;
    PowerOnCue(const PowerOnCue&) = delete;
    PowerOnCue& operator=(const PowerOnCue&) = delete;
    void Show(const ScreenUpdate& update) override;
    void Cancelled() override;
    UpdaterApp& app;
    bootsim::BootSim* sim;  // the one powered on next (the GUI thread's)
    std::function<void()> powerOn;
    FrontEnd* next;
};

// The operator at a simulated QZ7 that a program in another process talks to: powers `sim` on
// once the file at `path` (the program's standard output, or its transcript) holds the power-on
// directions, on a line that also holds `unit` when given (a bench's output names each unit's
// port). Looks every 5 ms, until then or until destroyed.
class PowerOnWhenFileShows {
public:
    // `cue`: the power-on directions as the program words them (another language's, say).
    PowerOnWhenFileShows(bootsim::BootSim& sim, std::string path, std::string unit = {}, std::string cue = Directions::PowerOn);
    ~PowerOnWhenFileShows();
    PowerOnWhenFileShows(const PowerOnWhenFileShows&) = delete;
    PowerOnWhenFileShows& operator=(const PowerOnWhenFileShows&) = delete;

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A whole update: the simulator on a pseudo-terminal, started, and the window and controller on
// its slave, launched, with the simulator powered on as the power-on directions show.
struct SimUpdate {
    explicit SimUpdate(bootsim::Options sim, QZ7_UpdaterAppDelegate::Options options = {}, std::shared_ptr<Ledger> ledger = nullptr);
    // Waits for the version question, then runs `atTheQuestion` (when given; false: give up)
    // and presses Update. False, with nothing pressed, when the question did not come in `bound`.
    bool PressUpdate(const std::function<bool()>& atTheQuestion = {}, std::chrono::milliseconds bound = 30s);
    // Waits until the directions read `text`, or the status line holds `part`.
    bool Shows(const std::string& text, std::chrono::milliseconds bound = 10s) const;
    bool Status(const std::string& part, std::chrono::milliseconds bound = 10s) const;
    // Closes the window and ends the controller, as the program does when it quits.
    void Quit();
    bootsim::BootSim sim;
    bool opened = false;
    std::unique_ptr<UpdaterApp> app;
    std::unique_ptr<PowerOnCue> cue;  // destroyed before `app`
};

// Waits until the version question is shown (Update enabled).
bool AtTheQuestion(const UpdaterApp& app, std::chrono::milliseconds bound = 30s);

// A front end that keeps every screen update in order, and whether the operator cancelled;
// `next`, when given, is shown the same.
struct RecordingFrontEnd : FrontEnd {
    void Show(const ScreenUpdate& update) override
    {
        updates.push_back(update);
        if (next)
            next->Show(update);
    }
    void Cancelled() override
    {
        cancelled = true;
        if (next)
            next->Cancelled();
    }
    // The updates since the last call.
    std::vector<ScreenUpdate> Take() { return std::exchange(updates, {}); }
    std::vector<ScreenUpdate> updates;
    bool cancelled = false;
    FrontEnd* next = nullptr;
};
// Updates print field by field (they compare so with their own ==).
std::string Describe(const ScreenUpdate& update);
inline void PrintTo(const ScreenUpdate& update, std::ostream* os) { *os << "{" << Describe(update) << "}"; }

// Shorthands for the window's state.
QString ScreenText(const UpdaterApp& app);
std::string StatusLine(const UpdaterApp& app);

// Settings equality as far as a restore is concerned.
bool SameSettings(const termios& a, const termios& b);

// Options for a simulator that answers at once once it is powered on. The test powers it on
// (PowerOnCue, PowerOnWhenFileShows, or sim.PowerOn()) once the program shows the power-on
// directions, which it does only after it drained old input. Untold, the operator waits a
// minute, past any test's bound: a missing cue fails its test instead of racing the drain.
bootsim::Options FastSim();
// FastSim sending the shipped image, the transfer held after `lines` image lines until the test
// resumes it (sim.Resume()), so that the test acts while the update is under way.
bootsim::Options HeldTransfer(int lines);

// The shipped image: the build's copy of the image it compiled in (firmware.hex in the build folder).
std::string ShippedImage();
// The firmware built in as texts name it: "V" and its version, and its line count (the build
// derived both from the image; no test assumes a version or a size).
inline const std::string kShippedV = std::string("V") + Firmware::Version;
inline const std::string kShippedLines = std::to_string(Firmware::Lines);
// A version newer than the one built in, written as the QZ7 writes its own: the minor number two
// up, as wide as the built-in one ("2.009" beside "2.007").
std::string NewerThanShipped();

// Waits, without running the event loop, until `done` holds or `bound` passes.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound);

// Started with this option and a port's path, a test executable runs an update on that port
// with the program's window and controller, and keeps running until it is killed.
inline constexpr const char* kUpdateUntilKilled = "--update-until-killed";
// Started with this option alone, a test executable runs the window and controller as the program
// does when no QZ7_SERIAL_PORTS is set, searching with the system's own listing, except that the
// ports the choice rule would take are left out of it: a machine with an adapter plugged in
// searches as one without, and nothing found is opened. It prints "searching" once discovery has
// listed the ports for the first time, and ends at SIGTERM as the program does.
inline constexpr const char* kSearchUntilKilled = "--search-until-killed";
// Started with this option alone (and DISPLAY set), a test executable shows a window titled like
// the updater's on that display, and prints "shown" and then "key ..." for every key it receives.
inline constexpr const char* kDecoyWindow = "--decoy-window";

// Opens `path` into a record on the controller as discovery would, without the 0.2 s passes.
void OpenPort(QZ7_UpdaterAppDelegate& controller, const std::string& path);
// The controller's port as the record on a real line that it is in these tests.
std::shared_ptr<WQSerial> SerialRecord(const QZ7_UpdaterAppDelegate& controller);
// The process's open descriptors.
int OpenDescriptors();

// The most of one core a waiting program may use: 2 %. A sanitizer multiplies the cost of every
// wake-up many times over, so its builds allow more; a reader that spins (a whole core) fails
// either way.
// Searching for an adapter with the system's own listing may cost at most 0.5 %.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr double kIdleShareLimit = 0.25;
inline constexpr double kSearchShareLimit = 0.25;
#else
inline constexpr double kIdleShareLimit = 0.02;
inline constexpr double kSearchShareLimit = 0.005;
#endif

// The lines of a file, without their line ends.
std::vector<std::string> ReadLines(const std::string& path);
// One JSON line as an object; a line that is no JSON object fails the test.
QJsonObject Parsed(const std::string& line);
