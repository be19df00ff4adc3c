// Captures replayed: each capture kept in tests/captures (one per way of ending, made by
// scripts/make_captures.sh against the simulator) is played by qz7-bootsim --replay to the
// updater on a pseudo-terminal, which must end as it did when it was captured; a capture of the
// replay holds the same events; a changed write is named by event and time.
#include "hex/CaptureFormat.h"
#include "tests/support/TestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <atomic>
#include <future>
#include <fcntl.h>
#include <memory>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace {

const std::string kCaptures = QZ7_SOURCE_DIR "/tests/captures/";

std::string Text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

capture::Recording Recorded(const std::string& path)
{
    capture::Parsed parsed = capture::ParseRecording(Text(path));
    EXPECT_TRUE(parsed.recording) << path << ": " << parsed.error;
    return parsed.recording.value_or(capture::Recording{});
}

struct Replayed {
    int replayStatus = -1;
    std::string replaySaid;
    int updaterStatus = -1;
    QJsonObject end;  // the updater's --json end event
};

// Replays `file` at `speed` to `qz7-updater --cli --yes --json` with `extra` options.
Replayed Replay(const std::string& file, const std::string& speed, const std::vector<std::string>& extra,
                const std::string& lang = "C.UTF-8")
{
    Replayed result;
    int out[2];
    EXPECT_EQ(pipe2(out, O_CLOEXEC), 0);
    Updater sim(Launch{.env = ChildEnvironment({}),
                       .args = {"--replay", file, "--speed", speed, "--timeout-s", "60"},
                       .stdoutFd = out[1],
                       .program = QZ7_BINARY_DIR "/qz7-bootsim"});
    ::close(out[1]);
    std::string said = ReadUntil(out[0], "\n", 5s);
    EXPECT_TRUE(said.ends_with("\n")) << said;
    const std::string pty = said.substr(0, said.find('\n'));
    static std::atomic<int> replays{0};
    const std::string json = testing::TempDir() + "/replay-" + std::to_string(::getpid()) + "-" + std::to_string(++replays) + ".jsonl";
    int jsonFd = ::open(json.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<std::string> args = {"--cli", "--yes", "--json", "--port", pty};
    args.insert(args.end(), extra.begin(), extra.end());
    {
        Updater updater(Launch{.env = ChildEnvironment({"QZ7_TEST_TIMES=discovery=20ms", "LANG=" + lang}),
                               .args = args,
                               .stdoutFd = jsonFd});
        ::close(jsonFd);
        result.updaterStatus = updater.Wait(60s);
    }
    result.replayStatus = sim.Wait(20s);
    // Its last line says how the replay ended.
    result.replaySaid = ReadUntil(out[0], "qz7-bootsim: replay", 5s);
    if (!result.replaySaid.ends_with("\n"))
        result.replaySaid += ReadUntil(out[0], "\n", 2s);
    ::close(out[0]);
    std::istringstream lines(Text(json));
    for (std::string line; std::getline(lines, line);) {
        QJsonObject event = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        if (event.value("event").toString() == "end")
            result.end = event;
    }
    return result;
}

TEST(Replay, EveryKeptCaptureEndsAsItDidWhenCaptured)
{
    struct Row {
        std::string capture;
        // As when it was made (scripts/make_captures.sh), but for a shorter --timeout: the replay
        // holds the program to the bytes, not to when it gives up.
        std::vector<std::string> options;
        std::string outcome;
        int exit;
        int linesSent;
        std::string lang = "C.UTF-8";
    };
    const std::vector<Row> rows = {
        {"done", {}, "done", 0, 3075},
        {"done-de_DE", {}, "done", 0, 3075, "de_DE.UTF-8"},
        {"not-erased", {}, "not-erased", 6, 0},
        {"unexpected", {}, "unexpected", 7, 0},
        {"not-done", {}, "not-done", 11, 30},
        {"restarted", {}, "restarted", 12, 20},
        {"disconnected", {}, "disconnected", 5, 24},
        {"silence", {"--timeout", "1"}, "timed-out", 124, 0},
        {"split-bytes", {}, "done", 0, 3075},
    };
    // Every capture replayed side by side, each to an updater of its own.
    std::vector<std::future<Replayed>> replays;
    for (const Row& row : rows)
        replays.push_back(std::async(std::launch::async, [&row] {
            return Replay(kCaptures + row.capture + ".jsonl", "4", row.options, row.lang);
        }));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.capture);
        Replayed replayed = replays[i].get();
        capture::Recording recorded = Recorded(kCaptures + row.capture + ".jsonl");
        ASSERT_TRUE(recorded.end);
        // The table says what the capture says.
        EXPECT_EQ(recorded.end->Text("outcome"), row.outcome);
        EXPECT_EQ(recorded.end->Number("exit"), row.exit);
        if (row.lang != "C.UTF-8") {
            EXPECT_EQ(recorded.header.Text("lang"), row.lang);
        }
        EXPECT_EQ(replayed.replayStatus, 0) << replayed.replaySaid;
        EXPECT_NE(replayed.replaySaid.find("matched"), std::string::npos) << replayed.replaySaid;
        EXPECT_EQ(replayed.updaterStatus, row.exit);
        EXPECT_EQ(replayed.end.value("outcome").toString().toStdString(), row.outcome);
        EXPECT_EQ(replayed.end.value("exit").toInt(-1), row.exit);
        EXPECT_EQ(replayed.end.value("lines_sent").toInt(-1), row.linesSent);
    }
}

TEST(Replay, ACaptureOfTheReplayHoldsTheSameEvents)
{
    const std::vector<std::string> names = {"done", "not-done", "disconnected"};
    const auto again = [](const std::string& name) { return testing::TempDir() + "/again-" + name + ".jsonl"; };
    std::vector<std::future<Replayed>> replays;
    for (const std::string& name : names)
        replays.push_back(std::async(std::launch::async, [&, name] { return Replay(kCaptures + name + ".jsonl", "1", {"--capture", again(name)}); }));
    for (std::size_t n = 0; n < names.size(); ++n) {
        const std::string& name = names[n];
        SCOPED_TRACE(name);
        Replayed replayed = replays[n].get();
        EXPECT_EQ(replayed.replayStatus, 0) << replayed.replaySaid;
        const capture::Recording first = Recorded(kCaptures + name + ".jsonl");
        const capture::Recording second = Recorded(again(name));
        ASSERT_EQ(second.events.size(), first.events.size());
        for (std::size_t i = 0; i < first.events.size(); ++i) {
            EXPECT_EQ(second.events[i].kind, first.events[i].kind) << "event " << i + 1;
            EXPECT_EQ(second.events[i].bytes, first.events[i].bytes) << "event " << i + 1;
        }
        ASSERT_TRUE(second.end);
        EXPECT_EQ(second.end->Text("outcome"), first.end->Text("outcome"));
        EXPECT_EQ(second.end->Number("exit"), first.end->Number("exit"));
    }
}

TEST(Replay, AChangedWriteIsNamedByEventAndTime)
{
    struct Row {
        std::string what;        // the write in the capture, as the line holds it
        std::string changedTo;   // what the recording is made to expect instead
        std::string report;      // the bytes as the report quotes them
    };
    const std::vector<Row> rows = {
        {R"("ev":"write","b":"E")", R"("ev":"write","b":"X")", R"(expected "X", got "E")"},
        {R"("ev":"write","b":":020000040800F2\r\n")", R"("ev":"write","b":":020000040800F3\r\n")",
         R"(expected "3\r\n", got "2\r\n")"},
    };
    const std::string original = Text(kCaptures + "done.jsonl");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.changedTo);
        std::string changed = original;
        const std::size_t at = changed.find(row.what);
        ASSERT_NE(at, std::string::npos);
        changed.replace(at, row.what.size(), row.changedTo);
        // The event's number and recorded time, as the capture holds them.
        const std::size_t lineStart = changed.rfind('\n', at) + 1;
        const long line = std::count(changed.begin(), changed.begin() + static_cast<long>(lineStart), '\n') + 1;
        const capture::Line event = *capture::ParseLine(changed.substr(lineStart, changed.find('\n', at) - lineStart));
        char recorded[32];
        std::snprintf(recorded, sizeof recorded, "%.6f s", static_cast<double>(*event.Number("t")) / 1e6);
        const std::string file = testing::TempDir() + "/changed.jsonl";
        std::ofstream(file, std::ios::binary) << changed;

        Replayed replayed = Replay(file, "4", {});
        EXPECT_EQ(replayed.replayStatus, 3) << replayed.replaySaid;
        const std::string where = "first difference at event " + std::to_string(line - 1) + " (line " +
                                  std::to_string(line) + " of the capture), ";
        EXPECT_NE(replayed.replaySaid.find(where), std::string::npos) << replayed.replaySaid;
        EXPECT_NE(replayed.replaySaid.find(std::string("(recorded at ") + recorded + "): " + row.report + "\n"),
                  std::string::npos) << replayed.replaySaid;
        // The replay ends the line at the difference: the updater hears the adapter go.
        EXPECT_EQ(replayed.updaterStatus, 5);
    }
}

}  // namespace

namespace {

// Several units side by side: one capture each, named by its slot (a pseudo-terminal has no
// by-path name, so its device's: "pts-N"), each holding its own unit's conversation and end.
TEST(Capture, SeveralUnitsWriteOneFileEachNamedBySlot)
{
    struct Sim {
        std::unique_ptr<Updater> process;
        int out = -1;
        std::string pty;
    };
    struct Row {
        std::vector<std::string> options;  // the simulator's
        std::string outcome;
    };
    const std::vector<Row> rows = {{{}, "done"}, {{"--fail-erase"}, "not-erased"}};
    std::vector<Sim> sims(rows.size());
    std::vector<std::string> args = {"--cli", "--yes", "--json"};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        int out[2];
        ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
        std::vector<std::string> simArgs = {"--power-on-ms", "100", "--erase-ms", "20", "--timeout-s", "60"};
        simArgs.insert(simArgs.end(), rows[i].options.begin(), rows[i].options.end());
        sims[i].process = std::make_unique<Updater>(Launch{.env = ChildEnvironment({}), .args = simArgs, .stdoutFd = out[1],
                                                          .program = QZ7_BINARY_DIR "/qz7-bootsim"});
        ::close(out[1]);
        sims[i].out = out[0];
        std::string said = ReadUntil(out[0], "\n", 5s);
        sims[i].pty = said.substr(0, said.find('\n'));
        args.insert(args.end(), {"--port", sims[i].pty});
    }
    const std::string base = testing::TempDir() + "/bench.jsonl";
    args.insert(args.end(), {"--capture", base});
    Updater updater(Launch{.env = ChildEnvironment({"QZ7_TEST_TIMES=discovery=20ms"}), .args = args});
    EXPECT_EQ(updater.Wait(60s), 16);  // one unit failed
    for (std::size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(sims[i].pty);
        std::string slot = sims[i].pty.substr(5);  // "pts/N" -> "pts-N"
        std::replace(slot.begin(), slot.end(), '/', '-');
        const capture::Recording recorded = Recorded(testing::TempDir() + "/bench-" + slot + ".jsonl");
        EXPECT_EQ(recorded.header.Text("path"), sims[i].pty);
        ASSERT_TRUE(recorded.end);
        EXPECT_EQ(recorded.end->Text("outcome"), rows[i].outcome);
        ASSERT_FALSE(recorded.events.empty());
        EXPECT_EQ(recorded.events.back().kind, capture::Event::Close);
        sims[i].process->Wait(10s);
        ::close(sims[i].out);
    }
}

}  // namespace
