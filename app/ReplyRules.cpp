#include "app/ReplyRules.h"

#include "hex/TextRules.h"

#include <cstring>

namespace {

bool EndsWithCrOrLf(const char* buffer, std::size_t count)
{
    return count > 0 && (buffer[count - 1] == '\n' || buffer[count - 1] == '\r');
}

// Reads until a read leaves CR or LF as the last byte of the buffer, or the buffer is full.
// Bytes of `skipLeading` at the very start of the buffer are dropped as they come and take no
// room. Returns Data, or the status that ended the reading without a reply.
PortIo FillUntilLineEnd(ByteSource& source, char* buffer, std::size_t& count, std::size_t capacity,
                        std::string_view skipLeading = {})
{
    for (;;) {
        PortResult r = source.Read(buffer + count, capacity - count);
        if (r.status == PortIo::Closed || r.status == PortIo::HangUp)
            return r.status;
        if (r.status == PortIo::Data && r.count > 0) {
            count += r.count;
            std::size_t skip = 0;
            while (skip < count && skipLeading.find(buffer[skip]) != std::string_view::npos)
                ++skip;
            if (skip > 0) {
                std::memmove(buffer, buffer + skip, count - skip);
                count -= skip;
            }
            if (EndsWithCrOrLf(buffer, count))
                return PortIo::Data;
        }
        if (count >= capacity)
            return PortIo::Data;
    }
}

}  // namespace

std::optional<std::string> FirstReplyLine(std::string_view chunk)
{
    std::size_t from = 0;
    while (from < chunk.size()) {
        std::size_t end = FindLineEnd(chunk.substr(from));
        if (end == std::string_view::npos)
            end = chunk.size() - from;  // the buffer filled in the middle of this line
        if (end >= 3)
            return std::string(chunk.substr(from, end));
        from += end + 1;  // a bare line end, or a fragment of one or two characters
    }
    return std::nullopt;
}

ReaderOutcome ReadReplyLine(ByteSource& source, std::string_view skipLeading)
{
    for (;;) {
        char buffer[kLineReplyBytes + 1];
        std::size_t count = 0;
        PortIo end = FillUntilLineEnd(source, buffer, count, kLineReplyBytes, skipLeading);
        if (end != PortIo::Data)
            return {end, std::nullopt};
        buffer[count] = '\0';

        std::optional<std::string> text = DecodeAscii(buffer, count);
        if (!text)
            continue;  // undecodable chunk: dropped whole
        if (std::optional<std::string> line = FirstReplyLine(*text))
            return {PortIo::Data, line};
        // Only line ends and fragments: drop the chunk and start again.
    }
}

ReaderOutcome ReadVersionReply(ByteSource& source, int passes)
{
    char buffer[kVersionReplyBytes + 1];
    std::size_t count = 0;
    std::optional<std::string> text;
    for (int attempts = passes; attempts > 0;) {
        --attempts;
        PortIo end = FillUntilLineEnd(source, buffer, count, kVersionReplyBytes);
        if (end != PortIo::Data)
            return {end, std::nullopt};
        buffer[count] = '\0';
        text = DecodeAscii(buffer, count);
        if (!text)
            continue;
        if (text->find('V') != std::string::npos) {
            std::size_t q = text->find('Q');
            if (q != std::string::npos)
                text = text->substr(q);
            break;
        }
        if (text->find("E or P") != std::string::npos)
            break;
    }
    return {PortIo::Data, text};
}
