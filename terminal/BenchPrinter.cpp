#include "terminal/BenchParts.h"

#include "core/OneLine.h"

#include <algorithm>

namespace benchparts {

std::string BenchPrinter::Row() const
{
    std::string row = StatusText::PrintableText(unit_.path);
    if (!unit_.adapter.serialNumber.empty())
        row += " (" + StatusText::PrintableText(unit_.adapter.serialNumber) + ")";
    row += "  " + (unit_.Ended() ? std::string(RowOf(unit_.HowEnded()).name) : unit_.StageName());
    if (level_ >= 0) {
        char percent[16];
        std::snprintf(percent, sizeof percent, " %3d%%", level_);
        row += percent;
    }
    if (!unit_.Ended() && !progress_.empty() && unit_.StageName() == "program")
        row += "  " + progress_;
    return row;
}

void BenchPrinter::Stage(const std::string&)
{
    screen_.Changed();
}

void BenchPrinter::Directions(const DirectionsFact& directions)
{
    // Directions may carry the QZ7's own bytes: escaped, so that they cannot move the cursor.
    const std::string text = Words::Directions(directions);
    if (!FailureDirections(directions.says) || screen_.Units() < 2) {
        screen_.Say(&unit_, StatusText::PrintableText(Words::DirectionsOneLine(directions)));
        return;
    }
    // A failure's screen asks to restart the program, which would stop the other units: the
    // bench names the failure and says what to do with this unit while they go on.
    //: %1 the failure's headline ("Not Erased").
    screen_.Say(&unit_, Words::Fill(Words::Tr("Terminal", "%1. Let the other units finish; then switch this QZ7 off, hold Run/Stop"
                                                          " while you switch it on, and update it again on this port."),
                                    {StatusText::PrintableText(text.substr(0, text.find('\n')))}));
}

void BenchPrinter::Programming(std::size_t)
{
    screen_.Say(&unit_, Words::TrN("Terminal", "Sending the firmware image (%n lines).", "Sending the firmware image (%n line).",
                                   Shipped().lines));
}

void BenchPrinter::Level(int reached)
{
    if (unit_.StageName() != "program" || reached == level_)
        return;
    const int before = level_;
    level_ = reached;
    // Through a pipe, a line every 10 %; on a terminal the unit's row shows the level.
    for (int step = (std::max(before, 0) / 10 + 1) * 10; !screen_.Tty() && step <= level_; step += 10)
        screen_.Say(&unit_, std::to_string(step) + "%");
    screen_.Changed();
}

void BenchPrinter::Progress(const std::string& text)
{
    progress_ = text;
    screen_.Changed();
}

void BenchPrinter::Status(const StatusFact& report)
{
    // The status texts quote what came from outside the program (the QZ7's bytes, a path)
    // escaped already: printed as they are, as the one-unit run prints them, not escaped twice.
    screen_.Say(&unit_, "  " + OneLine(Words::Status(report)));
}

void BenchPrinter::Question(Answer answer, VersionRelation relation, const std::optional<std::string>&, std::function<void(bool)>)
{
    if (answer == Answer::Update)
        //: The question answered by the options: "y" stands for the answer, the options as they are.
        screen_.Say(&unit_, relation == VersionRelation::Newer ? Words::Tr("Terminal", "Update to the older firmware? y (--yes --allow-older)")
                                                               //: The question answered by the option: "y" stands for the answer.
                                                               : Words::Tr("Terminal", "Update? y (--yes)"));
}

void BenchPrinter::Line(const std::string& line)
{
    screen_.Say(&unit_, line);
}

void BenchPrinter::Unusable()
{
    screen_.Say(&unit_, Words::Tr("Terminal", "Nothing was done to this port."));
}

void BenchPrinter::Cancelled(Ending how, const std::optional<std::string>& version, VersionRelation relation)
{
    if (how == Ending::Checked)
        screen_.Say(&unit_, CheckedText(version, relation));
    else if (how == Ending::AlreadyCurrent)
        //: %1 the firmware version.
        screen_.Say(&unit_, Words::Fill(Words::Tr("Terminal", "Already on %1: not updated (--skip-current)."), {Shipped().version}));
    else if (how == Ending::NewerOnUnit)
        screen_.Say(&unit_, NewerLeftText(version));
}

}  // namespace benchparts
