#include "run/UnitFrontEnd.h"

#include "controller/QZ7_UpdaterAppDelegate.h"
#include "core/Words.h"

UnitFrontEnd::UnitFrontEnd(UnitRun::Options options, std::initializer_list<UnitPrinter*> printers, bool endReport)
    : printers_(printers), endReport_(endReport), run_(std::move(options), *this)
{
}

void UnitFrontEnd::SetStage(const std::string& name)
{
    if (name == stage_)
        return;
    stage_ = name;
    Each([&](UnitPrinter& p) { p.Stage(stage_); });
}

void UnitFrontEnd::Show(const ScreenUpdate& update)
{
    if (update.levelShown)
        Each([&](UnitPrinter& p) { p.LevelShown(*update.levelShown); });
    if (update.scene == Scene::ConnectAdapter)
        SetStage("connect");
    else if (update.scene == Scene::PowerOn)
        SetStage("power-on");
    else if (update.scene == Scene::Erasing)
        SetStage("erase");
    // Said once the erase is confirmed and "P" has gone out, not when Update is answered: a
    // QZ7 that then answers Not Erased was never sent anything.
    if (update.scene == Scene::Programming && stage_ != "program") {
        SetStage("program");
        const std::size_t characters = run_.Controller() ? run_.Controller()->Firmware().size() : 0;
        Each([&](UnitPrinter& p) { p.Programming(characters); });
    }
    if (update.level)
        Each([&](UnitPrinter& p) { p.Level(*update.level); });
    if (update.directions && update.directions != directions_) {
        directions_ = update.directions;
        Each([&](UnitPrinter& p) { p.Directions(*update.directions); });
    }
    if (update.status)
        TakeStatus(*update.status);
    if (update.question)
        SetStage("question");
    // The end's own report (the summary, or where the dialogue stood and what to do) is made as
    // the end comes, and reaches the screen just after it.
    if (update.ended && endReport_)
        if (std::optional<StatusFact> shown = run_.StatusShown())
            TakeStatus(*shown);
}

void UnitFrontEnd::TakeStatus(const StatusFact& report)
{
    if (report == status_)
        return;
    status_ = report;
    if (std::optional<int> sent = Words::LinesSent(report))
        linesSent_ = *sent;
    // The transfer's progress goes on the bar or the unit's row; anything else is a line.
    const StatusKind kind = Words::Kind(report);
    const std::string text = Words::Status(report);
    if (kind == StatusKind::Progress)
        Each([&](UnitPrinter& p) { p.Progress(text); });
    else if (!text.empty() && !hint_.Repeats(kind))
        Each([&](UnitPrinter& p) { p.Status(report); });
}

void UnitFrontEnd::Asked(Answer answer, VersionRelation relation)
{
    Each([&](UnitPrinter& p) { p.Question(answer, relation, run_.Version(), [this](bool update) { run_.Answered(update); }); });
}

void UnitFrontEnd::Say(const std::string& line)
{
    Each([&](UnitPrinter& p) { p.Line(line); });
}

void UnitFrontEnd::Unusable()
{
    Each([](UnitPrinter& p) { p.Unusable(); });
}

void UnitFrontEnd::Cancelled(Ending how)
{
    Each([&](UnitPrinter& p) { p.Cancelled(how, run_.Version(), run_.Relation()); });
}

void UnitFrontEnd::Ended(Ending how)
{
    // An end that was no screen update of its own (a stop) has its report settled already.
    if (endReport_)
        if (std::optional<StatusFact> shown = run_.StatusShown())
            TakeStatus(*shown);
    stage_ = "end";
    Each([&](UnitPrinter& p) { p.Ended(how); });
}
