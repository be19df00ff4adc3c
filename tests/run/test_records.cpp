// What a run writes for programs, on the functions alone: each end's record and report line, the
// events' common fields, the lines' escapes, the report's appends, and the bounds' arithmetic.
#include "run/Bounds.h"
#include "run/Records.h"
#include "firmware/Firmware.h"
#include "tests/support/TestSupport.h"

#include <QJsonDocument>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using namespace records;

TEST(Records, EachEndIsOneRecordByTheTable)
{
    const struct {
        UnitEnd end;
        const char* outcome;
        int exit;
        QJsonValue versionFound;
        QJsonValue relation;
    } table[] = {
        {{"/dev/ttyUSB0", "2.005", VersionRelation::Older, Ending::Done, 12.3456, 2563}, "done", 0, "2.005", "older"},
        {{"/dev/ttyUSB1", "V2.007", VersionRelation::Same, Ending::Checked, 1.0, 0}, "checked", 0, "V2.007", "current"},
        {{"/dev/ttyUSB2", "9.000", VersionRelation::Newer, Ending::NewerOnUnit, 0.5, 0}, "newer-on-unit", 18, "9.000", "newer"},
        {{"/dev/ttyUSB3", "", VersionRelation::Unknown, Ending::Declined, 0, 0}, "declined", 9, "", QJsonValue()},
        // No version read: neither the version nor its relation is said.
        {{"/dev/ttyUSB4", std::nullopt, VersionRelation::Older, Ending::NoAnswer, 3, 0}, "no-answer", 14, QJsonValue(), QJsonValue()},
        {{"/dev/ttyUSB5", std::nullopt, VersionRelation::Unknown, Ending::Unopened, 3, 17}, "disconnected", 5, QJsonValue(), QJsonValue()},
        {{"/dev/ttyUSB6", std::nullopt, VersionRelation::Unknown, Ending::Exception, 0, 0}, "failure", 1, QJsonValue(), QJsonValue()},
        {{"/dev/ttyUSB7", "2.005", VersionRelation::Older, Ending::Interrupted, 7, 40}, "interrupted", 130, "2.005", "older"},
    };
    // Every record carries the identity: the unit's name and the adapter's facts where known,
    // null where not.
    const Identity named{.station = "bench-3", .slot = "pci-0000:00:14.0-usb-0:1.2:1.0-port0", .adapterVidPid = "0403:6001",
                         .driver = "ftdi_sio", .adapterSerial = "A50285BI", .unit = "PCB-0042", .operatorName = "alice",
                         .programVersion = "1.0.0", .firmwareVersion = "2.007", .firmwareSha256 = "466a"};
    const Identity bare{.station = "bench-3", .slot = "/dev/pts/4", .operatorName = "bob", .programVersion = "1.0.0",
                        .firmwareVersion = "2.007", .firmwareSha256 = "466a"};
    int n = 0;
    for (auto row : table) {
        SCOPED_TRACE(row.end.port);
        row.end.identity = n++ % 2 ? bare : named;
        row.end.started = "2026-12-09T22:00:00.000Z";
        row.end.ended = n % 3 ? "2026-12-09T22:00:30.000Z" : "";
        const QJsonObject fields = EndFields(row.end);
        EXPECT_EQ(fields.keys(), (QStringList{"adapter_driver", "adapter_serial", "adapter_vid_pid", "duration_s", "ended", "exit",
                                              "firmware_sha256", "firmware_version", "lines_sent", "operator", "outcome", "port",
                                              "program_version", "slot", "started", "station", "unit_name", "version_found",
                                              "version_relation"}));
        const Identity& id = row.end.identity;
        const std::pair<const char*, std::string> identity[] = {
            {"station", id.station}, {"slot", id.slot}, {"adapter_vid_pid", id.adapterVidPid}, {"adapter_driver", id.driver},
            {"adapter_serial", id.adapterSerial}, {"unit_name", id.unit}, {"operator", id.operatorName},
            {"program_version", id.programVersion}, {"firmware_version", id.firmwareVersion},
            {"firmware_sha256", id.firmwareSha256}, {"started", row.end.started}, {"ended", row.end.ended}};
        for (const auto& [key, value] : identity)
            EXPECT_EQ(fields[key], OrNull(value)) << key;
        EXPECT_EQ(fields["port"].toString().toStdString(), row.end.port);
        EXPECT_EQ(fields["outcome"].toString().toStdString(), row.outcome);
        EXPECT_EQ(fields["exit"].toInt(), row.exit);
        EXPECT_EQ(fields["version_found"], row.versionFound);
        EXPECT_EQ(fields["version_relation"], row.relation);
        EXPECT_EQ(fields["lines_sent"].toInt(), row.end.linesSent);
        EXPECT_DOUBLE_EQ(fields["duration_s"].toDouble(), std::round(row.end.seconds * 1000.0) / 1000.0);

        const StatusText::AdapterFacts adapter{.name = "ttyUSB0", .serialNumber = "A1"};
        const QJsonObject record = Parsed(ReportLine(row.end, adapter));
        for (const QString& key : fields.keys())
            EXPECT_EQ(record[key], fields[key]) << key.toStdString();
        EXPECT_EQ(record["schema"].toInt(), kSchema);
        EXPECT_FALSE(record["time"].toString().isEmpty());
        EXPECT_EQ(record["adapter"].toObject()["serial"].toString(), "A1");
        EXPECT_TRUE(record["adapter"].toObject()["maker"].isNull());
        EXPECT_EQ(record["firmware"].toObject()["version"].toString().toStdString(), Firmware::Version);
        EXPECT_EQ(record["firmware"].toObject()["lines"].toInt(), Firmware::Lines);
    }
}

TEST(Records, EventsCarryTheCommonFields)
{
    const std::string unit = "/dev/ttyUSB0";
    const struct {
        const char* event;
        const std::string* unit;
        QJsonObject fields;
    } table[] = {
        {"stage", &unit, {{"stage", "erase"}}},
        {"progress", &unit, {{"progress", 40}}},
        {"summary", nullptr, SummaryFields(3, {{"done", 2}, {"not-erased", 1}}, ExitStatus::SomeFailed)},
        {"summary", nullptr, SummaryFields(0, {}, ExitStatus::NoAdapter)},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.event);
        const std::string line = EventLine(row.event, row.unit, row.fields);
        ASSERT_FALSE(line.empty());
        EXPECT_EQ(line.back(), '\n');
        EXPECT_EQ(line.find('\n'), line.size() - 1);  // one line
        const QJsonObject event = Parsed(line);
        EXPECT_EQ(event["schema"].toInt(), kSchema);
        EXPECT_EQ(event["event"].toString(), row.event);
        EXPECT_EQ(event.contains("unit"), row.unit != nullptr);
        for (const QString& key : row.fields.keys())
            EXPECT_EQ(event[key], row.fields[key]) << key.toStdString();
    }
    const QJsonObject summary = SummaryFields(3, {{"done", 2}, {"not-erased", 1}}, 16);
    EXPECT_EQ(summary["outcomes"].toObject(), (QJsonObject{{"done", 2}, {"not-erased", 1}}));
    EXPECT_EQ(summary["units"].toInt(), 3);
    EXPECT_EQ(summary["exit"].toInt(), 16);
}

TEST(Records, TextsInTheLinesKeepTheirBreaksAndEscapeTheRest)
{
    const std::pair<std::string, std::string> table[] = {
        {"Done", "Done"},
        {"Not Done\nPlease restart the program\nand the QZ7", "Not Done\nPlease restart the program\nand the QZ7"},
        {"Unexpected reply: \x1b[2J\n", "Unexpected reply: \\x1B[2J\n"},
        {"", ""},
    };
    for (const auto& [text, lines] : table)
        EXPECT_EQ(PrintableLines(text), lines) << text;
    EXPECT_EQ(OrNull(""), QJsonValue());
    EXPECT_EQ(OrNull("x"), QJsonValue("x"));
    EXPECT_EQ(RelationName(VersionRelation::Unknown), QJsonValue());
}

TEST(Bounds, WhatIsLeftOfABoundIsNeverBelowNothing)
{
    const auto now = std::chrono::steady_clock::now();
    EXPECT_EQ(Bound::Left(now - 20s, 10), 0ms);
    EXPECT_LE(Bound::Left(now, 10), 10000ms);
    EXPECT_GT(Bound::Left(now, 10), 9000ms);
    EXPECT_GT(Bound::Left(now - 4s, 10), 5000ms);
    EXPECT_LE(Bound::Left(now - 4s, 10), 6000ms);
}

TEST(Bounds, ABoundRunsOutOnceUnlessStopped)
{
    int ranOut = 0, stopped = 0;
    Bound bound, stoppedBound;
    bound.Start(20ms, [&] { ++ranOut; });
    stoppedBound.Start(20ms, [&] { ++stopped; });
    stoppedBound.Stop();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ranOut == 1; }, 5000));
    QTest::qWait(60);
    EXPECT_EQ(ranOut, 1);
    EXPECT_EQ(stopped, 0);
    // Started again, only the new wait counts.
    bound.Start(10s, [&] { ranOut += 10; });
    bound.Start(10ms, [&] { ranOut += 100; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ranOut == 101; }, 5000));
}

TEST(Records, ReportLinesWrittenSideBySideNeverMix)
{
    const std::string path = testing::TempDir() + "qz7-append-" + std::to_string(getpid()) + ".jsonl";
    ::unlink(path.c_str());
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i)
                EXPECT_TRUE(AppendRecord(path, std::string(1000 + t * 300, static_cast<char>('a' + t))));
        });
    for (std::thread& w : writers)
        w.join();
    std::vector<std::string> lines = ReadLines(path);
    EXPECT_EQ(lines.size(), 200u);
    for (const std::string& line : lines)
        EXPECT_EQ(line, std::string(line.size(), line.front())) << "lines mixed";
    EXPECT_FALSE(AppendRecord("/nonexistent/dir/r.jsonl", "x"));
    ::unlink(path.c_str());
}
