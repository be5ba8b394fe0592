#include "record/data_record_class.h"

#include "support/case_name.h"
#include "support/fake_clock.h"
#include "support/fake_file_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::record {
namespace {

constexpr platform::FileNumber kFile = 3;

TEST(CaptureHeader, IsOneLineWrittenAndSyncedAtOnce)
{
    testing::FakeClock clock;
    const DataRecordClass record(clock);
    testing::FakeFileWriter output;
    EXPECT_TRUE(record.writeHeadingToFile(output, kFile));
    const std::string header
        = "Number,Date, Start time, End Time, AvgTilt, AvgHeading, AvgPitch, AvgRoll, Samples";
    EXPECT_EQ(header.size(), 82U);
    EXPECT_EQ(output.contents[kFile], header + "\r\n");
    EXPECT_EQ(output.synced[kFile], header + "\r\n");
    EXPECT_EQ(output.writes, 1);
    EXPECT_EQ(output.syncs, 1);
}

struct RecordCase {
    std::string name;
    int events; // startAvg calls; the last one opens the event written
    common::LocalDateTime start;
    common::LocalDateTime end;
    std::vector<std::string> before;
    std::vector<std::string> during;
    std::string expected;
};

class CaptureRecordTable : public ::testing::TestWithParam<RecordCase> { };

TEST_P(CaptureRecordTable, WritesTheEventAsOneSyncedLine)
{
    const RecordCase& c = GetParam();
    testing::FakeClock clock(c.start);
    DataRecordClass record(clock);
    for (const std::string& line : c.before)
        ASSERT_TRUE(record.parseString(line));
    for (int i = 0; i < c.events; ++i)
        record.startAvg();
    for (const std::string& line : c.during)
        ASSERT_TRUE(record.parseString(line));
    clock.set(c.end);
    record.endAvg();

    testing::FakeFileWriter output;
    EXPECT_TRUE(record.writeAvgToFile(output, kFile));
    EXPECT_EQ(output.contents[kFile], c.expected);
    EXPECT_EQ(output.synced[kFile], c.expected);
    EXPECT_EQ(output.writes, 1);
    EXPECT_EQ(output.syncs, 1);
}

std::vector<std::string> levelSentences(int count)
{
    return std::vector<std::string>(static_cast<std::size_t>(count), "0,0,0");
}

INSTANTIATE_TEST_SUITE_P(Records, CaptureRecordTable,
    ::testing::Values(
        // Tilts 1.5 (seed, rounded), 3.946 and 1.252 average to 2.2.
        RecordCase { "event_seven", 7, { 2008, 8, 18, 14, 2, 11, 0 }, { 2008, 8, 18, 14, 2, 41, 0 },
            { "100,-1.4,0.6" }, { "101,-3.9,0.6", "102,1.1,0.6" },
            "7,08/18/2008,14:02:11,14:02:41,2.2,101,-1.4,0.6, 3 \r\n" },
        RecordCase { "twelve_samples", 1, { 2008, 1, 2, 3, 4, 5, 0 }, { 2008, 1, 2, 3, 4, 9, 0 }, {},
            levelSentences(11), "1,01/02/2008,03:04:05,03:04:09,0,0,0,0, 12 \r\n" },
        RecordCase { "across_midnight", 2, { 2008, 12, 31, 23, 59, 50, 0 }, { 2009, 1, 1, 0, 0, 10, 0 }, {},
            {}, "2,12/31/2008,23:59:50,00:00:10,0,0,0,0, 1 \r\n" },
        RecordCase { "negative_pitch_zero_heading", 1, { 2008, 8, 18, 9, 5, 3, 0 },
            { 2008, 8, 18, 21, 5, 3, 0 }, { "0,-0.4,0" }, {},
            "1,08/18/2008,09:05:03,21:05:03,0.4,0,-0.4,0, 1 \r\n" }),
    testing::CaseName());

TEST(CaptureRecord, WithoutAnyEventLeavesTheTimesEmpty)
{
    testing::FakeClock clock;
    const DataRecordClass record(clock);
    testing::FakeFileWriter output;
    EXPECT_TRUE(record.writeAvgToFile(output, kFile));
    EXPECT_EQ(output.contents[kFile], "0,,,,0,0,0,0, 0 \r\n");
}

using Writer = bool (DataRecordClass::*)(platform::FileWriter&, platform::FileNumber) const;

struct WriterCase {
    std::string name;
    Writer writer;
    bool failWrites;
    bool failSyncs;
    bool result;
};

class WriterFailureTable : public ::testing::TestWithParam<WriterCase> { };

TEST_P(WriterFailureTable, ReportsAFailedWriteOrSync)
{
    const WriterCase& c = GetParam();
    testing::FakeClock clock;
    const DataRecordClass record(clock);
    testing::FakeFileWriter output;
    output.failWrites = c.failWrites;
    output.failSyncs = c.failSyncs;
    EXPECT_EQ((record.*c.writer)(output, kFile), c.result);
    EXPECT_EQ(output.writes, 1);
}

INSTANTIATE_TEST_SUITE_P(Failures, WriterFailureTable,
    ::testing::Values(
        WriterCase { "header_written", &DataRecordClass::writeHeadingToFile, false, false, true },
        WriterCase { "header_write_fails", &DataRecordClass::writeHeadingToFile, true, false, false },
        WriterCase { "header_sync_fails", &DataRecordClass::writeHeadingToFile, false, true, false },
        WriterCase { "record_written", &DataRecordClass::writeAvgToFile, false, false, true },
        WriterCase { "record_write_fails", &DataRecordClass::writeAvgToFile, true, false, false },
        WriterCase { "record_sync_fails", &DataRecordClass::writeAvgToFile, false, true, false }),
    testing::CaseName());

struct NamedWriter {
    std::string name;
    Writer writer;
};

class NoFileTable : public ::testing::TestWithParam<NamedWriter> { };

TEST_P(NoFileTable, FileNumberZeroWritesNothing)
{
    testing::FakeClock clock;
    DataRecordClass record(clock);
    ASSERT_TRUE(record.parseString("10,1,2"));
    record.startAvg();
    testing::FakeFileWriter output;
    output.failWrites = true;
    EXPECT_TRUE((record.*GetParam().writer)(output, 0));
    EXPECT_EQ(output.writes, 0);
    EXPECT_EQ(output.syncs, 0);
    EXPECT_EQ(record.avgN(), 1);
    EXPECT_EQ(record.SequenceNumber(), 1);
}

INSTANTIATE_TEST_SUITE_P(Writers, NoFileTable,
    ::testing::Values(NamedWriter { "header", &DataRecordClass::writeHeadingToFile },
        NamedWriter { "record", &DataRecordClass::writeAvgToFile }),
    testing::CaseName());

TEST(SequenceNumber, CountsEventsFromOneAfterEachReset)
{
    testing::FakeClock clock;
    DataRecordClass record(clock);
    EXPECT_EQ(record.SequenceNumber(), 0);
    record.startAvg();
    EXPECT_EQ(record.SequenceNumber(), 1);
    record.endAvg();
    record.startAvg();
    EXPECT_EQ(record.SequenceNumber(), 2);
    record.ResetSequenceNumber();
    EXPECT_EQ(record.SequenceNumber(), 0);
    record.startAvg();
    EXPECT_EQ(record.SequenceNumber(), 1);
}

} // namespace
} // namespace marlume::record
