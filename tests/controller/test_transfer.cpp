// The transfer: the shipped image whole through a scripted loader, and the pacing line by line
// on a port the test plays by hand, both in memory.
#include "controller/FirmwareImage.h"
#include "hex/ImageLines.h"
#include "tests/support/Scripted.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

TEST(Transfer, ShippedImageArrivesByteForByteAndEndsWithDone)
{
    bootsim::Options o = FastSim();
    o.expected = ShippedImage();
    o.chunking = bootsim::Chunking::Random;
    o.noiseBytes = 2;
    ScriptedUpdate run(o);
    auto& app = run.app;

    testing::internal::CaptureStdout();  // the image's length is printed at "P"
    bool pressed = run.PressUpdate();
    bool done = pressed && run.Shows("Done", 10s);
    std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(pressed) << ScreenText(*app).toStdString();
    ASSERT_TRUE(done) << ScreenText(*app).toStdString();

    bootsim::Result r = run.loader->Snapshot();
    EXPECT_TRUE(r.Intact()) << r.Summary();
    EXPECT_EQ(r.lines, Firmware::Lines);
    EXPECT_EQ(printed, std::to_string(ShippedImage().size()));
    EXPECT_TRUE(app->window->LevelIndicatorVew()->isHidden());
    EXPECT_FALSE(app->controller->Serial()->IsOpen());
    EXPECT_TRUE(run.port->ShutDown());
    // The wire carries exactly the dialogue's commands, then the image.
    EXPECT_TRUE(run.Wire() == "yyEP" + ShippedImage()) << "the wire differs from the dialogue and the image";
}

namespace {

const std::string kData = ":0100000041BE\r\n";  // 13 characters and CR LF
const std::string kEnd = ":00000001FF\r\n";

// A transfer of `image` on a port the test plays by hand, from the moment "P" was written.
class Paced : public OnScriptedPort {
protected:
    void SetUp() override {}
    void Begin(const std::string& firmware)
    {
        Open(firmware);
        c().setState(Stage::AwaitingDone);
        w().LevelIndicatorVew()->show();
        QObject::connect(w().LevelIndicatorVew(), &QProgressBar::valueChanged, [this](int v) { levels.push_back(v); });
        testing::internal::CaptureStdout();
        c().StartBackground(&QZ7_UpdaterAppDelegate::SendProgram);
    }
    std::string Printed() { return testing::internal::GetCapturedStdout(); }
    int Level() { return w().LevelIndicatorVew()->value(); }

    std::vector<int> levels;
};

}  // namespace

TEST_F(Paced, OneLinePerAsteriskWithTheIndicatorAhead)
{
    Begin(kData + kEnd);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Level() == 53; }));
    EXPECT_EQ(Drain(), "");  // nothing before the asterisk
    port->Feed("*");
    EXPECT_EQ(Drain(), kData);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Level() == 100; }));
    port->Feed("*");
    EXPECT_EQ(Drain(), kEnd);
    EXPECT_EQ(Printed(), "28");
    EXPECT_EQ(levels, (std::vector<int>{53, 100}));
    port->Feed("Done\r\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenText(*app) == "Done"; }));
    EXPECT_TRUE(app->window->LevelIndicatorVew()->isHidden());
}

TEST_F(Paced, BlankLinesAreSkippedButCounted)
{
    Begin(kData + "\r\n" + kEnd);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Level() == 56; }));
    port->Feed("*");
    EXPECT_EQ(Drain(), kData);
    port->Feed("*");
    EXPECT_EQ(Drain(), kEnd);
    EXPECT_EQ(Printed(), "30");
}

TEST_F(Paced, NoiseBeforeTheAsteriskIsDroppedAndAByteAfterItStaysQueued)
{
    Begin(kData + kEnd);
    port->Feed("ab*");
    EXPECT_EQ(Drain(), kData);
    port->Feed("\xF0x*D");  // the "D" after the asterisk belongs to the final reply
    EXPECT_EQ(Drain(), kEnd);
    port->Feed("one\r\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenText(*app) == "Done"; }));
    Printed();
}

TEST_F(Paced, ImageStartingWithABlankLineSendsIt)
{
    Begin("\r\n" + kEnd);
    port->Feed("*");
    EXPECT_EQ(Drain(), "\r\n");
    port->Feed("*");
    EXPECT_EQ(Drain(), kEnd);
    Printed();
}

