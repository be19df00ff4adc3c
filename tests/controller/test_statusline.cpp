// The status line and the transcript during whole updates, with the silence and
// unreadable-input thresholds shortened: against the simulator where the line's timing or the
// real port's transcript is the point, against a scripted loader in memory otherwise.
#include "tests/support/Scripted.h"

#include <QLoggingCategory>
#include <mutex>


namespace {

QZ7_UpdaterAppDelegate::Options Short()
{
    QZ7_UpdaterAppDelegate::Options o;
    o.powerOnSilence = 400ms;
    o.silence = 400ms;
    o.unreadable = 300ms;
    return o;
}

// Every message the program logs while it lives.
struct Transcript {
    Transcript()
    {
        self = this;
        previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            std::lock_guard lock(self->mutex);
            self->lines.push_back({type, std::string(context.category ? context.category : ""), text.toStdString()});
        });
    }
    ~Transcript() { qInstallMessageHandler(previous); }
    struct Line {
        QtMsgType type;
        std::string category;
        std::string text;
    };
    int Count(const std::string& category, const std::string& part, QtMsgType type = QtInfoMsg)
    {
        std::lock_guard lock(mutex);
        int n = 0;
        for (const Line& l : lines)
            n += l.type == type && l.category == category && l.text.find(part) != std::string::npos;
        return n;
    }
    int Count(QtMsgType type)
    {
        std::lock_guard lock(mutex);
        int n = 0;
        for (const Line& l : lines)
            n += l.type == type && l.category.rfind("qz7.", 0) == 0;
        return n;
    }
    static inline Transcript* self = nullptr;
    QtMessageHandler previous = nullptr;
    std::mutex mutex;
    std::vector<Line> lines;
};

}  // namespace

TEST(StatusLine, SilenceHintsComeAndGoProgressShowsTimeLeftAndTheUpdateEndsIntact)
{
    bootsim::Options o = FastSim();
    o.powerOnDelay = 30s;             // the operator is slow to power on: until the hint shows
    o.lineDelay = 300us;              // a transfer of about a second: long enough for an
                                      // estimate of the time left (above half a second)
    o.pauseAfterLines = 1500;         // and the device stops in the middle of it, until the
    o.pause = 30s;                    // hint shows
    o.expected = ShippedImage();
    SimUpdate run(o, Short());
    run.cue->sim = nullptr;

    ASSERT_TRUE(run.Status("Adapter on " + run.sim.SlavePath() + ": ttyUSB-sim"));
    EXPECT_TRUE(run.Status("Nothing from the QZ7 for 0 s. Switch it off, then hold the front Run/Stop button"))
        << StatusLine(*run.app);
    EXPECT_EQ(ScreenText(*run.app).toStdString(), Directions::PowerOn);
    run.sim.PowerOn();
    ASSERT_TRUE(run.Shows(Directions::FoundVersion("2.005")));
    EXPECT_EQ(StatusLine(*run.app), "Adapter on " + run.sim.SlavePath() + ": ttyUSB-sim") << "the hint clears";

    // Every text the line shows until "Done", in order.
    ASSERT_TRUE(run.PressUpdate());
    std::vector<std::string> seen;
    bool silentWhileUpdating = false;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        std::string now = StatusLine(*run.app);
        if (seen.empty() || seen.back() != now)
            seen.push_back(now);
        if (now.find("No answer from the QZ7") != std::string::npos) {
            silentWhileUpdating = ScreenText(*run.app).toStdString() == Directions::Updating;
            run.sim.Resume();
        }
        return ScreenText(*run.app) == "Done";
    }, 30000)) << StatusLine(*run.app);
    EXPECT_TRUE(QTest::qWaitFor([&] { return StatusLine(*run.app).rfind("Sent " + kShippedLines + " lines (", 0) == 0; }, 5000));
    seen.push_back(StatusLine(*run.app));
    auto first = [&](const std::string& part) {
        for (std::size_t i = 0; i < seen.size(); ++i)
            if (seen[i].find(part) != std::string::npos)
                return static_cast<int>(i);
        return -1;
    };
    auto last = [&](const std::string& part) {
        for (std::size_t i = seen.size(); i-- > 0;)
            if (seen[i].find(part) != std::string::npos)
                return static_cast<int>(i);
        return -1;
    };
    std::string all;
    for (const std::string& t : seen)
        all += t + "\n";
    int hint = first("No answer from the QZ7 for 0 s. Check the cable and the QZ7's power");
    EXPECT_GE(first(" of " + kShippedLines + ", "), 0) << all;
    EXPECT_GE(first(" s left"), 0) << all;
    EXPECT_GT(hint, first(" of " + kShippedLines)) << all;
    EXPECT_TRUE(silentWhileUpdating) << "the directions stay while the device is silent";
    EXPECT_GT(last("Line "), hint) << "the progress comes back once the device answers:\n" << all;
    EXPECT_EQ(seen.back().rfind("Sent " + kShippedLines + " lines (", 0), 0u) << all;
    EXPECT_TRUE(run.sim.Snapshot().Intact()) << run.sim.Snapshot().Summary();
}

TEST(StatusLine, UnreadableInputIsReportedWhileTheDialogueWaits)
{
    bootsim::Options o = FastSim();
    o.highByteAt = bootsim::Stage::Banner;  // the banner does not decode, as at a wrong line speed
    QZ7_UpdaterAppDelegate::Options options = Short();
    options.powerOnSilence = 30s;
    ScriptedUpdate run(o, options);
    EXPECT_TRUE(run.Status("The QZ7 sent what the updater cannot read (\"QZ-7 Boot\\xC9 Loader\"), not its banner"))
        << StatusLine(*run.app);
    EXPECT_EQ(ScreenText(*run.app).toStdString(), Directions::PowerOn);
    EXPECT_TRUE(run.app->controller->Serial()->IsOpen());
}

TEST(StatusLine, FailureScreensCarryTheStageLineErrorAndLastReply)
{
    {
        bootsim::Options o = FastSim();
        o.hangUpAfterLines = Firmware::Lines / 2;
        ScriptedUpdate run(o);
        ASSERT_TRUE(run.PressUpdate());
        ASSERT_TRUE(run.Shows(Directions::Disconnected));
        EXPECT_TRUE(run.Status("Stopped while sending the image, after line " + std::to_string(Firmware::Lines / 2) + " of " +
                               kShippedLines + "."))
            << StatusLine(*run.app);
        std::string line = StatusLine(*run.app);
        EXPECT_TRUE(line.find("The adapter stopped working (") != std::string::npos ||
                    line.find("The adapter's line went dead") != std::string::npos)
            << line;
        EXPECT_TRUE(line.find("The QZ7 has no firmware now") != std::string::npos) << line;
    }
    {
        bootsim::Options o = FastSim();
        o.replies[bootsim::Stage::Done] = "Verify error 0x1F\r\nFlash \xff: Not Done";
        ScriptedUpdate run(o);
        ASSERT_TRUE(run.PressUpdate());
        ASSERT_TRUE(run.Shows(Directions::NotDone));
        EXPECT_TRUE(run.Status("Stopped while waiting for \"Done\" after the last line. Last from the QZ7: \"Flash \\xFF: Not Done\"."))
            << StatusLine(*run.app);
    }
}

// A QZ7 switched on as the adapter opens sends its banner before the power-on prompt is shown:
// the drain of old input keeps it, and the update goes on.
TEST(StatusLine, ABannerThatCameBeforeThePromptIsAnsweredAndLogged)
{
    Transcript log;
    bootsim::Options o = FastSim();
    o.expected = ShippedImage();
    ScriptedUpdate run(o, {}, ScriptedUpdate::PowerOn::AsThePortOpens);
    ASSERT_TRUE(run.PressUpdate()) << ScreenText(*run.app).toStdString();
    EXPECT_TRUE(run.Shows("Done"));
    EXPECT_TRUE(run.loader->Snapshot().Intact()) << run.loader->Snapshot().Summary();
    EXPECT_EQ(log.Count("qz7.dialogue", "bytes of old input before the power-on prompt; the QZ7's banner among them is kept: QZ-7 Boot Loader\\x0D\\x0A"), 1);
}

TEST(StatusLine, TranscriptOfAWholeUpdateHasEachEventButNoLinePerImageLine)
{
    Transcript log;
    {
        bootsim::Options o = FastSim();
        o.extraLines = 2;  // two menu lines before "E or P?": each logged once, none as a repeat
        SimUpdate run(o);
        ASSERT_TRUE(run.PressUpdate());
        ASSERT_TRUE(run.Shows("Done", 20s));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !run.app->controller->Serial()->IsOpen(); }));
        EXPECT_TRUE(QTest::qWaitFor([&] { return log.Count("qz7.dialogue", "status: Sent " + kShippedLines + " lines") > 0; }));
        const std::string path = run.sim.SlavePath();
        EXPECT_EQ(log.Count("qz7.serial", "opened " + path + " exclusive, set to 57600 baud, raw, 8 bits; found "), 1);
        EXPECT_EQ(log.Count("qz7.serial", "; low latency: no such setting (Inappropriate ioctl for device, errno 25)"), 1);
        EXPECT_EQ(log.Count("qz7.serial", "closed " + path + " with its settings restored: "), 1);
        for (const char* command : {"write: y", "write: E", "write: P"})
            EXPECT_GE(log.Count("qz7.dialogue", command), 1) << command;
        EXPECT_EQ(log.Count("qz7.dialogue", "reply: QZ-7 Boot Loader"), 1);
        EXPECT_EQ(log.Count("qz7.dialogue", "reply: E or P?"), 1);
        EXPECT_EQ(log.Count("qz7.dialogue", " again, "), 0);
        EXPECT_EQ(log.Count("qz7.dialogue", "the prompt was answered with \"y\" 2 times"), 1);
        EXPECT_EQ(log.Count("qz7.dialogue", "reply: Done"), 1);
        EXPECT_EQ(log.Count("qz7.dialogue", "directions: Power on the QZ7"), 1);
        EXPECT_EQ(log.Count("qz7.dialogue", "directions: Done"), 1);
        EXPECT_EQ(log.Count("qz7.dialogue", "status: Adapter on " + path), 1);
        EXPECT_EQ(log.Count("qz7.dialogue", "status: Sent " + kShippedLines + " lines"), 1);
        EXPECT_EQ(log.Count("qz7.transfer", "transfer started: " + kShippedLines + " lines"), 1);
        EXPECT_EQ(log.Count("qz7.transfer", "line "), Firmware::Lines / 500);  // 500, 1000, ...
        EXPECT_EQ(log.Count("qz7.transfer", "transfer ended: " + kShippedLines + " lines sent"), 1);
        EXPECT_LT(log.Count(QtInfoMsg) + log.Count(QtDebugMsg), 120);
    }
    // Every line, when asked for.
    QLoggingCategory::setFilterRules(QStringLiteral("qz7.*.debug=true"));
    {
        bootsim::Options o = FastSim();
        SimUpdate run(o);
        ASSERT_TRUE(run.PressUpdate());
        ASSERT_TRUE(run.Shows("Done", 20s));
    }
    QLoggingCategory::setFilterRules(QString());
    EXPECT_EQ(log.Count("qz7.transfer", "write: :", QtDebugMsg), Firmware::Lines);
}
