#include "terminal/BenchParts.h"

using namespace std::chrono_literals;

namespace benchparts {

BenchPrinter::BenchPrinter(Bench& bench, std::string unitPath, const SerialService* listed)
    : path(std::move(unitPath)), bench_(bench),
      // The bench never asks: the start refuses it without --yes or --check, so the answer is
      // --yes's where --check does not decide it. --wait counts from the bench's start, the
      // search for an adapter included.
      frontEnd_({.port = path,
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

BenchPrinter::~BenchPrinter() = default;

void BenchPrinter::Start()
{
    bench_.Event(this, "start", {{"port", Q(path)}, {"adapter", AdapterObject(adapter)}, {"firmware", FirmwareObject()}});
    UnitRun& run = frontEnd_.Run();
    // A port that can never be an adapter ends this unit at once; the others go on.
    if (std::optional<StatusFact> why = UnusablePort(path, bench_.run.waitSeconds.has_value())) {
        bench_.Say(this, OneLine(Words::Status(*why)) + " " + Words::Tr("Terminal", "Nothing was done to this port."));
        run.End(Ending::NoAdapter);
        return;
    }
    if (std::optional<std::string> error = run.Start()) {
        bench_.Say(this, "qz7-updater: " + *error);
        run.End(Ending::Exception);
    }
}

void BenchPrinter::Stage(const std::string& name)
{
    bench_.Event(this, "stage", {{"stage", Q(name)}});
    bench_.Changed();
}

void BenchPrinter::Directions(const DirectionsFact& directions)
{
    // Directions may carry the QZ7's own bytes: escaped, so that they cannot move the cursor.
    // The events of --json are for programs: in English whatever the operator's language.
    bench_.Say(this, StatusText::PrintableText(OneLine(Words::Directions(directions))));
    bench_.Event(this, "directions", {{"directions", Q(PrintableLines(Words::Directions(directions, Words::Language::English)))}});
}

void BenchPrinter::Programming(std::size_t)
{
    bench_.Say(this, Words::Fill(Words::Tr("Terminal", "Sending the firmware image (%1 lines)."), {std::to_string(Shipped().lines)}));
}

void BenchPrinter::Level(int reached)
{
    if (StageName() != "program" || reached == level)
        return;
    const int before = level;
    level = reached;
    bench_.Event(this, "progress", {{"progress", level}});
    // Through a pipe, a line every 10 %; on a terminal the unit's row shows the level.
    for (int step = (std::max(before, 0) / 10 + 1) * 10; !bench_.Tty() && step <= level; step += 10)
        bench_.Say(this, std::to_string(step) + "%");
    bench_.Changed();
}

void BenchPrinter::Progress(const std::string& text)
{
    progress = text;
    bench_.Changed();
}

void BenchPrinter::Status(const StatusFact& report)
{
    // The status texts quote what came from outside the program (the QZ7's bytes, a path)
    // escaped already: printed as they are, as the one-unit run prints them, not escaped twice.
    bench_.Say(this, "  " + OneLine(Words::Status(report)));
    bench_.Event(this, "status", {{"status", Q(OneLine(Words::Status(report, Words::Language::English), Words::Language::English))}});
}

void BenchPrinter::Question(Answer answer, VersionRelation relation, const std::optional<std::string>& version,
                            std::function<void(bool)>)
{
    bench_.Event(this, "version", {{"version", version ? QJsonValue(Q(*version)) : QJsonValue()}});
    if (answer == Answer::Update)
        bench_.Say(this, relation == VersionRelation::Newer ? Words::Tr("Terminal", "Update to the older firmware?") + " y (--yes --allow-older)"
                                                            : Words::Tr("Terminal", "Update?") + " y (--yes)");
}

void BenchPrinter::Line(const std::string& line)
{
    bench_.Say(this, line);
}

void BenchPrinter::Unusable()
{
    bench_.Say(this, Words::Tr("Terminal", "Nothing was done to this port."));
}

void BenchPrinter::Cancelled(Ending how, const std::optional<std::string>& version, VersionRelation relation)
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

void BenchPrinter::Ended(Ending how)
{
    if (ended)
        return;
    ended = true;
    ending = how;
    bench_.Ended(*this);
}

}  // namespace benchparts
