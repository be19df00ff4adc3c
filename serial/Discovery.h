#pragma once
#include "serial/WQSerial.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <termios.h>
#include <vector>

// One serial service as the registry lists it: its TTY device name and its callout path, either
// of which may be missing, and what the system knows of the adapter behind it.
struct SerialService {
    std::optional<std::string> name;
    std::optional<std::string> path;
    std::optional<std::string> description = {};
    std::optional<std::string> manufacturer = {};
    std::optional<uint16_t> vendorId = {};
    std::optional<uint16_t> productId = {};
    std::optional<std::string> serialNumber = {};
};

// One enumeration of the serial services, in the registry's order; absent when the enumeration
// could not start.
using ServiceLister = std::function<std::optional<std::vector<SerialService>>()>;

constexpr std::size_t kMaxListedNames = 50;

// The services the system offers: QSerialPortInfo's list, kept current from the kernel's device
// events (see PortListing.h), or, when QZ7_SERIAL_PORTS is set, the NAME=PATH pairs it holds
// (comma separated, in that order; an entry without "=" is a service with a name and no path).
ServiceLister SystemServiceLister();
std::vector<SerialService> ParseServiceList(const std::string& text);

// The choice rule: lists at most 50 names (a service without a name is skipped, one with a name
// but no path ends the listing) and picks the path of the last listed name that holds "usb",
// "pl2303" or "serial" in lower case. Without a match, `previous` stands.
std::optional<std::string> ChoosePath(const std::vector<SerialService>& services,
                                      std::optional<std::string> previous);

// The choice rule's reasoning over one listing, for showing it to a person.
struct PathChoice {
    std::optional<std::string> path;     // what ChoosePath returns
    std::optional<std::size_t> chosen;   // index in `services` of the service whose name matched
    std::string word;                    // the word its name holds ("usb", "pl2303", "serial")
    std::size_t considered = 0;          // services[0, considered) are the ones the rule looked at
};
PathChoice ExplainChoice(const std::vector<SerialService>& services, std::optional<std::string> previous);

// Why an open failed: the step ("open", "TIOCEXCL", "tcgetattr", "tcsetattr") and its errno.
struct OpenFailure {
    std::string step;
    int error = 0;
};

// The step named when a path is refused for being the program's own terminal.
inline constexpr const char* kOwnTerminalStep = "own terminal";
// The step named when a path is a character device that no terminal driver of the system
// serves (/dev/null, /dev/zero): it exists already, and waiting cannot make it an adapter.
inline constexpr const char* kNoTerminalStep = "no terminal";

// Why `path` can never be the adapter, without opening it: a NUL in it (EINVAL), a failed look-up
// (its errno: ENOENT, ELOOP, ...), no character device or a pseudo-terminal multiplexer such as
// /dev/ptmx (ENOTTY), a character device that no terminal driver serves as /proc/tty/drivers
// lists them (step kNoTerminalStep, ENOTTY; not judged when that list cannot be read), or the
// terminal this program runs on (step kOwnTerminalStep). Error 0: none of these.
OpenFailure RefusedDevice(const std::string& path);

// Whether two port paths name one device: the same spelling, or, where both can be looked at,
// the same character device (a link and its target, two nodes of one device) or the same file.
// Looks only; opens nothing.
bool SamePort(const std::string& a, const std::string& b);

// Why --all takes a port, or leaves it: `word` is the choice rule's word its name holds (empty
// when it is left), `why` says it in words.
struct PortVerdict {
    std::string word;
    std::string why;
};
// The verdict on each of `services`, in order: --all takes every port the choice rule looks at
// whose name holds one of its words and which has a path (the rule itself takes the last).
std::vector<PortVerdict> JudgePorts(const std::vector<SerialService>& services);

// What came of asking the driver for low latency (TIOCSSERIAL with ASYNC_LOW_LATENCY). Drivers
// differ: ftdi_sio keeps the flag, most other USB serial drivers accept the call and drop it, a
// pseudo-terminal has no such setting. None of these stops the update.
struct LowLatency {
    enum Outcome { Kept, NotKept, Refused, NoSetting } outcome = NoSetting;
    int error = 0;  // errno of the failed TIOCSSERIAL (Refused) or TIOCGSERIAL (NoSetting)
};

// The outcome as the transcript gives it, e.g. "low latency: not kept by the driver".
std::string DescribeLowLatency(const LowLatency& low);

// What one attempt to open a port came to.
struct OpenResult {
    int fd = -1;                     // the descriptor, or -1
    bool archived = false;           // whether `archive` holds the settings as found
    termios archive{};
    std::optional<int> serialFlags;  // the driver's flags, when low latency could be requested
    LowLatency lowLatency;           // what came of that request
    OpenFailure failure;             // the step that failed and its errno (fd -1)
};

// Opens `path` for exclusive use (TIOCEXCL, and an flock that keeps out privileged programs too;
// a held lock fails as EBUSY at step "flock") and sets it raw, 8 bits, 57600 baud, VMIN 1, VTIME 5, with the
// descriptor left non-blocking. A descriptor that fails a later step is closed at once, with
// exclusive use given up.
OpenResult OpenAndConfigure(const std::string& path);

// The ports --all takes from `services`, in the listing's order: each one JudgePorts takes, and
// each device once (a device listed twice, by the same path or by a link beside its node, is one
// unit: the first).
std::vector<std::string> AllPorts(const std::vector<SerialService>& services);
