#pragma once
#include <string>

struct RunOptions;

// The production bench: several QZ7s updated side by side from one terminal, one controller (and
// so one worker thread) per adapter, each unit's dialogue exactly the one-unit dialogue. Events
// go out as prose, or as JSON Lines with --json; --report appends one JSON line per unit as it
// ends.

// The firmware this program carries, as --version, the JSON and the report name it.
struct ShippedFirmware {
    std::string version;  // "V" and the version, as "V3.012"
    int lines = 0;        // the lines the transfer sends
    std::string sha256;   // of the image as sent, in hex
};
const ShippedFirmware& Shipped();

// "QZ7 Updater 1.0.0, firmware V3.012, 2563 lines, sha256 ..." and the same as a JSON object.
std::string VersionText();
std::string VersionJson();

// Appends `line` and a line end to the file at `path` in one write(2) with O_APPEND, and flushes
// it to disk (fsync) before returning: a line reported written survives a crash, and lines that
// units write side by side never mix. False, errno set, when it could not.
bool AppendRecord(const std::string& path, const std::string& line);

// Runs the bench on the terminal; returns the exit status.
int RunBench(const RunOptions& run, int argc, char** argv);
