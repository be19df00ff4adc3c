#pragma once
#include "core/Facts.h"
#include "core/Screen.h"

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The one place that turns what the screen says (core/Facts.h) into words. Every front end, the
// transcript and the reports take their texts from here and never read a text back: what they
// must know (the kind of report, the lines sent, a command to copy) they get from the facts.
namespace Words {

// The operator's language. A front end with catalogs installs its translation once at start,
// before any thread renders a text; without one, or for a text it lacks, the English source
// stands. The transcript asks for English: it is read later, at a bench or a desk, by whoever
// looks after the program.
// `n` is the count a text with %n takes its plural form for; -1 for a text without one.
using Translation = std::string (*)(const char* context, const char* source, const char* disambiguation, int n);
void InstallTranslation(Translation translation);
// Whether the texts come in another language than English.
bool Translated();
enum class Language { Operator, English };

// `source` in the language being rendered (the extraction tool finds these calls by name).
std::string Tr(const char* context, const char* source);
// A text that counts: `plural` (also the catalog's key) in the form for `n`, with %n replaced by
// `n`. English takes `singular` for one. The extraction tool reads `singular` as the text's
// disambiguation, so the translators see both forms.
std::string TrN(const char* context, const char* plural, const char* singular, long n);
// Whether the text being rendered on this thread is the English one that the transcript and the
// machine output carry: then numbers take a decimal point and errors their English names,
// whatever the session's locale.
bool RenderingEnglish();
// The system's text for an errno value: in English while RenderingEnglish, else the locale's.
std::string ErrorText(int error);
// The English text for an errno value, whatever the locale (for the transcript).
std::string EnglishErrorText(int error);
// `pattern` with %1 to %9 replaced by `args`, in one pass (an argument's own "%1" stays as it is).
std::string Fill(std::string_view pattern, std::initializer_list<std::string> args);
// Two sentences one after the other, as the operator's language writes them: a space between
// them in English, none after 。 in Japanese.
std::string Sentences(const std::string& first, const std::string& second);

std::string Directions(const DirectionsFact& fact, Language language = Language::Operator);
// The directions as one line, for the terminal. In English the lines are joined by rule (see
// core/OneLine.h); another language has each text of several lines as one catalog text of its own,
// since only the language knows where one of its sentences ends and the next begins.
std::string DirectionsOneLine(const DirectionsFact& fact, Language language = Language::Operator);
// Those one-line texts: the directions they stand for, and the English that the rule makes of
// the directions' text (their catalog key).
struct OneLineText {
    Says says;
    const char* text;
};
std::span<const OneLineText> OneLineTexts();
std::string Status(const StatusFact& fact, Language language = Language::Operator);

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
// Whether the report is of an adapter that was found but cannot be used (no permission, held by
// another program, an open error): the fix then matters as much as the directions, and is shown
// as prominently.
bool AdapterUnusable(const StatusFact& fact);
// The image lines gone across, with the transfer's progress, its summary or a failure during it.
std::optional<int> LinesSent(const StatusFact& fact);

}  // namespace Words
