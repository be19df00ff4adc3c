#pragma once
#include "core/Facts.h"
#include "serial/Discovery.h"

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// What the status line says while discovery finds no adapter to use. After `patience` without
// one it names the ports it does see (or that it sees none). When an adapter appeared and went
// away again within a few seconds while brltty runs, it names brltty, which takes such adapters
// for braille displays, and how to remove it. Fed with every listing, on discovery's thread.
class SearchHint {
public:
    using Clock = std::chrono::steady_clock;
    using Grabbers = std::function<std::vector<std::string>()>;
    explicit SearchHint(std::chrono::milliseconds patience = std::chrono::seconds(5)) : patience_(patience) {}

    // The report for this listing; none while an adapter is listed or before `patience` has passed.
    // `grabbers` (the running programs known to take adapters) is asked only when an adapter has
    // just vanished.
    std::optional<StatusText::SearchFacts> Pass(const std::vector<SerialService>& services, Clock::time_point now,
                                    const Grabbers& grabbers);

private:
    const std::chrono::milliseconds patience_;
    Clock::time_point searchSince_{};
    std::optional<Clock::time_point> lastPass_;
    std::map<std::string, Clock::time_point> present_;  // adapters listed, since when
    std::string vanished_;                              // the last one that went within seconds
    bool brltty_ = false;                               // brltty was running when it went
};
