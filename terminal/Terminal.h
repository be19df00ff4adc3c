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

// How a terminal front end prints one unit's run: the one-unit dialogue's lines and bar
// (LinePrinter), or a bench unit's prose and --json events (the bench's printer). A printer
// prints what it is told, in its own words; what to answer and how the run ends is UnitRun's.
class Printer {
public:
    virtual ~Printer() = default;
    // The unit's stage changed: "connect", "power-on", "erase", "question", "program".
    virtual void Stage(const std::string& name) = 0;
    virtual void Directions(const DirectionsFact& directions) = 0;
    virtual void LevelShown(bool shown) = 0;
    // The image starts going across (the erase confirmed and "P" gone out); `characters` its size.
    virtual void Programming(std::size_t characters) = 0;
    virtual void Level(int level) = 0;
    // The transfer's progress text, and any other status report (not a count said this minute).
    virtual void Progress(const std::string& text) = 0;
    virtual void Status(const StatusFact& report) = 0;
    // The question, answered as `answer` says; with Answer::Ask the printer asks and calls
    // `answered` with the operator's answer.
    virtual void Question(Answer answer, VersionRelation relation, const std::optional<std::string>& version,
                          std::function<void(bool)> answered) = 0;
    // A line of the program's own: why the wait gave up, what a stop left, a warning.
    virtual void Line(const std::string& line) = 0;
    virtual void Unusable() = 0;
    virtual void Cancelled(Ending how, const std::optional<std::string>& version, VersionRelation relation) = 0;
    virtual void Ended(Ending how) = 0;
    // Whether the end's own report (posted just after the end) is taken as the end comes: the
    // bench's record needs its lines sent before it is written.
    virtual bool TakesEndReport() const { return false; }
};

// One unit on the terminal: the view of its run (UnitRun), which it shows through its printer.
// It keeps what has been shown so that nothing is printed twice, and decides nothing.
class TerminalFrontEnd : public UnitView {
public:
    TerminalFrontEnd(UnitRun::Options options, Printer& printer);

    UnitRun& Run() { return run_; }
    const UnitRun& Run() const { return run_; }

    void Show(const ScreenUpdate& update) override;
    void Asked(Answer answer, VersionRelation relation) override;
    void Say(const std::string& line) override;
    void Unusable() override;
    void Cancelled(Ending how) override;
    void Ended(Ending how) override;

    const std::string& StageName() const { return stage_; }
    int LinesSent() const { return linesSent_; }

private:
    void SetStage(const std::string& name);
    // A status report: its lines sent, and printed unless it repeats.
    void TakeStatus(const StatusFact& report);

    Printer& printer_;
    UnitRun run_;
    std::string stage_ = "start";
    std::optional<DirectionsFact> directions_;
    std::optional<StatusFact> status_;
    RepeatedHint hint_;
    int linesSent_ = 0;
};

// The one-unit dialogue's output: directions and status as lines on standard output, the
// version question asked on standard input, the transfer as a bar redrawn in place on a
// terminal (or a line every 10 % otherwise). `finished` is called once with the exit status.
class LinePrinter : public QObject, public Printer {
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
