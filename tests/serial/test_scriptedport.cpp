// The port in memory that the controller's tests use, and the opener of the real port: what a
// reader meets for each way of splitting, and how hang-up, stall and shut-down end the calls.
#include "serial/PortOpening.h"
#include "serial/ScriptedPort.h"
#include "sim/ScriptedLoader.h"
#include "tests/support/TestSupport.h"

#include <thread>

namespace {
// Every piece a reader gets, with reads of at most `max` bytes, until the port is empty.
std::vector<std::string> ReadAll(ScriptedPort& port, std::size_t max)
{
    std::vector<std::string> pieces;
    char buffer[64];
    for (PortResult r; (r = port.Read(buffer, max)).status == PortIo::Data;)
        pieces.emplace_back(buffer, r.count);
    return pieces;
}
}  // namespace

TEST(ScriptedPort, EachWayOfSplittingHandsTheReaderTheBytesInItsPieces)
{
    struct Row {
        ScriptedPort::Pieces pieces;
        std::size_t max;
        std::vector<std::string> read;  // empty: checked by the total alone (random pieces)
    };
    const std::vector<Row> table{
        {ScriptedPort::Pieces::AsFed, 64, {"QZ-7\r\n", "E or P?\r\n", "*"}},
        {ScriptedPort::Pieces::AsFed, 4, {"QZ-7", "\r\n", "E or", " P?\r", "\n", "*"}},
        {ScriptedPort::Pieces::Merged, 64, {"QZ-7\r\nE or P?\r\n*"}},
        {ScriptedPort::Pieces::Merged, 8, {"QZ-7\r\nE ", "or P?\r\n*"}},
        {ScriptedPort::Pieces::Bytes, 64, {"Q", "Z", "-", "7", "\r", "\n", "E", " ", "o", "r", " ", "P", "?", "\r", "\n", "*"}},
        {ScriptedPort::Pieces::Random, 64, {}},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(static_cast<int>(row.pieces));
        ScriptedPort port(row.pieces, 5);
        port.Feed(std::vector<std::string>{"QZ-7\r\n", "E or P?\r\n"});
        port.Feed("*");
        EXPECT_EQ(port.Pending(), 16u);
        EXPECT_EQ(port.WaitReadable(0ms), PortIo::Data);
        const std::vector<std::string> read = ReadAll(port, row.max);
        std::string all;
        for (const std::string& piece : read) {
            all += piece;
            EXPECT_LE(piece.size(), row.pieces == ScriptedPort::Pieces::Random ? 6u : row.max);
        }
        EXPECT_EQ(all, "QZ-7\r\nE or P?\r\n*");
        if (!row.read.empty()) {
            EXPECT_EQ(read, row.read);
        }
        EXPECT_EQ(port.Pending(), 0u);
        EXPECT_EQ(port.Read(nullptr, 0).status, PortIo::Data);  // a request for nothing
    }
}

TEST(ScriptedPort, HangUpStallAndShutDownEndEachCallAsOnARealLine)
{
    struct Row {
        const char* name;
        std::function<void(ScriptedPort&)> before;  // on the port before the calls
        std::function<void(ScriptedPort&)> during;  // 30 ms into both calls, each on its own thread
        PortIo read, wait, write;
        std::size_t written;  // bytes of "yyEP" the write took
        Port::Closed closed;
        int hangUpError;
    };
    auto hangUp = [](ScriptedPort& p) { p.HangUp(); };
    auto shutDown = [](ScriptedPort& p) { p.Shutdown(0ms); };
    const std::vector<Row> table{
        {"open and quiet", {}, {}, PortIo::Empty, PortIo::Empty, PortIo::Data, 4, Port::Closed::Restored, -1},
        {"hung up", hangUp, {}, PortIo::HangUp, PortIo::Data, PortIo::HangUp, 0, Port::Closed::NotRestored, 5},
        {"hung up during the calls", {}, hangUp, PortIo::HangUp, PortIo::Data, PortIo::HangUp, 2, Port::Closed::NotRestored, 5},
        {"shut down", shutDown, {}, PortIo::Closed, PortIo::Closed, PortIo::Closed, 0, Port::Closed::NotOpen, -1},
        {"shut down during the calls", {}, shutDown, PortIo::Closed, PortIo::Closed, PortIo::Closed, 2, Port::Closed::NotOpen, -1},
        {"stalled after two bytes", [](ScriptedPort& p) { p.Stall(2); }, {}, PortIo::Empty, PortIo::Empty, PortIo::Stalled, 2,
         Port::Closed::Restored, -1},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.name);
        ScriptedPort port;
        if (row.before)
            row.before(port);
        const auto start = std::chrono::steady_clock::now();
        PortIo waited{};
        PortResult wrote{};
        if (row.during) {
            // The write waits in its stall, the wait for input on the port; the change ends both
            // at once, never at their bounds.
            port.Stall(2);
            std::thread waiter([&] { waited = port.WaitReadable(2000ms); });
            std::thread changer([&] {
                std::this_thread::sleep_for(30ms);
                row.during(port);
            });
            wrote = port.WriteAll("yyEP", 4, 2000ms);
            waiter.join();
            changer.join();
            EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
        } else {
            waited = port.WaitReadable(50ms);
            wrote = port.WriteAll("yyEP", 4, 50ms);
        }
        EXPECT_EQ(waited, row.wait);
        char byte;
        EXPECT_EQ(port.Read(&byte, 1).status, row.read);
        EXPECT_EQ(wrote.status, row.write);
        EXPECT_EQ(wrote.count, row.written);
        EXPECT_EQ(port.Written(), std::string("yyEP").substr(0, row.written));
        EXPECT_EQ(port.HangUpError(), row.hangUpError);
        EXPECT_EQ(port.Shutdown(0ms), row.closed);
        EXPECT_EQ(port.Shutdown(0ms), Port::Closed::NotOpen);
        EXPECT_FALSE(port.IsOpen());
    }
}

TEST(ScriptedPort, TheLoaderAnswersEachCommandAtOnceAndCountsTheImage)
{
    bootsim::Options o;
    o.expected = ":0100000041BE\r\n:00000001FF\r\n";
    ScriptedPort port;
    bootsim::ScriptedLoader loader(o, {[&](const std::vector<std::string>& w) { port.Feed(w); }, [&] { port.HangUp(); }});
    port.OnWrite([&](std::string_view bytes) { loader.Take(bytes); });
    auto reply = [&] {
        std::string all;
        for (const std::string& piece : ReadAll(port, 64))
            all += piece;
        return all;
    };
    struct Step {
        std::string write;  // empty: the power-on
        std::string reply;
    };
    const std::vector<Step> steps{
        {"", "QZ-7 Boot Loader\r\n"}, {"y", "QZ7 V2.005\r\n"}, {"y", "E or P?\r\n"}, {"y", ""},  // at the prompt: nothing
        {"E", "Erased\r\n"},          {"P", "*"},              {":0100000041BE\r\n", "*"},    {":00000001FF\r\n", "Done\r\n"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.write);
        if (step.write.empty())
            loader.PowerOn();
        else
            ASSERT_EQ(port.WriteAll(step.write.data(), step.write.size(), 50ms).status, PortIo::Data);
        EXPECT_EQ(reply(), step.reply);
    }
    EXPECT_TRUE(loader.Snapshot().Intact()) << loader.Snapshot().Summary();
    EXPECT_EQ(loader.Snapshot().lines, 2);
}

TEST(PortOpening, TheRealOpenerHandsOverARecordOrGivesThePortBack)
{
    for (bool takeOver : {true, false}) {
        SCOPED_TRACE(takeOver ? "taken over" : "given up");
        Pty pty;
        const termios before = pty.Settings();
        PortOpening opening = OpenSerialPort(pty.path);
        ASSERT_GT(opening.result.fd, 0);
        ASSERT_TRUE(opening.takeOver && opening.giveUp);
        EXPECT_TRUE(pty.Exclusive());
        if (takeOver) {
            std::shared_ptr<Port> port = opening.takeOver();
            auto record = std::dynamic_pointer_cast<WQSerial>(port);
            ASSERT_TRUE(record);
            EXPECT_EQ(record->PortID(), opening.result.fd);
            EXPECT_EQ(record->ChosenPath(), pty.path);
            EXPECT_TRUE(SameSettings(record->termios_archive(), before));
            EXPECT_TRUE(port->IsOpen());
            EXPECT_EQ(port->Shutdown(100ms), Port::Closed::Restored);
        } else {
            opening.giveUp();
        }
        EXPECT_TRUE(SameSettings(pty.Settings(), before));
        EXPECT_FALSE(pty.Exclusive());
    }
    // Nothing to hand over when the open fails.
    PortOpening missing = OpenSerialPort("/nonexistent/ttyUSB9");
    EXPECT_EQ(missing.result.fd, -1);
    EXPECT_EQ(missing.result.failure.step, "open");
    EXPECT_FALSE(missing.takeOver);
    EXPECT_FALSE(missing.giveUp);
}
