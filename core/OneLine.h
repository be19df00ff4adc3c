#pragma once
#include "core/Words.h"

#include <string>

// Directions as one line: blank lines dropped, each line trimmed, and the lines joined as
// `language` writes them (English: " " after . ? ! : or before a lower-case start, ". "
// otherwise). `text` is in that language: the English rendering for --json, whatever the
// operator's.
std::string OneLine(const std::string& text, Words::Language language = Words::Language::Operator);
