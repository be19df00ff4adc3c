#include "core/Version.h"

#include "firmware/Firmware.h"

#include <algorithm>
#include <vector>

namespace {

bool Digit(char c)
{
    return c >= '0' && c <= '9';
}

// The parts of a number, each without its leading zeros ("007" is "7", "000" is "").
std::vector<std::string_view> Parts(std::string_view number)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= number.size()) {
        std::size_t dot = number.find('.', start);
        if (dot == std::string_view::npos)
            dot = number.size();
        std::string_view part = number.substr(start, dot - start);
        part.remove_prefix(std::min(part.find_first_not_of('0'), part.size()));
        parts.push_back(part);
        start = dot + 1;
    }
    return parts;
}

// Two parts as whole numbers of any length: the longer is the greater, else the first digit
// that differs decides.
int CompareParts(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

}  // namespace

std::optional<std::string> VersionNumber(std::string_view found)
{
    if (std::size_t v = found.rfind('V'); v != std::string_view::npos)
        found.remove_prefix(v + 1);
    constexpr std::string_view kSpace = " \t\r\n\v\f";
    const std::size_t first = found.find_first_not_of(kSpace);
    if (first == std::string_view::npos)
        return std::nullopt;
    found = found.substr(first, found.find_last_not_of(kSpace) - first + 1);
    // Digits, with single dots between them: no dot at either end, none doubled.
    bool digitBefore = false;
    for (char c : found) {
        if (Digit(c))
            digitBefore = true;
        else if (c == '.' && digitBefore)
            digitBefore = false;
        else
            return std::nullopt;
    }
    if (!digitBefore)
        return std::nullopt;
    return std::string(found);
}

VersionRelation CompareVersions(std::string_view found, std::string_view carried)
{
    const std::optional<std::string> a = VersionNumber(found), b = VersionNumber(carried);
    if (!a || !b)
        return VersionRelation::Unknown;
    const std::vector<std::string_view> x = Parts(*a), y = Parts(*b);
    for (std::size_t i = 0; i < std::max(x.size(), y.size()); ++i) {
        const int c = CompareParts(i < x.size() ? x[i] : std::string_view(), i < y.size() ? y[i] : std::string_view());
        if (c != 0)
            return c < 0 ? VersionRelation::Older : VersionRelation::Newer;
    }
    return VersionRelation::Same;
}

VersionRelation CompareWithCarried(std::string_view found)
{
    return CompareVersions(found, Firmware::Version);
}
