#pragma once
#include "core/Facts.h"
#include "core/Screen.h"

#include <optional>
#include <string>

// The one place that turns what the screen says (core/Facts.h) into words. Every front end, the
// transcript and the reports take their texts from here and never read a text back: what they
// must know (the kind of report, the lines sent, a command to copy) they get from the facts.
namespace Words {

std::string Directions(const DirectionsFact& fact);
std::string Status(const StatusFact& fact);

// The command the report asks the operator to run, word for word as its text holds it on a line
// of its own; empty when it asks for none.
std::string Command(const StatusFact& fact);

// The report's words around its command, for a front end that shows the command apart: the
// words before it, the command, the words after it (all but `before` empty without a command).
struct AroundCommand {
    std::string before, command, after;
};
AroundCommand StatusAroundCommand(const StatusFact& fact);

StatusKind Kind(const StatusFact& fact);
// The image lines gone across, with the transfer's progress or its summary.
std::optional<int> LinesSent(const StatusFact& fact);

}  // namespace Words
