#include "core/SearchHint.h"

#include <algorithm>

using namespace std::chrono;

namespace {
// An adapter that lasts less than this was most likely taken by another program.
constexpr seconds kBriefly{5};
// Passes further apart than this belong to different searches (one per "Connect USB adapter").
constexpr seconds kNewSearch{2};
}  // namespace

std::optional<StatusText::SearchFacts> SearchHint::Pass(const std::vector<SerialService>& services, Clock::time_point now,
                                             const Grabbers& grabbers)
{
    if (!lastPass_ || now - *lastPass_ > kNewSearch) {
        searchSince_ = now;
        present_.clear();
        vanished_.clear();
        brltty_ = false;
    }
    lastPass_ = now;

    std::optional<std::string> chosen = ExplainChoice(services, std::nullopt).path;
    for (auto it = present_.begin(); it != present_.end();) {
        if (it->first == chosen) {
            ++it;
            continue;
        }
        if (now - it->second < kBriefly) {
            vanished_ = it->first;
            std::vector<std::string> running = grabbers ? grabbers() : std::vector<std::string>{};
            brltty_ = std::find(running.begin(), running.end(), "brltty") != running.end();
        }
        it = present_.erase(it);
    }
    if (chosen) {
        present_.try_emplace(*chosen, now);
        return std::nullopt;
    }
    if (now - searchSince_ < patience_)
        return std::nullopt;

    StatusText::SearchFacts facts;
    for (const SerialService& s : services)
        if (s.path)
            facts.seen.push_back(*s.path);
    if (brltty_)
        facts.vanished = vanished_;
    facts.brltty = brltty_;
    return facts;
}
