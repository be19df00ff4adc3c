#include "core/Status.h"

#include <cmath>
#include <cstdio>
#include <cstring>

using namespace std::chrono;

namespace StatusText {

namespace {

std::string Format(const char* format, double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string Seconds(double s)
{
    long whole = std::lround(s);
    if (whole < 60)
        return std::to_string(whole) + " s";
    return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
}

std::string Kilobytes(std::uint64_t bytes)
{
    return Format("%.1f kB", static_cast<double>(bytes) / 1000.0);
}

std::string Join(const std::vector<std::string>& parts, const char* separator)
{
    std::string out;
    for (const std::string& part : parts) {
        if (part.empty())
            continue;
        if (!out.empty())
            out += separator;
        out += part;
    }
    return out;
}

}  // namespace

std::string Printable(std::string_view bytes, std::size_t limit)
{
    std::string out;
    for (char c : bytes) {
        auto u = static_cast<unsigned char>(c);
        char piece[8];
        if (u >= 0x20 && u < 0x7F && u != '\\')
            std::snprintf(piece, sizeof piece, "%c", c);
        else if (u == '\\')
            std::snprintf(piece, sizeof piece, "\\\\");
        else
            std::snprintf(piece, sizeof piece, "\\x%02X", u);
        if (out.size() + std::strlen(piece) > limit) {
            // Cut on a whole piece, and leave room for the mark.
            while (out.size() + 3 > limit && !out.empty())
                out.pop_back();
            return out + "...";
        }
        out += piece;
    }
    return out;
}

std::string Permission(const PermissionFacts& f)
{
    std::string head = "No permission to open " + f.device + " (owner " + f.owner + ", group " + f.group + ").";
    if (!f.groupMayUse)
        return head + " Only its owner may use it. An administrator can give access with a udev rule"
                      " (see \"Permission to use the adapter\" in the README).";
    if (f.listedInGroup && !f.loginHasGroup)
        return head + " You are in the group " + f.group +
               ", but this login is not yet: log out and back in, then start the updater again.";
    if (f.listedInGroup)
        return head + " You are in the group " + f.group + " already; an administrator needs to check the device's access rules.";
    return head + " Add yourself to the group with\nsudo adduser " + f.user + " " + f.group +
           "\nthen log out and back in (the group counts only for a new login).";
}

std::string Busy(const std::string& device, const std::vector<Holder>& holders, const std::vector<std::string>& grabbers)
{
    std::string text = device + " is in use by another program";
    std::vector<std::string> names;
    for (const Holder& h : holders)
        names.push_back(h.name + " (PID " + std::to_string(h.pid) + ")");
    if (!names.empty())
        text += ": " + Join(names, ", ");
    text += ". Close it; the updater opens the adapter as soon as it is free.";
    if (!grabbers.empty())
        text += " " + Join(grabbers, " and ") +
                (grabbers.size() == 1 ? " is running; it is known" : " are running; they are known") +
                " to take serial adapters.";
    return text;
}

std::string OpenError(const std::string& device, const std::string& step, int error)
{
    std::string what = step == "open" ? "Cannot open " + device : "Cannot set up " + device + " (" + step + ")";
    if (error == ENOTTY)
        return device + " is not a serial port. Name the adapter's device, such as /dev/ttyUSB0.";
    std::string text = what + ": " + std::strerror(error) + ".";
    if (error == ENOENT || error == ENODEV || error == ENXIO)
        text += " Plug the adapter in again.";
    else
        text += " The updater keeps trying.";
    return text;
}

std::string Adapter(const AdapterFacts& f)
{
    std::string what = f.description;
    if (!f.manufacturer.empty())
        what += what.empty() ? f.manufacturer : " (" + f.manufacturer + ")";
    std::string usb = f.vendorProduct.empty() ? std::string() : "USB " + f.vendorProduct;
    std::string serial = f.serialNumber.empty() ? std::string() : "serial " + f.serialNumber;
    std::string details = Join({what, usb, serial}, ", ");
    if (details.empty())
        details = f.name;
    return "Adapter on " + f.path + (details.empty() ? std::string() : ": " + details);
}

std::string PowerOnSilence(seconds quiet)
{
    return "Nothing from the QZ7 for " + std::to_string(quiet.count()) +
           " s. Switch it off, then hold the front Run/Stop button while you switch it on."
           " Check that the cable goes to the QZ7.";
}

std::string Silence(seconds quiet)
{
    return "No answer from the QZ7 for " + std::to_string(quiet.count()) +
           " s. Check the cable and the QZ7's power; the update goes on as soon as it answers.";
}

std::string Unreadable(std::string_view received)
{
    std::string text = "The QZ7 is sending what the updater cannot read";
    if (!received.empty())
        text += " (\"" + Printable(received, 40) + "\")";
    return text + ": a wrong line speed, a wrong cable, or another device than a QZ7 in boot-loader mode."
                  " Check the cable and what it is plugged into.";
}

std::string NotAwaited(std::string_view received, Stage stage, bool lastLine)
{
    static const char* const awaited[] = {"its banner", "a version (a line with \"V\")", "the prompt \"E or P?\"",
                                          "\"Erased\""};
    std::string what = stage < Stage::AwaitingDone ? awaited[static_cast<std::size_t>(stage)] : lastLine ? "\"Done\"" : "the \"*\" that asks for the next line";
    std::string text = "The QZ7 sent \"" + Printable(received, 40) + "\", not " + what + "; the updater waits on.";
    if (stage >= Stage::AwaitingErased)
        text += " If it stays so, the QZ7 must be restarted: switch it off, hold Run/Stop while you switch it on,"
                " and update again.";
    else
        text += " If it stays so, check that the cable goes to a QZ7 switched on with Run/Stop held.";
    return text;
}

std::string Paging(long count, std::string_view lastReply)
{
    return "The QZ7 answered " + std::to_string(count) + " times without \"E or P?\", last with \"" +
           Printable(lastReply, 40) + "\". It may not be a QZ7 in boot-loader mode: switch it off, hold Run/Stop"
           " while you switch it on, and check what the cable goes to.";
}

std::string Progress(int line, int lines, double bytesPerSecond, std::optional<double> secondsLeft)
{
    std::string text = "Line " + std::to_string(line) + " of " + std::to_string(lines);
    if (bytesPerSecond > 0)
        text += bytesPerSecond < 1000 ? ", " + std::to_string(std::lround(bytesPerSecond)) + " B/s"
                                      : ", " + Format("%.1f kB/s", bytesPerSecond / 1000.0);
    // Under half a second left is no estimate worth reading ("about 0 s").
    if (secondsLeft && *secondsLeft >= 0.5)
        text += ", about " + Seconds(*secondsLeft) + " left";
    return text;
}

bool IsProgress(std::string_view text)
{
    return text.substr(0, 5) == "Line ";
}

std::string Done(int lines, std::uint64_t bytes, double seconds)
{
    return "Sent " + std::to_string(lines) + " lines (" + Kilobytes(bytes) + ") in " + Format("%.1f s", seconds) + ".";
}

std::string Failure(const FailureFacts& f)
{
    static const char* const stages[] = {"waiting for the QZ7's banner", "reading the QZ7's version",
                                         "waiting for the erase prompt", "waiting for the erase to finish"};
    std::string where;
    if (f.stage < Stage::AwaitingDone)
        where = stages[static_cast<std::size_t>(f.stage)];
    else if (f.stage == Stage::AwaitingDone && f.lines > 0 && f.line < f.lines)
        where = "sending the image, after line " + std::to_string(f.line) + " of " + std::to_string(f.lines);
    else if (f.stage == Stage::AwaitingDone)
        where = "waiting for \"Done\" after the last line";
    else
        where = "in dialogue state " + std::to_string(static_cast<std::uint32_t>(f.stage));
    std::string text = "Stopped while " + where + ".";
    if (f.hangUpError)
        text += *f.hangUpError == 0 ? " The adapter's line went dead: it was unplugged or lost power."
                                    : " The adapter stopped working (" + std::string(std::strerror(*f.hangUpError)) +
                                          ", errno " + std::to_string(*f.hangUpError) + "): it was unplugged or lost power.";
    if (!f.lastReply.empty())
        text += " Last from the QZ7: \"" + Printable(f.lastReply) + "\"";
    // What to do with the QZ7 before going on: once the erase was asked for, it may have no
    // firmware, and only its boot loader (Run/Stop held at power-on) can take a new image.
    if (f.stage == Stage::AwaitingErased)
        text += " The QZ7 may have no firmware now: switch it off, then hold Run/Stop while you switch it on.";
    else if (f.stage == Stage::AwaitingDone)
        text += " The QZ7 has no firmware now: switch it off, then hold Run/Stop while you switch it on.";
    return text;
}

}  // namespace StatusText

void TimeLeft::Sample(double elapsed, double done, double total)
{
    double dt = elapsed - lastElapsed_;
    if (dt < 0.2)
        return;
    double rate = (done - lastDone_) / dt;
    rate_ = rate_ == 0 ? rate : 0.25 * rate + 0.75 * rate_;
    lastElapsed_ = elapsed;
    lastDone_ = done;
    // No estimate in the first second: the first lines go out before the rate settles.
    if (elapsed >= 1.0 && rate_ > 0)
        left_ = (total - done) / rate_;
}

std::optional<double> TimeLeft::Seconds() const
{
    if (left_ < 0)
        return std::nullopt;
    return left_;
}

bool StatusLogPace::Take(const std::string& text, steady_clock::time_point now)
{
    std::string shape;
    for (char c : text)
        if (c < '0' || c > '9')
            shape += c;
    if (shape == shape_ && !text.empty() && now - at_ < minutes(1))
        return false;
    shape_ = std::move(shape);
    at_ = now;
    return true;
}

StatusBoard::StatusBoard(Thresholds thresholds, std::function<void(const std::string&)> show)
    : thresholds_(thresholds), show_(std::move(show))
{
}

std::string StatusBoard::Shown() const
{
    std::lock_guard lock(mutex_);
    return shown_;
}

void StatusBoard::ShowLocked()
{
    const std::string& next = alert_.empty() ? base_ : alert_;
    if (next == shown_)
        return;
    shown_ = next;
    show_(shown_);
}

void StatusBoard::SetBase(std::string text)
{
    std::lock_guard lock(mutex_);
    base_ = std::move(text);
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
    hangUpError_.reset();
    lines_ = line_ = 0;
    alert_.clear();
    ShowLocked();
}

void StatusBoard::PortClosed()
{
    std::lock_guard lock(mutex_);
    open_ = false;
    waiting_ = false;
    alert_.clear();
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
}

void StatusBoard::Received(Stage stage, const char* bytes, std::size_t count, Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    stage_ = stage;
    quietSince_ = now;
    // Line ends alone are no news: the late half of a line end must not start the clock, or
    // the hint would depend on how the bytes were split into reads.
    for (std::size_t i = 0; i < count; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c != '\r' && c != '\n' && !unjudgedSince_)
            unjudgedSince_ = now;
        unjudgedHigh_ = unjudgedHigh_ || c > 127;
    }
    if (unjudgedSince_) {
        unjudged_.append(bytes, count);
        if (unjudged_.size() > 120)
            unjudged_.erase(0, unjudged_.size() - 120);
    }
    recent_.append(bytes, count);
    if (recent_.size() > 256)
        recent_.erase(0, recent_.size() - 256);
    CheckLocked(now);
}

void StatusBoard::ClearUnjudged()
{
    unjudgedSince_.reset();
    unjudged_.clear();
    unjudgedHigh_ = false;
}

void StatusBoard::Readable(Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    ClearUnjudged();
    waiting_ = false;
    if (!alert_.empty())
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
    std::string alert;
    const bool paging = open_ && pages_ > 0 && now - pagingSince_ >= thresholds_.paging;
    if (open_ && unjudgedSince_ && now - *unjudgedSince_ >= thresholds_.unreadable) {
        std::string_view received = unjudged_;
        while (!received.empty() && (received.front() == '\r' || received.front() == '\n'))
            received.remove_prefix(1);
        while (!received.empty() && (received.back() == '\r' || received.back() == '\n'))
            received.remove_suffix(1);
        alert = unjudgedHigh_ ? StatusText::Unreadable(received)
                              : StatusText::NotAwaited(received, stage_, lines_ > 0 && line_ >= lines_);
    } else if (paging) {
        // The count changes thousands of times a second: the line is redrawn once a second.
        if (alert_.rfind("The QZ7 answered ", 0) == 0 && now - pagingShown_ < std::chrono::seconds(1))
            return;
        pagingShown_ = now;
        alert = StatusText::Paging(pages_, pageReply_);
    } else if (open_ && waiting_) {
        auto quiet = now - quietSince_;
        auto quietSeconds = duration_cast<seconds>(quiet);
        if (stage_ == Stage::AwaitingBanner && quiet >= thresholds_.powerOnSilence)
            alert = StatusText::PowerOnSilence(quietSeconds);
        else if (stage_ != Stage::AwaitingBanner && quiet >= thresholds_.silence)
            alert = StatusText::Silence(quietSeconds);
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
    line_ = 0;
    bytes_ = bytes;
    sent_ = 0;
    transferStart_ = now;
    lastProgress_ = now - seconds(1);
    timeLeft_ = TimeLeft();
    base_ = StatusText::Progress(0, lines, 0, std::nullopt);
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
    if (!alert_.empty())
        CheckLocked(now);
    // A few refreshes a second, and the last line: the text is not made anew for every line.
    if (now - lastProgress_ < milliseconds(250) && line != lines_)
        return;
    lastProgress_ = now;
    base_ = StatusText::Progress(line, lines_, timeLeft_.Rate(), line == lines_ ? std::optional(0.0) : timeLeft_.Seconds());
    ShowLocked();
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
        base_ = StatusText::Done(line_, sent_, duration<double>(now - transferStart_).count());
        ShowLocked();
        return;
    }
    StatusText::FailureFacts facts;
    facts.stage = stage_;
    facts.line = line_;
    facts.lines = lines_;
    facts.hangUpError = hangUpError_;
    facts.lastReply = LastReplyLocked();
    base_ = StatusText::Failure(facts);
    alert_.clear();
    ShowLocked();
}
