#pragma once
#include "core/Stage.h"
#include "core/Version.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// What the screen says, as values: which directions, and what the status line reports with the
// facts it names. The dialogue, the readers and discovery make these; a front end turns them into
// words through core/Words.h, in the operator's language, and never reads words back.

// Which directions the screen shows.
enum class Says {
    ConnectAdapter,
    PowerOn,
    FoundVersion,     // the question, with the version found in `detail`
    VersionNotFound,  // the question, without a version
    Updating,
    Done,
    NotErased,
    Unopened,
    Disconnected,
    NoVersion,
    ImageDamaged,
    NotDone,
    Restarted,
    Stopped,
    EndedEarly,
    Unexpected,  // with the reply in `detail`
    Exception,   // with the reason in `detail`
};

struct DirectionsFact {
    Says says = Says::ConnectAdapter;
    std::string detail;  // the version, the reply or the reason the directions name
    bool operator==(const DirectionsFact&) const = default;
};

// The facts each status report is made from.
namespace StatusText {

// The chosen adapter refused to open for lack of permission.
struct PermissionFacts {
    std::string device;
    std::string owner;             // the node's owner and group, by name
    std::string group;
    std::string user;              // who runs the program
    bool groupMayUse = false;      // the node's group bits give read and write
    bool listedInGroup = false;    // the group database names the user in the group
    bool loginHasGroup = false;    // this process has the group
    bool operator==(const PermissionFacts&) const = default;
};

// A process that has the device open.
struct Holder {
    std::string name;
    int pid = 0;
    bool operator==(const Holder&) const = default;
};

// The adapter is held by another program; `grabbers` are running programs known to take serial
// adapters (ModemManager, brltty).
struct BusyFacts {
    std::string device;
    std::vector<Holder> holders;
    std::vector<std::string> grabbers;
    bool operator==(const BusyFacts&) const = default;
};

// Any other failure to open or set up the adapter; `step` says which ("open", "tcgetattr", ...).
struct OpenErrorFacts {
    std::string device;
    std::string step;
    int error = 0;
    bool operator==(const OpenErrorFacts&) const = default;
};

// The named path can never be an adapter: the program's own terminal, or no serial device at
// all (`error` says why it did not open).
struct NotAdapterFacts {
    std::string device;
    int error = 0;
    bool ownTerminal = false;
    bool operator==(const NotAdapterFacts&) const = default;
};

// The adapter in use, as far as it is known.
struct AdapterFacts {
    std::string path;
    std::string name;  // the name the choice rule saw
    std::string description;
    std::string manufacturer;
    std::string vendorProduct;  // "0403:6001"
    std::string serialNumber;
    bool operator==(const AdapterFacts&) const = default;
};

// Discovery finds no adapter to use: the ports it does see, and an adapter that appeared and
// went away again while brltty runs.
struct SearchFacts {
    std::vector<std::string> seen;
    std::string vanished;
    bool brltty = false;
    bool operator==(const SearchFacts&) const = default;
};

// Nothing from the QZ7 for `quiet`, at the power-on prompt or later in the dialogue.
struct PowerOnSilenceFacts {
    std::chrono::seconds quiet{};
    bool operator==(const PowerOnSilenceFacts&) const = default;
};
struct SilenceFacts {
    std::chrono::seconds quiet{};
    bool operator==(const SilenceFacts&) const = default;
};

// Bytes came, but nothing the dialogue waits for in `stage`; `received` is what came, raw;
// `lastLine`: the image's last line has gone out, so "Done" is awaited.
struct NotAwaitedFacts {
    std::string received;
    Stage stage = Stage::AwaitingBanner;
    bool lastLine = false;
    bool operator==(const NotAwaitedFacts&) const = default;
};

// The prompt answered with "y" `count` times, each time with another line than "E or P?".
struct PagingFacts {
    long count = 0;
    std::string lastReply;
    bool operator==(const PagingFacts&) const = default;
};

// The transfer under way, and its summary at "Done".
struct ProgressFacts {
    int line = 0;
    int lines = 0;
    double bytesPerSecond = 0;
    std::optional<double> secondsLeft;
    int taken = 0;  // the lines the QZ7 has taken: each line before its next asterisk came
    bool operator==(const ProgressFacts&) const = default;
};
struct SummaryFacts {
    int lines = 0;
    std::uint64_t bytes = 0;
    double seconds = 0;
    // The screen showing it offers "Update another QZ7": the summary says what to do next.
    bool nextUnitButton = false;
    bool operator==(const SummaryFacts&) const = default;
};

// Where the dialogue stood when a failure screen came up.
struct FailureFacts {
    Stage stage = Stage::AwaitingBanner;  // the dialogue state the program was waiting in
    int line = 0;                // image lines sent, and of how many (during the transfer)
    int lines = 0;
    std::optional<int> hangUpError;  // errno of the call that found the line gone; 0: end of file
    std::string lastReply;           // raw bytes
    int taken = 0;                   // the lines the QZ7 took (see ProgressFacts::taken)
    // The screen showing it offers a Restart button: the advice says to press it, as the one
    // way on, rather than only what to do with the QZ7.
    bool restartButton = false;
    bool operator==(const FailureFacts&) const = default;
};

// At the version question, the version found against the firmware carried, when the operator
// must know it before answering: the QZ7 has that firmware already (Same), or a newer one (Newer).
struct VersionFacts {
    std::string found;    // the number the QZ7 reported, as VersionNumber gives it ("2.009")
    std::string carried;  // the firmware this program carries (Firmware::Version)
    VersionRelation relation = VersionRelation::Unknown;
    bool operator==(const VersionFacts&) const = default;
};

}  // namespace StatusText

// One report of the status line; the empty state clears it.
using StatusFact = std::variant<std::monostate, StatusText::PermissionFacts, StatusText::BusyFacts,
                                StatusText::OpenErrorFacts, StatusText::NotAdapterFacts, StatusText::AdapterFacts,
                                StatusText::SearchFacts, StatusText::PowerOnSilenceFacts, StatusText::SilenceFacts,
                                StatusText::NotAwaitedFacts, StatusText::PagingFacts, StatusText::ProgressFacts,
                                StatusText::SummaryFacts, StatusText::FailureFacts,
                                StatusText::VersionFacts>;
