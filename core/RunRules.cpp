#include "core/RunRules.h"

#include "core/Status.h"
#include "core/Version.h"
#include "core/Words.h"
#include "firmware/Firmware.h"

#include <algorithm>
#include <cctype>
#include <sstream>

Answer AnswerFor(const AnswerOptions& options, VersionRelation relation)
{
    if (options.check)
        return Answer::Check;
    if (options.skipCurrent && relation == VersionRelation::Same)
        return Answer::Skip;
    if (!options.yes)
        return Answer::Ask;
    // A QZ7 with newer firmware is not downgraded by --yes alone.
    if (relation == VersionRelation::Newer && !options.allowOlder)
        return Answer::LeaveNewer;
    return Answer::Update;
}

Ending CancelledAs(Answer answer)
{
    switch (answer) {
    case Answer::Check: return Ending::Checked;
    case Answer::Skip: return Ending::AlreadyCurrent;
    case Answer::LeaveNewer: return Ending::NewerOnUnit;
    case Answer::Ask:
    case Answer::Update: break;
    }
    return Ending::Declined;
}

RunEnd RunEndOf(std::span<const Ending> ends)
{
    RunEnd end;
    for (Ending e : ends)
        end.failed += !RowOf(e).endsWell;
    if (ends.size() == 1)
        end.exitStatus = RowOf(ends.front()).exitStatus;
    else if (end.failed)
        end.exitStatus = ExitStatus::SomeFailed;
    return end;
}

bool InterruptRule::Stops(bool interrupt, bool programming, Clock::time_point now)
{
    if (interrupt && programming && (!first_ || now - *first_ > kWithin)) {
        first_ = now;
        return false;
    }
    return true;
}

std::string StoppedText(const std::string& what, Ending how, Stage state)
{
    // Past the erase command the device may be empty; before it, it is as it was.
    using Words::Tr;
    return Words::Fill(LeavesEmpty(how, state)
                           ? Tr("Terminal", "%1 during the update: the QZ7 has no firmware now. Power it on again while"
                                            " holding Run/Stop and update again.")
                           : Tr("Terminal", "%1 before anything was erased: the QZ7 is as it was."),
                       {what});
}

bool RepeatedHint::Repeats(StatusKind kind)
{
    const bool counting = kind == StatusKind::PowerOnSilence || kind == StatusKind::Silence || kind == StatusKind::Paging;
    const auto now = std::chrono::steady_clock::now();
    if (counting && kind == printedKind_ && now - printedAt_ < std::chrono::minutes(1))
        return true;
    printedKind_ = kind;
    printedAt_ = now;
    return false;
}

std::string NewerLeftText(const std::optional<std::string>& found)
{
    const std::string number = StatusText::Printable(VersionNumber(found.value_or(std::string())).value_or(std::string()));
    return Words::Fill(Words::Tr("Terminal", "This QZ7 has %1, newer than %2: not updated. Use --allow-older to put %2"
                                             " on it anyway."),
                       {number, Firmware::Version});
}

bool IsYes(const std::string& answer)
{
    std::string word = answer;
    std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    // The catalog's words, lower case and separated by spaces; "y" and "yes" stand in every
    // language, as the question's "[y/N]" says.
    //: The words that answer yes at the terminal's "[y/N]" question, lower case, separated by
    //: spaces. Keep "y yes" and add the language's own short and long yes.
    std::istringstream words("y yes " + Words::Tr("Terminal", "y yes"));
    for (std::string yes; words >> yes;)
        if (word == yes)
            return true;
    return false;
}
