// The shipped image, its check, and the transfer's line rule.
#include "controller/FirmwareImage.h"
#include "hex/ImageLines.h"
#include "tests/support/TestSupport.h"

#include <QCryptographicHash>
#include <algorithm>
#include <future>
#include <map>


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
    EXPECT_EQ(CountImageLines(kData + "\r\n" + kEnd), 2);
    EXPECT_EQ(CountImageLines(""), 0);
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

// The program carries the image the build was given, and the header's figures are that image's,
// whatever its version and size.
TEST(ShippedImage, IsWhatTheProgramCarriesWithTheHeadersFigures)
{
    const std::string built = ShippedImage();
    InitUpdaterResources();
    EXPECT_EQ(LoadShippedFirmware(), built);
    EXPECT_EQ(CheckFirmwareImage(built), "");
    auto steps = Walk(built);
    EXPECT_EQ(static_cast<int>(steps.size()), Firmware::Lines);
    EXPECT_EQ(CountImageLines(built), Firmware::Lines);
    EXPECT_EQ(steps.back().second, built.size());
    EXPECT_EQ(static_cast<long long>(built.size()), Firmware::Bytes);
    const QByteArray sha256 = QCryptographicHash::hash(QByteArray::fromStdString(built), QCryptographicHash::Sha256);
    EXPECT_EQ(sha256.toHex().toStdString(), Firmware::Sha256);
    std::string digits = Firmware::Version;  // the name carries the version, "_" for its "."
    std::replace(digits.begin(), digits.end(), '.', '_');
    EXPECT_EQ(Firmware::Name, "QZ-7-" + digits + ".hex");
    EXPECT_EQ(Firmware::Resource, ":/QZ-7-" + digits + ".hex");
}

// The committed image is what `make firmware` makes from its name.
TEST(ShippedImage, IsWhatTheGeneratorMakes)
{
    if (!QZ7_FIRMWARE_COMMITTED)
        GTEST_SKIP() << "built with another image than the committed one";
    int status = 0;
    const std::string generated =
        CommandOutput("python3 " QZ7_SOURCE_DIR "/scripts/make_firmware.py --version " + std::string(Firmware::Version), status);
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(generated == ShippedImage()) << "the committed image differs from what scripts/make_firmware.py makes";
}

// The generator's other images, as the check of a second firmware build makes them: each is one
// the program accepts, of the size asked for, and another version gives other data.
TEST(Generator, MakesAGoodImageOfEachVersionAndSize)
{
    struct Case {
        std::string args;
        int kib;
    };
    const std::vector<Case> cases{{"--version 3.012 --kib 40", 40}, {"--version 3.013 --kib 40", 40},
                                  {"--version 3.012 --kib 1", 1}, {"--version 3.012 --kib 40 --seed 7", 40},
                                  {"--kib 40 2>/dev/null", -1}};
    // Every image made side by side; a failed make is one without a version or a file named for one.
    std::vector<std::future<std::pair<int, std::string>>> made;
    for (const Case& c : cases)
        made.push_back(std::async(std::launch::async, [&c] {
            int status = 0;
            std::string image = CommandOutput("python3 " QZ7_SOURCE_DIR "/scripts/make_firmware.py " + c.args, status);
            return std::pair(status, std::move(image));
        }));
    std::map<std::string, std::string> images;
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const Case& c = cases[k];
        SCOPED_TRACE(c.args);
        auto [status, image] = made[k].get();
        if (c.kib < 0) {
            EXPECT_NE(status, 0) << "without a version or a file named for one";
            continue;
        }
        ASSERT_EQ(status, 0);
        EXPECT_EQ(CheckFirmwareImage(image), "");
        // 16-byte records, plus the address, start and end records.
        EXPECT_EQ(CountImageLines(image), c.kib * 1024 / 16 + 3);
        for (const auto& [other, seen] : images)
            EXPECT_NE(seen, image) << "the same data as " << other;
        images[c.args] = image;
    }
}
