// The status line's texts and its board, on a clock the test sets.
#include "core/Decision.h"
#include "core/OneLine.h"
#include "core/SearchHint.h"
#include "core/TestTimes.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

using namespace std::chrono;
using Clock = StatusBoard::Clock;

namespace {

struct Board {
    std::vector<std::string> shown;
    StatusBoard board{{30s, 10s, 5s}, [this](const StatusFact& s) {
                          shown.push_back(Words::Status(s));
                          kinds.push_back(Words::Kind(s));
                          lines.push_back(Words::LinesSent(s).value_or(0));
                      }};
    std::vector<StatusKind> kinds;
    std::vector<int> lines;
    Clock::time_point t0 = Clock::now();
    std::string Now() const { return shown.empty() ? std::string() : shown.back(); }
};

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(StatusText, PrintableEscapesAndCuts)
{
    EXPECT_EQ(StatusText::Printable("Done\r\n\xC9\\"), "Done\\x0D\\x0A\\xC9\\\\");
    // Words of other scripts stand; control characters (U+0080 to U+009F among them) and stray bytes do not.
    EXPECT_EQ(StatusText::PrintableText("Fertig: \xC3\xBC \xE5\xAE\x8C\x1B[2J \xC2\x9B \xC3"), "Fertig: \xC3\xBC \xE5\xAE\x8C\\x1B[2J \\xC2\\x9B \\xC3");
    std::string cut = StatusText::Printable(std::string(200, 'a'));
    EXPECT_EQ(cut.size(), 80u);
    EXPECT_EQ(cut.substr(77), "...");
    // A cut never splits an escape.
    EXPECT_EQ(StatusText::Printable(std::string(30, '\x01'), 80).find("\\x0..."), std::string::npos);
}

TEST(StatusText, PermissionGivesTheFixThatApplies)
{
    StatusText::PermissionFacts f{"/dev/ttyUSB0", "root", "dialout", "alice", true, false, false};
    std::string text = StatusText::Permission(f);
    EXPECT_TRUE(Has(text, "/dev/ttyUSB0")) << text;
    EXPECT_TRUE(Has(text, "\nsudo adduser alice dialout\n")) << text;
    EXPECT_TRUE(Has(text, "log out and back in")) << text;

    f.listedInGroup = true;  // added already, but this login predates it
    text = StatusText::Permission(f);
    EXPECT_FALSE(Has(text, "adduser")) << text;
    EXPECT_TRUE(Has(text, "log out and back in")) << text;

    f = {"/dev/pts/3", "root", "tty", "alice", false, false, false};  // only the owner may use it
    text = StatusText::Permission(f);
    EXPECT_FALSE(Has(text, "adduser")) << "joining the group would not help: " << text;
    EXPECT_TRUE(Has(text, "udev rule")) << text;
}

TEST(StatusText, BusyNamesHoldersAndKnownGrabbers)
{
    std::string text = StatusText::Busy("/dev/ttyACM0", {{"minicom", 4242}}, {"ModemManager"});
    EXPECT_TRUE(Has(text, "minicom (PID 4242)")) << text;
    EXPECT_TRUE(Has(text, "ModemManager is running")) << text;
    text = StatusText::Busy("/dev/ttyACM0", {}, {});
    EXPECT_TRUE(Has(text, "/dev/ttyACM0 is in use by another program.")) << text;
    EXPECT_TRUE(Has(StatusText::OpenError("/dev/ttyUSB0", "open", ENOENT), std::strerror(ENOENT)));
}

TEST(StatusBoard, SilenceHintsAppearAtTheirThresholdAndClearOnTheNextByte)
{
    Board b;
    b.board.SetBase(StatusText::AdapterFacts{.path = "/dev/ttyUSB0"});
    b.board.PortOpened(b.t0);
    for (milliseconds t = 0ms; t < 30s; t += 50ms)
        b.board.Waiting(Stage::AwaitingBanner, b.t0 + t);
    EXPECT_EQ(b.Now(), "Adapter on /dev/ttyUSB0");
    for (milliseconds t = 30s; t < 32s; t += 50ms)
        b.board.Waiting(Stage::AwaitingBanner, b.t0 + t);
    EXPECT_EQ(b.Now(), StatusText::PowerOnSilence(31s));
    EXPECT_EQ(b.shown.size(), 3u) << "one change per whole second, not one per wait";
    EXPECT_EQ(b.kinds, (std::vector{StatusKind::Plain, StatusKind::PowerOnSilence, StatusKind::PowerOnSilence}))
        << "the front ends tell a counting hint by its kind, not by its words";

    b.board.Received(Stage::AwaitingBanner, "Q", 1, b.t0 + 32s);
    EXPECT_EQ(b.Now(), "Adapter on /dev/ttyUSB0");
    b.board.Readable("QZ-7", b.t0 + 32s);

    // Later waits: 10 s, counted from the start of the wait.
    auto t1 = b.t0 + 40s;
    b.board.Waiting(Stage::AwaitingErased, t1);
    b.board.Waiting(Stage::AwaitingErased, t1 + 9900ms);
    EXPECT_EQ(b.Now(), "Adapter on /dev/ttyUSB0");
    b.board.Waiting(Stage::AwaitingErased, t1 + 10s);
    EXPECT_EQ(b.Now(), StatusText::Silence(10s));
    b.board.PortClosed();
    EXPECT_EQ(b.Now(), "Adapter on /dev/ttyUSB0");
}

TEST(StatusBoard, WhatCameWithoutAReplyIsQuotedAfterFiveSecondsNotCalledSilence)
{
    Board b;
    b.board.PortOpened(b.t0);
    std::string flood;
    for (milliseconds t = 0ms; t <= 5s; t += 20ms) {  // bytes keep coming: the reader never waits long
        b.board.Received(Stage::AwaitingBanner, "\xC9\x13", 2, b.t0 + t);
        b.board.Unjudged(flood += "\xC9\x13", b.t0 + t);
    }
    EXPECT_TRUE(Has(b.Now(), "cannot read (\"\\xC9\\x13")) << b.Now();
    EXPECT_TRUE(Has(b.Now(), "check the cable")) << b.Now();
    b.board.Readable("QZ-7 Boot Loader", b.t0 + 6s);  // a reply the dialogue took
    b.board.Unjudged("", b.t0 + 6s);
    EXPECT_EQ(b.Now(), "");

    // A line without a version, then silence: it is quoted with what is awaited.
    b.board.Unjudged("Hello there\r", b.t0 + 7s);
    b.board.Waiting(Stage::AwaitingVersion, b.t0 + 11s);
    EXPECT_EQ(b.Now(), "");
    b.board.Waiting(Stage::AwaitingVersion, b.t0 + 12s);
    EXPECT_EQ(b.Now(), StatusText::NotAwaited("Hello there\r", Stage::AwaitingVersion, false));
    EXPECT_TRUE(Has(b.Now(), "The QZ7 sent \"Hello there\", not a version")) << b.Now();

    // The texts: a line not ended yet, only empty lines, bytes it cannot read past the erase.
    EXPECT_TRUE(Has(StatusText::NotAwaited("Erased", Stage::AwaitingErased, false),
                    "sent \"Erased\" and has not ended the line; the updater waits for \"Erased\""));
    EXPECT_TRUE(Has(StatusText::NotAwaited("\r\r", Stage::AwaitingPrompt, false), "only empty lines, not the prompt"));
    std::string text = StatusText::NotAwaited("Eras\xC9""ed\r", Stage::AwaitingErased, false);
    EXPECT_TRUE(Has(text, "cannot read (\"Eras\\xC9ed\")") && Has(text, "must be restarted") && !Has(text, "cable"))
        << text;
    text = StatusText::NotAwaited("**", Stage::AwaitingDone, true);
    EXPECT_TRUE(Has(text, "not \"Done\"") && Has(text, "must be restarted")) << text;
}

TEST(StatusBoard, PagingIsCountedAfterTenSecondsAndRedrawnOnceASecond)
{
    Board b;
    b.board.PortOpened(b.t0);
    for (milliseconds t = 0ms; t < 12s; t += 1ms)
        b.board.Paging(t.count() + 1, "What?", b.t0, b.t0 + t);
    EXPECT_EQ(b.shown.size(), 2u) << "the paging line at 10 s and 11 s, not once per page";
    EXPECT_EQ(b.Now(), StatusText::Paging(11001, "What?"));
    EXPECT_EQ(b.kinds.back(), StatusKind::Paging);
    b.board.Paging(0, {}, b.t0, b.t0 + 12s);  // the prompt came
    EXPECT_EQ(b.Now(), "");
}

TEST(StatusBoard, ProgressRefreshesAFewTimesASecondAndEndsInASummary)
{
    Board b;
    b.board.PortOpened(b.t0);
    b.board.TransferStarted(3075, 110700, b.t0);
    for (int line = 1; line <= 3075; ++line) {  // 3075 lines in about 3 s
        b.board.LinesTaken(line - 1);  // the asterisk that asked for this line
        b.board.LineSent(line, static_cast<std::uint64_t>(line) * 36, b.t0 + microseconds(line * 1000));
    }
    EXPECT_LE(b.shown.size(), 20u);
    EXPECT_GE(b.shown.size(), 10u);
    EXPECT_TRUE(Has(b.shown[b.shown.size() / 2], " of 3075, ")) << b.shown[b.shown.size() / 2];
    EXPECT_TRUE(Has(b.shown[b.shown.size() / 2], "kB/s, about ")) << b.shown[b.shown.size() / 2];
    EXPECT_TRUE(Has(b.Now(), "Line 3075 of 3075")) << b.Now();
    // Each progress text names the line written; the lines sent are those the QZ7 took.
    for (std::size_t i = 0; i < b.shown.size(); ++i) {
        EXPECT_EQ(b.kinds[i], StatusKind::Progress) << b.shown[i];
        EXPECT_TRUE(b.shown[i].starts_with("Line " + std::to_string(b.lines[i] + 1) + " of ") || b.shown[i].starts_with("Line 0 of "))
            << b.shown[i];
    }
    b.board.Ended(Outcome::Done, b.t0 + 3100ms);
    EXPECT_EQ(b.Now(), "Sent 3075 lines (110.7 kB) in 3.1 s. The QZ7 now has firmware " + kShippedV + ".");
    EXPECT_EQ(b.kinds.back(), StatusKind::Summary);
    EXPECT_EQ(b.lines.back(), 3075);
    EXPECT_EQ(Words::Status(b.board.Settle()), b.Now()) << "an end stays as it is";

    // Lines that went within a refresh's quarter second: shown once the QZ7 keeps the next
    // asterisk waiting, and, for a transfer stopped then, by Settle (without a time left).
    Board held;
    held.board.PortOpened(held.t0);
    held.board.TransferStarted(3075, 110700, held.t0);
    for (int line = 1; line <= 100; ++line)
        held.board.LineSent(line, static_cast<std::uint64_t>(line) * 36, held.t0 + microseconds(line * 100));
    EXPECT_TRUE(held.Now().starts_with("Line 1 of 3075")) << held.Now();
    held.board.Waiting(Stage::AwaitingDone, held.t0 + 100ms);
    EXPECT_TRUE(held.Now().starts_with("Line 1 of 3075")) << "a quarter second apart: " << held.Now();
    held.board.Waiting(Stage::AwaitingDone, held.t0 + 300ms);
    EXPECT_EQ(held.Now(), "Line 100 of 3075");
    held.board.LineSent(101, 101 * 36, held.t0 + 310ms);
    EXPECT_EQ(Words::Status(held.board.Settle()), "Line 101 of 3075, 11.7 kB/s");
    EXPECT_EQ(held.Now(), "Line 101 of 3075, 11.7 kB/s");

    // An end that comes within the quarter second: the count before the failure is the true one.
    Board ended;
    ended.board.PortOpened(ended.t0);
    ended.board.Advanced(Stage::AwaitingDone);
    ended.board.TransferStarted(3075, 110700, ended.t0);
    for (int line = 1; line <= 100; ++line)
        ended.board.LineSent(line, static_cast<std::uint64_t>(line) * 36, ended.t0 + microseconds(line * 100));
    ended.board.LinesTaken(100);  // the verdict came after the last line written
    ended.board.Ended(Outcome::NotDone, ended.t0 + 20ms);
    ASSERT_GE(ended.shown.size(), 2u);
    EXPECT_TRUE(ended.shown[ended.shown.size() - 2].starts_with("Line 100 of 3075")) << ended.shown[ended.shown.size() - 2];
    EXPECT_EQ(ended.lines[ended.shown.size() - 2], 100);
    EXPECT_TRUE(Has(ended.Now(), "after line 100 of 3075")) << ended.Now();
}

TEST(StatusBoard, FailureScreensBringOneLineOfDetail)
{
    Board b;
    b.board.PortOpened(b.t0);
    b.board.TransferStarted(3075, 110700, b.t0);
    b.board.Received(Stage::AwaitingDone, "*", 1, b.t0);
    b.board.LineSent(1234, 44000, b.t0 + 1s);
    b.board.HungUp(EIO);
    b.board.Ended(Outcome::Disconnected, b.t0 + 2s);
    EXPECT_TRUE(Has(b.Now(), "sending the image, after line 1234 of 3075")) << b.Now();
    EXPECT_TRUE(Has(b.Now(), std::strerror(EIO))) << b.Now();
    EXPECT_FALSE(Has(b.Now(), "Last from")) << "pacing asterisks are no reply: " << b.Now();

    b.board.PortOpened(b.t0);
    b.board.Waiting(Stage::AwaitingErased, b.t0);
    b.board.Received(Stage::AwaitingErased, "Flash\x01 locked\r\nmore", 19, b.t0);
    b.board.Readable("Flash\x01 locked", b.t0);
    b.board.Ended(Outcome::Unexpected, b.t0);
    EXPECT_EQ(b.Now(), "Stopped while waiting for the erase to finish. Last from the QZ7: \"Flash\\x01 locked\". The QZ7 may "
                       "have no firmware now: switch it off, then hold Run/Stop while you switch it on.");

    // Every end but "Done" brings it, whatever its words (the restart screen has no "Please restart").
    b.board.PortOpened(b.t0);
    b.board.TransferStarted(3075, 110700, b.t0);
    b.board.Received(Stage::AwaitingDone, "*", 1, b.t0);
    b.board.LineSent(200, 7200, b.t0 + 1s);
    b.board.Ended(Outcome::Restarted, b.t0 + 2s);
    EXPECT_TRUE(Has(b.Now(), "after line 200 of 3075")) << b.Now();
    EXPECT_TRUE(Has(b.Now(), "The QZ7 has no firmware now: switch it off, then hold Run/Stop")) << b.Now();

    // The banner came and the dialogue moved on; the adapter went before the version was waited
    // for: the stage named is the one awaited, and the hang-up is said in plain words.
    b.board.PortOpened(b.t0);
    b.board.Received(Stage::AwaitingBanner, "QZ-7 Boot Loader\r\n", 18, b.t0);
    b.board.Advanced(Stage::AwaitingVersion);
    b.board.HungUp(0);
    b.board.Ended(Outcome::Disconnected, b.t0 + 1s);
    EXPECT_EQ(b.Now(), "Stopped while reading the QZ7's version. The adapter's line went dead: it was unplugged or lost "
                       "power. Last from the QZ7: \"QZ-7 Boot Loader\".");
}

TEST(StatusText, TheLastLineHasNoTimeLeftAndCountingHintsAreLoggedOnceAMinute)
{
    EXPECT_EQ(StatusText::Progress(3075, 3075, 5500, 0.0), "Line 3075 of 3075, 5.5 kB/s");
    EXPECT_EQ(StatusText::Progress(3070, 3075, 5500, 0.4), "Line 3070 of 3075, 5.5 kB/s");
    EXPECT_EQ(StatusText::Progress(3000, 3075, 5500, 1.2), "Line 3000 of 3075, 5.5 kB/s, about 1 s left");

    StatusLogPace pace;
    const Clock::time_point t0 = Clock::now();
    int logged = 0;
    for (int s = 30; s < 3630; ++s)  // an hour at the power-on prompt, one text a second
        logged += static_cast<int>(pace.Take(StatusText::PowerOnSilence(seconds(s)), StatusKind::PowerOnSilence, t0 + seconds(s)).size());
    EXPECT_EQ(logged, 60);
    // A new kind of text is logged at once, after the last count held back.
    const std::string notAwaited = StatusText::NotAwaited("ok", Stage::AwaitingBanner, false);
    EXPECT_EQ(pace.Take(notAwaited, StatusKind::Plain, t0 + 3630s), (std::vector{StatusText::PowerOnSilence(3629s), notAwaited}));
    EXPECT_EQ(pace.Take(StatusText::PowerOnSilence(3631s), StatusKind::PowerOnSilence, t0 + 3631s),
              std::vector{StatusText::PowerOnSilence(3631s)});
    EXPECT_EQ(pace.Take("", StatusKind::Plain, t0 + 3632s).size(), 1u);
    EXPECT_EQ(pace.Take("", StatusKind::Plain, t0 + 3633s).size(), 1u) << "a cleared line is no count";
    EXPECT_EQ(pace.Unlogged(), std::nullopt);

    // A transfer stopped where nothing follows: the count reached is there to log at the end, once.
    // The rate that joins the count after the first lines makes it no new kind of text.
    EXPECT_EQ(pace.Take("Line 0 of 3075", StatusKind::Progress, t0 + 3634s).size(), 1u);
    EXPECT_TRUE(pace.Take("Line 1 of 3075", StatusKind::Progress, t0 + 3634s).empty());
    EXPECT_TRUE(pace.Take("Line 100 of 3075, 11.7 kB/s", StatusKind::Progress, t0 + 3635s).empty());
    EXPECT_EQ(pace.Unlogged(), "Line 100 of 3075, 11.7 kB/s");
    EXPECT_EQ(pace.Unlogged(), std::nullopt);
}

TEST(SearchHint, SaysWhatItSeesAfterFiveSecondsAndNamesBrlttyForAnAdapterThatVanished)
{
    SearchHint hint(5s);
    const Clock::time_point t0 = Clock::now();
    const std::vector<SerialService> onlyS0{{"ttyS0", "/dev/ttyS0"}};
    int asked = 0;
    auto brltty = [&] { ++asked; return std::vector<std::string>{"brltty"}; };
    Clock::time_point t = t0;
    auto pass = [&](const std::vector<SerialService>& services) -> std::optional<std::string> {
        t += 200ms;
        if (std::optional<StatusText::SearchFacts> found = hint.Pass(services, t, brltty))
            return Words::Status(*found);
        return std::nullopt;
    };
    for (int i = 0; i < 25; ++i)  // 0 to 4.8 s
        EXPECT_EQ(pass(onlyS0), std::nullopt) << "too early, pass " << i;
    EXPECT_EQ(pass(onlyS0), "No USB serial adapter found. Seen: /dev/ttyS0, not a USB adapter.");
    EXPECT_EQ(pass({}), "No USB serial adapter found. The system lists no serial port at all: plug the adapter in, "
                        "or try another USB socket or cable.");
    EXPECT_EQ(pass({{"ttyS0", "/dev/ttyS0"}, {"ttyS1", "/dev/ttyS1"}, {"ttyS2", "/dev/ttyS2"}}),
              "No USB serial adapter found. Seen: /dev/ttyS0, /dev/ttyS1 and /dev/ttyS2, not USB adapters.");
    EXPECT_EQ(asked, 0);

    // An adapter for a second, then gone: brltty took it.
    const std::vector<SerialService> withUsb{{"ttyS0", "/dev/ttyS0"}, {"ttyUSB0", "/dev/ttyUSB0"}};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(pass(withUsb), std::nullopt) << "an adapter is listed: its open speaks for it";
    std::optional<std::string> text = pass(onlyS0);
    ASSERT_TRUE(text);
    EXPECT_TRUE(Has(*text, "An adapter appeared at /dev/ttyUSB0 and went away again: brltty")) << *text;
    EXPECT_TRUE(Has(*text, "\nsudo apt remove brltty\n")) << *text;
    EXPECT_EQ(asked, 1);

    // A new search (passes resumed after a pause) starts its patience anew; an adapter listed
    // for longer than a few seconds and then unplugged is no sign of brltty.
    t += 10s;
    EXPECT_EQ(pass(onlyS0), std::nullopt);
    for (int i = 0; i < 40; ++i)
        pass(withUsb);
    for (int i = 0; i < 30; ++i)
        text = pass(onlyS0);
    ASSERT_TRUE(text);
    EXPECT_FALSE(Has(*text, "brltty")) << *text;
    EXPECT_EQ(asked, 1);
}

TEST(TimeLeft, OneSlowStretchDoesNotMakeTheEstimateJump)
{
    TimeLeft left;
    double done = 0;
    for (double t = 0.25; t <= 5.0; t += 0.25) {
        done += 1000;
        left.Sample(t, done, 100000);
    }
    ASSERT_TRUE(left.Seconds());
    EXPECT_NEAR(*left.Seconds(), 20.0, 0.5);
    left.Sample(6.0, done, 100000);  // a second without progress
    EXPECT_GT(*left.Seconds(), 20.0);
    EXPECT_LT(*left.Seconds(), 30.0);
    TimeLeft early;
    early.Sample(0.5, 5000, 100000);
    EXPECT_FALSE(early.Seconds()) << "no estimate before the rate has settled";
}

TEST(TestTimes, EachWaitIsTakenByItsNameAndAnythingElseRefusedWithTheReason)
{
    struct Case {
        const char* text;
        std::vector<std::string> taken;
        std::vector<std::string> refusedFor;  // the entries refused, in order
    };
    const std::vector<Case> cases{
        {"", {}, {}},
        {"paging=200ms,silence=300ms", {"paging 200 ms", "silence 300 ms"}, {}},
        {" power-on-silence = 2s , unreadable=1ms,write-stall=86400s,no-adapter=5ms,discovery=20ms,",
         {"power-on-silence 2000 ms", "unreadable 1 ms", "write-stall 86400000 ms", "no-adapter 5 ms", "discovery 20 ms"}, {}},
        {"paging=1s,paging=2s", {"paging 1000 ms", "paging 2000 ms"}, {}},
        // Names as the code spells them, other units, no unit, out of range, no value at all.
        {"powerOnSilence=1s,silence=1m,paging=500,unreadable=0ms,write-stall=86401s,silence,=5ms",
         {},
         {"powerOnSilence=1s", "silence=1m", "paging=500", "unreadable=0ms", "write-stall=86401s", "silence", "=5ms"}},
        {"paging=-5ms,paging=1.5s,paging=ms,paging=9999999999999999999s", {}, {"paging=-5ms", "paging=1.5s", "paging=ms", "paging=9999999999999999999s"}},
        {"silence=250ms,pagin=1s", {"silence 250 ms"}, {"pagin=1s"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TestTimes::Times t = TestTimes::Parse(c.text);
        EXPECT_EQ(t.taken, c.taken);
        ASSERT_EQ(t.refused.size(), c.refusedFor.size());
        for (std::size_t i = 0; i < t.refused.size(); ++i)
            EXPECT_TRUE(t.refused[i].starts_with("\"" + c.refusedFor[i] + "\": ")) << t.refused[i];
    }
    // What is taken lands on its own wait only; the last entry for a name counts.
    TestTimes::Times t = TestTimes::Parse("paging=1s,silence=300ms,paging=2s,bogus=1s");
    EXPECT_EQ(t.paging, 2s);
    EXPECT_EQ(t.silence, 300ms);
    EXPECT_FALSE(t.powerOnSilence || t.unreadable || t.writeStall || t.noAdapter || t.discovery);
    EXPECT_TRUE(Has(t.refused.at(0), "no such wait (power-on-silence, silence, unreadable, paging, write-stall, no-adapter, discovery, loader-quiet)"))
        << t.refused.at(0);
    EXPECT_TRUE(Has(TestTimes::Parse("paging=2").refused.at(0), "not a duration")) << TestTimes::Parse("paging=2").refused.at(0);
}

// The renderer: every directions value in its exact words, and for every kind of report what a
// front end takes from the facts instead of the words (its kind, the lines sent, a command).
TEST(Words, EachFactHasItsWordsAndWhatAFrontEndNeedsBesideThem)
{
    const std::pair<DirectionsFact, std::string> directions[] = {
        {{Says::ConnectAdapter}, "Connect USB adapter"},
        {{Says::PowerOn}, "Power on the QZ7 while holding front Run/Stop button"},
        {{Says::FoundVersion, "V2.005"}, "Found Version: V2.005\n Update To: QZ7 V" + std::string(Firmware::Version) + "?\n"},
        {{Says::VersionNotFound}, "Version not Found.\nUpdate anyway?"},
        {{Says::Updating}, "Updating QZ7, please wait..."},
        {{Says::Done}, "Done"},
        {{Says::NotErased}, "Not Erased\nPlease restart the program\nand the QZ7"},
        {{Says::Unopened}, "Trying to write to unopened Port"},
        {{Says::Exception, "bad_alloc"}, "An Exception Occured:\nbad_alloc"},
        {{Says::Unexpected, std::string(50, 'W')}, "Unexpected reply: " + std::string(40, 'W') + "\nPlease restart the program\nand the QZ7"},
    };
    for (const auto& [fact, words] : directions)
        EXPECT_EQ(Words::Directions(fact), words);
    // Every text of several lines has its one-line text, which the English rule makes of it
    // (other languages translate that text whole).
    for (int s = 0; s <= static_cast<int>(Says::Exception); ++s) {
        const DirectionsFact fact{static_cast<Says>(s), "2.005"};
        const std::string english = Words::Directions(fact, Words::Language::English);
        const auto texts = Words::OneLineTexts();
        const auto row = std::find_if(texts.begin(), texts.end(), [&](const Words::OneLineText& t) { return t.says == fact.says; });
        const bool lines = english.find('\n') < english.find_last_not_of('\n');
        EXPECT_EQ(row != texts.end(), lines) << english;
        if (row != texts.end()) {
            EXPECT_EQ(Words::Fill(row->text, {"2.005", Firmware::Version}), OneLine(english, Words::Language::English));
        }
        EXPECT_EQ(Words::DirectionsOneLine(fact), OneLine(english, Words::Language::English));
    }
    // Every end has directions of its own.
    std::set<std::string> ends;
    for (Outcome o : {Outcome::Done, Outcome::Disconnected, Outcome::Stopped, Outcome::NotErased, Outcome::NotDone,
                      Outcome::EndedEarly, Outcome::Restarted, Outcome::Unexpected, Outcome::NoVersion,
                      Outcome::ImageDamaged, Outcome::Unopened, Outcome::Exception})
        ends.insert(Words::Directions(*FailureScreen(o).directions));
    EXPECT_EQ(ends.size(), 12u);

    const StatusText::PermissionFacts notInGroup{.device = "/dev/ttyUSB0", .owner = "root", .group = "dialout",
                                                 .user = "ana", .groupMayUse = true};
    StatusText::PermissionFacts inGroup = notInGroup;
    inGroup.listedInGroup = true;
    const struct {
        StatusFact fact;
        StatusKind kind;
        std::optional<int> lines;
        std::string command;
        std::string starts;
    } reports[] = {
        {StatusFact{}, StatusKind::Plain, std::nullopt, "", ""},
        {notInGroup, StatusKind::Plain, std::nullopt, "sudo adduser ana dialout", "No permission to open /dev/ttyUSB0"},
        {inGroup, StatusKind::Plain, std::nullopt, "", "No permission to open /dev/ttyUSB0"},
        {StatusText::SearchFacts{{}, "/dev/ttyUSB0", true}, StatusKind::Plain, std::nullopt, "sudo apt remove brltty",
         "No USB serial adapter found. The system lists no serial port"},
        {StatusText::NotAdapterFacts{"/dev/tty", 0, true}, StatusKind::Plain, std::nullopt, "",
         "/dev/tty is the terminal this program runs on"},
        {StatusText::NotAdapterFacts{"/dev/null", ENOTTY}, StatusKind::Plain, std::nullopt, "", "/dev/null is not a serial port"},
        {StatusText::PowerOnSilenceFacts{31s}, StatusKind::PowerOnSilence, std::nullopt, "", "Nothing from the QZ7 for 31 s."},
        {StatusText::SilenceFacts{12s}, StatusKind::Silence, std::nullopt, "", "No answer from the QZ7 for 12 s."},
        {StatusText::PagingFacts{40, "More?"}, StatusKind::Paging, std::nullopt, "", "The QZ7 answered 40 times"},
        {StatusText::PagingFacts{1, "More?"}, StatusKind::Paging, std::nullopt, "", "The QZ7 answered 1 time without"},
        {StatusText::ProgressFacts{100, 3075, 3600, 30.0, 99}, StatusKind::Progress, 99, "", "Line 100 of 3075, 3.6 kB/s, about 30 s left"},
        {StatusText::SummaryFacts{3075, 110700, 32.4}, StatusKind::Summary, 3075, "", "Sent 3075 lines (110.7 kB) in 32.4 s."},
        {StatusText::SummaryFacts{1, 45, 0.1}, StatusKind::Summary, 1, "", "Sent 1 line (0.0 kB) in 0.1 s."},
        // A failure counts the lines sent only when it came during the transfer: those the QZ7
        // took, not those written into the queue.
        {StatusText::FailureFacts{Stage::AwaitingDone, 1234, 3075, std::nullopt, "", 1200}, StatusKind::Plain, 1200, "", ""},
        {StatusText::FailureFacts{Stage::AwaitingErased}, StatusKind::Plain, std::nullopt, "", ""},
        // A screen with a Restart button has the failure's one instruction name it.
        {StatusText::FailureFacts{.stage = Stage::AwaitingVersion, .hangUpError = 0, .restartButton = true}, StatusKind::Plain,
         std::nullopt, "", "Stopped while reading the QZ7's version. The adapter's line went dead: it was unplugged or lost power."
         " Press Restart, switch the QZ7 off, then hold Run/Stop while you switch it on."},
    };
    for (const auto& r : reports) {
        const std::string words = Words::Status(r.fact);
        EXPECT_TRUE(words.starts_with(r.starts)) << words;
        EXPECT_EQ(Words::Kind(r.fact), r.kind) << words;
        EXPECT_EQ(Words::LinesSent(r.fact), r.lines) << words;
        EXPECT_EQ(Words::Command(r.fact), r.command) << words;
        // A command stands on a line of its own, word for word.
        if (!r.command.empty()) {
            EXPECT_TRUE(Has(words, "\n" + r.command + "\n")) << words;
        }
    }
}
