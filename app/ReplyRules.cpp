#include "ReplyRules.h"

bool IsLineEndChar(char c)
{
    return c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t FindLineEnd(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i)
        if (IsLineEndChar(text[i]))
            return i;
    return std::string_view::npos;
}

std::optional<std::string> DecodeAscii(const char* bytes, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        if (static_cast<unsigned char>(bytes[i]) > 127)
            return std::nullopt;
    return std::string(bytes, count);
}

namespace {

bool EndsWithCrOrLf(const char* buffer, std::size_t count)
{
    return count > 0 && (buffer[count - 1] == '\n' || buffer[count - 1] == '\r');
}

// Reads until a read leaves CR or LF as the last byte of the buffer, or the buffer is full.
// Returns Data, or the status that ended the reading without a reply.
PortIo FillUntilLineEnd(ByteSource& source, char* buffer, std::size_t& count, std::size_t capacity)
{
    for (;;) {
        PortResult r = source.Read(buffer + count, capacity - count);
        if (r.status == PortIo::Closed || r.status == PortIo::HangUp)
            return r.status;
        if (r.status == PortIo::Data && r.count > 0) {
            count += r.count;
            if (EndsWithCrOrLf(buffer, count))
                return PortIo::Data;
        }
        if (count >= capacity)
            return PortIo::Data;
    }
}

}  // namespace

ReaderOutcome ReadReplyLine(ByteSource& source)
{
    for (;;) {
        char buffer[kLineReplyBytes + 1];
        std::size_t count = 0;
        PortIo end = FillUntilLineEnd(source, buffer, count, kLineReplyBytes);
        if (end != PortIo::Data)
            return {end, std::nullopt};
        buffer[count] = '\0';

        std::optional<std::string> text = DecodeAscii(buffer, count);
        if (!text)
            continue;  // undecodable chunk: dropped whole
        std::size_t i = FindLineEnd(*text);
        if (i == std::string::npos)
            return {PortIo::Data, text};  // the buffer filled before any line end
        if (i >= 3)
            return {PortIo::Data, text->substr(0, i)};
        // A bare line end, or a line of one or two characters: drop the chunk and start again.
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
