#pragma once
#include "tests/support/TestSupport.h"

#include <memory>
#include <optional>
#include <string>

// The window and controller on a pseudo-terminal the test plays by hand: the port opened as
// discovery opens it, the window shown, and every screen update recorded on its way to the
// window. SetUp opens with `image` (the shipped image when none is set); a fixture that picks
// its image per test overrides SetUp and calls Open itself.
class OnPty : public testing::Test {
protected:
    void SetUp() override { Open(image); }
    void Open(const std::optional<std::string>& firmware)
    {
        app = MakeApp(pty.path, firmware ? WithFirmware(*firmware) : QZ7_UpdaterAppDelegate::Options{});
        app->window->show();
        screen.next = app->frontEnd.get();
        c().setFrontEnd(&screen);
        initial = pty.Settings();
        OpenPort(c(), pty.path);
    }
    QZ7_UpdaterAppDelegate& c() { return *app->controller; }
    UpdaterWindow& w() { return *app->window; }
    bool PortOpen() { return c().Serial()->IsOpen(); }

    std::optional<std::string> image;
    // Declared before the window and controller, so that they are gone before these.
    Pty pty;
    termios initial{};
    RecordingFrontEnd screen;
    std::unique_ptr<UpdaterApp> app;
};
