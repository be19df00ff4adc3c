#pragma once
#include "serial/ScriptedPort.h"
#include "sim/ScriptedLoader.h"
#include "tests/support/TestSupport.h"

#include <memory>
#include <string>

// Dialogues in memory: the program's window and controller as MakeApp builds them, with
// discovery handed a ScriptedPort instead of opening a terminal. No pseudo-terminal, no
// simulator thread: a whole update takes milliseconds.

// An opener that hands `port` over for whatever path discovery chose, as long as it was never
// shut down; after that the path is missing (ENOENT), as an unplugged adapter's.
PortOpener ScriptedOpener(std::shared_ptr<ScriptedPort> port);
// The same for the port that `portFor` names for a path (none: ENOENT).
PortOpener ScriptedOpener(std::function<std::shared_ptr<ScriptedPort>(const std::string& path)> portFor);

// A scripted QZ7 on a port of its own, for tests that meet more than one: the loader answers
// what is written to the port. The port is let go of the loader when the unit goes.
struct ScriptedUnit {
    explicit ScriptedUnit(bootsim::Options loader);
    ~ScriptedUnit();
    ScriptedUnit(const ScriptedUnit&) = delete;
    ScriptedUnit& operator=(const ScriptedUnit&) = delete;
    std::shared_ptr<ScriptedPort> port;
    std::unique_ptr<bootsim::ScriptedLoader> loader;
};

// How a loader's bytes reach the reader: its own writes (a line a write, or all lines of a reply
// merged, as bootsim::Chunking says), then split by the port (one byte a read, random pieces).
ScriptedPort::Pieces PiecesFor(bootsim::Chunking chunking);

// A whole update in memory: a ScriptedLoader playing the QZ7 on a ScriptedPort, and the window
// and controller on it, launched, with the loader powered on as the power-on directions show.
struct ScriptedUpdate {
    // When the QZ7 is powered on: as the power-on directions show, or already as the port opens
    // (its banner comes before the directions).
    enum class PowerOn { WithTheDirections, AsThePortOpens };
    explicit ScriptedUpdate(bootsim::Options loader, QZ7_UpdaterAppDelegate::Options options = {},
                            PowerOn powerOn = PowerOn::WithTheDirections);
    ~ScriptedUpdate();
    ScriptedUpdate(const ScriptedUpdate&) = delete;
    ScriptedUpdate& operator=(const ScriptedUpdate&) = delete;
    // As SimUpdate's.
    bool PressUpdate(const std::function<bool()>& atTheQuestion = {}, std::chrono::milliseconds bound = 5s);
    bool Shows(const std::string& text, std::chrono::milliseconds bound = 5s) const;
    bool Status(const std::string& part, std::chrono::milliseconds bound = 5s) const;
    // Closes the window and ends the controller, as the program does when it quits.
    void Quit();
    // Every byte the program wrote.
    std::string Wire() const { return port->Written(); }

    std::shared_ptr<ScriptedPort> port;
    std::unique_ptr<bootsim::ScriptedLoader> loader;
    std::unique_ptr<UpdaterApp> app;
    std::unique_ptr<PowerOnCue> cue;  // destroyed before `app`
};

// A whole update in memory without a window: a ScriptedLoader on a ScriptedPort and the
// controller alone, launched, its screen updates recorded (GUI thread). The loader is powered on
// as the power-on directions show, and Update is pressed as the operator would, once an update
// enables it.
struct ScriptedDialogue : FrontEnd {
    explicit ScriptedDialogue(bootsim::Options loader, QZ7_UpdaterAppDelegate::Options options = {});
    ~ScriptedDialogue() override;
    ScriptedDialogue(const ScriptedDialogue&) = delete;
    ScriptedDialogue& operator=(const ScriptedDialogue&) = delete;
    void Show(const ScreenUpdate& update) override;
    void Cancelled() override {}
    // Whether an update has ended the dialogue.
    bool Ended() const;
    // Ends the controller, as the program does when it quits.
    void Quit();
    std::string Wire() const { return port->Written(); }

    std::shared_ptr<ScriptedPort> port;
    std::unique_ptr<bootsim::ScriptedLoader> loader;
    std::unique_ptr<QZ7_UpdaterAppDelegate> controller;
    std::vector<ScreenUpdate> updates;
    bool pressed = false;  // Update was pressed
};

// The window and controller on a ScriptedPort the test plays by hand (it feeds the device's
// bytes and reads what was written), the port opened as discovery would, the window shown, and
// every screen update recorded on its way to the window.
class OnScriptedPort : public testing::Test {
protected:
    void SetUp() override { Open(image); }
    void Open(const std::optional<std::string>& firmware);
    // Hands the controller a fresh port, as discovery would after a close.
    void Reopen();
    QZ7_UpdaterAppDelegate& c() { return *app->controller; }
    UpdaterWindow& w() { return *app->window; }
    bool PortOpen() { return c().Serial()->IsOpen(); }
    // What the program wrote since the last call, once it has come to rest: no operation left,
    // or only a reader waiting for bytes that are not there (at most 5 s).
    std::string Drain();

    std::optional<std::string> image;
    std::shared_ptr<ScriptedPort> port;
    std::size_t drained = 0;
    RecordingFrontEnd screen;
    std::unique_ptr<UpdaterApp> app;
};
