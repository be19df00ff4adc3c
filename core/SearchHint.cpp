#include "core/SearchHint.h"

#include <algorithm>

using namespace std::chrono;

namespace {
// An adapter that lasts less than this was most likely taken by another program.
constexpr seconds kBriefly{5};
// Passes further apart than this belong to different searches (one per "Connect USB adapter").
constexpr seconds kNewSearch{2};
}  // namespace

std::optional<std::string> SearchHint::Pass(const std::vector<SerialService>& services, Clock::time_point now,
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

    std::string text = "No USB serial adapter found.";
    std::vector<std::string> seen;
    for (const SerialService& s : services)
        if (s.path)
            seen.push_back(*s.path);
    if (seen.empty()) {
        text += " The system lists no serial port at all: plug the adapter in, or try another USB socket or cable.";
    } else {
        text += " Seen: ";
        for (std::size_t i = 0; i < seen.size(); ++i)
            text += (i == 0 ? "" : i + 1 == seen.size() ? " and " : ", ") + seen[i];
        text += seen.size() == 1 ? ", not a USB adapter." : ", not USB adapters.";
    }
    if (brltty_)
        text += " An adapter appeared at " + vanished_ +
                " and went away again: brltty, a braille display driver, is running and takes such adapters."
                " Unless you use a braille display, remove it with\nsudo apt remove brltty\nthen plug the adapter in again.";
    return text;
}
