// The same conversation with a scripted loader on a port in memory, its bytes split in four ways:
// a line a write, a byte a read, random pieces, whole replies merged. The program must end the
// same way every time: the same screens, the same bytes on the wire, the same outcome, the port
// closed. (That a closed port has its settings back is test_link's matter, on a real terminal.)
#include "tests/support/Scripted.h"

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

// Every conversation once for each split, all at the same time (each run with its own loader,
// port and controller): what each run came to, by conversation in the order of `conversations`,
// and by split in the order of `splits`.
std::vector<std::vector<Ending>> Converse(const std::vector<Conversation>& conversations, const std::vector<Split>& splits)
{
    struct Run {
        Run(const Conversation& c, const Split& split) : c(c), split(split), run(Options(c, split), ProgramOptions()) {}
        // A line that may end the transfer or may be chatter is decided after 50 ms of quiet:
        // what decides it is always fed in the same breath as the line itself.
        static QZ7_UpdaterAppDelegate::Options ProgramOptions()
        {
            QZ7_UpdaterAppDelegate::Options o = WithFirmware(kImage);
            o.loaderQuiet = 50ms;
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
        bool Finished() const
        {
            if (c.outcome)
                return run.Ended() && run.controller->RunningOperations() == 0;
            // Resting: everything written that will be, every byte consumed.
            return run.Wire() == ExpectedWire(c.wire) && run.controller->KeptBytes() == 0;
        }
        const Conversation& c;
        const Split& split;
        ScriptedDialogue run;  // presses Update as soon as the question shows
    };
    std::vector<std::unique_ptr<Run>> runs;
    for (const Conversation& c : conversations)
        for (const Split& split : splits)
            runs.push_back(std::make_unique<Run>(c, split));
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::all_of(runs.begin(), runs.end(), [](const auto& r) { return r->Finished(); }); },
                                5000));
    for (const auto& r : runs)
        EXPECT_TRUE(r->Finished()) << r->c.name << ", " << r->split.name;
    // The loaders have said all they will say; a program that rests must not move on.
    QTest::qWait(100);
    std::vector<std::vector<Ending>> endings(conversations.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        Run& r = *runs[i];
        Ending e;
        for (const ScreenUpdate& u : r.run.updates) {
            if (u.ended)
                e.outcome = u.ended;
            ScreenUpdate shown = u;
            shown.status.reset();  // the status line speaks of times and rates
            if (!Describe(shown).empty())
                e.screens += Describe(shown) + "\n";
        }
        e.wire = r.run.Wire();
        r.run.Quit();
        e.restored = r.run.port->ShutDown();
        endings[i / splits.size()].push_back(std::move(e));
    }
    return endings;
}

const std::vector<Conversation> kConversations{
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
    Conversation{"Paging", [](auto& o) { o.extraLines = 3; }, "yyyyyEP+", Outcome::Done},
};

}  // namespace

TEST(Chunking, EveryConversationEndsAlikeHoweverItsBytesAreSplit)
{
    // All runs go side by side: the outcome must not depend on the timing either.
    const std::vector<Split> splits{{Chunking::Whole, 1, "a line a write"},
                                    {Chunking::Bytes, 1, "a byte a read"},
                                    {Chunking::Random, 3, "random pieces, seed 3"},
                                    {Chunking::Random, 17, "random pieces, seed 17"},
                                    {Chunking::Random, 101, "random pieces, seed 101"},
                                    {Chunking::Merged, 1, "whole replies merged"}};
    const std::vector<std::vector<Ending>> all = Converse(kConversations, splits);
    for (std::size_t k = 0; k < kConversations.size(); ++k) {
        const Conversation& c = kConversations[k];
        SCOPED_TRACE(c.name);
        const std::vector<Ending>& endings = all[k];
        const Ending& reference = endings.front();
        EXPECT_EQ(reference.outcome, c.outcome) << reference;
        EXPECT_TRUE(reference.wire == ExpectedWire(c.wire)) << reference;
        EXPECT_TRUE(reference.restored);
        for (std::size_t i = 1; i < endings.size(); ++i)
            EXPECT_EQ(endings[i], reference) << splits[i].name;
    }
}
