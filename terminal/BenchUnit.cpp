#include "terminal/BenchParts.h"

using namespace std::chrono_literals;

namespace benchparts {

Unit::Unit(Bench& bench, std::string unitPath, const SerialService* listed)
    : path(std::move(unitPath)), bench_(bench),
      // The bench never asks: the start refuses it without --yes or --check, so the answer is
      // --yes's where --check does not decide it. --wait counts from the bench's start, the
      // search for an adapter included.
      run_({.port = path,
            .answers = {.yes = true, .allowOlder = bench.run.allowOlder, .check = bench.run.check, .skipCurrent = bench.run.skipCurrent},
            .waitSeconds = bench.run.waitSeconds,
            .since = bench.started,
            .releaseAtEnd = true},
           *this)
{
    if (listed)
        adapter = AdapterFacts(*listed);
    adapter.path = path;
}

Unit::~Unit() = default;

void Unit::Start()
{
    bench_.Event(this, "start", {{"port", Q(path)}, {"adapter", AdapterObject(adapter)}, {"firmware", FirmwareObject()}});
    // A port that can never be an adapter ends this unit at once; the others go on.
    if (std::optional<StatusFact> why = UnusablePort(path, bench_.run.waitSeconds.has_value())) {
        bench_.Say(this, OneLine(Words::Status(*why)) + " " + Words::Tr("Terminal", "Nothing was done to this port."));
        run_.End(Ending::NoAdapter);
        return;
    }
    if (std::optional<std::string> error = run_.Start()) {
        bench_.Say(this, "qz7-updater: " + *error);
        run_.End(Ending::Exception);
    }
}

void Unit::SetStage(const std::string& name)
{
    if (name == stage)
        return;
    stage = name;
    bench_.Event(this, "stage", {{"stage", Q(stage)}});
    bench_.Changed();
}

void Unit::Show(const ScreenUpdate& update)
{
    if (update.scene == Scene::ConnectAdapter)
        SetStage("connect");
    else if (update.scene == Scene::PowerOn)
        SetStage("power-on");
    else if (update.scene == Scene::Erasing)
        SetStage("erase");
    if (update.version)
        version = update.version;
    if (update.directions && update.directions != directions_) {
        directions_ = update.directions;
        // Directions may carry the QZ7's own bytes: escaped, so that they cannot move the cursor.
        // The events of --json are for programs: in English whatever the operator's language.
        bench_.Say(this, StatusText::PrintableText(OneLine(Words::Directions(*update.directions))));
        bench_.Event(this, "directions",
                     {{"directions", Q(PrintableLines(Words::Directions(*update.directions, Words::Language::English)))}});
    }
    // The transfer's stage only once the erase is confirmed and "P" has gone out.
    if (update.scene == Scene::Programming && stage != "program") {
        SetStage("program");
        bench_.Say(this, Words::Fill(Words::Tr("Terminal", "Sending the firmware image (%1 lines)."), {std::to_string(Shipped().lines)}));
    }
    if (update.level && stage == "program" && *update.level != level) {
        const int before = level;
        level = *update.level;
        bench_.Event(this, "progress", {{"progress", level}});
        // Through a pipe, a line every 10 %; on a terminal the unit's row shows the level.
        for (int step = (std::max(before, 0) / 10 + 1) * 10; !bench_.Tty() && step <= level; step += 10)
            bench_.Say(this, std::to_string(step) + "%");
        bench_.Changed();
    }
    if (update.status)
        TakeStatus(*update.status);
    if (update.question) {
        relation = update.relation.value_or(VersionRelation::Unknown);
        SetStage("question");
    }
    // The end's own report (the summary, or where the dialogue stood and what to do) is made as
    // the end comes, and reaches the screen just after it: taken here, before the unit ends, so
    // that its lines sent and its advice are this unit's last.
    if (update.ended)
        if (std::optional<StatusFact> shown = run_.StatusShown())
            TakeStatus(*shown);
}

void Unit::TakeStatus(const StatusFact& report)
{
    if (report == status_)
        return;
    status_ = report;
    if (std::optional<int> sent = Words::LinesSent(report))
        linesSent = *sent;
    const StatusKind kind = Words::Kind(report);
    const std::string text = Words::Status(report);
    if (kind == StatusKind::Progress) {
        progress = text;
        bench_.Changed();
    } else if (!text.empty() && !hint_.Repeats(kind)) {
        // The status texts quote what came from outside the program (the QZ7's bytes, a path)
        // escaped already: printed as they are, as the one-unit run prints them, not escaped twice.
        bench_.Say(this, "  " + OneLine(text));
        bench_.Event(this, "status",
                     {{"status", Q(OneLine(Words::Status(report, Words::Language::English), Words::Language::English))}});
    }
}

void Unit::Asked(Answer answer, VersionRelation found)
{
    bench_.Event(this, "version", {{"version", version ? QJsonValue(Q(*version)) : QJsonValue()}});
    if (answer == Answer::Update)
        bench_.Say(this, found == VersionRelation::Newer ? Words::Tr("Terminal", "Update to the older firmware?") + " y (--yes --allow-older)"
                                                         : Words::Tr("Terminal", "Update?") + " y (--yes)");
}

void Unit::Say(const std::string& line)
{
    bench_.Say(this, line);
}

void Unit::Unusable()
{
    bench_.Say(this, Words::Tr("Terminal", "Nothing was done to this port."));
}

void Unit::Cancelled(Ending how)
{
    if (how == Ending::Checked) {
        const std::string carried = Shipped().version;
        std::string said;
        if (!version)
            said = Words::Tr("Terminal", "Version not found: nothing erased (--check).");
        else if (relation == VersionRelation::Older)
            said = Words::Fill(Words::Tr("Terminal", "Version %1, older than the %2 this program carries: nothing erased (--check)."),
                               {*version, carried});
        else if (relation == VersionRelation::Same)
            said = Words::Fill(Words::Tr("Terminal", "Version %1, the one this program carries: nothing erased (--check)."), {*version});
        else if (relation == VersionRelation::Newer)
            said = Words::Fill(Words::Tr("Terminal", "Version %1, newer than the %2 this program carries: nothing erased (--check)."),
                               {*version, carried});
        else
            said = Words::Fill(Words::Tr("Terminal", "Version %1: nothing erased (--check)."), {*version});
        bench_.Say(this, said);
    } else if (how == Ending::AlreadyCurrent) {
        bench_.Say(this, Words::Fill(Words::Tr("Terminal", "Already on %1: not updated (--skip-current)."), {Shipped().version}));
    } else if (how == Ending::NewerOnUnit) {
        bench_.Say(this, NewerLeftText(version));
    }
}

void Unit::Ended(Ending how)
{
    if (ended)
        return;
    ended = true;
    ending = how;
    stage = "end";
    bench_.Ended(*this);
}

}  // namespace benchparts
