#pragma once
#include <QCommandLineParser>
#include <optional>

// What the program does before it opens its window. Each step runs before any application
// object exists, so none of them needs a display.

// Makes sure descriptors 0, 1 and 2 are open (on /dev/null when they were not), so that nothing
// the program opens later (the port above all) takes a number that printing would write to, and
// ignores SIGPIPE: the image length on standard output is best effort, and a reader that went
// away must not end an update.
void PrepareProcess();

// The program's options. A new option is declared here and acted on in HandleCommandLine.
void DeclareOptions(QCommandLineParser& parser);

// Prints the help or the version when asked for, or a complaint about an unknown option; returns
// the exit status when the program should end now.
std::optional<int> HandleCommandLine(int argc, char* argv[]);

// Whether a window can be opened: false, after saying so on standard error, when there is no
// display to open it on.
bool DisplayFound(int argc, char* argv[]);
