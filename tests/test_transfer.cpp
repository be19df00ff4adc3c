#include "FirmwareImage.h"
#include "TestSupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {

// Runs the dialogue against the simulator up to the version question.
void ReachQuestion(UpdaterApp& app)
{
    app.Launch();
    ASSERT_TRUE(WaitFor([&] { return app.window->ui.UpdateButtonView->isEnabled(); }, 10s)) << ScreenText(app).toStdString();
}

}  // namespace

TEST(Transfer, ShippedImageArrivesByteForByteAndEndsWithDone)
{
    bootsim::Options o = FastSim();
    o.expected = ShippedImage();
    o.chunking = bootsim::Chunking::Random;
    o.noiseBytes = 2;
    bootsim::BootSim sim(o);
    ASSERT_TRUE(sim.Open());
    sim.Start();
    auto app = MakeApp(sim.SlavePath());
    ASSERT_NO_FATAL_FAILURE(ReachQuestion(*app));

    testing::internal::CaptureStdout();
    app->window->ui.UpdateButtonView->click();
    ASSERT_TRUE(WaitFor([&] { return ScreenText(*app) == "Done"; }, 60s)) << ScreenText(*app).toStdString();
    std::string printed = testing::internal::GetCapturedStdout();

    ASSERT_TRUE(sim.WaitFinished(5s));
    bootsim::Result r = sim.Snapshot();
    EXPECT_TRUE(r.Intact()) << r.Summary();
    EXPECT_EQ(r.lines, 3075);
    EXPECT_EQ(printed, std::to_string(ShippedImage().size()));
    EXPECT_TRUE(app->window->ui.LevelIndicatorVew->isHidden());
    EXPECT_FALSE(app->controller->Serial()->IsOpen());
    EXPECT_TRUE(SameSettings(sim.SlaveSettings(), sim.InitialSettings()));
    // The wire carries exactly the dialogue's commands, then the image.
    EXPECT_EQ(sim.Wire(), "yyEP" + ShippedImage());
}
