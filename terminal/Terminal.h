#pragma once
#include "core/Endings.h"
#include "core/OneLine.h"
#include "core/RunRules.h"
#include "core/Screen.h"
#include "core/Stage.h"
#include "core/Words.h"
#include "run/UnitRun.h"

#include <QObject>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <cstdint>

struct RunOptions;

// The end of a run whose --port can never be used (given no --wait) ...
inline constexpr const char* kUnusablePort = QT_TRANSLATE_NOOP("Terminal", "Not updated: the port given with --port cannot be used"
                                                                       " (with --wait the updater waits for it). Nothing was done to any port.");
// ... and of one that is no terminal at all, with or without --wait.
inline constexpr const char* kNoTerminalPort = QT_TRANSLATE_NOOP("Terminal", "Not updated: the port given with --port cannot be used:"
                                                                         " it is no terminal, and waiting does not make it one."
                                                                         " Nothing was done to any port.");
class QSocketNotifier;
class QZ7_UpdaterAppDelegate;

// One unit's dialogue on a terminal: directions and status as lines on standard output, the
// version question asked on standard input, the transfer as a bar redrawn in place on a terminal
// (or a line every 10 % otherwise). Its run (UnitRun) decides the answer and the end;
// `finished` is called once with the end's exit status.
class TerminalFrontEnd : public QObject, public UnitView {
    Q_OBJECT
public:
    TerminalFrontEnd(UnitRun::Options options, std::function<void(int)> finished);
    ~TerminalFrontEnd() override;

    UnitRun& Run() { return run_; }

    void Show(const ScreenUpdate& update) override;
    void Asked(Answer answer, VersionRelation relation) override;
    // A line of the program's own (not a direction), after the bar if one is drawn.
    void Say(const std::string& line) override;
    void Unusable() override;
    void Cancelled(Ending how) override;
    void Ended(Ending how) override;

private:
    void PrintLine(const std::string& line);
    void EndBar();
    void DrawBar();
    void ReadAnswer();

    const bool tty_;
    std::function<void(int)> finished_;
    UnitRun run_;

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
};

// Runs the program on the terminal, without a window and without a display; returns the exit
// status.
int RunTerminal(const RunOptions& run, int argc, char** argv);
