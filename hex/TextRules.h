#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The text rules the updater and the simulated loader share: which characters end a line, and
// which bytes decode as text.

// LF, VT, FF and CR: the line ends that can occur in 7-bit ASCII text. Inline: the line reader
// and the image's line rule ask it for every byte.
inline bool IsLineEndChar(char c)
{
    return c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
// Index of the first line end, or npos.
std::size_t FindLineEnd(std::string_view text);
// Strict 7-bit ASCII: any byte above 127 makes the whole text absent.
std::optional<std::string> DecodeAscii(const char* bytes, std::size_t count);
