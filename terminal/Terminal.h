#pragma once
#include "core/Endings.h"
#include "core/OneLine.h"
#include "core/RunRules.h"
#include "core/Screen.h"
#include "core/Stage.h"
#include "core/Words.h"
#include "run/UnitFrontEnd.h"

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

// The one-unit dialogue's output: directions and status as lines on standard output, the
// version question asked on standard input, the transfer as a bar redrawn in place on a
// terminal (or a line every 10 % otherwise). `finished` is called once with the exit status.
class LinePrinter : public QObject, public UnitPrinter {
public:
    explicit LinePrinter(std::function<void(int)> finished);
    ~LinePrinter() override;

    void Stage(const std::string&) override {}
    void Directions(const DirectionsFact& directions) override;
    void LevelShown(bool shown) override;
    void Programming(std::size_t characters) override;
    void Level(int level) override;
    void Progress(const std::string& text) override;
    void Status(const StatusFact& report) override;
    void Question(Answer answer, VersionRelation relation, const std::optional<std::string>& version,
                  std::function<void(bool)> answered) override;
    void Line(const std::string& line) override;
    void Unusable() override;
    void Cancelled(Ending how, const std::optional<std::string>& version, VersionRelation relation) override;
    void Ended(Ending how) override;

private:
    void PrintLine(const std::string& line);
    void EndBar();
    void DrawBar();
    void ReadAnswer();

    const bool tty_;
    std::function<void(int)> finished_;
    std::string progress_;   // the last progress text, shown on the bar
    bool levelShown_ = false;
    bool transfer_ = false;  // the image is going across: the level moves
    int level_ = 0;
    int decile_ = 0;         // the last 10 % step printed (not on a terminal)
    std::size_t barLength_ = 0;
    bool barDrawn_ = false;  // the cursor stands at the end of the bar

    QSocketNotifier* input_ = nullptr;
    std::string answer_;
    bool promptOpen_ = false;  // the cursor stands after "Update? [y/N] "
    std::function<void(bool)> answered_;
};

// Runs the program on the terminal, without a window and without a display; returns the exit
// status.
int RunTerminal(const RunOptions& run, int argc, char** argv);
