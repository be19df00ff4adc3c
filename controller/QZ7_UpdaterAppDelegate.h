#pragma once
#include "controller/AtomicShared.h"
#include "controller/GuiQueue.h"
#include "controller/PortDiagnosis.h"
#include "controller/Worker.h"
#include "core/Decision.h"
#include "core/Directions.h"
#include "core/ReplyRules.h"
#include "core/Screen.h"
#include "core/SearchHint.h"
#include "core/Stage.h"
#include "core/Status.h"
#include "core/Words.h"
#include "serial/Capture.h"
#include "serial/Discovery.h"
#include "serial/Port.h"
#include "serial/PortOpening.h"
#include "serial/WQSerial.h"

#include <QObject>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

// Kept names. These names and texts are fixed by the program's design and by what operators and
// the device's documentation already know; they keep their spelling, odd as some of it is, and
// nobody is to correct them.
//   the controller      QZ7_UpdaterAppDelegate, its state (Stage::AwaitingBanner ... AwaitingDone),
//                       Serial, ReceivedString, progress
//   its callbacks       applicationDidFinishLaunching, applicationWillTerminate,
//                       applicationShouldTerminateAfterLastWindowClosed
//   its operations      ConnectUSB, ConnectOrvane, ClosePort, ClearReceiver, ReadThread,
//                       ReadVersion, ReceivedSomething, SendProgram, Pace, WriteString,
//                       UpdatePressed, CancelPressed
//   the views           ImageView, DirectionsView, UpdateButtonView, CancelButtonView,
//                       LevelIndicatorVew (sic), owned by the window (UpdaterApp::window,
//                       window/UpdaterWindow.h), which alone touches them
//   the port record     WQSerial, its PortID, ChosenPath and termios_archive (the port on a
//                       real line; the controller holds it as a Port, serial/Port.h)
//   the image           QZ-7-<major>_<minor>.hex (Firmware::Name, its version in its name), QZ7.png
//   texts, exactly      "An Exception Occured:" (sic), "Version not Found.\nUpdate anyway?",
//                       "Found Version: ...\n Update To: QZ7 V<Firmware::Version>?\n" (with its space),
//                       "Trying to write to unopened Port", "Power on the QZ7 while holding front
//                       Run/Stop button" (see core/Directions.h)
// Every other name follows one convention:
//   types, enumerators, functions (free and member): UpperCamelCase (StatusBoard,
//     Stage::AwaitingErased, ReadPort)
//   accessors of a field: the getter has the field's name (the kept state and
//     progress); the setter is "set" and that name, as in Qt (setState, setTermios_archive)
//   data members: private ones lowerCamelCase with a trailing underscore (chosenPath_); public
//     fields of structs and classes lowerCamelCase without one (ScreenUpdate::directions)
//   local variables and parameters (constant or not, lambdas too) and file-scope variables that
//     change: lowerCamelCase (signalPair)
//   constants of a namespace or class: "k" and UpperCamelCase (kVersionPasses, kTitle), except the
//     values of a group read through the group's name, as enumerators are (Directions::PowerOn,
//     ExitStatus::Busy)
//   namespaces: a module's lower case (bootsim, benchparts); a group of values or functions read
//     through its name UpperCamelCase, as a type (Directions, ExitStatus, StatusText)
//   names that others fix keep their form: Qt's overrides (closeEvent, eventFilter), main, and
//     AtomicShared's load and store, which stand in for std::atomic's
// The same lists are in docs/ARCHITECTURE.md.
//
// The one controller of the program. It owns the port record and the dialogue's fields, runs
// every wait for the device on its one worker thread, and changes the screen only through
// updates (values, see Screen.h) posted to its front end on the GUI thread.
//
// Background operations (discovery, the readers, the dialogue's steps, the transfer, the answer
// to Update) run one after another, in the order they were started, on the worker. Every wait
// is a poll or a sleep of a short bound that ends early once the port is closed or the
// controller stops. The destructor stops the controller, closes the port and joins the worker,
// so no operation can outlive it. All readers take the device's bytes from one LineReader.
class QZ7_UpdaterAppDelegate : public QObject {
    Q_OBJECT
public:
    // A capture of every opening of the port (serial/Capture.h): written to `file` (the second
    // opening of the same run to "FILE-2", and so on; with `bySlot`, each unit of several to
    // "FILE-<slot>", see CaptureFileName), and the last one kept in memory up to `kept` bytes,
    // for a report. Neither: nothing is recorded.
    struct CaptureOptions {
        std::optional<std::string> file;
        bool bySlot = false;
        std::size_t kept = 0;
    };
    struct Options {
        std::optional<std::string> firmware;  // the image to send; the shipped one by default
        std::optional<std::string> port;      // a port named by the operator: no listing, no choice
        bool useShippedFirmware = true;
        // Print the image's length on standard output when the transfer starts. The terminal
        // mode turns it off: it says the length in a line of its own.
        bool printImageLength = true;
        ServiceLister lister;                  // the system's services by default
        // How discovery opens the path it chose: the serial port itself (OpenSerialPort) by
        // default; tests hand over a port in memory instead.
        PortOpener opener;
        // Discovery's pause between two looks for the adapter, and after it opened one before
        // the dialogue starts on it.
        std::chrono::milliseconds discoveryInterval{200};
        // The pause after "y" answers the banner and after "E" before the loader is read again:
        // the loader's time to answer. Tests whose loader answers at once shorten it.
        std::chrono::milliseconds commandPause{50};
        // How long the device may be silent before the status line says so: at the power-on
        // prompt, and at any later wait. How long undecodable input may come before the status
        // line says that the device sends what the program cannot read.
        std::chrono::milliseconds powerOnSilence{30000};
        std::chrono::milliseconds silence{10000};
        std::chrono::milliseconds unreadable{5000};
        // How long the prompt may be answered with other lines before the status line says so.
        std::chrono::milliseconds paging{10000};
        // How long a write may make no progress on a line that is still up before the device
        // counts as no longer taking bytes.
        std::chrono::milliseconds writeStall{5000};
        // How long discovery may find no adapter to use before the status line names the ports
        // it does see.
        std::chrono::milliseconds noAdapter{5000};
        // How long the loader may stay quiet after a line that may end the transfer or may be
        // its chatter ("Done" alone before the last line, a banner) before it counts as the end.
        std::chrono::milliseconds loaderQuiet{LoaderLines::kQuiet};
        // Called on the worker just before the erase command is written, for a record that must
        // be on disk before the QZ7 may be left without firmware. An exception from it stops the
        // dialogue there, with nothing erased, as any exception in an operation does.
        std::function<void()> beforeErase;
        CaptureOptions capture;
    };
    // The options the program starts with: the defaults above, with the waits that the
    // environment's QZ7_TEST_TIMES shortens for tests (see core/TestTimes.h). The variable is
    // read once; the first call logs what it changed and, as warnings, what it refused.
    static Options ProgramOptions();

    QZ7_UpdaterAppDelegate();
    explicit QZ7_UpdaterAppDelegate(Options options);
    ~QZ7_UpdaterAppDelegate() override;

    // Where the screen updates go (GUI thread); none: they are dropped.
    void setFrontEnd(FrontEnd* frontEnd) { frontEnd_ = frontEnd; }
    // What the status line shows now, as the board has it (any thread): at an end, the end's
    // report, before that report's own update reaches the front end.
    StatusFact StatusShown() const;
    // The port put back and nothing more to go to the QZ7, at once (a stop for a signal or a
    // bound): the status shown then names the line the transfer reached. The threads end with the
    // controller.
    void StopNow();

    // Shared fields.
    // The port: the one opened by discovery, or, while none is open, a record that never was.
    std::shared_ptr<Port> Serial() const { return serial_.load(); }
    void setSerial(std::shared_ptr<Port> s) { serial_.store(std::move(s)); }
    // The path discovery chose (and the open port's, while one is open); forgotten when the
    // port is closed.
    std::optional<std::string> ChosenPath() const;
    void setChosenPath(std::optional<std::string> path);
    std::optional<std::string> ReceivedString() const;
    void setReceivedString(std::optional<std::string> s);
    Stage state() const { return state_.load(); }
    void setState(Stage s) { state_.store(s); }
    float progress() const { return progress_.load(); }
    void setProgress(float p) { progress_.store(p); }

    // Application callbacks (GUI thread).
    void applicationDidFinishLaunching();
    static bool applicationShouldTerminateAfterLastWindowClosed() { return true; }
    void applicationWillTerminate();

    // Operator actions (GUI thread).
    void UpdatePressed();
    void CancelPressed();
    void ConnectOrvane();
    // "Update another QZ7", offered after "Done": starts over from discovery for the next unit.
    void NextUnitPressed();

    // Whether the device is being erased or programmed at this moment (the port open and the
    // dialogue past the operator's Update): stopping now would leave it without firmware.
    bool Programming() const;

    // The dialogue and its readers (background threads).
    void ReceivedSomething();
    void ReadThread();
    void ReadVersion();
    void SendProgram();
    bool Pace();  // true once the asterisk came; false when the port closed or hung up

    // The serial link.
    void ConnectUSB();
    void ClosePort();
    // Drops what the port has received. On the GUI thread it stops after 64 KiB or 100 ms, so
    // that a flood cannot hold the window; elsewhere it drains until the input is empty.
    void ClearReceiver();
    // Sends the first `length` characters of `text`; may wait up to 5 s for room in the output
    // queue, so it is never called on the GUI thread. Returns whether every byte went out; when
    // not, the operator has been told why (and the port closed, if the line is gone or stuck).
    bool WriteString(const std::string& text, int32_t length);

    // Whether the image passed its check at start-up.
    bool FirmwareGood() const { return firmwareGood_; }
    const std::string& Firmware() const { return firmware_; }
    // What discovery's last attempt found (any thread).
    PortTrouble Trouble() const { return trouble_.load(); }
    // Background operations queued or running (for tests).
    int RunningOperations() const { return worker_.Busy(); }

    // Queues an operation of this controller for its worker thread. An exception that leaves
    // the operation closes the port and ends the dialogue on the exception screen; a worker that
    // cannot be started ends it the same way.
    void StartBackground(void (QZ7_UpdaterAppDelegate::*operation)());
    void StartBackground(std::function<void()> operation);

    // The readers' reads and waits on the port record `port`, watched for the status line: bytes
    // that came (and whether they decode), and how long the device has been silent.
    PortResult ReadPort(Port& port, char* buffer, std::size_t max);
    PortIo WaitPort(Port& port, std::chrono::milliseconds bound);
    // A reader's reply, for the transcript and the status line.
    void NoteReply(const std::optional<std::string>& reply);
    // The capture of the port's last opening (none before one, or without CaptureOptions), and
    // how the run ended for its end line: the outcome's name and exit status as the table of
    // endings has them (core/Endings.h; the last call counts; any thread).
    std::shared_ptr<CaptureSession> CurrentCapture() const;
    void NoteOutcome(const std::string& outcome, int exitStatus);
    // The bytes kept from the device and not yet consumed by a reader (for tests).
    std::size_t KeptBytes() const { return stream_.Kept(); }

private:
    // Runs `work` on the GUI thread, after what was posted before it (see GuiQueue.h).
    void RunOnGuiThread(std::function<void()> work) { gui_.Post(std::move(work)); }
    // Queues a screen update for the GUI thread; Show applies one there at once.
    void Post(ScreenUpdate update);
    void Show(const ScreenUpdate& update);
    bool Pause(std::chrono::milliseconds duration);
    // What the dialogue knows now, for the machine (core/Decision.h).
    At Now() const;
    // Reports `event` to the dialogue's machine and carries out what it decides; false when a
    // write could not go out.
    bool Report(const Event& event);
    // The port has just been handed over: old input dropped, a banner among it kept for the
    // reader.
    void DrainKeepingBanner();
    // Drops what the port and the line reader hold (see ClearReceiver); returns how much came
    // and its last bytes.
    struct Drained {
        std::size_t bytes = 0;
        std::string tail;  // at most kDrainedTail
    };
    static constexpr std::size_t kDrainedTail = 2048;
    Drained DrainInput();
    // After the image's last line: the loader's verdict (worker).
    void AwaitVerdict();
    // The loader's stream judged until it paces or ends (see LoaderLines); none when the port
    // closed or hung up first (a hang-up has then been said).
    std::optional<LoaderLines::Verdict> AwaitLoader(LoaderLines::Phase phase);
    // The loader's lines have ended the transfer, or its verdict has come after it.
    void EndByLoader(const LoaderLines::Verdict& verdict);
    // The adapter has gone: close the port and say so.
    void AdapterGone();
    // The line is up but the device has stopped taking bytes: close the port and say so.
    void DeviceStopped();
    // The prompt answered with a line other than "E or P?" (worker): the transcript and the
    // status line count repeats instead of logging each. EndPaging: the prompt has come.
    bool NotePage(const std::string& reply);
    void EndRepeats();
    void EndPaging();
    // Carries out a step's decision, action by action; false when a write could not go out
    // (the write has then ended the dialogue and said why).
    bool Carry(const Decision& decision);
    // Discovery's pass result for the status line and the transcript.
    void ReportOpen(const std::string& path, const OpenResult& opened, const std::vector<SerialService>& services);
    void ShowStatus(const StatusFact& shown);
    void LogStatus(const std::string& text);
    // Every listing discovery makes, for the status line's hint while no adapter is found.
    void NoteListing(const std::vector<SerialService>& services);
    void Advance()
    {
        setState(Next(state()));
        status_.Advanced(state());
    }
    // Closes what is left of the last dialogue, then runs discovery again (worker).
    void StartOver();
    // Ends the dialogue on the exception screen, the port closed.
    void EndOnException(const std::string& reason);

    // A capture for the port just taken over (worker, from the opener).
    std::shared_ptr<CaptureSession> BeginCapture(const std::string& path, const OpenResult& opened, Port& port,
                                                 CaptureSession::Clock::time_point at);
    const CaptureOptions capture_;
    mutable std::mutex captureMutex_;  // guards the two below
    std::shared_ptr<CaptureSession> currentCapture_;
    int captureSessions_ = 0;

    AtomicShared<Port> serial_;
    // The port ClosePort shut down last (not kept alive for it): a call that meets it closed
    // hears that it was closed, not that no port was ever opened.
    bool ClosedByClosePort(const std::shared_ptr<Port>& port) const;
    mutable std::mutex closedMutex_;
    std::weak_ptr<Port> closedPort_;
    AtomicShared<const std::string> chosenPath_;  // null: none chosen
    AtomicShared<const std::string> receivedString_;  // null: absent
    std::atomic<Stage> state_{Stage::AwaitingBanner};
    std::atomic<float> progress_{0.0f};

    std::string firmware_;
    bool firmwareGood_ = false;
    ServiceLister lister_;
    PortOpener opener_;
    std::chrono::milliseconds discoveryInterval_;
    const std::chrono::milliseconds commandPause_;
    const std::function<void()> beforeErase_;
    const std::chrono::milliseconds writeStall_;
    const std::chrono::milliseconds loaderQuiet_;
    std::optional<std::string> port_;
    bool printImageLength_ = true;
    std::optional<std::string> adapterPath_;  // the adapter of the last dialogue (GUI thread)
    std::atomic<PortTrouble> trouble_{PortTrouble::NoneFound};
    FrontEnd* frontEnd_ = nullptr;

    // Screen updates and ConnectOrvane on their way to the GUI thread. Declared before worker_,
    // so it outlives the worker's thread, the last one that may post.
    GuiQueue gui_;

    StatusBoard status_;
    StatusLogPace statusLogPace_;  // under status_'s lock (ShowStatus)
    OpenTrouble openTrouble_;   // discovery's thread only
    SearchHint searchHint_;     // discovery's thread only; after Options::noAdapter
    std::optional<DirectionsFact> shownDirections_;  // GUI thread only: the directions as last logged

    // The prompt answered with "y" again and again: the same reply is logged once, then counted
    // (worker only).
    struct Paging {
        std::string reply;
        long count = 0;
        long logged = 0;  // the count when the last line about it was logged
        std::chrono::steady_clock::time_point since{}, lastLogged{};
    } paging_;
    bool quietWrites_ = false;  // worker only: the "y" that answers a repeated page is not logged
    // Set and cleared on the GUI thread; the machine reads it from the worker too.
    std::atomic<bool> ended_{false};  // the dialogue has ended on screen, no start-over yet

    mutable std::mutex lifeMutex_;
    std::condition_variable lifeCv_;
    bool stopping_ = false;

    LineReader stream_;
    // Image lines written, and how many had been written when the last read from the port was
    // made: a pacing asterisk or a verdict that read brought tells the QZ7 took those lines.
    std::atomic<int> linesWritten_{0};
    std::atomic<int> linesAtRead_{0};
    Worker worker_;
};
