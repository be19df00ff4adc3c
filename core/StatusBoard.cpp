#include "core/Status.h"

#include "core/Endings.h"

using namespace std::chrono;

StatusBoard::StatusBoard(Thresholds thresholds, std::function<void(const StatusFact&)> show)
    : thresholds_(thresholds), show_(std::move(show))
{
}

namespace {

bool None(const StatusFact& fact) { return std::holds_alternative<std::monostate>(fact); }
bool IsProgress(const StatusFact& fact) { return std::holds_alternative<StatusText::ProgressFacts>(fact); }

}  // namespace

StatusFact StatusBoard::Shown() const
{
    std::lock_guard lock(mutex_);
    return shown_;
}

void StatusBoard::ShowLocked()
{
    const StatusFact& next = None(alert_) ? base_ : alert_;
    if (next == shown_)
        return;
    shown_ = next;
    show_(shown_);
}

void StatusBoard::SetBase(StatusFact fact)
{
    std::lock_guard lock(mutex_);
    base_ = std::move(fact);
    ShowLocked();
}

void StatusBoard::PortOpened(Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    open_ = true;
    waiting_ = false;
    stage_ = Stage::AwaitingBanner;
    quietSince_ = now;
    ClearUnjudged();
    pages_ = 0;
    recent_.clear();
    lastReply_.clear();
    hangUpError_.reset();
    lines_ = line_ = taken_ = 0;
    alert_ = {};
    ShowLocked();
}

void StatusBoard::PortClosed()
{
    std::lock_guard lock(mutex_);
    open_ = false;
    waiting_ = false;
    alert_ = {};
    ShowLocked();
}

void StatusBoard::Waiting(Stage stage, Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    if (!waiting_ || stage != stage_) {
        // A new wait: the device has had no chance to answer before it.
        waiting_ = true;
        stage_ = stage;
        quietSince_ = now;
    }
    CheckLocked(now);
    // Lines that went within the last refresh's quarter second are shown once the QZ7 keeps the
    // next asterisk waiting, not only with the next line.
    if (shownLine_ != line_ && IsProgress(base_) && now - lastProgress_ >= milliseconds(250))
        ShowProgressLocked(now, true);
}

void StatusBoard::Received(Stage stage, const char* bytes, std::size_t count, Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    stage_ = stage;
    quietSince_ = now;
    recent_.append(bytes, count);
    if (recent_.size() > 256)
        recent_.erase(0, recent_.size() - 256);
    CheckLocked(now);
}

void StatusBoard::Unjudged(std::string_view bytes, Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    if (bytes.empty()) {
        ClearUnjudged();
    } else {
        if (!unjudgedSince_)
            unjudgedSince_ = now;
        unjudged_.assign(bytes);
    }
    CheckLocked(now);
}

void StatusBoard::ClearUnjudged()
{
    unjudgedSince_.reset();
    unjudged_.clear();
}

void StatusBoard::Readable(const std::string& reply, Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    ClearUnjudged();
    lastReply_ = reply;
    waiting_ = false;
    if (!None(alert_))
        CheckLocked(now);
}

void StatusBoard::Advanced(Stage stage)
{
    std::lock_guard lock(mutex_);
    stage_ = stage;
}

void StatusBoard::HungUp(int error)
{
    std::lock_guard lock(mutex_);
    hangUpError_ = error;
}

void StatusBoard::Paging(long count, const std::string& reply, Clock::time_point since, Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    pages_ = count;
    pageReply_ = reply;
    pagingSince_ = since;
    CheckLocked(now);
}

void StatusBoard::CheckLocked(Clock::time_point now)
{
    StatusFact alert;
    const bool paging = open_ && pages_ > 0 && now - pagingSince_ >= thresholds_.paging;
    if (open_ && unjudgedSince_ && now - *unjudgedSince_ >= thresholds_.unreadable) {
        alert = StatusText::NotAwaitedFacts{unjudged_, stage_, lines_ > 0 && line_ >= lines_};
    } else if (paging) {
        // The count changes thousands of times a second: the line is redrawn once a second.
        if (std::holds_alternative<StatusText::PagingFacts>(alert_) && now - pagingShown_ < std::chrono::seconds(1))
            return;
        pagingShown_ = now;
        alert = StatusText::PagingFacts{pages_, pageReply_};
    } else if (open_ && waiting_) {
        auto quiet = now - quietSince_;
        auto quietSeconds = duration_cast<seconds>(quiet);
        if (stage_ == Stage::AwaitingBanner && quiet >= thresholds_.powerOnSilence) {
            alert = StatusText::PowerOnSilenceFacts{quietSeconds};
        } else if (stage_ != Stage::AwaitingBanner && quiet >= thresholds_.silence) {
            alert = StatusText::SilenceFacts{quietSeconds};
        }
    }
    if (alert == alert_)
        return;
    alert_ = std::move(alert);
    ShowLocked();
}

void StatusBoard::TransferStarted(int lines, std::uint64_t bytes, Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    lines_ = lines;
    line_ = shownLine_ = taken_ = 0;
    bytes_ = bytes;
    sent_ = 0;
    transferStart_ = now;
    lastProgress_ = now - seconds(1);
    timeLeft_ = TimeLeft();
    base_ = StatusText::ProgressFacts{0, lines, 0, std::nullopt};
    ShowLocked();
}

void StatusBoard::LineSent(int line, std::uint64_t bytesSent, Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    line_ = line;
    sent_ = bytesSent;
    ClearUnjudged();  // a pacing asterisk came before this line
    waiting_ = false;
    double elapsed = duration<double>(now - transferStart_).count();
    timeLeft_.Sample(elapsed, static_cast<double>(bytesSent), static_cast<double>(bytes_));
    if (!None(alert_))
        CheckLocked(now);
    // A few refreshes a second, and the last line: the text is not made anew for every line.
    if (now - lastProgress_ < milliseconds(250) && line != lines_)
        return;
    ShowProgressLocked(now, true);
}

bool StatusBoard::ProgressStaleLocked() const
{
    const auto* progress = std::get_if<StatusText::ProgressFacts>(&base_);
    return progress && (shownLine_ != line_ || progress->taken != taken_);
}

void StatusBoard::LinesTaken(int lines)
{
    std::lock_guard lock(mutex_);
    taken_ = lines;
}

void StatusBoard::ShowProgressLocked(Clock::time_point now, bool timeLeft)
{
    lastProgress_ = now;
    shownLine_ = line_;
    const std::optional<double> left = line_ == lines_ ? std::optional(0.0) : timeLeft ? timeLeft_.Seconds() : std::nullopt;
    base_ = StatusText::ProgressFacts{line_, lines_, timeLeft_.Rate(), left, taken_};
    ShowLocked();
}

StatusFact StatusBoard::Settle()
{
    std::lock_guard lock(mutex_);
    // A transfer that was stopped has no time left to estimate.
    if (ProgressStaleLocked())
        ShowProgressLocked(Clock::now(), false);
    return shown_;
}

std::string StatusBoard::LastReplyLocked() const
{
    std::string_view text = recent_;
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    std::size_t lineEnd = text.find_last_of("\r\n");
    if (lineEnd != std::string_view::npos)
        text.remove_prefix(lineEnd + 1);
    // Asterisks in front of a reply are the transfer's pacing, not part of it.
    std::size_t first = text.find_first_not_of('*');
    return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

void StatusBoard::Ended(Outcome outcome, Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    if (outcome == Outcome::Done) {
        base_ = StatusText::SummaryFacts{line_, sent_, duration<double>(now - transferStart_).count()};
        shownLine_ = line_;
        ShowLocked();
        return;
    }
    // The progress the failure replaces names the line reached first, however soon after the
    // last refresh the end came: the front ends and the transcript keep the last count they saw.
    if (ProgressStaleLocked())
        ShowProgressLocked(now, false);
    StatusText::FailureFacts facts;
    facts.stage = stage_;
    facts.line = line_;
    facts.lines = lines_;
    facts.taken = taken_;
    facts.hangUpError = hangUpError_;
    // An end that a reply decided quotes that reply as the dialogue took it; any other end (a
    // hang-up, a stall) the last bytes that came, whatever they were.
    const bool byReply = RowOf(outcome).quotesReply;
    facts.lastReply = byReply ? lastReply_ : LastReplyLocked();
    base_ = std::move(facts);
    alert_ = {};
    ShowLocked();
}
