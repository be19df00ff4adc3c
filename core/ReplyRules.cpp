#include "core/ReplyRules.h"

#include "hex/TextRules.h"

Piece LineReader::Next(ByteSource& source, std::size_t limit, bool asteriskStops, std::string_view skipLeading)
{
    std::string line;
    char chunk[512];
    std::size_t fresh = 0;  // bytes of the last read, kept under the same lock that takes them
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            buffer_.append(chunk, fresh);
            while (pos_ < buffer_.size()) {
                const char c = buffer_[pos_];
                // An asterisk ends the line before it, which is handed over first; the asterisk
                // itself stays for the next call, so that no pacing is ever lost.
                if (asteriskStops && c == '*' && !line.empty())
                    return {Piece::Line, PortIo::Data, std::move(line), 0};
                ++pos_;
                if (!(afterCr_ && c == '\n'))
                    sinceJudged_ += c;
                afterCr_ = c == '\r';
                if (IsLineEndChar(c)) {
                    if (line.empty())
                        continue;  // the second half of CR LF, or a blank line
                    return {Piece::Line, PortIo::Data, std::move(line), c};
                }
                if (asteriskStops && c == '*')
                    return {Piece::Asterisk, PortIo::Data, {}, 0};
                if (line.empty() && skipLeading.find(c) != std::string_view::npos)
                    continue;
                line.push_back(c);
                // A line cut at the limit: what follows it is read as the next line.
                if (line.size() >= limit)
                    return {Piece::Line, PortIo::Data, std::move(line), 0};
            }
            buffer_.clear();
            pos_ = 0;
            if (sinceJudged_.size() > 240)
                sinceJudged_.erase(0, sinceJudged_.size() - 120);
        }
        // Read outside the lock: Clear() from another thread never waits for the device.
        PortResult r = source.Read(chunk, sizeof chunk);
        if (r.status == PortIo::Closed || r.status == PortIo::HangUp)
            return {Piece::End, r.status, {}, 0};
        fresh = r.status == PortIo::Data ? r.count : 0;
    }
}

void LineReader::Clear()
{
    std::lock_guard lock(mutex_);
    buffer_.clear();
    pos_ = 0;
    afterCr_ = false;
    sinceJudged_.clear();
}

std::string LineReader::SinceJudged() const
{
    std::lock_guard lock(mutex_);
    return sinceJudged_.size() > 120 ? sinceJudged_.substr(sinceJudged_.size() - 120) : sinceJudged_;
}

void LineReader::MarkJudged()
{
    std::lock_guard lock(mutex_);
    sinceJudged_.clear();
}

std::size_t LineReader::Kept() const
{
    std::lock_guard lock(mutex_);
    return buffer_.size() - pos_;
}

ReaderOutcome LineReader::ReadReplyLine(ByteSource& source, std::string_view skipLeading)
{
    for (;;) {
        Piece p = Next(source, kLineReplyBytes, false, skipLeading);
        if (p.kind == Piece::End)
            return {p.end, std::nullopt};
        if (p.bytes.size() >= 3 && p.Decodes())
            return {PortIo::Data, std::move(p.bytes)};
    }
}

ReaderOutcome LineReader::ReadVersionReply(ByteSource& source, int passes)
{
    std::string text;
    for (int attempts = passes; attempts > 0 && text.size() < kVersionReplyBytes; --attempts) {
        Piece p = Next(source, kVersionReplyBytes - text.size(), false, {});
        if (p.kind == Piece::End)
            return {p.end, std::nullopt};
        if (!p.Decodes())
            continue;  // a byte above 127 spoils its own line, not the lines around it
        text += p.bytes;
        if (p.lineEnd && text.size() < kVersionReplyBytes)
            text += p.lineEnd;
        if (text.find('V') != std::string::npos) {
            std::size_t q = text.find('Q');
            if (q != std::string::npos)
                text.erase(0, q);
            break;
        }
        if (text.find("E or P") != std::string::npos)
            break;
    }
    return {PortIo::Data, std::move(text)};
}

Piece LineReader::NextPacing(ByteSource& source)
{
    return Next(source, kVersionReplyBytes, true, {});
}

std::optional<Outcome> JudgePacingLine(std::string_view line)
{
    if (line.find("QZ-7") != std::string_view::npos)
        return Outcome::Restarted;
    if (line.find("Not Done") != std::string_view::npos)
        return Outcome::NotDone;
    const std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string_view::npos && line.substr(first, line.find_last_not_of(" \t") + 1 - first) == "Done")
        return Outcome::EndedEarly;
    return std::nullopt;
}
