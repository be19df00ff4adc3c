#pragma once
// One unit's view of its run, for any front end: it keeps what has been shown, so that nothing is
// said twice, names the unit's stage ("connect", "power-on", "erase", "question", "program"),
// counts the lines sent, and hands each change to its printers. It decides nothing.
#include "core/Endings.h"
#include "core/RunRules.h"
#include "core/Screen.h"
#include "run/UnitRun.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// How a front end shows one unit's run: the one-unit dialogue's lines and bar, a bench unit's
// prose and row, its --json events. A printer shows what it is told, in its own words.
class UnitPrinter {
public:
    virtual ~UnitPrinter() = default;
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
};

class UnitFrontEnd : public UnitView {
public:
    // `endReport`: the end's own report (posted just after the end) is taken as the end comes, so
    // that the lines sent are known when the end is recorded.
    UnitFrontEnd(UnitRun::Options options, std::initializer_list<UnitPrinter*> printers, bool endReport = false);

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
    template <typename Call>
    void Each(Call call)
    {
        for (UnitPrinter* printer : printers_)
            call(*printer);
    }
    void SetStage(const std::string& name);
    // A status report: its lines sent, and printed unless it repeats.
    void TakeStatus(const StatusFact& report);

    std::vector<UnitPrinter*> printers_;
    const bool endReport_;
    UnitRun run_;
    std::string stage_ = "start";
    std::optional<DirectionsFact> directions_;
    std::optional<StatusFact> status_;
    RepeatedHint hint_;
    int linesSent_ = 0;
};
