#pragma once
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The program's long waits, shortened for tests so that no test sits through one: the status
// line's thresholds (the power-on silence, a later silence, bytes that bring nothing awaited, a
// prompt answered with other lines, no adapter to use), the bound on a write that makes no
// progress, discovery's pause between two looks for the adapter, and the quiet spell that
// decides a loader's line that may end the transfer or may be its chatter. The program
// reads them once from the environment variable QZ7_TEST_TIMES, a comma-separated list of
// NAME=DURATION, a duration being a whole number with "ms" or "s":
//     QZ7_TEST_TIMES=paging=200ms,silence=300ms,write-stall=1s
// Unset, every wait keeps its own length; an entry that names no wait or holds no duration is
// refused, and the program says so in its transcript.
namespace TestTimes {

inline constexpr const char* kVariable = "QZ7_TEST_TIMES";

struct Times {
    std::optional<std::chrono::milliseconds> powerOnSilence;  // power-on-silence
    std::optional<std::chrono::milliseconds> silence;         // silence
    std::optional<std::chrono::milliseconds> unreadable;      // unreadable
    std::optional<std::chrono::milliseconds> paging;          // paging
    std::optional<std::chrono::milliseconds> writeStall;      // write-stall
    std::optional<std::chrono::milliseconds> noAdapter;       // no-adapter
    std::optional<std::chrono::milliseconds> discovery;       // discovery
    std::optional<std::chrono::milliseconds> loaderQuiet;     // loader-quiet
    // The entries not taken, each as given with the reason.
    std::vector<std::string> refused;
    // The entries taken, as "name duration" in the order given.
    std::vector<std::string> taken;
};

// The durations from 1 ms to a day are taken; the last entry for a name counts.
Times Parse(std::string_view text);

}  // namespace TestTimes
