// The same conversation with a simulated loader, its bytes split into writes in four ways: a line
// a write, a byte a write, random pieces, whole replies merged. The program must end the same
// way every time: the same screens, the same bytes on the wire, the same outcome, the port
// restored.
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <memory>
#include <sstream>

using bootsim::Chunking;

namespace {

// The first twelve records of the shipped image and its end-of-file record: a whole transfer in
// a few milliseconds.
const std::string kImage = [] {
    std::string image = ShippedImage();
    std::size_t at = 0;
    for (int i = 0; i < 12; ++i)
        at = image.find('\n', at) + 1;
    return image.substr(0, at) + ":00000001FF\r\n";
}();

struct Conversation {
    const char* name;
    std::function<void(bootsim::Options&)> script;
    std::string wire;                // "yyEP+" is "yyEP" and the whole image; "yyEP:N" the first N lines
    std::optional<Outcome> outcome;  // none: the program goes on waiting, as it should
};

void PrintTo(const Conversation& c, std::ostream* os)
{
    *os << c.name;
}

std::string ExpectedWire(const std::string& wire)
{
    if (wire.ends_with('+'))
        return wire.substr(0, wire.size() - 1) + kImage;
    if (std::size_t colon = wire.find(':'); colon != std::string::npos) {
        std::size_t at = 0;
        for (int i = std::stoi(wire.substr(colon + 1)); i > 0; --i)
            at = kImage.find('\n', at) + 1;
        return wire.substr(0, colon) + kImage.substr(0, at);
    }
    return wire;
}

// What one run came to.
struct Ending {
    std::string screens;  // every screen update but the status line's, in order
    std::string wire;
    std::optional<Outcome> outcome;
    bool restored = false;
    bool operator==(const Ending&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Ending& e)
{
    return os << "outcome " << (e.outcome ? static_cast<int>(*e.outcome) : -1) << ", restored " << e.restored
              << ", wire " << e.wire.size() << " bytes ending \"" << e.wire.substr(e.wire.size() - std::min<std::size_t>(e.wire.size(), 8)) << "\"\nscreens:\n" << e.screens;
}

// One way of splitting the loader's bytes: the chunking and its seed.
struct Split {
    Chunking chunking;
    unsigned seed;
    const char* name;
};

// The conversation once for each split, all at the same time (each with its own simulator,
// window and controller): what each run came to, in the order of `splits`.
std::vector<Ending> Converse(const Conversation& c, const std::vector<Split>& splits)
{
    struct Run {
        Run(const Conversation& c, const Split& split) : run(Options(c, split), ProgramOptions())
        {
            // Before the event loop runs: every screen update is recorded.
            screen.next = run.app->frontEnd.get();
            run.cue->next = &screen;
        }
        // A line that may end the transfer or may be chatter is decided after 300 ms of quiet.
        static QZ7_UpdaterAppDelegate::Options ProgramOptions()
        {
            QZ7_UpdaterAppDelegate::Options o = WithFirmware(kImage);
            o.loaderQuiet = 300ms;
            return o;
        }
        static bootsim::Options Options(const Conversation& c, const Split& split)
        {
            bootsim::Options o = FastSim();
            o.chunking = split.chunking;
            o.seed = split.seed;
            c.script(o);
            return o;
        }
        bool Ended() const
        {
            for (const ScreenUpdate& u : screen.updates)
                if (u.ended)
                    return true;
            return false;
        }
        SimUpdate run;
        RecordingFrontEnd screen;
        bool answered = false;  // the question came and Update was pressed, or it will not come
    };
    std::vector<std::unique_ptr<Run>> runs;
    for (const Split& split : splits)
        runs.push_back(std::make_unique<Run>(c, split));
    auto resting = [&](const Run& r) {
        return !c.outcome && r.run.sim.Wire() == ExpectedWire(c.wire) && r.run.app->controller->KeptBytes() == 0;
    };
    // Update is pressed as soon as the question shows; a run that ends or rests without it is
    // never asked.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        bool all = true;
        for (auto& r : runs) {
            if (!r->answered && AtTheQuestion(*r->run.app, 0ms)) {
                r->run.app->window->UpdateButtonView()->click();
                r->answered = true;
            }
            r->answered = r->answered || r->Ended() || resting(*r);
            all = all && r->answered;
        }
        return all;
    }, 10000));
    auto finished = [&](const Run& r) {
        return c.outcome ? r.Ended() && r.run.app->controller->RunningOperations() == 0 : resting(r);
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::all_of(runs.begin(), runs.end(), [&](const auto& r) { return finished(*r); }); },
                                c.outcome ? 20000 : 10000));
    for (std::size_t i = 0; i < runs.size(); ++i)
        EXPECT_TRUE(finished(*runs[i])) << splits[i].name;
    // The loader has said all it will say; the program must not move on.
    if (!c.outcome)
        QTest::qWait(300);
    std::vector<Ending> endings;
    for (auto& r : runs) {
        Ending e;
        for (const ScreenUpdate& u : r->screen.updates) {
            if (u.ended)
                e.outcome = u.ended;
            ScreenUpdate shown = u;
            shown.status.reset();  // the status line speaks of times and rates
            if (!Describe(shown).empty())
                e.screens += Describe(shown) + "\n";
        }
        e.wire = r->run.sim.Wire();
        // Once the program has put the port back into its cooked settings, the terminal echoes
        // the loader's own last line end: that is no byte the program wrote.
        const std::string expected = ExpectedWire(c.wire);
        if (e.wire.starts_with(expected) && e.wire.find_first_not_of("\r\n", expected.size()) == std::string::npos)
            e.wire.resize(expected.size());
        r->run.cue->next = r->run.app->frontEnd.get();
        r->run.Quit();
        e.restored = r->run.sim.Snapshot().hungUp || SameSettings(r->run.sim.SlaveSettings(), r->run.sim.InitialSettings());
        endings.push_back(std::move(e));
    }
    return endings;
}

class ChunkingTable : public testing::TestWithParam<Conversation> {};

}  // namespace

TEST_P(ChunkingTable, EverySplitEndsLikeALineAWrite)
{
    const Conversation& c = GetParam();
    // The splits run side by side: the outcome must not depend on the timing either.
    const std::vector<Split> splits{{Chunking::Whole, 1, "a line a write"},
                                    {Chunking::Bytes, 1, "a byte a write"},
                                    {Chunking::Random, 3, "random pieces, seed 3"},
                                    {Chunking::Random, 17, "random pieces, seed 17"},
                                    {Chunking::Random, 101, "random pieces, seed 101"},
                                    {Chunking::Merged, 1, "whole replies merged"}};
    const std::vector<Ending> endings = Converse(c, splits);
    const Ending& reference = endings.front();
    EXPECT_EQ(reference.outcome, c.outcome) << reference;
    EXPECT_TRUE(reference.wire == ExpectedWire(c.wire)) << reference;
    EXPECT_TRUE(reference.restored);
    for (std::size_t i = 1; i < endings.size(); ++i)
        EXPECT_EQ(endings[i], reference) << splits[i].name;
}

INSTANTIATE_TEST_SUITE_P(
    Conversations, ChunkingTable,
    testing::Values(
        Conversation{"Normal", [](auto&) {}, "yyEP+", Outcome::Done},
        Conversation{"Echo", [](auto& o) { o.echo = true; }, "yyEP+", Outcome::Done},
        Conversation{"FragmentBeforeReplies", [](auto& o) { o.replies[bootsim::Stage::Erase] = "ok\r\nErased"; o.replies[bootsim::Stage::Done] = "\r\nE\r\nDone"; },
                     "yyEP+", Outcome::Done},
        Conversation{"AsteriskRightAfterErased", [](auto& o) { o.earlyAsterisk = true; }, "yyEP+", Outcome::Done},
        Conversation{"PromptCharacterAfterBannerAndErased",
                     [](auto& o) { o.suffixes[bootsim::Stage::Banner] = ">"; o.suffixes[bootsim::Stage::Erase] = ">"; }, "yyEP+", Outcome::Done},
        Conversation{"HighByteAfterErased", [](auto& o) { o.suffixes[bootsim::Stage::Erase] = "\xC9"; }, "yyEP+", Outcome::Done},
        Conversation{"NotDoneInPlaceOfAnAsterisk", [](auto& o) { o.lineForAsteriskAfter = 5; o.lineForAsterisk = "Not Done"; },
                     "yyEP:5", Outcome::NotDone},
        Conversation{"DoneBeforeTheLastLine", [](auto& o) { o.lineForAsteriskAfter = 5; o.lineForAsterisk = "Done"; },
                     "yyEP:5", Outcome::EndedEarly},
        Conversation{"RestartMidTransfer", [](auto& o) { o.restartAfterLines = 5; }, "yyEP:5", Outcome::Restarted},
        Conversation{"NotDoneRightBeforeAnAsterisk", [](auto& o) { o.chatterAfterLines = 5; o.chatter = "Not Done"; },
                     "yyEP:5", Outcome::NotDone},
        Conversation{"OverlongChatterBeforeAnAsterisk", [](auto& o) { o.chatterAfterLines = 10; o.chatter = std::string(1100, 'x'); },
                     "yyEP+", Outcome::Done},
        Conversation{"ProgressChatterBetweenRecords",
                     [](auto& o) { o.chatterAfterLines = 3; o.chatter = "Note: page written\r\nPage 5 Done\r\n"; }, "yyEP+", Outcome::Done},
        Conversation{"ErasedWithoutLineEndAndTheAsteriskBehind",
                     [](auto& o) { o.replies[bootsim::Stage::Erase] = "Erased, now send the records"; o.bareAt = bootsim::Stage::Erase; o.earlyAsterisk = true; },
                     "yyEP+", Outcome::Done},
        Conversation{"PromptLongerThanAReply", [](auto& o) { o.replies[bootsim::Stage::Prompt] = "Please choose erase or program: E or P?"; },
                     "yyyEP+", Outcome::Done},
        // A line is judged whole: a byte above 127 hides nothing, pieces of 1023 are one line.
        Conversation{"HighByteNotDoneInPlaceOfAnAsterisk", [](auto& o) { o.lineForAsteriskAfter = 5; o.lineForAsterisk = "\xffNot Done"; },
                     "yyEP:5", Outcome::NotDone},
        Conversation{"HighByteBannerInPlaceOfAnAsterisk", [](auto& o) { o.lineForAsteriskAfter = 5; o.lineForAsterisk = "\xffQZ-7 Boot Loader"; },
                     "yyEP:5", Outcome::Restarted},
        Conversation{"DoneAfter1023CharactersIsChatter", [](auto& o) { o.chatterAfterLines = 5; o.chatter = std::string(1023, 'X') + "Done\r\n"; },
                     "yyEP+", Outcome::Done},
        Conversation{"NotDoneAfter1019Characters", [](auto& o) { o.lineForAsteriskAfter = 5; o.lineForAsterisk = std::string(1019, 'X') + "Not Done"; },
                     "yyEP:5", Outcome::NotDone},
        Conversation{"BannerAfter1021Characters", [](auto& o) { o.lineForAsteriskAfter = 5; o.lineForAsterisk = std::string(1021, 'X') + "QZ-7 Boot Loader"; },
                     "yyEP:5", Outcome::Restarted},
        // A line that may be an end is chatter when the asterisk follows it.
        Conversation{"DoneRightBeforeAnAsterisk", [](auto& o) { o.chatterAfterLines = 5; o.chatter = "Done"; }, "yyEP+", Outcome::Done},
        Conversation{"DoneLineThenAnAsterisk", [](auto& o) { o.chatterAfterLines = 5; o.chatter = "Done\r\n"; }, "yyEP+", Outcome::Done},
        Conversation{"BannerLikeChatterThenAnAsterisk", [](auto& o) { o.chatterAfterLines = 5; o.chatter = "QZ-7 page 5 ok\r\n"; },
                     "yyEP+", Outcome::Done},
        // After the last line, the verdict by the same rule.
        Conversation{"PageDoneThenNotDone", [](auto& o) { o.replies[bootsim::Stage::Done] = "Page 13 Done\r\nNot Done"; }, "yyEP+", Outcome::NotDone},
        Conversation{"DoneBesideNotVerified", [](auto& o) { o.replies[bootsim::Stage::Done] = "Image check: Done; flash Not verified"; },
                     "yyEP+", Outcome::NotDone},
        Conversation{"ChatterThenDone", [](auto& o) { o.replies[bootsim::Stage::Done] = "Note: page written\r\nDone"; }, "yyEP+", Outcome::Done},
        Conversation{"PageDoneAloneIsDoneAfterTheQuiet", [](auto& o) { o.replies[bootsim::Stage::Done] = "Page 13 Done"; }, "yyEP+", Outcome::Done},
        Conversation{"VersionWithoutV", [](auto& o) { o.replies[bootsim::Stage::Version] = "Hello there"; }, "y", std::nullopt},
        Conversation{"Paging", [](auto& o) { o.extraLines = 3; }, "yyyyyEP+", Outcome::Done}),
    [](const testing::TestParamInfo<Conversation>& info) { return std::string(info.param.name); });
