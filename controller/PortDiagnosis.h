#pragma once
#include "core/Status.h"
#include "serial/Discovery.h"

#include <chrono>
#include <string>
#include <vector>

// Looks up on the system why a chosen adapter did not open, and what the adapter is.

// What an attempt to open the chosen port found: the kinds of failure the status line and the
// terminal's exit status tell apart.
// NotSerial: the path can never become an adapter (no serial device, a directory, a link loop,
// the program's own terminal); waiting does not help.
enum class PortTrouble { NoneFound, Permission, Busy, OtherError, Opened, NotSerial };
// Another program's exclusive use makes open() fail with EBUSY, and so does its lock.
PortTrouble Classify(const OpenFailure& failure);

// The processes (other than this one) with a descriptor open on `device`, where /proc lets us see.
std::vector<StatusText::Holder> DeviceHolders(const std::string& device);
// Running programs known to take serial adapters for themselves.
std::vector<std::string> RunningGrabbers();

// The status report for a failed open of `device`: permission (with the group and the fix), held
// by another program (with its holders), or the system's own message.
StatusFact DescribeOpenFailure(const std::string& device, const OpenFailure& failure);

// The adapter as the listing describes it.
StatusText::AdapterFacts AdapterFacts(const SerialService& service);

// Discovery's memory of the last failure, so that the system is asked again only when the failure
// changes, or every two seconds while the adapter is held (its holder may change).
class OpenTrouble {
public:
    // The report for this pass's failure, and whether it differs from the last pass's.
    StatusFact Describe(const std::string& device, const OpenFailure& failure,
                         std::chrono::steady_clock::time_point now, bool& changed);
    void Clear() { known_ = false; }

private:
    bool known_ = false;
    std::string device_;
    OpenFailure failure_;
    std::chrono::steady_clock::time_point asked_{};
    StatusFact text_;
};
