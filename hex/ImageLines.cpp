#include "hex/ImageLines.h"

#include "hex/HexRecord.h"
#include "hex/TextRules.h"

std::string CheckFirmwareImage(std::string_view text)
{
    if (text.empty())
        return "the image is empty";
    if (!DecodeAscii(text.data(), text.size()))
        return "the image is not 7-bit ASCII";
    // Walk the image as the transfer will send it: every line sent must be a whole record and
    // its CR LF. What the line rule skips (blank lines, text up to the next ":") is never sent.
    std::string_view remainder = text;
    int sent = 0;
    bool ended = false;
    while (!remainder.empty()) {
        ImageLine next = TakeImageLine(remainder);
        remainder.remove_prefix(next.consumed);
        const std::string where = "line " + std::to_string(++sent) + " sent";
        if (ended)
            return where + " follows the end-of-file record";
        if (next.line.size() < 2 || next.line.substr(next.line.size() - 2) != "\r\n")
            return where + " does not end in CR LF";
        int type = IntelHexRecordType(next.line.substr(0, next.line.size() - 2));
        if (type < 0)
            return where + " is not a valid record";
        ended = type == 1;
    }
    if (!ended)
        return "the end-of-file record is missing";
    return {};
}

ImageLine TakeImageLine(std::string_view remainder)
{
    std::size_t lineEnd = FindLineEnd(remainder);
    if (lineEnd == std::string_view::npos || lineEnd + 2 > remainder.size())
        return {remainder, remainder.size()};
    std::string_view line = remainder.substr(0, lineEnd + 2);
    std::size_t next = remainder.find(':', lineEnd + 2);
    return {line, next == std::string_view::npos ? remainder.size() : next};
}

int CountImageLines(std::string_view text)
{
    int lines = 0;
    // Each step consumes at least one character of a remainder that is not empty.
    for (; !text.empty(); ++lines)
        text.remove_prefix(TakeImageLine(text).consumed);
    return lines;
}
