#pragma once
#include <optional>
#include <string>
#include <string_view>

// The version a QZ7 reports against the one this program carries: decided here, once, for the
// question, the terminal's --yes and the bench's --skip-current.
enum class VersionRelation {
    Older,    // the QZ7 has an older firmware: the update it is for
    Same,     // it has the firmware carried already
    Newer,    // it has a newer one: Update would put the older firmware on it
    Unknown,  // it reported no version, or none that reads as a number
};

// The number in a version as the dialogue cut it from the QZ7's reply ("2.005"): what follows its
// last "V" when it holds one (a reply cut without a line end keeps its "V"), without the white
// space around it; one or more parts of digits, joined by single dots. None when there is no such
// number ("", "QZ7 V", "2.0x", "2.").
std::optional<std::string> VersionNumber(std::string_view found);

// `found` against `carried`, part by part as whole numbers ("2.010" is newer than "2.009"; a
// missing part counts as 0, so "2.7" is "2.007"); Unknown when either holds no number.
VersionRelation CompareVersions(std::string_view found, std::string_view carried);

// `found` against the firmware this program carries (Firmware::Version).
VersionRelation CompareWithCarried(std::string_view found);
