#pragma once
#include <optional>
#include <string>
#include <vector>

// How the program is to run, as the command line asks.
struct RunOptions {
    bool cli = false;                  // on the terminal, without a window
    bool yes = false;                  // answer the version question with Update (terminal only)
    bool list = false;                 // list the serial ports and end
    std::optional<std::string> port;   // use this device: no listing, no choice (one --port)
    std::vector<std::string> ports;    // every --port given, in order
    bool all = false;                  // every adapter the choice rule accepts, side by side
    bool json = false;                 // JSON Lines on standard output, prose on standard error
    bool check = false;                // read each unit's version and erase nothing
    bool skipCurrent = false;          // leave a unit that already has the shipped firmware
    bool allowOlder = false;           // --yes updates a unit with newer firmware too
    std::optional<std::string> report; // append one JSON line per unit to this file
    std::optional<std::string> capture; // record the port's bytes to this file (one per unit by slot)
    std::optional<int> waitSeconds;    // give up when no device answers within this (terminal only)
    std::optional<int> timeoutSeconds; // stop when the whole update has not ended within this (terminal only)

    // Whether the run goes through the production bench (several units, machine-readable output,
    // a report) rather than the one-unit terminal dialogue.
    bool Bench() const { return ports.size() > 1 || all || json || check || skipCurrent || report; }
};
