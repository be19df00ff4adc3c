#pragma once
#include "core/Screen.h"
#include "core/Stage.h"

#include <optional>
#include <string>
#include <vector>

// The operation a step starts last, on the controller's worker.
enum class Operation { ReadVersion, ReadThread, SendProgram, AwaitVerdict, StartOver };

// One thing a step of the dialogue does. The controller carries the actions out in order and
// stops at a write that could not go out (the write has then said why, and ended the dialogue).
struct Action {
    enum Kind {
        Write,          // the one-character command `command`
        Show,           // post `update` to the front end
        Close,          // close the port (the stage goes back to AwaitingBanner)
        ClearReceiver,  // drop what the port and the reader hold
        Advance,        // the stage moves on by one
        Pause,          // the command pause (50 ms), before the loader is read again
        ResetProgress,  // the level back to 0 before the image is sent
        Start,          // queue `operation` on the worker
        ShowNow,        // apply `update` at once: the caller is on the GUI thread (a button press)
        Defer,          // the actions after this one run on the worker, in order, after what is queued
        DrainKeepingBanner,  // drop old input, but keep a banner among it for the reader
        Cancelled,      // tell the front end the operator cancelled: it ends
        NewUnit,        // the end screen is left: the next end may be shown, the summary goes
    } kind;
    char command = 0;
    ScreenUpdate update = {};
    Operation operation = Operation::ReadThread;
};

// What one reply makes the dialogue do: a pure function of the stage, the reply and whether the
// shipped image passed its check, with no port, thread or screen behind it.
struct Decision {
    std::vector<Action> actions;
    // What the reply is, once the step has cut it (the version text), when the step cuts it.
    std::optional<std::string> cutReply;
    bool promptCame = false;  // "E or P?" came: the prompt has stopped paging
};

// What the dialogue knows when an event comes: its stage, whether the image carried passed its
// check, and whether an end is on the screen that the operator has not left yet.
struct At {
    Stage stage = Stage::AwaitingBanner;
    bool firmwareGood = true;
    bool ended = false;
};

// What happens to the dialogue: the one input of the machine. The controller reports every
// event here and carries out the decision; it decides nothing itself.
struct Event {
    enum Kind {
        Searching,      // discovery starts looking for the adapter
        PortOpened,     // discovery has handed an open port over: the dialogue starts on it
        Reply,          // a reply line for the stage (`reply`; none: not 7-bit ASCII)
        ImageSent,      // the image's last line has gone out
        LoaderEnd,      // the loader's lines have ended the transfer, or its verdict came (`outcome`)
        HangUp,         // the adapter has gone
        Stalled,        // the line is up but the device took no byte for the write's whole bound
        Unopened,       // a command found the port closed
        Exception,      // an operation failed with `detail`
        UpdatePressed,  // the operator's answers (GUI thread)
        CancelPressed,
        NextUnit,       // "Update another QZ7" after Done, or Restart after a failure
    } kind;
    std::optional<std::string> reply = std::nullopt;
    Outcome outcome = Outcome::Done;
    std::string detail = {};
};

// The dialogue's one transition function: what `event` makes the dialogue do at `at`. Pure, with
// no port, thread or screen behind it.
Decision Decide(const At& at, const Event& event);

// A reply at `stage`, as Decide takes it.
Decision Decide(Stage stage, const std::optional<std::string>& reply, bool firmwareGood);

// The end the loader's lines have come to during the transfer or after its last line (see
// LoaderLines): Done shown and the port closed; any other end with the port closed first.
Decision DecideLoaderEnd(Outcome outcome);

// Whether `reply` at `stage` is one more page of the loader's menu, which the dialogue answers
// with "y": any line but "E or P?" while the prompt is awaited.
bool IsPage(Stage stage, const std::optional<std::string>& reply);

// The screens the dialogue posts that more than one step shares.
// A question the operator answers with Update or Cancel; with the version found, when one was,
// and how it stands to the firmware carried: Update focused, except for a QZ7 with newer firmware
// (Cancel focused), and the status line saying so when the QZ7 has newer or the same firmware.
ScreenUpdate QuestionScreen(std::optional<std::string> version = std::nullopt);
// Done, with the next unit offered and focused.
ScreenUpdate DoneScreen();
// An end's directions, with the reply or reason they name (Unexpected, Exception).
ScreenUpdate FailureScreen(Outcome outcome, std::string detail = {});
// Which directions an end shows.
Says EndSays(Outcome outcome);

// The actions in words, "write E, advance, pause, start ReadThread", for the transcript and tests.
std::string Describe(const Decision& decision);
