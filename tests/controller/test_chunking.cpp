// The same conversation with a simulated loader, its bytes split into writes in four ways: a line
// a write, a byte a write, random pieces, whole replies merged. The program must end the same
// way every time: the same screens, the same bytes on the wire, the same outcome, the port
// restored.
#include "tests/support/TestSupport.h"

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

Ending Converse(const Conversation& c, Chunking chunking, unsigned seed)
{
    bootsim::Options o = FastSim();
    o.chunking = chunking;
    o.seed = seed;
    c.script(o);
    SimUpdate run(o, WithFirmware(kImage));
    RecordingFrontEnd screen;
    screen.next = run.app->frontEnd.get();
    run.cue->next = &screen;
    auto ended = [&] {
        for (const ScreenUpdate& u : screen.updates)
            if (u.ended)
                return true;
        return false;
    };
    auto resting = [&] { return !c.outcome && run.sim.Wire() == ExpectedWire(c.wire) && run.app->controller->KeptBytes() == 0; };
    if (QTest::qWaitFor([&] { return AtTheQuestion(*run.app, 0ms) || ended() || resting(); }, 10000) && AtTheQuestion(*run.app, 0ms))
        run.app->window->UpdateButtonView()->click();
    if (c.outcome) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return ended() && run.app->controller->RunningOperations() == 0; }, 20000));
    } else {
        // The loader has said all it will say; the program must not move on.
        EXPECT_TRUE(QTest::qWaitFor(resting, 10000));
        QTest::qWait(300);
    }
    Ending e;
    for (const ScreenUpdate& u : screen.updates) {
        if (u.ended)
            e.outcome = u.ended;
        ScreenUpdate shown = u;
        shown.status.reset();  // the status line speaks of times and rates
        if (!Describe(shown).empty())
            e.screens += Describe(shown) + "\n";
    }
    e.wire = run.sim.Wire();
    // Once the program has put the port back into its cooked settings, the terminal echoes the
    // loader's own last line end: that is no byte the program wrote.
    const std::string expected = ExpectedWire(c.wire);
    if (e.wire.starts_with(expected) && e.wire.find_first_not_of("\r\n", expected.size()) == std::string::npos)
        e.wire.resize(expected.size());
    run.cue->next = run.app->frontEnd.get();
    run.Quit();
    e.restored = run.sim.Snapshot().hungUp || SameSettings(run.sim.SlaveSettings(), run.sim.InitialSettings());
    return e;
}

class ChunkingTable : public testing::TestWithParam<Conversation> {};

}  // namespace

TEST_P(ChunkingTable, EverySplitEndsLikeALineAWrite)
{
    const Conversation& c = GetParam();
    const Ending reference = Converse(c, Chunking::Whole, 1);
    EXPECT_EQ(reference.outcome, c.outcome) << reference;
    EXPECT_TRUE(reference.wire == ExpectedWire(c.wire)) << reference;
    EXPECT_TRUE(reference.restored);
    EXPECT_EQ(Converse(c, Chunking::Bytes, 1), reference) << "a byte a write";
    for (unsigned seed : {3u, 17u, 101u})
        EXPECT_EQ(Converse(c, Chunking::Random, seed), reference) << "random pieces, seed " << seed;
    EXPECT_EQ(Converse(c, Chunking::Merged, 1), reference) << "whole replies merged";
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
        Conversation{"VersionWithoutV", [](auto& o) { o.replies[bootsim::Stage::Version] = "Hello there"; }, "y", std::nullopt},
        Conversation{"Paging", [](auto& o) { o.extraLines = 3; }, "yyyyyEP+", Outcome::Done}),
    [](const testing::TestParamInfo<Conversation>& info) { return std::string(info.param.name); });
