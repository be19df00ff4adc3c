#pragma once
#include "core/Endings.h"
#include "core/RunRules.h"
#include "core/Screen.h"
#include "core/Stage.h"
#include "core/Words.h"

#include <QObject>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <cstdint>

struct RunOptions;
class QSocketNotifier;
class QZ7_UpdaterAppDelegate;

// A status line that counts the seconds ("Nothing from the QZ7 for 31 s") changes every second:
// on the terminal it is printed again only once a minute. Any other change is printed at once.
class RepeatedHint {
public:
    // Whether a status of `kind` is a counting hint of the kind printed less than a minute ago.
    bool Repeats(StatusKind kind);

private:
    StatusKind printedKind_ = StatusKind::Plain;  // the kind of the last status printed
    std::chrono::steady_clock::time_point printedAt_{};
};

// What giving up on --wait means, from what the last attempt to open the port found: the end
// and the line that says so.
std::pair<Ending, std::string> GaveUp(const QZ7_UpdaterAppDelegate& controller, int seconds);

// Why a --port path ends its run (or its bench unit) at once, looked at before anything opens:
// without --wait, a path that can never be an adapter or is not there; with --wait (a missing
// path may yet appear), only a character device that no terminal driver serves, which exists
// already and cannot become an adapter by waiting. The report that says why, or none.
std::optional<StatusFact> UnusablePort(const std::string& path, bool waiting);

// The line that says a QZ7 with newer firmware (`found`, as the question had it) was left as it
// was, and what to do to update it all the same.
std::string NewerLeftText(const std::optional<std::string>& found);

// Directions as one line: blank lines dropped, each line trimmed, and the lines joined as
// `language` writes them (English: " " after . ? ! : or before a lower-case start, ". "
// otherwise). `text` is in that language: the English rendering for --json, whatever the
// operator's.
std::string OneLine(const std::string& text, Words::Language language = Words::Language::Operator);

// The dialogue on a terminal: directions and status as lines on standard output, the version
// question asked on standard input, the transfer as a bar redrawn in place on a terminal (or a
// line every 10 % otherwise). It decides the exit status; `finished` is called once with it.
class TerminalFrontEnd : public QObject, public FrontEnd {
    Q_OBJECT
public:
    // The question is answered as AnswerFor says for `options` (--yes, --allow-older); asked
    // on standard input where nothing answers it ahead.
    TerminalFrontEnd(QZ7_UpdaterAppDelegate& controller, AnswerOptions options, std::function<void(int)> finished);
    ~TerminalFrontEnd() override;

    void Show(const ScreenUpdate& update) override;
    void Cancelled() override;

    // Ends as `ending` unless an end was decided already.
    void Finish(Ending ending);
    bool Ended() const { return ended_; }
    // A line of the program's own (not a direction), after the bar if one is drawn.
    void Say(const std::string& line);
    // Called when the QZ7 has answered (its picture shows), and after a new status line.
    std::function<void()> answered;
    std::function<void()> statusChanged;

private:
    void PrintLine(const std::string& line);
    void EndBar();
    void DrawBar();
    void Ask();
    void ReadAnswer();

    QZ7_UpdaterAppDelegate& controller_;
    const AnswerOptions options_;
    const bool tty_;
    std::function<void(int)> finished_;
    bool ended_ = false;

    std::optional<DirectionsFact> directions_;
    std::optional<StatusFact> status_;
    std::string progress_;   // the last progress text, shown on the bar
    bool levelShown_ = false;
    bool transfer_ = false;  // the image is going across: the level moves
    int level_ = 0;
    int decile_ = 0;         // the last 10 % step printed (not on a terminal)
    std::size_t barLength_ = 0;
    bool barDrawn_ = false;  // the cursor stands at the end of the bar

    RepeatedHint hint_;

    QSocketNotifier* input_ = nullptr;
    std::string answer_;
    bool promptOpen_ = false;  // the cursor stands after "Update? [y/N] "
    // The question's version, how it stands to the firmware carried, and how it was answered.
    std::optional<std::string> version_;
    VersionRelation relation_ = VersionRelation::Unknown;
    Answer howAnswered_ = Answer::Ask;
};

// Runs the program on the terminal, without a window and without a display; returns the exit
// status.
int RunTerminal(const RunOptions& run, int argc, char** argv);
