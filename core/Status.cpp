#include "core/Status.h"
#include "core/Endings.h"

#include "core/Words.h"
#include "firmware/Firmware.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <clocale>
#include <cstring>
#include <utility>

using namespace std::chrono;
using Words::Fill;
using Words::Tr;
using Words::TrN;

namespace StatusText {

namespace {

std::string Format(const char* format, double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, value);
    std::string text = buffer;
    // The C library writes the locale's decimal sign; the English text takes a point.
    const std::string_view sign = std::localeconv()->decimal_point;
    if (Words::RenderingEnglish() && sign != ".")
        if (std::size_t at = text.find(sign); at != std::string::npos)
            text.replace(at, sign.size(), ".");
    return text;
}

std::string Seconds(double s)
{
    long whole = std::lround(s);
    if (whole < 60)
        //: A duration in seconds ("5 s").
        return Fill(Tr("Status", "%1 s"), {std::to_string(whole)});
    //: A duration: %1 minutes, %2 seconds.
    return Fill(Tr("Status", "%1 min %2 s"), {std::to_string(whole / 60), std::to_string(whole % 60)});
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

std::string PrintableText(std::string_view text)
{
    std::string out;
    std::size_t start = 0;
    auto escapeUpTo = [&](std::size_t end) {
        out += Printable(text.substr(start, end - start), std::string::npos);
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
        bool whole = length > 0 && lead < 0xF5 && i + length <= text.size();
        for (std::size_t k = 1; whole && k < length; ++k)
            whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        // U+0080 to U+009F are control characters too.
        if (whole && lead == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0)
            whole = false;
        if (!whole) {
            ++i;
            continue;
        }
        escapeUpTo(i);
        out.append(text.substr(i, length));
        i += length;
        start = i;
    }
    escapeUpTo(text.size());
    return out;
}

std::string Permission(const PermissionFacts& f)
{
    //: %1 the device path, %2 its owner's user name, %3 its group.
    const std::string head = Fill(Tr("Status", "No permission to open %1 (owner %2, group %3)."),
                                  {PrintableText(f.device), PrintableText(f.owner), PrintableText(f.group)});
    if (!f.groupMayUse)
        return Words::Sentences(head, Tr("Status", "Only its owner may use it. An administrator can give access with a udev rule"
                                         " (see \"Permission to use the adapter\" in the README)."));
    if (f.listedInGroup && !f.loginHasGroup)
        //: %1 the group's name (dialout).
        return Words::Sentences(head, Fill(Tr("Status", "You are in the group %1, but this login is not yet: log out and back in,"
                                              " then start the updater again."), {PrintableText(f.group)}));
    if (f.listedInGroup)
        //: %1 the group's name (dialout).
        return Words::Sentences(head, Fill(Tr("Status", "You are in the group %1 already; an administrator needs to check the"
                                              " device's access rules."), {PrintableText(f.group)}));
    //: A command follows on a line of its own (sudo adduser …), then "then log out and back in …".
    return Words::Sentences(head, Tr("Status", "Add yourself to the group with") + "\n" + PermissionCommand(f) + "\n" +
           Tr("Status", "then log out and back in (the group counts only for a new login)."));
}

std::string PermissionCommand(const PermissionFacts& f)
{
    if (!f.groupMayUse || f.listedInGroup)
        return {};
    return "sudo adduser " + f.user + " " + f.group;
}

std::string Busy(const std::string& device, const std::vector<Holder>& holders, const std::vector<std::string>& grabbers)
{
    std::vector<std::string> names;
    for (const Holder& h : holders)
        //: A program that holds the port: %1 its name, %2 its process number.
        names.push_back(Fill(Tr("Status", "%1 (PID %2)"), {PrintableText(h.name), std::to_string(h.pid)}));
    std::string text = names.empty() ? Fill(Tr("Status", "%1 is in use by another program."), {PrintableText(device)})
                                     //: %1 the device path, %2 the programs that hold it.
                                     : Fill(Tr("Status", "%1 is in use by another program: %2."),
                                            {PrintableText(device), Join(names, ", ")});
    text = Words::Sentences(text, Tr("Status", "Close it; the updater opens the adapter as soon as it is free."));
    if (grabbers.size() == 1)
        //: %1 a program's name (ModemManager).
        text = Words::Sentences(text, Fill(Tr("Status", "%1 is running; it is known to take serial adapters."), {grabbers.front()}));
    else if (!grabbers.empty())
        //: %1 programs' names, joined by "and".
        text = Words::Sentences(text, Fill(Tr("Status", "%1 are running; they are known to take serial adapters."),
                           //: Joins the last two names of a list ("A, B and C").
                           {Join(grabbers, (" " + Tr("Status", "and") + " ").c_str())}));
    return text;
}

std::string OpenError(const std::string& device, const std::string& step, int error)
{
    if (error == ENOTTY)
        return Fill(Tr("Status", "%1 is not a serial port. Name the adapter's device, such as /dev/ttyUSB0."), {PrintableText(device)});
    //: %1 the device path, %2 the system's error text.
    std::string text = step == "open" ? Fill(Tr("Status", "Cannot open %1: %2."), {PrintableText(device), Words::ErrorText(error)})
                                      //: %1 the device path, %2 the system call that failed (tcsetattr), %3 the system's
                                      //: error text.
                                      : Fill(Tr("Status", "Cannot set up %1 (%2): %3."),
                                             {PrintableText(device), step, Words::ErrorText(error)});
    if (error == ENOENT || error == ENODEV || error == ENXIO)
        text = Words::Sentences(text, Tr("Status", "Plug the adapter in again."));
    else
        text = Words::Sentences(text, Tr("Status", "The updater keeps trying."));
    return text;
}

std::string NotAdapter(const NotAdapterFacts& f)
{
    if (f.ownTerminal)
        return Fill(Tr("Status", "%1 is the terminal this program runs on, not an adapter. Name the adapter's device,"
                                 " such as /dev/ttyUSB0."), {PrintableText(f.device)});
    if (f.error == ENOTTY)
        return OpenError(f.device, "open", f.error);
    return Fill(Tr("Status", "Cannot open %1: %2. Name the adapter's device, such as /dev/ttyUSB0."),
                {PrintableText(f.device), Words::ErrorText(f.error)});
}

std::string Search(const SearchFacts& f)
{
    std::string text = Tr("Status", "No USB serial adapter found.");
    if (f.seen.empty()) {
        text = Words::Sentences(text, Tr("Status", "The system lists no serial port at all: plug the adapter in, or try another USB socket or cable."));
    } else {
        std::string seen;
        for (std::size_t i = 0; i < f.seen.size(); ++i)
            seen += (i == 0 ? "" : i + 1 == f.seen.size() ? " " + Tr("Status", "and") + " " : ", ") + PrintableText(f.seen[i]);
        //: %1 the serial ports the system lists, joined by commas and "and".
        text = Words::Sentences(text, Fill(f.seen.size() == 1 ? Tr("Status", "Seen: %1, not a USB adapter.")
                                              : Tr("Status", "Seen: %1, not USB adapters."), {seen}));
    }
    if (f.brltty)
        //: %1 the device path; the command that removes brltty follows on a line of its own.
        text = Words::Sentences(text, Fill(Tr("Status", "An adapter appeared at %1 and went away again: brltty, a braille display driver,"
                                        " is running and takes such adapters. Unless you use a braille display, remove it with"),
                           {PrintableText(f.vanished)}) +
                "\n" + kRemoveBrltty + "\n" + Tr("Status", "then plug the adapter in again."));
    return text;
}

std::string Adapter(const AdapterFacts& f)
{
    // The adapter's own words (its USB descriptors) as much as the path may hold any byte.
    std::string what = PrintableText(f.description);
    if (!f.manufacturer.empty())
        what += what.empty() ? PrintableText(f.manufacturer) : " (" + PrintableText(f.manufacturer) + ")";
    std::string usb = f.vendorProduct.empty() ? std::string() : "USB " + PrintableText(f.vendorProduct);
    //: %1 the adapter's USB serial number.
    std::string serial = f.serialNumber.empty() ? std::string() : Fill(Tr("Status", "serial %1"), {PrintableText(f.serialNumber)});
    std::string details = Join({what, usb, serial}, ", ");
    if (details.empty())
        details = PrintableText(f.name);
    return details.empty() ? Fill(Tr("Status", "Adapter on %1"), {PrintableText(f.path)})
                           //: %1 the device path, %2 what the adapter says of itself (maker, USB ids, serial number).
                           : Fill(Tr("Status", "Adapter on %1: %2"), {PrintableText(f.path), details});
}

std::string PowerOnSilence(seconds quiet)
{
    //: %1 the seconds without a byte from the QZ7.
    return Fill(Tr("Status", "Nothing from the QZ7 for %1 s. Switch it off, then hold the front Run/Stop button while you"
                             " switch it on. Check that the cable goes to the QZ7."), {std::to_string(quiet.count())});
}

std::string Silence(seconds quiet)
{
    //: %1 the seconds without a byte from the QZ7.
    return Fill(Tr("Status", "No answer from the QZ7 for %1 s. Check the cable and the QZ7's power; the update goes on as"
                             " soon as it answers."), {std::to_string(quiet.count())});
}

std::string NotAwaited(std::string_view received, Stage stage, bool lastLine)
{
    std::string what;
    switch (stage) {
    //: What the updater waits for: %2 of "The QZ7 sent …, not %2" (also the next five texts).
    case Stage::AwaitingBanner: what = Tr("Status", "its banner"); break;
    case Stage::AwaitingVersion: what = Tr("Status", "a version (a line with \"V\")"); break;
    case Stage::AwaitingPrompt: what = Tr("Status", "the prompt \"E or P?\""); break;
    case Stage::AwaitingErased: what = Tr("Status", "\"Erased\""); break;
    default: what = lastLine ? Tr("Status", "\"Done\"") : Tr("Status", "the \"*\" that asks for the next line"); break;
    }
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
        //: %1 what the updater waits for ("its banner").
        said = Fill(Tr("Status", "The QZ7 sent only empty lines, not %1; the updater waits on."), {what});
    else if (unreadable)
        //: %1 the QZ7's bytes (escaped), %2 what the updater waits for ("its banner").
        said = Fill(Tr("Status", "The QZ7 sent what the updater cannot read (\"%1\"), not %2; the updater waits on."),
                    {Printable(text, 40), what});
    else if (lineOpen)
        //: %1 the QZ7's bytes (escaped), %2 what the updater waits for ("its banner").
        said = Fill(Tr("Status", "The QZ7 sent \"%1\" and has not ended the line; the updater waits for %2."),
                    {Printable(text, 40), what});
    else
        //: %1 the QZ7's bytes (escaped), %2 what the updater waits for ("its banner").
        said = Fill(Tr("Status", "The QZ7 sent \"%1\", not %2; the updater waits on."), {Printable(text, 40), what});
    if (MayBeEmpty(stage))
        return Words::Sentences(said, Tr("Status", "If it stays so, the QZ7 must be restarted: switch it off, hold Run/Stop while you"
                                         " switch it on, and update again."));
    if (unreadable)
        return Words::Sentences(said, Tr("Status", "A wrong line speed, a wrong cable, or another device than a QZ7 in boot-loader mode"
                                         " sends such bytes: check the cable and what it is plugged into."));
    return Words::Sentences(said, Tr("Status", "If it stays so, check that the cable goes to a QZ7 switched on with Run/Stop held."));
}

std::string Paging(long count, std::string_view lastReply)
{
    //: %n the QZ7's answers, %1 the last of them (escaped). "E or P?" is the QZ7's own prompt: keep it.
    return Fill(TrN("Status", "The QZ7 answered %n times without \"E or P?\", last with \"%1\". It may not be a QZ7 in"
                              " boot-loader mode: switch it off, hold Run/Stop while you switch it on, and check what the"
                              " cable goes to.",
                    "The QZ7 answered %n time without \"E or P?\", last with \"%1\". It may not be a QZ7 in"
                    " boot-loader mode: switch it off, hold Run/Stop while you switch it on, and check what the"
                    " cable goes to.", count),
                {Printable(lastReply, 40)});
}

std::string Progress(int line, int lines, double bytesPerSecond, std::optional<double> secondsLeft)
{
    //: %1 the image line being sent, %2 the image's lines.
    std::string text = Fill(Tr("Status", "Line %1 of %2"), {std::to_string(line), std::to_string(lines)});
    //: Between the parts of the transfer's progress: "Line 12 of 3075, 13.2 kB/s, about 5 s left".
    const std::string separator = Tr("Status", ", ");
    if (bytesPerSecond > 0)
        //: The transfer's speed in bytes per second.
        text += separator + (bytesPerSecond < 1000 ? Fill(Tr("Status", "%1 B/s"), {std::to_string(std::lround(bytesPerSecond))})
                                                   //: The transfer's speed in kilobytes per second.
                                                   : Fill(Tr("Status", "%1 kB/s"), {Format("%.1f", bytesPerSecond / 1000.0)}));
    // Under half a second left is no estimate worth reading ("about 0 s").
    if (secondsLeft && *secondsLeft >= 0.5)
        //: %1 a duration ("30 s", "1 min 5 s").
        text += separator + Fill(Tr("Status", "about %1 left"), {Seconds(*secondsLeft)});
    return text;
}

std::string Done(int lines, std::uint64_t bytes, double seconds, bool nextUnitButton)
{
    // Done names the firmware the QZ7 now has, and on a screen that offers the next unit what to
    // do next.
    //: %n the image lines sent, %1 kilobytes, %2 seconds, %3 the firmware version ("V2.007").
    std::string text = Fill(TrN("Status", "Sent %n lines (%1 kB) in %2 s. The QZ7 now has firmware %3.",
                    "Sent %n line (%1 kB) in %2 s. The QZ7 now has firmware %3.", lines),
                {Format("%.1f", static_cast<double>(bytes) / 1000.0), Format("%.1f", seconds), std::string("V") + Firmware::Version});
    if (nextUnitButton)
        //: "Update another QZ7" is the window's button: use its text.
        text = Words::Sentences(text, Tr("Status", "You can disconnect it now; for the next QZ7, press Update another QZ7."));
    return text;
}

std::string Failure(const FailureFacts& f)
{
    std::string text;
    switch (f.stage) {
    case Stage::AwaitingBanner: text = Tr("Status", "Stopped while waiting for the QZ7's banner."); break;
    case Stage::AwaitingVersion: text = Tr("Status", "Stopped while reading the QZ7's version."); break;
    case Stage::AwaitingPrompt: text = Tr("Status", "Stopped while waiting for the erase prompt."); break;
    case Stage::AwaitingErased: text = Tr("Status", "Stopped while waiting for the erase to finish."); break;
    case Stage::AwaitingDone:
        text = f.lines > 0 && f.line < f.lines
                   //: %1 the lines sent, %2 the image's lines.
                   ? Fill(Tr("Status", "Stopped while sending the image, after line %1 of %2."),
                          {std::to_string(f.line), std::to_string(f.lines)})
                   : Tr("Status", "Stopped while waiting for \"Done\" after the last line.");
        break;
    default:
        //: %1 a number: a state the program never reaches.
        text = Fill(Tr("Status", "Stopped while in dialogue state %1."), {std::to_string(static_cast<std::uint32_t>(f.stage))});
        break;
    }
    if (f.hangUpError)
        text = Words::Sentences(text, *f.hangUpError == 0
                                          ? Tr("Status", "The adapter's line went dead: it was unplugged or lost power.")
                                          //: %1 the system's error text, %2 its number.
                                          : Fill(Tr("Status", "The adapter stopped working (%1, errno %2): it was unplugged or lost power."),
                                                 {Words::ErrorText(*f.hangUpError), std::to_string(*f.hangUpError)}));
    if (!f.lastReply.empty())
        //: %1 the QZ7's last reply (escaped).
        text = Words::Sentences(text, Fill(Tr("Status", "Last from the QZ7: \"%1\"."), {Printable(f.lastReply)}));
    // What to do with the QZ7 before going on: once the erase was asked for, it may have no
    // firmware, and only its boot loader (Run/Stop held at power-on) can take a new image. A
    // screen with a Restart button gives this as the one instruction that goes with its button.
    if (f.restartButton) {
        if (f.stage == Stage::AwaitingErased)
            //: Restart is the window's button: use its text.
            return Words::Sentences(text, Tr("Status", "The QZ7 may have no firmware now: press Restart, switch the QZ7 off,"
                                                       " then hold Run/Stop while you switch it on."));
        if (f.stage == Stage::AwaitingDone)
            //: Restart is the window's button: use its text.
            return Words::Sentences(text, Tr("Status", "The QZ7 has no firmware now: press Restart, switch the QZ7 off, then"
                                                       " hold Run/Stop while you switch it on."));
        //: Restart is the window's button: use its text.
        return Words::Sentences(text, Tr("Status", "Press Restart, switch the QZ7 off, then hold Run/Stop while you switch it on."));
    }
    if (f.stage == Stage::AwaitingErased)
        text = Words::Sentences(text, Tr("Status", "The QZ7 may have no firmware now: switch it off, then hold Run/Stop while you switch it on."));
    else if (f.stage == Stage::AwaitingDone)
        text = Words::Sentences(text, Tr("Status", "The QZ7 has no firmware now: switch it off, then hold Run/Stop while you switch it on."));
    return text;
}

std::string Version(const VersionFacts& f)
{
    // The number came from the QZ7: escaped as its bytes always are, though a number needs none.
    const std::string found = Printable(f.found), carried = Printable(f.carried);
    switch (f.relation) {
    case VersionRelation::Newer:
        //: %1 the version on the QZ7, %2 the firmware this program carries.
        return Fill(Tr("Status", "This QZ7 has %1, newer than the %2 this program carries: Update would put the older"
                                 " firmware on it."),
                    {found, carried});
    case VersionRelation::Same:
        //: %1 the version on the QZ7.
        return Fill(Tr("Status", "This QZ7 already has %1, the firmware this program carries."), {found});
    case VersionRelation::Older:
    case VersionRelation::Unknown:
        break;
    }
    return {};
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
