// The reply rules, the line reader and the operator's texts, fed by hand.
#include "controller/QZ7_UpdaterAppDelegate.h"
#include "core/ReplyRules.h"
#include "serial/Discovery.h"
#include "tests/support/TestSupport.h"

#include <deque>
#include <future>
#include <thread>
#include <random>
#include <gtest/gtest.h>

namespace {

// A chunk that stays: every read finds nothing, 2 ms later.
const std::string kQuiet = "<quiet>";

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
        if (front == kQuiet) {  // the device says nothing more for a while, as a port's wait
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
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

// The same bytes handed over in reads of another size: whole, one byte a read, or random pieces.
std::deque<std::string> Split(const std::string& stream, int mode)
{
    std::deque<std::string> chunks;
    if (mode == 0)
        return {stream};
    std::mt19937 rng(static_cast<unsigned>(mode));
    for (std::size_t at = 0; at < stream.size();) {
        std::size_t n = mode == 1 ? 1 : 1 + rng() % 9;
        chunks.push_back(stream.substr(at, n));
        chunks.push_back("");  // nothing pending in between
        at += n;
    }
    return chunks;
}

// One dialogue's readers in turn, as the controller runs them, written down as they end: the
// banner, the version, a reply, the pacing of three lines, the final reply after the image.
std::string Conversation(LineReader& reader, ByteSource& source)
{
    std::string log;
    auto note = [&](const ReaderOutcome& o) {
        log += o.status != PortIo::Data ? "<end>" : o.reply ? "[" + *o.reply + "]" : "<absent>";
    };
    note(reader.ReadReplyLine(source));
    note(reader.ReadVersionReply(source));
    note(reader.ReadReplyLine(source));
    for (int line = 0; line < 3; ++line) {
        for (Piece p = reader.NextPacing(source);; p = reader.NextPacing(source)) {
            if (p.kind == Piece::Asterisk) {
                log += "*";
                break;
            }
            if (p.kind == Piece::End)
                return log + "<end>";
            log += "{" + p.bytes + "}";
        }
    }
    LoaderLines verdict(LoaderLines::Phase::AfterImage, std::chrono::hours(1));
    const LineReader::Judged j = reader.AwaitLoader(source, verdict);
    return log + (j.status != PortIo::Data ? "<end>" : "[" + j.verdict.line + "]");
}

std::string Converse(const std::string& stream, int mode)
{
    LineReader reader;
    Script s(Split(stream, mode));
    return Conversation(reader, s);
}

std::optional<std::string> Line(const std::string& stream)
{
    LineReader reader;
    Script s({stream});
    ReaderOutcome o = reader.ReadReplyLine(s);
    EXPECT_EQ(o.status, PortIo::Data) << stream;
    return o.reply;
}

std::optional<std::string> Version(const std::string& stream)
{
    LineReader reader;
    Script s({stream});
    return reader.ReadVersionReply(s).reply;
}

}  // namespace

// However the kernel splits the device's bytes into reads, every reader gets the same: the
// conversations that used to end differently (bytes after a line end, a line in place of an
// asterisk, a high byte beside a reply, an overlong line) read alike in every split. An overlong
// line's rest is the next line, and an asterisk is never lost, whatever came before it.
TEST(LineReader, EverySplitOfTheStreamGivesTheSameConversation)
{
    const std::string x1100(1100, 'x');
    const std::vector<std::pair<std::string, std::string>> table{
        {"QZ-7 Boot Loader\r\ny\r\nQZ7 V2.005\r\nE or P?\r\n*x\r\n**Done\r\n",
         "[QZ-7 Boot Loader][QZ7 V2.005\r][E or P?]*{x}**[Done]"},
        {"QZ-7 Boot Loader\r\n>QZ7 V2.005\r\nErased\r\n*>**\r\n***Done\r\n",
         "[QZ-7 Boot Loader][QZ7 V2.005\r][Erased]*{>}**[Done]"},
        {"\r\nok\r\nQZ-7 Boot Loader, build 2026-11-30 rev 7\r\nHello\r\nV2\r\nEra\xC9sed\r\nErased\r\nNot D*Not Done\r\n",
         "[QZ-7 Boot Loader, build ][2026-11-30 rev 7\rHello\rV2\r][Erased]{Not D}*{Not Done}<end>"},
        {"QZ-7\r\nE or P?\r\n\r\n\r\nErased\r\n*Done\r\n", "[QZ-7][E or P?\r][Erased]*{Done}<end>"},
        // 1 100 bytes without a line end, then the asterisk; chatter between records.
        {"QZ-7\r\nV1\r\nErased\r\n*" + x1100 + "*Note: page written\r\n*Done\r\n",
         "[QZ-7][V1\r][Erased]*{" + std::string(1023, 'x') + "}{" + std::string(77, 'x') + "}*{Note: page written}*[Done]"},
        // The erase answered with no line end, the first asterisk right behind it.
        {"QZ-7\r\nV1\r\nErased, now send the records***Done\r\n", "[QZ-7][V1\r][Erased, now send the rec]{ords}***[Done]"},
    };
    for (const auto& [stream, expected] : table) {
        EXPECT_EQ(Converse(stream, 0), expected);
        for (int mode = 1; mode < 12; ++mode)
            EXPECT_EQ(Converse(stream, mode), expected) << "split " << mode << " of: " << stream;
    }
}

TEST(LineReader, ARepliesLineIsItsFirstTwentyFourCharactersAndTheRestOfItIsTheNextLine)
{
    EXPECT_EQ(Line("Erased\r\n"), "Erased");
    EXPECT_EQ(Line(std::string(30, 'x') + "\r\nDone\r\n"), std::string(24, 'x'));
    LineReader reader;
    Script s({std::string(30, 'x'), "", "yy\r\nDone\r\n"});
    EXPECT_EQ(reader.ReadReplyLine(s).reply, std::string(24, 'x'));
    EXPECT_EQ(reader.ReadReplyLine(s).reply, "xxxxxxyy") << "the overlong line's rest is the next reply";
    EXPECT_EQ(reader.ReadReplyLine(s).reply, "Done");
    LineReader prompt;
    Script menu({"Please choose erase or program: E or P?\r\n"});
    EXPECT_EQ(prompt.ReadReplyLine(menu).reply, "Please choose erase or p");
    EXPECT_EQ(prompt.ReadReplyLine(menu).reply, "rogram: E or P?");
    // Lines of one or two characters, blank lines and lines that do not decode are no replies;
    // nor is a rest of one or two characters.
    EXPECT_EQ(Line("\r\nE\r\nok\n\rEr\xC9sed\r\nErased\r\n"), "Erased");
    LineReader shortRest;
    Script two({std::string(26, 'x') + "\r\nDone\r\n"});
    EXPECT_EQ(shortRest.ReadReplyLine(two).reply, std::string(24, 'x'));
    EXPECT_EQ(shortRest.ReadReplyLine(two).reply, "Done");
}

TEST(LineReader, EndsWithoutReplyWhenThePortClosesOrHangsUp)
{
    LineReader reader;
    Script closed({"Don", ""});
    EXPECT_EQ(reader.ReadReplyLine(closed).status, PortIo::Closed);
    Script hung({"Don"});
    hung.end = PortIo::HangUp;
    ReaderOutcome o = reader.ReadVersionReply(hung);
    EXPECT_EQ(o.status, PortIo::HangUp);
    EXPECT_FALSE(o.reply);
    Script paced({"Not Do"});
    EXPECT_EQ(reader.NextPacing(paced).kind, Piece::End);
    reader.Clear();
    EXPECT_EQ(reader.Kept(), 0u);
}

// The loader's lines while the transfer waits for an asterisk and after the last image line:
// each judged whole (its 1023-byte pieces together, a byte above 127 hiding nothing), a line
// that may be an end or chatter judged by what follows it, the same under every split.
TEST(LoaderLines, EachLineIsJudgedWholeAndAMaybeByWhatFollows)
{
    using Phase = LoaderLines::Phase;
    constexpr Phase T = Phase::Transfer, A = Phase::AfterImage;
    const std::string x1023(1023, 'X'), x1019(1019, 'X'), x1021(1021, 'X'), x3000(3000, 'X');
    struct Row {
        Phase phase;
        std::string stream;
        std::string verdict;  // "pace", "closed", or the end's outcome and the line it quotes
        bool quiet = false;   // decided by the quiet spell after the line
    };
    const auto end = [](Outcome o, const std::string& line) { return std::to_string(static_cast<int>(o)) + " " + line; };
    const std::vector<Row> table{
        // During the transfer: chatter paces on, "Not Done" ends at once, high bytes hide nothing.
        {T, "*", "pace"},
        {T, "Note: page written\r\nPage 5 Done\r\n*", "pace"},
        {T, "\xffNot Done\r\n", end(Outcome::NotDone, "\xffNot Done")},
        {T, "Not Done \xc2\xb7 flash error\r\n", end(Outcome::NotDone, "Not Done \xc2\xb7 flash error")},
        {T, "Not Done*", end(Outcome::NotDone, "Not Done")},
        {T, x3000 + "Not Done" + x1023, end(Outcome::NotDone, x1023)},  // before its line end
        {T, "\xffQZ-7 Boot Loader\r\n", end(Outcome::Restarted, "\xffQZ-7 Boot Loader"), true},
        // Lines longer than a piece are one line.
        {T, x1023 + "Done\r\n*", "pace"},
        {T, x1019 + "Not Done\r\n", end(Outcome::NotDone, x1019 + "Not ")},
        {T, x1021 + "QZ-7 Boot Loader\r\n", end(Outcome::Restarted, x1021 + "QZ"), true},
        // A maybe followed by an asterisk is chatter; by "Not Done" a refusal; by quiet its end.
        {T, "Done*", "pace"},
        {T, "Done\r\n*", "pace"},
        {T, "chatter about the QZ-7\r\n*", "pace"},
        {T, "Done\r\nNot Done\r\n", end(Outcome::NotDone, "Not Done")},
        {T, "  Done \t\r\n", end(Outcome::EndedEarly, "  Done \t"), true},
        {T, "Done\r\nPage 5 written\r\n", end(Outcome::EndedEarly, "Done"), true},
        // After the last line: "Done" alone at once, "Not" beside "Done" never a success, a
        // maybe by what follows, chatter and an echo dropped, asterisks ignored.
        {A, "**Done\r\n", end(Outcome::Done, "Done")},
        {A, "Page 3075 Done\r\nNot Done\r\n", end(Outcome::NotDone, "Not Done")},
        {A, "Page 3075 Done\r\n", end(Outcome::Done, "Page 3075 Done"), true},
        {A, "Page 3075 Done\r\n*", "closed"},
        {A, "Image check: Done; flash Not verified\r\n", end(Outcome::NotDone, "Image check: Done; flash Not verified")},
        {A, "Note: page written\r\nDone\r\n", end(Outcome::Done, "Done")},
        {A, ":00000001FF\r\nDone\r\n", end(Outcome::Done, "Done")},
        {A, "\xffNot Done\r\n", end(Outcome::NotDone, "\xffNot Done")},
        {A, "QZ-7 Boot Loader\r\n", end(Outcome::Restarted, "QZ-7 Boot Loader"), true},
    };
    static constexpr auto kQuietSpell = std::chrono::milliseconds(40);
    // Every row in every split side by side: a quiet spell is real time, and the runs share nothing.
    struct Judged {
        std::string got;
        bool waited;
    };
    std::vector<std::future<Judged>> runs;
    for (const Row& row : table) {
        for (int mode = 0; mode < 5; ++mode) {
            runs.push_back(std::async(std::launch::async, [&row, mode, end] {
                std::deque<std::string> chunks = Split(row.stream, mode);
                if (row.quiet)
                    chunks.push_back(kQuiet);
                Script s(std::move(chunks));
                LineReader reader;
                LoaderLines judge(row.phase, kQuietSpell);
                const auto start = std::chrono::steady_clock::now();
                const LineReader::Judged j = reader.AwaitLoader(s, judge);
                const auto took = std::chrono::steady_clock::now() - start;
                return Judged{j.status == PortIo::Closed        ? "closed"
                              : j.status != PortIo::Data         ? "hung up"
                              : j.verdict.kind == LoaderLines::Verdict::Pace ? "pace"
                                                                              : end(j.verdict.outcome, j.verdict.line),
                              took >= kQuietSpell};
            }));
        }
    }
    std::size_t run = 0;
    for (const Row& row : table) {
        for (int mode = 0; mode < 5; ++mode) {
            const Judged judged = runs[run++].get();
            const std::string where = "split " + std::to_string(mode) + " of: " + StatusText::Printable(row.stream, 60);
            EXPECT_EQ(judged.got, row.verdict) << where;
            EXPECT_EQ(judged.waited, row.quiet) << where;
        }
    }
    // However chatty the loader goes on after a maybe, it is decided within the longest wait.
    LoaderLines judge(T, std::chrono::milliseconds(1000), std::chrono::milliseconds(5000));
    const auto t0 = std::chrono::steady_clock::time_point{};
    LoaderLine done, chatter;
    done.Append("Done");
    chatter.Append("Page written");
    EXPECT_EQ(judge.Line(done, t0).kind, LoaderLines::Verdict::Wait);
    EXPECT_EQ(judge.Deadline(), t0 + std::chrono::milliseconds(1000));
    EXPECT_EQ(judge.Line(chatter, t0 + std::chrono::milliseconds(4500)).kind, LoaderLines::Verdict::Wait);
    EXPECT_EQ(judge.Deadline(), t0 + std::chrono::milliseconds(5000));
    EXPECT_EQ(judge.Tick(t0 + std::chrono::milliseconds(5000)).outcome, Outcome::EndedEarly);
    EXPECT_EQ(judge.Deadline(), std::nullopt);
}

// A banner among the bytes drained before the power-on prompt is kept from its line's start, and
// read before anything that comes later.
TEST(LineReader, ABannerAmongDrainedBytesIsReadFirst)
{
    const std::vector<std::tuple<std::string, std::string, std::optional<std::string>>> table{
        {"noise\x01\r\nQZ-7 Boot Loader\r\n", "", "QZ-7 Boot Loader"},
        {"\r\nold QZ-7\r\nx\rjunk QZ-7 Bo", "ot Loader\r\n", "junk QZ-7 Boot Loader"},
        {"QZ-7", " Boot Loader\r\n", "QZ-7 Boot Loader"},
        {"noise\r\nqz-7\r\n", "", std::nullopt},
    };
    for (const auto& [drained, later, banner] : table) {
        const std::optional<std::size_t> at = BannerStart(drained);
        EXPECT_EQ(at.has_value(), banner.has_value()) << StatusText::Printable(drained);
        if (!at)
            continue;
        LineReader reader;
        reader.Keep(std::string_view(drained).substr(*at));
        Script s({later});
        EXPECT_EQ(reader.ReadReplyLine(s).reply, banner) << StatusText::Printable(drained);
    }
}

TEST(LineReader, TheVersionIsGatheredByLinesAndCutAtTheFirstQ)
{
    EXPECT_EQ(Version("ab Q1 V2\r\n"), "Q1 V2\r");
    EXPECT_EQ(Version("boot\r\nV2.005\r\n"), "boot\rV2.005\r") << "earlier lines stay in the text";
    EXPECT_EQ(Version("E or P?\r\n"), "E or P?\r");
    // A byte above 127 spoils its own line only.
    EXPECT_EQ(Version("QZ7 \xC9\r\nQZ7 V2.005\r\n"), "QZ7 V2.005\r");

    std::string lowerCase;
    for (int i = 0; i < 120; ++i)
        lowerCase += "v" + std::to_string(i) + "\n";
    LineReader reader;
    Script s({lowerCase});
    std::string expected;
    for (int i = 0; i < 101; ++i)
        expected += "v" + std::to_string(i) + "\n";
    EXPECT_EQ(reader.ReadVersionReply(s).reply, expected) << "a lower-case v is no version; 101 lines at most";
    EXPECT_EQ(reader.ReadReplyLine(s).reply, "v101") << "the lines after stay";

    EXPECT_EQ(Version(std::string(1100, 'x')), std::string(1023, 'x'));
}

TEST(DirectionsText, UnexpectedReplyIsCutToFortyCharacters)
{
    EXPECT_EQ(Directions::Unexpected(std::string(50, 'a')),
              "Unexpected reply: " + std::string(40, 'a') + "\nPlease restart the program\nand the QZ7");
    EXPECT_EQ(Directions::FoundVersion("2.005"), "Found Version: 2.005\n Update To: QZ7 " + kShippedV + "?\n");
}
