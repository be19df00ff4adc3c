#include "core/TestTimes.h"

#include <algorithm>
#include <charconv>
#include <iterator>

using namespace std::chrono;

namespace TestTimes {
namespace {

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// "250ms" or "2s"; none for anything else, and for what lies outside 1 ms to a day.
std::optional<milliseconds> Duration(std::string_view text)
{
    long long scale = 0;
    if (text.ends_with("ms")) {
        scale = 1;
        text.remove_suffix(2);
    } else if (text.ends_with("s")) {
        scale = 1000;
        text.remove_suffix(1);
    } else {
        return std::nullopt;
    }
    long long count = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    constexpr long long kDay = 24LL * 3600 * 1000;
    if (count < 1 || count > kDay / scale)
        return std::nullopt;
    return milliseconds(count * scale);
}

}  // namespace

Times Parse(std::string_view text)
{
    Times times;
    const struct {
        std::string_view name;
        std::optional<milliseconds> Times::*field;
    } waits[] = {{"power-on-silence", &Times::powerOnSilence},
                 {"silence", &Times::silence},
                 {"unreadable", &Times::unreadable},
                 {"paging", &Times::paging},
                 {"write-stall", &Times::writeStall},
                 {"no-adapter", &Times::noAdapter},
                 {"discovery", &Times::discovery},
                 {"loader-quiet", &Times::loaderQuiet}};
    while (!text.empty()) {
        std::size_t comma = text.find(',');
        std::string_view entry = Trimmed(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        if (entry.empty())
            continue;
        std::size_t equals = entry.find('=');
        std::string_view name = Trimmed(entry.substr(0, equals));
        auto wait = std::find_if(std::begin(waits), std::end(waits), [&](const auto& w) { return w.name == name; });
        if (wait == std::end(waits)) {
            std::string known;
            for (const auto& w : waits)
                known += (known.empty() ? "" : ", ") + std::string(w.name);
            times.refused.push_back("\"" + std::string(entry) + "\": no such wait (" + known + ")");
            continue;
        }
        std::optional<milliseconds> duration =
            equals == std::string_view::npos ? std::nullopt : Duration(Trimmed(entry.substr(equals + 1)));
        if (!duration) {
            times.refused.push_back("\"" + std::string(entry) + "\": not a duration from 1ms to 24h (such as 250ms or 2s)");
            continue;
        }
        times.*(wait->field) = duration;
        times.taken.push_back(std::string(name) + " " + std::to_string(duration->count()) + " ms");
    }
    return times;
}

}  // namespace TestTimes
