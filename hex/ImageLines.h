#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Checks an image before anything is erased: 7-bit ASCII, and every line the transfer's line
// rule will send a well-formed Intel HEX record with a correct checksum and CR LF after it, the
// end-of-file record last. Text the line rule skips (blank lines, anything up to the next ":")
// is allowed. Returns an empty string when the image is good, else what is wrong with it.
std::string CheckFirmwareImage(std::string_view text);

// One step of the transfer's line rule over the remainder of the image.
struct ImageLine {
    std::string_view line;  // what is sent: up to and including the character after the first line end
    std::size_t consumed;   // how far the remainder advances: to the next ":" after the line, or its end
};
// The line is the first line end plus one character. A remainder with no line end, or whose
// first line end is its last character, is sent as it stands and ends the image.
ImageLine TakeImageLine(std::string_view remainder);

// The lines the transfer sends for the whole image: the steps of TakeImageLine until nothing is
// left (0 for an empty image).
int CountImageLines(std::string_view text);
