#pragma once
#include "run/Records.h"

#include <string>

struct RunOptions;

// The production bench: several QZ7s updated side by side from one terminal, one controller (and
// so one worker thread) per adapter, each unit's dialogue exactly the one-unit dialogue. Events
// go out as prose, or as JSON Lines with --json; --report appends one JSON line per unit as it
// ends.

// Runs the bench on the terminal; returns the exit status.
int RunBench(const RunOptions& run, int argc, char** argv);
