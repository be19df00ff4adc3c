// The shipped image, its check, and the transfer's line rule.
#include "controller/FirmwareImage.h"
#include "hex/ImageLines.h"
#include "tests/support/TestSupport.h"


namespace {
const std::string kData = ":0100000041BE\r\n";  // 13 characters and CR LF
const std::string kEnd = ":00000001FF\r\n";

// Walks the line rule over a whole image: the lines sent and the consumed count after each.
std::vector<std::pair<std::string, std::size_t>> Walk(const std::string& image)
{
    std::vector<std::pair<std::string, std::size_t>> steps;
    std::string_view rest = image;
    std::size_t consumed = 0;
    while (!rest.empty()) {
        ImageLine l = TakeImageLine(rest);
        consumed += l.consumed;
        steps.emplace_back(std::string(l.line), consumed);
        rest.remove_prefix(l.consumed);
    }
    return steps;
}
}  // namespace

TEST(LineRule, TwoRecordsAndABlankLineBetween)
{
    auto steps = Walk(kData + kEnd);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0], std::make_pair(kData, std::size_t{15}));
    EXPECT_EQ(steps[1], std::make_pair(kEnd, std::size_t{28}));

    steps = Walk(kData + "\r\n" + kEnd);  // the blank line is consumed, never sent
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].second, 17u);
    EXPECT_EQ(steps[1], std::make_pair(kEnd, std::size_t{30}));
}

TEST(LineRule, LeadingBlankLineIsSentAndLfOnlyLinesCarryTheNextColon)
{
    auto steps = Walk("\r\n" + kData);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].first, "\r\n");

    steps = Walk(":A\n:B\n:C\n");  // each line takes the ":" after it; the next record is skipped
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].first, ":A\n:");
    EXPECT_EQ(steps[1].first, ":C\n");
}

TEST(LineRule, ARemainderWithoutFullLineEndIsSentAsItStands)
{
    auto steps = Walk(kData + ":00000001FF");
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1], std::make_pair(std::string(":00000001FF"), std::size_t{26}));
    steps = Walk(":00000001FF\r");
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].first, ":00000001FF\r");
}

// The check accepts exactly what the line rule sends as whole records: text it skips between
// records (it used to call a blank line "damaged") passes, anything it would send must be a record.
TEST(ImageCheck, AcceptsWhatTheTransferSendsIntactAndNothingElse)
{
    EXPECT_EQ(CheckFirmwareImage(kData + kEnd), "");
    EXPECT_EQ(CheckFirmwareImage(kData + "\r\n" + kEnd), "");                   // blank line: skipped
    EXPECT_EQ(CheckFirmwareImage(kData + "; bank 2\r\n\r\n" + kEnd + "\r\n"), "");  // text and trailing blank line
    EXPECT_NE(CheckFirmwareImage("\r\n" + kData + kEnd), "");                   // a leading blank line is sent
    EXPECT_NE(CheckFirmwareImage(kData + "note: x\r\n" + kEnd), "");            // its ":" starts a line that is sent
    EXPECT_NE(CheckFirmwareImage(""), "");
    EXPECT_NE(CheckFirmwareImage(kData), "");                                   // no end-of-file record
    EXPECT_NE(CheckFirmwareImage(":0300300002337A1F\r\n" + kEnd), "");          // checksum
    EXPECT_NE(CheckFirmwareImage(":0300300002337A1E\n" + kEnd), "");            // LF only
    EXPECT_NE(CheckFirmwareImage(kData + kEnd + kData), "");                    // records after the end
    EXPECT_NE(CheckFirmwareImage(":0400300002337A1E\r\n" + kEnd), "");          // byte count
    EXPECT_NE(CheckFirmwareImage(":0300300002337A\xB1" "E\r\n" + kEnd), "");    // not 7-bit
    EXPECT_NE(CheckFirmwareImage(kData + ":00000001FF"), "");                   // no final CR LF
}

TEST(ShippedImage, IsWhatTheGeneratorMakesAndWhatTheProgramCarries)
{
    std::string committed = ShippedImage();
    int status = 0;
    std::string generated = CommandOutput("python3 " QZ7_SOURCE_DIR "/scripts/make_firmware.py", status);
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(generated == committed) << "resources/QZ-7-2_007.hex differs from scripts/make_firmware.py";

    InitUpdaterResources();
    EXPECT_EQ(LoadShippedFirmware(), committed);
    EXPECT_EQ(CheckFirmwareImage(committed), "");
    // 48 KiB in 16-byte records, plus the address, start and end records.
    auto steps = Walk(committed);
    EXPECT_EQ(steps.size(), 48u * 1024 / 16 + 3);
    EXPECT_EQ(steps.back().second, committed.size());
}
