// The reply rules, the choice rule and the operator's texts, fed by hand.
#include "app/QZ7_UpdaterAppDelegate.h"
#include "app/ReplyRules.h"
#include "serial/Discovery.h"
#include "tests/TestSupport.h"

#include <deque>
#include <gtest/gtest.h>

namespace {

// Hands out scripted chunks, one per read (a chunk larger than the read asks for is split and
// its rest stays queued, as in a driver's input queue). When the script runs out: Closed.
class Script : public ByteSource {
public:
    explicit Script(std::deque<std::string> chunks) : chunks_(std::move(chunks)) {}
    PortResult Read(char* buffer, std::size_t max) override
    {
        ++reads;
        if (max == 0)
            return {PortIo::Data, 0};
        if (chunks_.empty())
            return {end};
        std::string& front = chunks_.front();
        if (front.empty()) {  // an empty chunk is a read that finds nothing
            chunks_.pop_front();
            return {PortIo::Empty};
        }
        std::size_t n = std::min(max, front.size());
        front.copy(buffer, n);
        front.erase(0, n);
        if (front.empty())
            chunks_.pop_front();
        return {PortIo::Data, n};
    }
    std::string Rest() const
    {
        std::string all;
        for (const auto& c : chunks_)
            all += c;
        return all;
    }
    PortIo end = PortIo::Closed;
    int reads = 0;

private:
    std::deque<std::string> chunks_;
};

std::optional<std::string> Line(Script& s)
{
    ReaderOutcome o = ReadReplyLine(s);
    EXPECT_EQ(o.status, PortIo::Data);
    return o.reply;
}

}  // namespace

TEST(ReplyLine, CutsAtTheFirstLineEndAndDropsTheRestOfTheChunk)
{
    Script s({"Erased\r\n"});
    EXPECT_EQ(Line(s), "Erased");

    Script three({"abc\r\ndef", "", "gh\n"});  // the line end inside the chunk does not stop the read
    EXPECT_EQ(Line(three), "abc");
    EXPECT_EQ(three.Rest(), "");
}

TEST(ReplyLine, LineEndSplitAcrossReadsLeavesTheLfForTheNextReader)
{
    Script s({"Done\r", "\n", "", "Erased\r\n"});
    EXPECT_EQ(Line(s), "Done");
    EXPECT_EQ(Line(s), "Erased");  // the stray LF alone is a chunk without a reply: dropped

    // The same late LF read together with the next reply: the LF is skipped, not the reply.
    Script together({"E or P?\r", "", "\nErased\r\n"});
    EXPECT_EQ(Line(together), "E or P?");
    EXPECT_EQ(Line(together), "Erased");
}

// A reply that shares its chunk with line ends or short fragments before it used to be dropped
// with them, which lost the erase result, a banner or "Done" for good.
TEST(ReplyLine, LeadingLineEndsAndShortFragmentsAreSkippedNotTheReplyAfterThem)
{
    for (const char* chunk : {"\r\nErased\r\n", "E\r\nErased\r\n", "\n\rok\r\nE\r\nErased\r\n"}) {
        Script s({chunk, "Later\r\n"});
        EXPECT_EQ(Line(s), "Erased") << chunk;
    }
    Script banner({"\r\nQZ-7 Boot Loader\r\n"});
    EXPECT_EQ(Line(banner), "QZ-7 Boot Loader");
    Script done({"\r\nDone\r\n"});
    EXPECT_EQ(Line(done), "Done");

    // A chunk of nothing but fragments is dropped, and reading goes on.
    Script two({"ok\r\n", "", "a\r\nb\n", "E or P?\r\n"});
    EXPECT_EQ(Line(two), "E or P?");

    // A full buffer: the line after a blank one counts as far as it came.
    Script full({"\r\n" + std::string(30, 'x')});
    EXPECT_EQ(Line(full), std::string(22, 'x'));
    EXPECT_EQ(full.Rest(), std::string(8, 'x'));
}

TEST(ReplyLine, AsterisksAheadOfTheFinalReplyArePacingOnlyWhereAsked)
{
    Script ahead({std::string(100, '*'), "*Do", "ne\r\n"});
    EXPECT_EQ(ReadReplyLine(ahead, "*").reply, "Done");
    Script plain({std::string(100, '*')});
    EXPECT_EQ(Line(plain), std::string(24, '*'));
    Script inside({"**D*one\r\n"});  // only those in front go
    EXPECT_EQ(ReadReplyLine(inside, "*").reply, "D*one");
}

TEST(ReplyLine, FullBufferWithoutLineEndIsTheReplyAndTheRestStaysQueued)
{
    Script s({std::string(30, 'x')});
    EXPECT_EQ(Line(s), std::string(24, 'x'));
    EXPECT_EQ(s.Rest(), std::string(6, 'x'));
}

TEST(ReplyLine, BytesAbove127DropTheChunk)
{
    Script s({"Era\xC9sed\r\n", "Erased\r\n"});
    EXPECT_EQ(Line(s), "Erased");
}

TEST(ReplyLine, EndsWithoutReplyWhenThePortClosesOrHangsUp)
{
    Script closed({"Don", ""});
    EXPECT_EQ(ReadReplyLine(closed).status, PortIo::Closed);
    Script hung({"Don"});
    hung.end = PortIo::HangUp;
    ReaderOutcome o = ReadReplyLine(hung);
    EXPECT_EQ(o.status, PortIo::HangUp);
    EXPECT_FALSE(o.reply);
}

TEST(VersionReply, CutsAtTheFirstQAndKeepsTheLineEnd)
{
    Script s({"ab Q1 V2\r\n"});
    EXPECT_EQ(ReadVersionReply(s).reply, "Q1 V2\r\n");

    Script noQ({"boot\r\n", "V2.005\r\n"});  // earlier passes stay in the text
    EXPECT_EQ(ReadVersionReply(noQ).reply, "boot\r\nV2.005\r\n");

    Script prompt({"E or P?\r\n"});
    EXPECT_EQ(ReadVersionReply(prompt).reply, "E or P?\r\n");
}

TEST(VersionReply, LowerCaseVDoesNotCountAndPassesRunOut)
{
    std::deque<std::string> chunks;
    for (int i = 0; i < 120; ++i)
        chunks.push_back("v" + std::to_string(i) + "\n");
    Script s(chunks);
    ReaderOutcome o = ReadVersionReply(s);
    std::string expected;
    for (int i = 0; i < 101; ++i)
        expected += "v" + std::to_string(i) + "\n";
    EXPECT_EQ(o.reply, expected);
    EXPECT_EQ(s.Rest().substr(0, 5), "v101\n");
}

TEST(VersionReply, AByteAbove127LeavesTheReplyAbsent)
{
    std::deque<std::string> chunks{"QZ7 \xC9\r\n"};
    for (int i = 0; i < 100; ++i)
        chunks.push_back("QZ7 V2.005\r\n");
    Script s(chunks);
    ReaderOutcome o = ReadVersionReply(s);
    EXPECT_EQ(o.status, PortIo::Data);
    EXPECT_FALSE(o.reply);
}

TEST(VersionReply, AFullBufferEndsEveryLaterPassAtOnce)
{
    Script s({std::string(1100, 'x')});
    ReaderOutcome o = ReadVersionReply(s);
    EXPECT_EQ(o.reply, std::string(1023, 'x'));
    EXPECT_EQ(s.Rest().size(), 77u);
}

TEST(ChoosePath, LastMatchWinsCaseInsensitively)
{
    std::vector<SerialService> services{{"ttyS0", "/dev/ttyS0"}, {"ttyUSB0", "/dev/ttyUSB0"}, {"PL2303-01", "/dev/pl"}};
    EXPECT_EQ(ChoosePath(services, std::nullopt), "/dev/pl");
    services.push_back({"my-serial", "/dev/ser"});
    EXPECT_EQ(ChoosePath(services, std::nullopt), "/dev/ser");
    EXPECT_EQ(ChoosePath({{"ttyS0", "/dev/ttyS0"}}, std::nullopt), std::nullopt);
    EXPECT_EQ(ChoosePath({{"ttyS0", "/dev/ttyS0"}}, "/dev/earlier"), "/dev/earlier");
}

TEST(ChoosePath, ListsAtMostFiftyNamesAndStopsAtANameWithoutPath)
{
    std::vector<SerialService> sixty;
    for (int i = 1; i <= 60; ++i)
        sixty.push_back({"usb" + std::to_string(i), "/dev/usb" + std::to_string(i)});
    EXPECT_EQ(ChoosePath(sixty, std::nullopt), "/dev/usb50");

    std::vector<SerialService> broken{{"usbA", "/dev/a"}, {std::nullopt, "/dev/nameless"}, {"usbB", "/dev/b"},
                                      {"usbC", std::nullopt}, {"usbD", "/dev/d"}};
    EXPECT_EQ(ChoosePath(broken, std::nullopt), "/dev/b");
    PathChoice why = ExplainChoice(broken, std::nullopt);
    EXPECT_EQ(why.chosen, 2u);
    EXPECT_EQ(why.word, "usb");
    EXPECT_EQ(why.considered, 4u) << "the pathless usbC ends the listing; usbD is never looked at";
}

TEST(PortList, MarksTheChoiceAndSaysWhyThroughTheProgramsOwnListing)
{
    // The real program, with the listing given through the environment as tests and benches do.
    int status = -1;
    std::string out = CommandOutput("QZ7_SERIAL_PORTS='ttyS0=/dev/ttyS0,usbserial-A1=/dev/cu.A1,Bluetooth=/dev/bt,"
                                    "usbLate' " QZ7_BINARY_DIR "/qz7-updater --list",
                                    status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("* /dev/cu.A1"), std::string::npos) << out;
    EXPECT_NE(out.find("  /dev/ttyS0"), std::string::npos) << out;
    EXPECT_NE(out.find("no device path"), std::string::npos) << out;
    EXPECT_NE(out.find("would use /dev/cu.A1: its name, usbserial-A1, holds \"usb\""), std::string::npos) << out;

    out = CommandOutput("QZ7_SERIAL_PORTS='ttyS0=/dev/ttyS0' " QZ7_BINARY_DIR "/qz7-updater --list", status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("would wait for an adapter"), std::string::npos) << out;
    EXPECT_EQ(out.find("*"), std::string::npos) << out;
}

TEST(ServiceList, ParsesPairsInOrder)
{
    auto s = ParseServiceList("usbserial-sim=/dev/pts/3,ttyS0=/dev/ttyS0,bare,=/dev/x");
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0].name, "usbserial-sim");
    EXPECT_EQ(s[0].path, "/dev/pts/3");
    EXPECT_EQ(s[2].name, "bare");
    EXPECT_FALSE(s[2].path);
    EXPECT_FALSE(s[3].name);
}

TEST(DirectionsText, UnexpectedReplyIsCutToFortyCharacters)
{
    EXPECT_EQ(Directions::Unexpected(std::string(50, 'a')),
              "Unexpected reply: " + std::string(40, 'a') + "\nPlease restart the program\nand the QZ7");
    EXPECT_EQ(Directions::FoundVersion("2.005"), "Found Version: 2.005\n Update To: QZ7 V2.007?\n");
}
