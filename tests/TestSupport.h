#pragma once
#include "BootSim.h"
#include "UpdaterWindow.h"

#include <QApplication>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;

// Runs the Qt event loop until `done` holds or `bound` passes; returns whether it held.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds bound = 5000ms);
// Runs the Qt event loop for `duration`.
void Spin(std::chrono::milliseconds duration);

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

// A lister that offers one adapter at `path` under a USB name.
ServiceLister OneAdapter(const std::string& path);

// The window and controller as the program builds them, pointed at `path`.
std::unique_ptr<UpdaterApp> MakeApp(const std::string& path, std::optional<std::string> firmware = std::nullopt);
// The same with other options (the lister and the discovery interval are set as above).
std::unique_ptr<UpdaterApp> MakeApp(const std::string& path, QZ7_UpdaterAppDelegate::Options options);

// Shorthands for the window's state.
QString ScreenText(const UpdaterApp& app);
std::string StatusLine(const UpdaterApp& app);

// Settings equality as far as a restore is concerned.
bool SameSettings(const termios& a, const termios& b);

// Options for a simulator that answers at once.
bootsim::Options FastSim();

// The environment for a program the tests start: `extra`, plus the sanitizers' options of this
// process, so that a sanitized child runs under the same rules as its test.
std::vector<std::string> ChildEnvironment(std::vector<std::string> extra);

// Runs a shell command; returns what it printed, and its exit status through `status`.
std::string CommandOutput(const std::string& command, int& status);

// The shipped image as the repository holds it.
std::string ShippedImage();

// Opens `path` into the controller's record as discovery would, without the 0.2 s passes.
void OpenPort(QZ7_UpdaterAppDelegate& controller, const std::string& path);
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
