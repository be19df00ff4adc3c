#pragma once
#include "core/Facts.h"

#include <optional>
#include <string>

// How a dialogue ended, as the dialogue posts it; the directions say the same in words. Each is
// the Ending of the same name (core/Endings.h), whose row holds all that follows from it: the
// exit status, the JSON name, the ways on. A new one goes at the end, before the ends only the
// run decides, in both enums.
enum class Outcome {
    Done,
    Disconnected,   // the adapter went away, or a write to it failed for good
    Stopped,        // the line stayed up but the device stopped taking bytes
    NotErased,
    NotDone,        // the device answered the image with "Not Done"
    EndedEarly,     // the device said "Done" before the whole image was sent
    Restarted,      // the device's banner came in the middle of the image
    Unexpected,     // a reply the dialogue has no step for
    NoVersion,      // neither a version nor the prompt came after "y"
    ImageDamaged,   // the shipped image failed its check: nothing was erased
    Unopened,       // a command found the port already closed
    Exception,
};

// The picture beside the directions: none, or the device's front panel.
enum class Picture { None, Device };

// Which control takes the keyboard focus (and, for Update and Cancel, answers Return).
enum class Focus { Update, Cancel, NextUnit };

// What the directions now ask of the operator, or tell: the dialogue's point, as a value.
// Erasing and Programming come as "E" and then "P" go out: the update's stages, for the front ends
// that name them (the window shows Updating throughout).
enum class Scene { ConnectAdapter, PowerOn, Question, Updating, Erasing, Programming };

// What kind of text the status line holds: the transfer's progress or its summary (both with the
// lines gone across), a hint that counts (seconds of silence, pages answered; it changes every
// second), or anything else.
enum class StatusKind { Plain, Progress, Summary, PowerOnSilence, Silence, Paging };

// One change of the screen, as a value. The dialogue, the readers, the transfer and discovery
// describe what they change this way and never touch a widget; a front end applies the updates in
// the order they were posted, on the GUI thread, and turns the directions and the status report
// into words through core/Words.h. A field left empty leaves that part as it is.
struct ScreenUpdate {
    std::optional<DirectionsFact> directions = std::nullopt;
    std::optional<StatusFact> status = std::nullopt;      // the status line; the empty state clears it
    std::optional<Picture> picture = std::nullopt;
    std::optional<bool> updateEnabled = std::nullopt;
    std::optional<bool> cancelEnabled = std::nullopt;
    std::optional<Focus> focus = std::nullopt;
    std::optional<int> level = std::nullopt;              // the level indicator's value, 0 to 100
    std::optional<bool> levelShown = std::nullopt;
    std::optional<bool> nextUnitShown = std::nullopt;     // "Update another QZ7", offered after "Done"
    bool question = false;                 // the directions ask: Update or Cancel
    std::optional<Outcome> ended = std::nullopt;          // the dialogue ended, and how
    // The dialogue's point and the version found, as the dialogue cut it: what the bench's stage
    // and the report take.
    std::optional<Scene> scene = std::nullopt;            // with the directions
    std::optional<std::string> version = std::nullopt;
    // With the question: the version found against the firmware carried, as the question was
    // decided (what --yes and --skip-current go by).
    std::optional<VersionRelation> relation = std::nullopt;

    bool operator==(const ScreenUpdate&) const = default;
};

// What shows the dialogue to the operator: the window, or the terminal.
class FrontEnd {
public:
    virtual ~FrontEnd() = default;
    // Applies one update (GUI thread).
    virtual void Show(const ScreenUpdate& update) = 0;
    // The operator cancelled at the question: the port is closed, and the front end ends (GUI
    // thread).
    virtual void Cancelled() = 0;
};
