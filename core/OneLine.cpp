#include "core/OneLine.h"

#include <cctype>
#include <cstring>
#include <string_view>

namespace {

// Whether `text` ends (or starts) with a character of a script written without spaces between
// words (the CJK ideographs, kana and their punctuation, U+3000 to U+9FFF and the full-width
// forms U+FF00 to U+FFEF): three bytes in UTF-8 with a lead byte of E3 to E9, or EF BC to EF BF.
bool WideAt(std::string_view text, bool atEnd)
{
    if (text.size() < 3)
        return false;
    const std::string_view c = atEnd ? text.substr(text.size() - 3) : text.substr(0, 3);
    const auto lead = static_cast<unsigned char>(c[0]), second = static_cast<unsigned char>(c[1]);
    return (lead >= 0xE3 && lead <= 0xE9) || (lead == 0xEF && second >= 0xBC && second <= 0xBF);
}

// What goes between two lines of a text made one line. English lines that begin a sentence
// without ending the one before get ". " ("Not Done. Please restart the program and the QZ7").
// Other languages capitalise in other ways: there a line that starts a capital after a line
// without punctuation gets " - ", any other a space, and scripts without spaces nothing.
std::string Joint(std::string_view before, std::string_view next, bool translated)
{
    if (WideAt(before, true))
        return WideAt(next, false) ? "" : " ";
    const auto first = static_cast<unsigned char>(next.front());
    if (std::strchr(".?!:", before.back()) || std::islower(first))
        return " ";
    if (translated)
        return std::isupper(first) ? " - " : " ";
    return ". ";
}

}  // namespace

std::string OneLine(const std::string& text, Words::Language language)
{
    const bool translated = language == Words::Language::Operator && Words::Translated();
    std::string out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\n\v\f\r", start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos)
            continue;
        line = line.substr(first, line.find_last_not_of(" \t") - first + 1);
        if (!out.empty())
            out += Joint(out, line, translated);
        out += line;
    }
    return out;
}
