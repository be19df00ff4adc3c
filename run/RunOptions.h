#pragma once
#include <map>
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
    std::optional<std::string> unit;   // --unit: the one port's unit's name
    std::map<std::string, std::string> unitNames;  // port path -> unit name, from --port PATH=NAME
    std::optional<std::string> operatorName;       // --operator; the login name without it
    std::optional<std::string> historyFile;        // --history-file; the state folder's without it
    bool history = false;              // print the history and end
    std::optional<std::string> historyUnit;        // --history UNIT: that unit's records only
    bool summary = false;              // --history --summary: the figures per day
    bool skipDone = false;             // leave a unit whose last record is Done with this firmware

    // Whether the run goes through the production bench (several units, machine-readable output,
    // a report) rather than the one-unit terminal dialogue.
    bool Bench() const { return ports.size() > 1 || all || json || check || skipCurrent || report || skipDone; }
    // The unit's name on `path`: --port PATH=NAME's, or --unit's for the one port; empty: none.
    std::string UnitName(const std::string& path) const
    {
        if (auto found = unitNames.find(path); found != unitNames.end())
            return found->second;
        return unit.value_or("");
    }
};
