#pragma once
#include <QLoggingCategory>
#include <string>
#include <string_view>
#include <termios.h>

// The transcript: one line per event on standard error, info level by default. Every image line
// and every chunk read is logged at debug level, shown only when asked for with QT_LOGGING_RULES
// (for instance QT_LOGGING_RULES="qz7.*.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcSerial)
Q_DECLARE_LOGGING_CATEGORY(lcDialogue)
Q_DECLARE_LOGGING_CATEGORY(lcTransfer)

// Keeps the transcript's last `bytes` in memory from now on as well, for a support report;
// KeptTranscript returns them (the first line kept may be cut). 0: keeps nothing.
void KeepTranscript(std::size_t bytes);
std::string KeptTranscript();

// Puts a time stamp in front of every line the program logs (unless QT_MESSAGE_PATTERN says
// otherwise).
void InstallTranscriptFormat();

// Text as one printable line for the transcript (line ends and other control bytes as \xNN).
QString Loggable(std::string_view text);
// A device's path for the transcript, whole and escaped as the status texts give it
// (StatusText::PrintableText), so that a line names the port as the status line beside it does.
QString LoggablePath(std::string_view path);

// A port's settings in a few words: speed, raw or canonical, character size.
std::string DescribeSettings(const termios& settings);
