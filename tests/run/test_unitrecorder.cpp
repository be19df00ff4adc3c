// The records of the units one controller updates one after another, as the window runs them:
// each unit is its own record from its port's opening, the pending record comes only through the
// controller's hook, and every update still reaches the front end that draws.
#include "run/UnitRecorder.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

ScreenUpdate Opened(const std::string& path)
{
    StatusText::AdapterFacts adapter;
    adapter.path = path;
    return {.status = StatusFact(adapter)};
}

ScreenUpdate Asked()
{
    return {.question = true, .version = "2.005", .relation = VersionRelation::Older};
}

ScreenUpdate Ended(Outcome outcome)
{
    return {.ended = outcome};
}

}  // namespace

TEST(UnitRecorder, EachUnitOfAReusedControllerIsARecordOfItsOwn)
{
    const std::string folder = testing::TempDir() + "unit-recorder";
    std::filesystem::remove_all(folder);
    std::string error;
    std::shared_ptr<Ledger> ledger = Ledger::Open({.historyFile = folder + "/history.sqlite", .journal = false}, error);
    ASSERT_TRUE(ledger) << error;
    RecordingFrontEnd drawn;
    UnitRecorder recorder(ledger, identity::ForRun("erin"), &drawn);
    int recorded = 0;
    recorder.recorded = [&] { ++recorded; };
    const std::function<void()> beforeErase = recorder.BeforeEraseHook();
    EXPECT_THROW(beforeErase(), std::runtime_error) << "no port has opened: nothing may be erased";

    const std::string a = "/dev/pts/a-unit", b = "/dev/pts/b-unit";
    enum class End { Shown, Cancelled, Stopped };
    const struct {
        std::vector<ScreenUpdate> updates;  // before the erase, if any
        bool erase;
        End end;
        Outcome outcome;  // with End::Shown
    } units[] = {
        {{Opened(a), Asked()}, true, End::Shown, Outcome::Done},
        // The next unit on the same adapter, its opening reported as the same facts: the
        // question opens its record.
        {{Asked()}, true, End::Shown, Outcome::NotErased},
        // An adapter that opened and led nowhere before another one did leaves no record.
        {{Opened(b), Opened(a), Asked()}, false, End::Cancelled, Outcome::Done},
        {{Opened(a), Asked()}, true, End::Stopped, Outcome::Done},
    };
    std::size_t shown = 0;
    for (const auto& unit : units) {
        for (const ScreenUpdate& update : unit.updates)
            recorder.Show(update);
        shown += unit.updates.size();
        if (unit.erase) {
            EXPECT_NO_THROW(beforeErase());
        }
        if (unit.end == End::Shown) {
            recorder.Show(Ended(unit.outcome));
            ++shown;
        } else if (unit.end == End::Cancelled) {
            recorder.Cancelled();
        } else {
            EXPECT_TRUE(recorder.UnderWay());
            recorder.Stop();
        }
        EXPECT_FALSE(recorder.UnderWay());
    }
    EXPECT_EQ(drawn.updates.size(), shown) << "every update reaches the window";
    EXPECT_TRUE(drawn.cancelled);
    EXPECT_EQ(recorded, 2) << "once for each end the screen shows";
    EXPECT_THROW(beforeErase(), std::runtime_error) << "after the last end, nothing may be erased";

    const std::vector<HistoryRecord> rows = ledger->Records().All();
    ASSERT_EQ(rows.size(), 4u);
    const char* outcomes[] = {"done", "not-erased", "declined", "interrupted"};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(outcomes[i]);
        EXPECT_EQ(rows[i].outcome, outcomes[i]);
        EXPECT_EQ(rows[i].port, a);
        EXPECT_EQ(rows[i].identity.slot, a);
        EXPECT_EQ(rows[i].identity.operatorName, "erin");
        EXPECT_EQ(rows[i].versionFound, "2.005");
        EXPECT_EQ(rows[i].erased.empty(), !units[i].erase);
        EXPECT_FALSE(rows[i].ended.empty());
    }
    EXPECT_TRUE(ledger->LeftEmpty().empty());
}
