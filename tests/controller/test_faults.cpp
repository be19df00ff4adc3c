// Faults injected through a loader, each against the real controller and window: what the
// operator sees, what went on the wire, and what is left of the port and the threads. The
// dialogue's faults run on a port in memory, all side by side; what only a terminal can show
// (the kernel's hang-up, a full output queue, the settings put back at a quit or a signal) runs
// on the simulator's pseudo-terminal.
#include "app/Startup.h"
#include "controller/SignalQuit.h"
#include "tests/support/Scripted.h"

#include <QProgressBar>
#include <QPushButton>
#include <atomic>
#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

const std::string kImage = ShippedImage();
// The first 100 records of the shipped image and its end-of-file record: what a case about the
// replies around the transfer sends, where the whole image would only take longer.
const std::string kShortImage = [] {
    std::size_t at = 0;
    for (int i = 0; i < 100; ++i)
        at = kImage.find('\n', at) + 1;
    return kImage.substr(0, at) + ":00000001FF\r\n";
}();
const std::string kPowerOn = Directions::PowerOn;
const std::string kUpdating = Directions::Updating;
const std::string kGone = Directions::Disconnected;

// How a case ends: the dialogue is over (port closed, no thread left), or the program keeps
// waiting for the device as it should, and is then closed by the operator.
enum class End { Over, Waits };

struct Fault {
    const char* name;
    std::function<void(bootsim::Options&)> inject;
    bool pressUpdate;
    std::string screen;  // the directions at the end
    std::string wire;    // what the program sent; "yyEP+" means "yyEP" and the case's whole image
    End end;
    bool intact = false;
    std::optional<std::chrono::milliseconds> writeStall = {};  // the program's bound, when shortened
};

// The cases that send the whole image: those that count its lines, that stall its writes, or that
// put noise or random splits around every one of its asterisks.
bool WholeImage(const Fault& f)
{
    for (const char* name : {"HangUpAtLine1234", "RestartMidTransfer", "DeviceStopsReadingMidTransfer",
                             "NoiseBeforeEveryAsterisk", "RandomPieces"})
        if (std::string(name) == f.name)
            return true;
    return false;
}

const std::string& ImageFor(const Fault& f)
{
    return WholeImage(f) ? kImage : kShortImage;
}

// The loader's options with the fault injected, and the program's, for one case of either table.
std::pair<bootsim::Options, QZ7_UpdaterAppDelegate::Options> OptionsFor(const Fault& f)
{
    bootsim::Options o = FastSim();
    o.seed = 7;
    f.inject(o);
    QZ7_UpdaterAppDelegate::Options options = WithFirmware(ImageFor(f));
    if (f.writeStall)
        options.writeStall = *f.writeStall;
    return {std::move(o), std::move(options)};
}

std::string ExpectedWire(const std::string& wire, const std::string& image = kImage)
{
    if (!wire.empty() && wire.back() == '+')
        return wire.substr(0, wire.size() - 1) + image;
    if (wire.rfind("yyEP:", 0) == 0) {  // "yyEP:N": the first N image lines
        int lines = std::stoi(wire.substr(5));
        std::size_t at = 0;
        for (int i = 0; i < lines; ++i)
            at = image.find('\n', at) + 1;
        return "yyEP" + image.substr(0, at);
    }
    return wire;
}

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Share of one core the program used over `span` while the test thread sleeps: the process's
// processor time less the simulator thread's own.
double IdleShare(const bootsim::BootSim& sim, std::chrono::milliseconds span)
{
    double before = CpuSeconds() - sim.ThreadCpuSeconds();
    std::this_thread::sleep_for(span);
    return (CpuSeconds() - sim.ThreadCpuSeconds() - before) / std::chrono::duration<double>(span).count();
}

bool FirstOfItsEndState(const Fault& f);
extern const std::vector<Fault> kTerminalFaults;

class FaultMatrix : public testing::TestWithParam<Fault> {};
void PrintTo(const Fault& f, std::ostream* os)
{
    *os << f.name;
}

}  // namespace

TEST_P(FaultMatrix, ScreenWireAndPort)
{
    const Fault& f = GetParam();
    auto [o, options] = OptionsFor(f);
    const std::string expected = ExpectedWire(f.wire, ImageFor(f));
    SimUpdate run(o, options);
    bootsim::BootSim& sim = run.sim;
    auto& app = run.app;
    if (f.pressUpdate) {
        // When the adapter is to be pulled while the question is shown, Update waits for that.
        ASSERT_TRUE(run.PressUpdate([&] { return !o.hangUpAfterVersion || QTest::qWaitFor([&] { return sim.Snapshot().hungUp; }, 5000); }))
            << ScreenText(*app).toStdString();
    }
    auto shows = [&] { return ScreenText(*app).toStdString() == f.screen; };
    std::string wireThen;
    if (f.end == End::Over) {
        // Over: no operation left and the port closed, so nothing can be written any more.
        EXPECT_TRUE(QTest::qWaitFor(shows, 60000)) << ScreenText(*app).toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return app->controller->RunningOperations() == 0; }, 1000));
        EXPECT_FALSE(app->controller->Serial()->IsOpen());
        EXPECT_TRUE(app->window->LevelIndicatorVew()->isHidden());  // no stale level beside the end
        wireThen = sim.Wire();
    } else {
        // Give the device every chance to have spoken, then check nothing moves.
        EXPECT_TRUE(QTest::qWaitFor([&] { return shows() && sim.Wire() == expected; }, 60000)) << ScreenText(*app).toStdString();
        wireThen = sim.Wire();
        QTest::qWait(300);
        EXPECT_TRUE(shows()) << ScreenText(*app).toStdString();
    }
    // The processor share while the program rests, once for each way a case can end (its screen,
    // with nothing left running or with a reader waiting): the other cases that end the same way
    // leave the same threads in the same waits.
    if (FirstOfItsEndState(f)) {
        EXPECT_LT(IdleShare(sim, 250ms), kIdleShareLimit);
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(shows()) << ScreenText(*app).toStdString();  // nothing more to say, nothing written
    EXPECT_TRUE(sim.Wire() == wireThen) << "the program wrote after the dialogue had ended";
    EXPECT_TRUE(sim.Wire() == expected) << "wire starts: " << sim.Wire().substr(0, 80);
    // At most the echo of the loader's own late line end, never a byte the program wrote.
    EXPECT_EQ(sim.AfterDone().find_first_not_of("\r\n"), std::string::npos);
    if (f.intact) {
        // The loader may still be writing the last bytes of "Done" a byte at a time when the
        // program has taken the line and closed the port: its summary is final once it ends.
        EXPECT_TRUE(sim.WaitFinished(5s));
        EXPECT_TRUE(sim.Snapshot().Intact()) << sim.Snapshot().Summary();
    } else
        EXPECT_FALSE(sim.Snapshot().doneSent && ScreenText(*app) == "Done");

    // The operator closes the window: the program ends at once and the port is as it was.
    auto start = std::chrono::steady_clock::now();
    run.Quit();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    if (!sim.Snapshot().hungUp) {
        EXPECT_TRUE(SameSettings(sim.SlaveSettings(), sim.InitialSettings()));
    }
}

namespace {
template <class F>
std::function<void(bootsim::Options&)> With(F f)
{
    return f;
}
const auto kNothing = With([](bootsim::Options&) {});
const auto kLongErase = With([](bootsim::Options& o) { o.eraseDelay = 2000ms; });  // quit meanwhile
const std::string kFound = Directions::FoundVersion("2.005");
}  // namespace

namespace {
const std::vector<Fault> kFaults = {
        // Hang-up: the adapter goes away.
        Fault{"HangUpBeforeBanner", With([](auto& o) { o.hangUpAt = bootsim::Stage::Banner; }), false, kGone, "", End::Over},
        Fault{"HangUpInVersionRead", With([](auto& o) { o.hangUpAt = bootsim::Stage::Version; }), false, kGone, "y", End::Over},
        Fault{"HangUpAtPrompt", With([](auto& o) { o.hangUpAt = bootsim::Stage::Prompt; }), true, kGone, "yy", End::Over},
        Fault{"HangUpAtErase", With([](auto& o) { o.hangUpAt = bootsim::Stage::Erase; }), true, kGone, "yyE", End::Over},
        Fault{"HangUpAfterErased", With([](auto& o) { o.hangUpAfterLines = 0; }), true, kGone, "yyEP", End::Over},
        // Pulled while the question is shown: the "y" of Update finds it gone, and nothing
        // claims an update is under way.
        Fault{"HangUpAtTheQuestionThenUpdate", With([](auto& o) { o.hangUpAfterVersion = 100ms; }), true, kGone, "y", End::Over},
        // Silence: the program keeps waiting, without spinning.
        Fault{"SilentFromBanner", With([](auto& o) { o.silentFrom = bootsim::Stage::Banner; }), false, kPowerOn, "", End::Waits},
        Fault{"SilentFromVersion", With([](auto& o) { o.silentFrom = bootsim::Stage::Version; }), false, kPowerOn, "y", End::Waits},
        Fault{"SilentFromPrompt", With([](auto& o) { o.silentFrom = bootsim::Stage::Prompt; }), true, kUpdating, "yy", End::Waits},
        Fault{"SilentFromErase", With([](auto& o) { o.silentFrom = bootsim::Stage::Erase; }), true, kUpdating, "yyE", End::Waits},
        Fault{"SilentFromProgram", With([](auto& o) { o.silentFrom = bootsim::Stage::Program; }), true, kUpdating, "yyEP", End::Waits},
        Fault{"SilentFromDone", With([](auto& o) { o.silentFrom = bootsim::Stage::Done; }), true, kUpdating, "yyEP+", End::Waits},
        // Noise: bytes above 127 drop the reply they are in, so the program waits on.
        Fault{"HighByteInBanner", With([](auto& o) { o.highByteAt = bootsim::Stage::Banner; }), false, kPowerOn, "", End::Waits},
        Fault{"HighByteInVersion", With([](auto& o) { o.highByteAt = bootsim::Stage::Version; }), false, kPowerOn, "y", End::Waits},
        Fault{"HighByteInPrompt", With([](auto& o) { o.highByteAt = bootsim::Stage::Prompt; }), true, kUpdating, "yy", End::Waits},
        Fault{"HighByteInErase", With([](auto& o) { o.highByteAt = bootsim::Stage::Erase; }), true, kUpdating, "yyE", End::Waits},
        Fault{"HighByteInDone", With([](auto& o) { o.highByteAt = bootsim::Stage::Done; }), true, kUpdating, "yyEP+", End::Waits},
        // Noise the rules absorb: the update completes.
        Fault{"NoiseBeforeEveryAsterisk", With([](auto& o) { o.noiseBytes = 7; o.chunking = bootsim::Chunking::Random; }),
              true, "Done", "yyEP+", End::Over, true},
        // "Erased" comes 10 ms after "E", within the 50 ms pause, and is read together with
        // the prompt's late LF: the LF is skipped, not the reply (it used to be dropped with it).
        Fault{"EveryByteItsOwnReadErasedSharesAReadWithALateLf",
              With([](auto& o) { o.chunking = bootsim::Chunking::Bytes; o.eraseDelay = 10ms; }), true, "Done", "yyEP+",
              End::Over, true},
        // Line ends and echoed commands in front of a reply, in the same read.
        Fault{"BlankLineBeforeBanner", With([](auto& o) { o.replies[bootsim::Stage::Banner] = "\r\nQZ-7 Boot Loader"; }), true, "Done",
              "yyEP+", End::Over, true},
        Fault{"BlankLineBeforeErased", With([](auto& o) { o.replies[bootsim::Stage::Erase] = "\r\nErased"; }), true, "Done", "yyEP+",
              End::Over, true},
        Fault{"BlankLineBeforeDone", With([](auto& o) { o.replies[bootsim::Stage::Done] = "\r\nDone"; }), true, "Done", "yyEP+",
              End::Over, true},
        Fault{"EchoOfEveryCommand", With([](auto& o) { o.echo = true; }), true, "Done", "yyEP+", End::Over, true},
        // Two asterisks a line: the extra ones in front of "Done" are pacing, not the reply.
        Fault{"LoaderRunsAhead", With([](auto& o) { o.asterisksPerLine = 2; }), true, "Done", "yyEP+", End::Over, true},
        Fault{"RandomPieces", With([](auto& o) { o.chunking = bootsim::Chunking::Random; o.seed = 99; }), true, "Done", "yyEP+", End::Over, true},
        Fault{"OverlongBanner", With([](auto& o) { o.banner = "QZ-7 Boot Loader, build 2026-11-30 rev 7"; }), true, "Done", "yyEP+", End::Over, true},
        Fault{"OverlongVersionLine", With([](auto& o) { o.version = "QZ7 V2.005 (c) 2026, a boot loader with a lot to say"; }),
              false, Directions::FoundVersion("2.005 (c) 2026, a boot loader with a lot to say"), "y", End::Waits},
        Fault{"TwoCharacterBanner", With([](auto& o) { o.banner = "OK"; }), false, kPowerOn, "", End::Waits},
        Fault{"PagedMenu", With([](auto& o) { o.extraLines = 4; }), true, "Done", "yyyyyyEP+", End::Over, true},
        // Unexpected replies: the wire as the dialogue has it, and an honest screen.
        Fault{"BannerWithoutQz7", With([](auto& o) { o.banner = "BOOT v1.0"; }), false, Directions::Unexpected("BOOT v1.0"), "", End::Over},
        // Neither a version nor the prompt: the version reader gathers on for up to 101 lines.
        Fault{"NoVersionNoPrompt", With([](auto& o) { o.replies[bootsim::Stage::Version] = "Hello"; }), false, kPowerOn, "y", End::Waits},
        Fault{"NotErased", With([](auto& o) { o.failErase = true; }), true, Directions::NotErased, "yyE", End::Over},
        Fault{"EraseFailedOtherwise", With([](auto& o) { o.replies[bootsim::Stage::Erase] = "Flash locked"; }), true,
              Directions::Unexpected("Flash locked"), "yyE", End::Over},
        // After the last line, a line that is neither a verdict nor may be one is the loader's
        // chatter: the program waits on for the verdict (the status line quotes it).
        Fault{"ChatterInPlaceOfTheVerdict", With([](auto& o) { o.replies[bootsim::Stage::Done] = "Verify error 0x1F"; }), true,
              kUpdating, "yyEP+", End::Waits},
        Fault{"NotDone", With([](auto& o) { o.replies[bootsim::Stage::Done] = "Error: Not Done"; }), true, Directions::NotDone,
              "yyEP+", End::Over},
        // The device restarts after 1000 lines and greets again: no further line, an honest end.
        Fault{"RestartMidTransfer", With([](auto& o) { o.restartAfterLines = 1000; }), true, Directions::Restarted,
              "yyEP:1000", End::Over},
        Fault{"NoVersionFoundThenUpdate", With([](auto& o) { o.version.reset(); }), true, "Done", "yyEP+", End::Over, true}};

// What only a terminal shows: the kernel's hang-up mid-transfer, and a real output queue that
// fills while the loader stops reading for longer than the stall bound (5 s, here 0.5 s; the
// loader reads nothing for 8 s, so no progress can come within it).
const std::vector<Fault> kTerminalFaults = {
        Fault{"HangUpAtLine1234", With([](auto& o) { o.hangUpAfterLines = 1234; }), true, kGone, "yyEP:1234", End::Over},
        Fault{"DeviceStopsReadingMidTransfer", With([](auto& o) { o.burstAsterisks = 3000; o.burstStall = 8000ms; }), true,
              Directions::Stopped, "yyEP", End::Over, false, 500ms}};

// Whether `f` is the first case of its table that ends with its screen and its end.
bool FirstOfItsEndState(const Fault& f)
{
    for (const Fault& other : kTerminalFaults)
        if (other.end == f.end && other.screen == f.screen)
            return std::string(other.name) == f.name;
    return false;
}
}  // namespace

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix, testing::ValuesIn(kTerminalFaults),
                         [](const testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });

// Every other fault, in memory and all at once: each case's screen, wire, port and threads.
TEST(Faults, EachEndsOnItsScreenWithItsWireAndThePortClosedOrWaiting)
{
    struct Run {
        Run(const Fault& f, bootsim::Options o, QZ7_UpdaterAppDelegate::Options options)
            : f(f), expected(ExpectedWire(f.wire, ImageFor(f))), hangUpAtTheQuestion(o.hangUpAfterVersion.has_value()),
              run(std::move(o), std::move(options))
        {
        }
        bool Shows() const { return ScreenText(*run.app).toStdString() == f.screen; }
        bool Settled() const
        {
            if (f.end == End::Over)
                return Shows() && run.app->controller->RunningOperations() == 0;
            return Shows() && run.Wire() == expected;
        }
        const Fault& f;
        const std::string expected;
        const bool hangUpAtTheQuestion;
        bool pressed = false;
        ScriptedUpdate run;
    };
    std::vector<std::unique_ptr<Run>> runs;
    for (const Fault& f : kFaults) {
        auto [o, options] = OptionsFor(f);
        // A line that may end the transfer (a banner: a restart) is decided after 50 ms of
        // quiet: in memory, what follows it comes in the same breath or not at all.
        options.loaderQuiet = 50ms;
        if (o.version && f.intact)
            o.expected = ImageFor(f);
        runs.push_back(std::make_unique<Run>(f, std::move(o), std::move(options)));
    }
    // Update is pressed as the question shows; when the adapter is to be pulled while the
    // question is shown, it is pulled first.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        bool all = true;
        for (auto& r : runs) {
            if (r->f.pressUpdate && !r->pressed && AtTheQuestion(*r->run.app, 0ms)) {
                if (r->hangUpAtTheQuestion)
                    r->run.port->HangUp();
                r->run.app->window->UpdateButtonView()->click();
                r->pressed = true;
            }
            all = all && r->Settled();
        }
        return all;
    }, 10000));
    for (const auto& r : runs) {
        const Fault& f = r->f;
        SCOPED_TRACE(f.name);
        EXPECT_TRUE(r->Settled()) << ScreenText(*r->run.app).toStdString() << ", wire " << r->run.Wire().substr(0, 80);
        if (f.end == End::Over) {
            // Over: no operation left and the port closed, so nothing can be written any more.
            EXPECT_FALSE(r->run.app->controller->Serial()->IsOpen());
            EXPECT_TRUE(r->run.app->window->LevelIndicatorVew()->isHidden());  // no stale level beside the end
        }
    }
    // Give the devices every chance to have spoken, then check that nothing moves, and that
    // the program rests without spinning: every run that waits has a reader in its bounded wait.
    std::vector<std::string> wires;
    for (const auto& r : runs)
        wires.push_back(r->run.Wire());
    std::size_t waiting = 0;
    for (const auto& r : runs)
        waiting += r->f.end == End::Waits;
    const double before = CpuSeconds();
    QTest::qWait(300);
    EXPECT_LT((CpuSeconds() - before) / 0.3, kIdleShareLimit * static_cast<double>(waiting));
    for (std::size_t i = 0; i < runs.size(); ++i) {
        Run& r = *runs[i];
        SCOPED_TRACE(r.f.name);
        EXPECT_TRUE(r.Shows()) << ScreenText(*r.run.app).toStdString();  // nothing more to say, nothing written
        EXPECT_TRUE(r.run.Wire() == wires[i]) << "the program wrote after the dialogue had ended";
        EXPECT_TRUE(r.run.Wire() == r.expected) << "wire starts: " << r.run.Wire().substr(0, 80);
        const bootsim::Result result = r.run.loader->Snapshot();
        if (r.f.intact)
            EXPECT_TRUE(result.Intact()) << result.Summary();
        else
            EXPECT_FALSE(result.doneSent && ScreenText(*r.run.app) == "Done");
        // The operator closes the window: the program ends at once and the port is closed.
        auto start = std::chrono::steady_clock::now();
        r.run.Quit();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
        EXPECT_TRUE(r.run.port->ShutDown());
    }
}

TEST(Faults, FullOutputQueueLosesNoByte)
{
    // At "P" the loader sends 400 asterisks and stops reading for 0.7 s: the program's writes
    // fill the pseudo-terminal's queue within milliseconds and must wait for room, not drop bytes.
    bootsim::Options o = FastSim();
    o.burstAsterisks = 400;
    o.burstStall = 700ms;
    o.expected = kImage;
    SimUpdate run(o);
    ASSERT_TRUE(run.PressUpdate());
    EXPECT_TRUE(run.Shows("Done", 20s)) << ScreenText(*run.app).toStdString();
    // The loader's verdict is final once it has ended, not when the screen says "Done".
    EXPECT_TRUE(run.sim.WaitFinished(5s));
    EXPECT_TRUE(run.sim.Snapshot().Intact()) << run.sim.Snapshot().Summary();
    EXPECT_TRUE(run.sim.Wire() == "yyEP" + kImage) << "the wire differs from the dialogue and the image";
}

// Quitting at each stage: the window closed, or SIGTERM (handled as closing the window).
namespace {
struct QuitAt {
    const char* name;
    std::function<void(bootsim::Options&)> inject;
    bool pressUpdate;
    std::string waitFor;  // directions that mark the stage
    bool bySignal;
};
class QuitMatrix : public testing::TestWithParam<QuitAt> {};
void PrintTo(const QuitAt& q, std::ostream* os)
{
    *os << q.name;
}
}  // namespace

TEST_P(QuitMatrix, EndsWithinASecondWithThePortRestored)
{
    const QuitAt& q = GetParam();
    bootsim::Options o = FastSim();
    o.baud = 57600;  // slow enough to quit in the middle of the transfer
    const bool neverPoweredOn = q.waitFor == kPowerOn;
    if (neverPoweredOn)
        o.powerOnDelay = 60s;
    q.inject(o);
    SimUpdate run(o);
    if (neverPoweredOn)
        run.cue->sim = nullptr;
    auto& app = run.app;
    SignalQuit signalQuit([&app](int) { app->window->close(); });
    if (q.pressUpdate) {
        ASSERT_TRUE(run.PressUpdate());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenText(*app).toStdString() == q.waitFor; }, 30000)) << ScreenText(*app).toStdString();
    if (std::string(q.name).rfind("Transferring", 0) == 0) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return app->window->LevelIndicatorVew()->value() >= 1; }, 30000));
    }

    auto start = std::chrono::steady_clock::now();
    if (q.bySignal) {
        std::raise(SIGTERM);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !app->window->isVisible(); }, 1000));
    }
    run.Quit();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_TRUE(SameSettings(run.sim.SlaveSettings(), run.sim.InitialSettings()));
}

INSTANTIATE_TEST_SUITE_P(
    Quit, QuitMatrix,
    testing::Values(QuitAt{"WaitingForPowerOn", kNothing, false, kPowerOn, false},
                    QuitAt{"WaitingForPowerOnBySignal", kNothing, false, kPowerOn, true},
                    QuitAt{"AtTheQuestion", kNothing, false, kFound, false},
                    QuitAt{"AtTheQuestionBySignal", kNothing, false, kFound, true},
                    QuitAt{"Erasing", kLongErase, true, kUpdating, false},
                    QuitAt{"ErasingBySignal", kLongErase, true, kUpdating, true},
                    QuitAt{"Transferring", kNothing, true, kUpdating, false},
                    QuitAt{"TransferringBySignal", kNothing, true, kUpdating, true}),
    [](const testing::TestParamInfo<QuitAt>& info) { return std::string(info.param.name); });

TEST(Quit, ATeardownThatNeverEndsIsEndedWithinItsBound)
{
    // The window system's teardown, after the program's own, is bounded: one that hangs is cut
    // short once the bound has passed; one that ends first leaves nothing behind.
    for (const bool hangs : {true, false}) {
        SCOPED_TRACE(hangs ? "hangs" : "ends");
        std::atomic<bool> cut{false};
        const auto start = std::chrono::steady_clock::now();
        {
            TeardownBound bound(100ms, 7, [&cut] { cut = true; });
            if (hangs) {
                EXPECT_TRUE(WaitUntil([&] { return cut.load(); }, 1s));
            }
        }
        EXPECT_EQ(cut.load(), hangs);
        if (hangs) {
            EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    }
}
