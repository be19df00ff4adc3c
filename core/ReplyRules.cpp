#include "core/ReplyRules.h"

#include "hex/TextRules.h"

#include <algorithm>

Piece LineReader::Next(ByteSource& source, std::size_t limit, bool asteriskStops, std::optional<std::chrono::steady_clock::time_point> deadline)
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
                line.push_back(c);
                // A line cut at the limit: what follows it is read as the next line.
                if (line.size() >= limit)
                    return {Piece::Line, PortIo::Data, std::move(line), 0, true};
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
        if (fresh == 0 && deadline && std::chrono::steady_clock::now() >= *deadline) {
            // The line begun so far is handed over as it stands, so that none of it is lost.
            if (!line.empty())
                return {Piece::Line, PortIo::Data, std::move(line), 0, true};
            return {Piece::Quiet, PortIo::Data, {}, 0};
        }
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

void LineReader::Keep(std::string_view bytes)
{
    std::lock_guard lock(mutex_);
    buffer_.erase(0, pos_);
    pos_ = 0;
    buffer_.insert(0, bytes);
}

std::optional<std::size_t> BannerStart(std::string_view drained)
{
    const std::size_t at = drained.rfind("QZ-7");
    if (at == std::string_view::npos)
        return std::nullopt;
    std::size_t start = at;
    while (start > 0 && !IsLineEndChar(drained[start - 1]))
        --start;
    return start;
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

ReaderOutcome LineReader::ReadReplyLine(ByteSource& source)
{
    for (;;) {
        Piece p = Next(source, kLineReplyBytes, false);
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
        Piece p = Next(source, kVersionReplyBytes - text.size(), false);
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

Piece LineReader::NextPacing(ByteSource& source, std::optional<std::chrono::steady_clock::time_point> deadline)
{
    return Next(source, kVersionReplyBytes, true, deadline);
}

LineReader::Judged LineReader::AwaitLoader(ByteSource& source, LoaderLines& judge)
{
    LoaderLine line;  // gathered across the pieces the limit or a quiet spell cuts it into
    for (;;) {
        Piece p = NextPacing(source, judge.Deadline());
        LoaderLines::Verdict verdict;
        switch (p.kind) {
        case Piece::End: return {p.end, {}};
        case Piece::Quiet: verdict = judge.Tick(std::chrono::steady_clock::now()); break;
        case Piece::Asterisk:
            MarkJudged();
            verdict = judge.Asterisk();
            break;
        case Piece::Line:
            line.Append(p.bytes);
            if (p.cut) {
                verdict = judge.Partial(line);
            } else {
                verdict = judge.Line(line, std::chrono::steady_clock::now());
                line = {};
            }
            break;
        }
        if (verdict.kind != LoaderLines::Verdict::Wait)
            return {PortIo::Data, std::move(verdict)};
    }
}

void LoaderLine::Append(std::string_view bytes)
{
    if (head_.size() < kVersionReplyBytes)
        head_.append(bytes.substr(0, kVersionReplyBytes - head_.size()));
    size_ += bytes.size();
    // The texts looked for are at most 8 bytes long: 7 kept from before find one split anywhere.
    std::string seen = tail_;
    seen.append(bytes);
    notDone_ = notDone_ || seen.find("Not Done") != std::string::npos;
    banner_ = banner_ || seen.find("QZ-7") != std::string::npos;
    done_ = done_ || seen.find("Done") != std::string::npos;
    not_ = not_ || seen.find("Not") != std::string::npos;
    tail_ = seen.substr(seen.size() - std::min<std::size_t>(seen.size(), 7));
    for (const char c : bytes) {
        if (aloneSpoilt_)
            break;
        const bool blank = c == ' ' || c == '\t';
        if (word_.empty() && blank)
            continue;
        if (blank)
            wordEnded_ = true;
        else if (wordEnded_ || word_.size() >= 4)
            aloneSpoilt_ = true;
        else
            word_.push_back(c);
    }
}

LoaderLines::LoaderLines(Phase phase, std::chrono::milliseconds quiet, std::chrono::milliseconds longest)
    : phase_(phase), quiet_(quiet), longest_(longest)
{
}

LoaderLines::Verdict LoaderLines::Line(const LoaderLine& line, Clock::time_point now)
{
    auto end = [&](Outcome outcome) { return Verdict{Verdict::End, outcome, line.Head()}; };
    if (line.HoldsNotDone())
        return end(Outcome::NotDone);
    std::optional<Outcome> names;  // the ending the line may be
    if (phase_ == Phase::AfterImage) {
        if (line.HoldsDone() && line.HoldsNot())
            return end(Outcome::NotDone);
        if (line.DoneAlone())
            return end(Outcome::Done);
        if (line.HoldsDone())
            names = Outcome::Done;
    } else if (line.DoneAlone()) {
        names = Outcome::EndedEarly;
    }
    if (!names && line.HoldsBanner())
        names = Outcome::Restarted;
    if (names)
        pending_ = Pending{*names, line.Head(), now, now};
    else if (pending_)
        pending_->last = now;  // chatter after it: the quiet spell starts again
    return {};
}

LoaderLines::Verdict LoaderLines::Partial(const LoaderLine& line)
{
    if (line.HoldsNotDone())
        return {Verdict::End, Outcome::NotDone, line.Head()};
    return {};
}

LoaderLines::Verdict LoaderLines::Asterisk()
{
    // The loader asks for the next line: what waited to be judged was its chatter.
    pending_.reset();
    return phase_ == Phase::Transfer ? Verdict{Verdict::Pace, Outcome::Done, {}} : Verdict{};
}

LoaderLines::Verdict LoaderLines::Tick(Clock::time_point now)
{
    if (const std::optional<Clock::time_point> deadline = Deadline(); deadline && now >= *deadline) {
        Verdict ended{Verdict::End, pending_->outcome, std::move(pending_->line)};
        pending_.reset();
        return ended;
    }
    return {};
}

std::optional<LoaderLines::Clock::time_point> LoaderLines::Deadline() const
{
    if (!pending_)
        return std::nullopt;
    return std::min(pending_->last + quiet_, pending_->since + longest_);
}
