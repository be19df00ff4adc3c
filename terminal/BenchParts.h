#pragma once
// The production bench on the terminal, shared by Bench.cpp (the screen of the run) and
// BenchPrinter.cpp (the printer of one unit); not for use outside the bench.
#include "controller/SignalQuit.h"
#include "core/Status.h"
#include "core/Words.h"
#include "run/BenchRun.h"
#include "run/Records.h"
#include "terminal/Bench.h"
#include "terminal/Terminal.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <sys/ioctl.h>
#include <unistd.h>

namespace benchparts {

class BenchScreen;

// One unit's prose and row on the terminal.
class BenchPrinter : public UnitPrinter {
public:
    BenchPrinter(BenchScreen& screen, const BenchUnit& unit) : screen_(screen), unit_(unit) {}

    void Stage(const std::string& name) override;
    void Directions(const DirectionsFact& directions) override;
    void LevelShown(bool) override {}
    void Programming(std::size_t characters) override;
    void Level(int level) override;
    void Progress(const std::string& text) override;
    void Status(const StatusFact& report) override;
    void Question(Answer answer, VersionRelation relation, const std::optional<std::string>& version,
                  std::function<void(bool)> answered) override;
    void Line(const std::string& line) override;
    void Unusable() override;
    void Cancelled(Ending how, const std::optional<std::string>& version, VersionRelation relation) override;
    void Ended(Ending) override {}

    // The unit's row: its port, its adapter's serial number, its stage or outcome, its level.
    std::string Row() const;

private:
    BenchScreen& screen_;
    const BenchUnit& unit_;
    int level_ = -1;
    std::string progress_;  // the last progress text
};

// The run on the terminal: prose (on standard error with --json), one row a unit redrawn in place
// on a terminal, and the --json lines on standard output.
class BenchScreen : public QObject, public BenchView {
public:
    explicit BenchScreen(bool json);

    std::unique_ptr<UnitPrinter> Show(const BenchUnit& unit) override;
    void Say(const BenchUnit* unit, const std::string& line) override;
    void Event(const std::string& line) override;
    void Ended(const BenchUnit&) override { Changed(); }
    void Finished(int status) override { QCoreApplication::exit(status); }

    // A unit's row has changed.
    void Changed();
    bool Tty() const { return tty_; }
    std::size_t Units() const { return rows_.size(); }

private:
    void Redraw();

    std::FILE* human_;
    bool tty_;
    std::size_t rowsDrawn_ = 0;
    QTimer redraw_;
    std::vector<const BenchPrinter*> rows_;
};

}  // namespace benchparts
