// The capture's line format and the capturing port: bytes survive the JSON string whatever they
// are, a capture reads back as it was written (or says on which line it is not one), each read
// of the port is one event with its bytes, and the files are named as the manual says.
#include "hex/CaptureFormat.h"
#include "serial/Capture.h"
#include "serial/ScriptedPort.h"
#include "tests/support/TestSupport.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string AllBytes()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    return bytes;
}

TEST(CaptureFormat, BytesSurviveTheJsonStringAndReadAsText)
{
    struct Row {
        std::string bytes;
        std::string quoted;  // empty: not checked, only the round trip
    };
    const std::vector<Row> rows = {
        {"QZ-7 Boot Loader\r\n", R"("QZ-7 Boot Loader\r\n")"},
        {"*", R"("*")"},
        {"say \"hi\"\\", R"("say \"hi\"\\")"},
        {std::string("\0\x1B\x7F\x80\xFF\t", 6), R"("\u0000\u001B\u007F\u0080\u00FF\t")"},
        {":100000000050002001020008090200081102000847\r\n", R"(":100000000050002001020008090200081102000847\r\n")"},
        {AllBytes(), ""},
        {"", R"("")"},
    };
    for (const Row& row : rows) {
        const std::string quoted = capture::QuoteBytes(row.bytes);
        if (!row.quoted.empty()) {
            EXPECT_EQ(quoted, row.quoted);
        }
        std::optional<capture::Line> line = capture::ParseLine(R"({"t":5,"ev":"read","b":)" + quoted + "}");
        ASSERT_TRUE(line) << quoted;
        EXPECT_EQ(line->Bytes("b"), row.bytes) << quoted;
        EXPECT_EQ(line->Number("t"), 5);
        // The file is 7-bit text whatever the bytes were.
        for (char c : quoted)
            EXPECT_LT(static_cast<unsigned char>(c), 0x80u) << quoted;
    }
    // Each byte at each place of a run long enough to span two words: escaped where it stands,
    // the plain bytes around it copied as they are.
    for (int value = 0; value < 256; ++value) {
        const unsigned char c = static_cast<unsigned char>(value);
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\u%04X", value);
        const std::string alone = capture::QuoteBytes(std::string(1, static_cast<char>(c)));
        const std::string inner = alone.substr(1, alone.size() - 2);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            ASSERT_EQ(inner, std::string(1, static_cast<char>(c)));
        } else if (c != '"' && c != '\\' && c != '\r' && c != '\n' && c != '\t') {
            ASSERT_EQ(inner, hex);
        }
        for (std::size_t at = 0; at < 17; ++at) {
            std::string run(17, 'A');
            run[at] = static_cast<char>(c);
            ASSERT_EQ(capture::QuoteBytes(run),
                      "\"" + std::string(at, 'A') + inner + std::string(16 - at, 'A') + "\"") << value << " at " << at;
        }
    }
    // Written by another tool: raw UTF-8 for a byte above 127, and \u escapes in lower case.
    std::optional<capture::Line> other = capture::ParseLine("{ \"b\" : \"\xC3\xA9\\u00ff\\/\" , \"n\":[1,{\"x\":\"}\"}] }");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->Bytes("b"), "\xE9\xFF/");
    EXPECT_EQ(other->raw.at("n"), R"([1,{"x":"}"}])");
    EXPECT_FALSE(capture::ParseLine(R"({"b":"\u0100"})")->Bytes("b"));  // no byte
    EXPECT_EQ(capture::ParseLine(R"({"b":"\u0100"})")->Text("b"), "\xC4\x80");
}

TEST(CaptureFormat, ARecordingReadsBackOrSaysWhichLineIsNoCapture)
{
    const std::string header = R"({"capture":1,"ev":"open","path":"/dev/ttyUSB0"})";
    struct Row {
        std::string text;
        std::string error;  // empty: it reads, with `events` events
        std::size_t events = 0;
        bool ended = false;
    };
    const std::vector<Row> rows = {
        {header + "\n" + R"({"t":1,"ev":"read","b":"QZ-7\r\n"})" + "\n" + R"({"t":2,"ev":"write","b":"y"})" + "\n" +
             R"({"t":3,"ev":"hangup","errno":5})" + "\n" + R"({"t":4,"ev":"close"})" + "\n" +
             R"({"t":5,"ev":"end","outcome":"done","exit":0})" + "\n",
         "", 4, true},
        {header + "\n" + R"({"t":9,"ev":"stalled","sent":3})" + "\n", "", 0, false},  // a kind the replay does not play
        {"", "line 1: empty: no capture header"},
        {R"({"t":1,"ev":"read","b":"x"})", "line 1: the first line is no capture header"},
        {header + "\nnot json\n", "line 2: not a JSON object"},
        {header + "\n" + R"({"ev":"read","b":"x"})", "line 2: no time \"t\""},
        {header + "\n" + R"({"t":1,"ev":"write"})", "line 2: no bytes \"b\""},
        {header + "\n" + R"({"t":1,"ev":"end"})" + "\n" + R"({"t":2,"ev":"read","b":"x"})", "line 3: a line after \"end\""},
    };
    for (const Row& row : rows) {
        capture::Parsed parsed = capture::ParseRecording(row.text);
        if (!row.error.empty()) {
            EXPECT_FALSE(parsed.recording) << row.text;
            EXPECT_TRUE(parsed.error.starts_with(row.error)) << parsed.error;
            continue;
        }
        ASSERT_TRUE(parsed.recording) << parsed.error;
        EXPECT_EQ(parsed.recording->events.size(), row.events);
        EXPECT_EQ(parsed.recording->end.has_value(), row.ended);
        EXPECT_EQ(parsed.recording->header.Text("path"), "/dev/ttyUSB0");
    }
}

TEST(CapturingPort, EachReadIsOneEventAndEveryCallIsForwarded)
{
    const std::string file = testing::TempDir() + "/port-capture.jsonl";
    auto inner = std::make_shared<ScriptedPort>();
    auto session = std::make_shared<CaptureSession>(file, 1 << 20, CaptureSession::Clock::now(),
                                                    CaptureSession::Fields{{"path", capture::QuoteText("/dev/x")}});
    CapturingPort port(inner, session);
    inner->Feed(std::vector<std::string>{"QZ-7 Boot", " Loader\r\n"});
    char buffer[64];
    std::vector<std::string> reads;
    for (int i = 0; i < 3; ++i) {
        PortResult r = port.Read(buffer, sizeof buffer);
        if (r.status == PortIo::Data)
            reads.emplace_back(buffer, r.count);
    }
    EXPECT_EQ(reads, (std::vector<std::string>{"QZ-7 Boot", " Loader\r\n"}));  // the splits as they came
    EXPECT_EQ(port.WriteAll("y", 1, std::chrono::milliseconds(100)).status, PortIo::Data);
    EXPECT_EQ(inner->Written(), "y");
    inner->HangUp(5);
    EXPECT_EQ(port.Read(buffer, sizeof buffer).status, PortIo::HangUp);
    EXPECT_EQ(port.Read(buffer, sizeof buffer).status, PortIo::HangUp);  // one hang-up event only
    EXPECT_EQ(port.HangUpError(), inner->HangUpError());
    EXPECT_EQ(port.Shutdown(std::chrono::milliseconds(10)), Port::Closed::NotRestored);  // the line was gone
    EXPECT_EQ(port.Shutdown(std::chrono::milliseconds(10)), Port::Closed::NotOpen);  // one close event only
    EXPECT_FALSE(port.IsOpen());
    session->SetOutcome({{"outcome", capture::QuoteText("disconnected")}, {"exit", "5"}});
    const std::string keptBefore = session->Kept();
    session->Finish();
    EXPECT_EQ(session->Error(), "");

    struct Expected {
        capture::Event::Kind kind;
        std::string bytes;
    };
    const std::vector<Expected> expected = {
        {capture::Event::Read, "QZ-7 Boot"}, {capture::Event::Read, " Loader\r\n"}, {capture::Event::Write, "y"},
        {capture::Event::HangUp, ""},        {capture::Event::Close, ""},
    };
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    for (const std::string& content : {text.str(), keptBefore, session->Kept()}) {
        capture::Parsed parsed = capture::ParseRecording(content);
        ASSERT_TRUE(parsed.recording) << parsed.error << "\n" << content;
        const auto& events = parsed.recording->events;
        ASSERT_EQ(events.size(), expected.size()) << content;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(events[i].kind, expected[i].kind) << i;
            EXPECT_EQ(events[i].bytes, expected[i].bytes) << i;
            if (i > 0) {
                EXPECT_GE(events[i].t, events[i - 1].t) << i;
            }
        }
        EXPECT_EQ(events[3].error, 5);
        ASSERT_TRUE(parsed.recording->end);
        EXPECT_EQ(parsed.recording->end->Text("outcome"), "disconnected");
        EXPECT_EQ(parsed.recording->header.Text("path"), "/dev/x");
    }
}

TEST(CaptureSession, TheFileHoldsEveryEventInOrderWhateverTheMemoryBoundKept)
{
    // One buffer serves both: the kept lines while they are whole, the file's own once the bound
    // cuts them short. The file must not lose or reorder a line at that switch, and what is
    // kept is the file's beginning.
    struct Row {
        std::size_t keep;
        bool file;
        int events;
        bool keptWhole;
        std::chrono::microseconds pace{0};  // between events: the writer's timer runs meanwhile
    };
    const std::vector<Row> rows = {
        {0, true, 2000, true},         // the terminal: a file only
        {200, false, 20, false},       // the window without --capture: memory only, cut short
        {1 << 20, true, 2000, true},   // the window with --capture: both, kept whole
        {4000, true, 2000, false},     // both, the bound reached partway
        // The writer reads the kept lines while more are added, and the bound is reached
        // between two of its turns.
        {1 << 20, true, 2000, true, std::chrono::microseconds(150)},
        {60000, true, 2000, false, std::chrono::microseconds(150)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "keep " << row.keep << (row.file ? " with a file" : ""));
        const std::string path = testing::TempDir() + "/session-capture.jsonl";
        std::string kept;
        {
            CaptureSession session(row.file ? std::optional(path) : std::nullopt, row.keep, CaptureSession::Clock::now(),
                                   {{"path", capture::QuoteText("/dev/x")}});
            for (int i = 0; i < row.events; ++i) {
                const std::string line = ":10" + std::to_string(i) + "\r";
                session.Write(line.data(), line.size());
                session.Read("*", 1);
                if (row.pace.count() > 0)
                    std::this_thread::sleep_for(row.pace);
            }
            session.SetOutcome({{"outcome", capture::QuoteText("done")}});
            session.Finish();
            EXPECT_EQ(session.KeptWhole(), row.keptWhole);
            kept = session.Kept();
            EXPECT_LE(kept.size(), row.keep + 4096);
        }
        if (!row.file)
            continue;
        std::ifstream in(path, std::ios::binary);
        const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const capture::Parsed parsed = capture::ParseRecording(written);
        ASSERT_TRUE(parsed.error.empty()) << parsed.error;
        ASSERT_EQ(parsed.recording->events.size(), 2u * row.events);
        for (int i = 0; i < row.events; ++i) {
            ASSERT_EQ(parsed.recording->events[2 * i].bytes, ":10" + std::to_string(i) + "\r") << i;
            ASSERT_EQ(parsed.recording->events[2 * i + 1].bytes, "*") << i;
        }
        if (row.keep > 0) {
            EXPECT_EQ(written.substr(0, kept.size()), kept);
        }
        if (row.keptWhole && row.keep > 0) {
            EXPECT_EQ(written, kept);
        }
    }
    CaptureSession nowhere(std::string("/proc/no-such-folder/cap.jsonl"), 0, CaptureSession::Clock::now(), {});
    EXPECT_TRUE(nowhere.Error().starts_with("cannot make the capture file")) << nowhere.Error();
    nowhere.Write("y", 1);  // nothing to write to: dropped, no thread blocked
}

TEST(CaptureFiles, NamedBySessionAndBySlot)
{
    struct Row {
        std::string file;
        std::optional<std::string> slot;
        int number;
        std::string name;
    };
    const std::vector<Row> rows = {
        {"cap.jsonl", std::nullopt, 1, "cap.jsonl"},
        {"cap.jsonl", std::nullopt, 2, "cap-2.jsonl"},
        {"out/cap.jsonl", "pci-0000:00:14.0-usb-0:2:1.0-port0", 1, "out/cap-pci-0000:00:14.0-usb-0:2:1.0-port0.jsonl"},
        {"out/cap.jsonl", "pts-3", 3, "out/cap-pts-3-3.jsonl"},
        {"dir.d/cap", "pts-3", 1, "dir.d/cap-pts-3"},
        {".hidden", std::nullopt, 2, ".hidden-2"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(CaptureFileName(row.file, row.slot, row.number), row.name) << row.file;
    // A port without a by-path link is named by its device.
    EXPECT_EQ(SlotName("/dev/pts/3", "/nonexistent-dev"), "dev-pts-3");
    EXPECT_EQ(SlotName("/nonexistent-dev/pts/3", "/nonexistent-dev"), "pts-3");
}

}  // namespace
