#include "core/Status.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

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
    return head + " Add yourself to the group with\n" + PermissionCommand(f) +
           "\nthen log out and back in (the group counts only for a new login).";
}

std::string PermissionCommand(const PermissionFacts& f)
{
    if (!f.groupMayUse || f.listedInGroup)
        return {};
    return "sudo adduser " + f.user + " " + f.group;
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

std::string NotAdapter(const NotAdapterFacts& f)
{
    if (f.ownTerminal)
        return f.device + " is the terminal this program runs on, not an adapter. Name the adapter's device, "
                          "such as /dev/ttyUSB0.";
    if (f.error == ENOTTY)
        return OpenError(f.device, "open", f.error);
    return "Cannot open " + f.device + ": " + std::strerror(f.error) + ". Name the adapter's device, such as /dev/ttyUSB0.";
}

std::string Search(const SearchFacts& f)
{
    std::string text = "No USB serial adapter found.";
    if (f.seen.empty()) {
        text += " The system lists no serial port at all: plug the adapter in, or try another USB socket or cable.";
    } else {
        text += " Seen: ";
        for (std::size_t i = 0; i < f.seen.size(); ++i)
            text += (i == 0 ? "" : i + 1 == f.seen.size() ? " and " : ", ") + f.seen[i];
        text += f.seen.size() == 1 ? ", not a USB adapter." : ", not USB adapters.";
    }
    if (f.brltty)
        text += " An adapter appeared at " + f.vanished +
                " and went away again: brltty, a braille display driver, is running and takes such adapters."
                " Unless you use a braille display, remove it with\n" + std::string(kRemoveBrltty) +
                "\nthen plug the adapter in again.";
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

std::string NotAwaited(std::string_view received, Stage stage, bool lastLine)
{
    static const char* const awaited[] = {"its banner", "a version (a line with \"V\")", "the prompt \"E or P?\"",
                                          "\"Erased\""};
    const std::string what = stage < Stage::AwaitingDone ? awaited[static_cast<std::size_t>(stage)] : lastLine ? "\"Done\"" : "the \"*\" that asks for the next line";
    std::string_view text = received;
    while (!text.empty() && (text.front() == '\r' || text.front() == '\n'))
        text.remove_prefix(1);
    // Pacing asterisks are no line of their own.
    const bool lineOpen = !text.empty() && text.back() != '\r' && text.back() != '\n' &&
                          text.find_first_not_of('*') != std::string_view::npos;
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    const bool unreadable = std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) > 127; });
    std::string said;
    if (text.empty())
        said = "The QZ7 sent only empty lines, not " + what + "; the updater waits on.";
    else if (unreadable)
        said = "The QZ7 sent what the updater cannot read (\"" + Printable(text, 40) + "\"), not " + what +
               "; the updater waits on.";
    else if (lineOpen)
        said = "The QZ7 sent \"" + Printable(text, 40) + "\" and has not ended the line; the updater waits for " +
               what + ".";
    else
        said = "The QZ7 sent \"" + Printable(text, 40) + "\", not " + what + "; the updater waits on.";
    if (stage >= Stage::AwaitingErased)
        return said + " If it stays so, the QZ7 must be restarted: switch it off, hold Run/Stop while you switch it on,"
                      " and update again.";
    if (unreadable)
        return said + " A wrong line speed, a wrong cable, or another device than a QZ7 in boot-loader mode sends"
                      " such bytes: check the cable and what it is plugged into.";
    return said + " If it stays so, check that the cable goes to a QZ7 switched on with Run/Stop held.";
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

std::vector<std::string> StatusLogPace::Take(const std::string& text, StatusKind kind, steady_clock::time_point now)
{
    const bool counts = kind == StatusKind::Progress || kind == StatusKind::PowerOnSilence ||
                        kind == StatusKind::Silence || kind == StatusKind::Paging;
    if (counts && counting_ == kind && now - at_ < minutes(1)) {
        held_ = text;
        return {};
    }
    std::vector<std::string> logged;
    // Another kind of text ends a run of counts: the run's last count goes in first. (A count of
    // the same kind a minute later is newer than the one held.)
    if (held_ && counting_ != kind)
        logged.push_back(std::move(*held_));
    held_.reset();
    logged.push_back(text);
    counting_ = counts ? std::optional(kind) : std::nullopt;
    at_ = now;
    return logged;
}

std::optional<std::string> StatusLogPace::Unlogged()
{
    return std::exchange(held_, std::nullopt);
}
