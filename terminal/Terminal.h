#pragma once
#include "core/Endings.h"
#include "core/OneLine.h"
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
