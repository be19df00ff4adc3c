#pragma once
// --history: the history's records for a person or a program, and the figures per day.
#include <cstdio>
#include <optional>
#include <string>

struct HistoryQuery {
    std::string file;                 // the database
    std::optional<std::string> unit;  // only this unit's records (all of them)
    bool json = false;                // JSON Lines rather than one line per record for a person
    bool summary = false;             // the figures per day rather than the records
    int limit = 20;                   // the last this many records, without a unit
};

// Prints what `query` asks for to `out`; the exit status: 0, or 1 (said on standard error)
// when the history cannot be read.
int PrintHistory(const HistoryQuery& query, std::FILE* out);
