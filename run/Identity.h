#pragma once
// Who updated which unit where: the facts every record of a unit carries beside its end. The
// station and the operator are the run's; the slot, the adapter and the unit are each port's.
#include "core/Status.h"

#include <optional>
#include <string>

struct Identity {
    std::string station;         // the host name
    std::string slot;            // the port's /dev/serial/by-path name, or its path where it has none
    std::string adapterVidPid;   // "0403:6001"; empty when the port is no USB device
    std::string driver;          // the kernel driver behind the tty ("ftdi_sio", "cdc_acm"); empty when unknown
    std::string adapterSerial;   // the adapter's USB serial number; empty when it has none
    std::string unit;            // the unit's name (--unit, --port PATH=NAME); empty when none was given
    std::string operatorName;    // --operator, by default the login name
    std::string programVersion;  // this program's version, "1.0.0"
    std::string firmwareVersion; // the firmware carried, bare ("2.007")
    std::string firmwareSha256;  // of the image as sent, in hex
};

namespace identity {

inline constexpr const char* kByPathDirectory = "/dev/serial/by-path";

// The host name as gethostname(2) gives it; "localhost" when it gives none.
std::string StationName();
// The name of the login the program runs under: getlogin(3) (the session's, also under sudo),
// else the effective user's name from the password database, else $USER, else the uid's number.
std::string LoginName();

// The name of the link in `directory` that resolves to the device at `path`, or none.
std::optional<std::string> LinkNameFor(const std::string& path, const std::string& directory);
// The kernel driver of the tty at `path` (/sys/class/tty/<name>/device/driver), or empty.
std::string DriverOf(const std::string& path, const std::string& sysRoot = "/sys");

// The station's, the operator's and the program's part, with the firmware carried: the same for
// every unit of a run.
Identity ForRun(const std::optional<std::string>& operatorName);
// A unit's identity: the run's, with the slot, the adapter and the unit's name filled in.
// `byPathDirectory` and `sysRoot` are the system's outside the tests.
Identity ForUnit(Identity run, const std::string& path, const StatusText::AdapterFacts& adapter, const std::string& unit,
                 const std::string& byPathDirectory = kByPathDirectory, const std::string& sysRoot = "/sys");

// Whether `name` may name a unit or an operator: 1 to 128 bytes, none of them a control byte.
bool ValidName(const std::string& name);

}  // namespace identity
