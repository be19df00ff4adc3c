// The dialogue step by step against a port in memory the test plays by hand, and the keyboard
// at its questions: what the operator sees and what goes on the wire. One case needs a real
// output queue and plays a pseudo-terminal. (Whole updates are in test_wholedialogue.cpp.)
#include "tests/support/OnPty.h"
#include "tests/support/Scripted.h"
#include "tests/support/WindowKeys.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>
#include <thread>
#include <unistd.h>

namespace {

const std::string kTinyImage = ":0100000041BE\r\n:00000001FF\r\n";

QWidget* NextTabStop(QWidget* w)
{
    for (QWidget* n = w->nextInFocusChain(); n != w; n = n->nextInFocusChain())
        if (n->isEnabled() && n->isVisible() && (n->focusPolicy() & Qt::TabFocus))
            return n;
    return w;
}

using Updates = std::vector<ScreenUpdate>;

// The updates since the last look, but for the status line's (checked on their own).
Updates Shown(RecordingFrontEnd& screen)
{
    Updates shown = screen.Take();
    std::erase_if(shown, [](const ScreenUpdate& u) {
        return u == ScreenUpdate{.status = u.status};
    });
    return shown;
}

// Judges one reply in one state, runs the updates it posted, and returns them. The step posts
// before it returns, so one pass of the event loop finds them all.
Updates Judge(QZ7_UpdaterAppDelegate& c, RecordingFrontEnd& screen, Stage state, std::optional<std::string> reply)
{
    Shown(screen);
    c.setState(state);
    c.setReceivedString(std::move(reply));
    c.ReceivedSomething();
    QCoreApplication::processEvents();
    return Shown(screen);
}

// The dialogue on a port in memory the test plays by hand, its screen updates recorded on their
// way to the window.
class Step : public OnScriptedPort {
protected:
    Step() { image = kTinyImage; }
    Updates Shown() { return ::Shown(screen); }
    Updates Judge(Stage state, std::optional<std::string> reply) { return ::Judge(c(), screen, state, std::move(reply)); }
};

// The same on a pseudo-terminal, for what needs a real output queue.
class StepOnPty : public OnPty {
protected:
    StepOnPty() { image = kTinyImage; }
    Updates Judge(Stage state, std::optional<std::string> reply) { return ::Judge(c(), screen, state, std::move(reply)); }
};

struct DamagedImage : Step {
    DamagedImage() { (*image)[5] = 'X'; }
};

}  // namespace

// What each kind of decision does on the port (the decisions themselves are tested on the
// function alone, in tests/core/test_decision.cpp): what goes on the wire, whether the port is
// still open, the stage after, whether a reader or the transfer was started.
TEST_F(Step, EachDecisionIsCarriedOutOnTheWireAndThePort)
{
    struct Row {
        Stage stage;
        std::optional<std::string> reply;
        std::string wire;
        bool open;
        Stage after;
        bool started;
    };
    const std::vector<Row> table{
        {Stage::AwaitingBanner, "QZ-7 Boot Loader", "y", true, Stage::AwaitingVersion, true},  // the version reader asks
        {Stage::AwaitingBanner, "qz-7 boot loader", "", false, Stage::AwaitingBanner, false},
        {Stage::AwaitingVersion, "QZ7 V2.005\r\n", "", true, Stage::AwaitingPrompt, false},  // nothing reads until the operator acts
        {Stage::AwaitingVersion, "E or P?\r\n", "", true, Stage::AwaitingPrompt, false},
        {Stage::AwaitingVersion, "boot ok\r\n", "", true, Stage::AwaitingVersion, false},  // rests, the port open
        {Stage::AwaitingPrompt, "Menu line 1", "y", true, Stage::AwaitingPrompt, true},
        {Stage::AwaitingPrompt, "E or P?", "E", true, Stage::AwaitingErased, true},
        {Stage::AwaitingErased, "Not Erased", "", false, Stage::AwaitingBanner, false},
        {Stage::AwaitingDone, "Done", "", false, Stage::AwaitingBanner, false},
        {Stage::AwaitingDone, "Checksum error", "", false, Stage::AwaitingBanner, false},
    };
    for (const Row& row : table) {
        const std::string where = std::to_string(static_cast<int>(row.stage)) + " " + row.reply.value_or("<absent>");
        c().ClosePort();
        ASSERT_TRUE(QTest::qWaitFor([&] { return c().RunningOperations() == 0; })) << where;
        Reopen();
        const auto start = std::chrono::steady_clock::now();
        Judge(row.stage, row.reply);
        if (row.wire == "E") {
            EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms) << "the pause after E";
        }
        EXPECT_EQ(Drain(), row.wire) << where;
        EXPECT_EQ(PortOpen(), row.open) << where;
        EXPECT_EQ(port->ShutDown(), !row.open) << where;
        EXPECT_EQ(c().state(), row.after) << where;
        EXPECT_EQ(c().RunningOperations() > 0, row.started) << where;
    }
}

// A write that meets no open port: one that ClosePort closed under it (the writer fetched it
// just before) ends without a word, since the closer says why; one where no port was ever opened
// is said to be unopened.
TEST_F(Step, AWriteMeetingAClosedPortEndsQuietlyAndOneWithoutAPortSaysUnopened)
{
    struct Row {
        const char* name;
        bool reinstallClosed;  // the port ClosePort shut down is still the one the writer sees
        Updates shown;
    };
    const std::vector<Row> table{
        {"closed under the writer", true, {}},
        {"never opened", false, {{.directions = DirectionsFact{Says::Unopened}, .ended = Outcome::Unopened}}},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.name);
        Reopen();
        std::shared_ptr<Port> closing = c().Serial();
        c().ClosePort();
        if (row.reinstallClosed)
            c().setSerial(closing);
        Shown();
        EXPECT_FALSE(c().WriteString("y", 1));
        QCoreApplication::processEvents();
        Updates shown = Shown();
        std::erase_if(shown, [](const ScreenUpdate& u) { return !u.ended; });  // the end's own report aside
        EXPECT_EQ(shown, row.shown);
        EXPECT_EQ(port->Written(), "");
    }
}

TEST_F(DamagedImage, IsNeverOfferedAndNothingIsErased)
{
    const Updates damaged{FailureScreen(Outcome::ImageDamaged)};
    EXPECT_EQ(Judge(Stage::AwaitingVersion, "QZ7 V2.005\r\n"), damaged);
    EXPECT_FALSE(PortOpen());
    Reopen();
    EXPECT_EQ(Judge(Stage::AwaitingVersion, "E or P?\r\n"), damaged);
    EXPECT_FALSE(PortOpen());
    EXPECT_EQ(Drain(), "");
}

TEST_F(Step, ErasedStartsTheTransferAfterP)
{
    testing::internal::CaptureStdout();
    c().setProgress(0.7f);
    Judge(Stage::AwaitingErased, "Erased");
    EXPECT_EQ(c().state(), Stage::AwaitingDone);
    EXPECT_EQ(Drain(), "P");
    EXPECT_TRUE(QTest::qWaitFor([&] { return w().LevelIndicatorVew()->value() == 53; }));  // 15 of 28, before any asterisk
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "28");
}

TEST_F(Step, UpdateAnswersOnceHoweverFastItIsPressed)
{
    Judge(Stage::AwaitingVersion, "QZ7 V2.005\r\n");
    w().UpdateButtonView()->click();
    w().UpdateButtonView()->click();  // the first press disabled it
    EXPECT_EQ(Shown(), (Updates{{.updateEnabled = false, .cancelEnabled = false}}));  // at once, before anything else
    ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenText(*app) == "Updating QZ7, please wait..."; }));
    EXPECT_EQ(Shown(), (Updates{{.directions = DirectionsFact{Says::Updating}, .updateEnabled = false, .cancelEnabled = false,
                                 .levelShown = true, .scene = Scene::Updating}}));
    EXPECT_EQ(Drain(), "y");
    EXPECT_EQ(c().RunningOperations(), 1);
}

TEST_F(StepOnPty, UpdateNeverHoldsTheWindowOnAFullOutputQueue)
{
    Judge(Stage::AwaitingVersion, "QZ7 V2.005\r\n");
    // Nobody reads the master: fill the output queue until the port refuses more, and still
    // does after a pause (the pseudo-terminal moves queued bytes on for a while).
    std::string chunk(4096, 'a');
    std::size_t queued = 0;
    for (bool more = true; more;) {
        more = false;
        for (ssize_t n; (n = ::write(SerialRecord(c())->PortID(), chunk.data(), chunk.size())) > 0; more = true)
            queued += static_cast<std::size_t>(n);
        std::this_thread::sleep_for(50ms);
    }
    auto start = std::chrono::steady_clock::now();
    w().UpdateButtonView()->click();
    // A held window would wait for the 5 s stall bound.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    QTest::qWait(300);
    EXPECT_EQ(ScreenText(*app).toStdString(), "Found Version: 2.005\n Update To: QZ7 " + kShippedV + "?\n");  // the "y" waits for room
    // Once the device reads again, the "y" goes out and the update goes on as usual.
    std::string sent = pty.Drain(300ms);
    EXPECT_EQ(sent.size(), queued + 1);
    EXPECT_EQ(sent.back(), 'y');
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenText(*app) == "Updating QZ7, please wait..."; }));
}

TEST_F(Step, CancelClosesThePortAndEndsTheFrontEnd)
{
    Judge(Stage::AwaitingVersion, "QZ7 V2.005\r\n");
    c().CancelPressed();
    EXPECT_TRUE(screen.cancelled);
    EXPECT_FALSE(PortOpen());
    EXPECT_TRUE(port->ShutDown());
    QCoreApplication::processEvents();  // what Cancel posted
    EXPECT_EQ(Shown(), (Updates{{.updateEnabled = false, .cancelEnabled = false}}));
    c().applicationWillTerminate();  // as at the end of the application: the port stays closed
    EXPECT_EQ(Drain(), "");
}

// The keyboard (the close question is in tests/window).

TEST_F(Step, BothQuestionsFocusUpdateAndReturnAnswersYes)
{
    Press(w(), Qt::Key_Return);  // nothing asked yet: Update is disabled
    EXPECT_EQ(Drain(), "");

    Judge(Stage::AwaitingVersion, "QZ7 V2.005\r\n");
    EXPECT_TRUE(w().UpdateButtonView()->isDefault());
    Press(w(), Qt::Key_Return);
    EXPECT_EQ(Drain(), "y");
    Press(w(), Qt::Key_Return);  // Update is disabled once pressed
    EXPECT_EQ(Drain(), "");

    // A fresh dialogue: the reader of the first answer lets go with the port.
    c().ClosePort();
    ASSERT_TRUE(QTest::qWaitFor([&] { return c().RunningOperations() == 0; }));
    Reopen();
    // The prompt without a version: the same focus and Tab chain, no trap on Cancel.
    w().CancelButtonView()->setFocus();
    Judge(Stage::AwaitingVersion, "E or P?\r\n");
    EXPECT_EQ(ScreenText(*app), "Version not Found.\nUpdate anyway?");
    EXPECT_EQ(w().focusWidget(), w().UpdateButtonView());
    EXPECT_EQ(NextTabStop(w().UpdateButtonView()), w().CancelButtonView());
    EXPECT_EQ(NextTabStop(w().CancelButtonView()), w().UpdateButtonView());
    Press(w(), Qt::Key_Enter);
    EXPECT_EQ(Drain(), "y");
    EXPECT_TRUE(PortOpen());
}

TEST_F(Step, EscapeCancelsOnlyWhileCancelIsEnabled)
{
    Press(w(), Qt::Key_Escape);
    EXPECT_TRUE(w().isVisible());
    EXPECT_TRUE(PortOpen());

    Judge(Stage::AwaitingVersion, "QZ7 V2.005\r\n");
    Press(w(), Qt::Key_Escape);
    EXPECT_FALSE(PortOpen());
    EXPECT_TRUE(port->ShutDown());
    EXPECT_FALSE(w().isVisible());
    EXPECT_EQ(Drain(), "");
}

TEST_F(Step, AccessibleWindowAndViews)
{
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&w());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), "QZ7 Updater");
    for (QWidget* view : std::initializer_list<QWidget*>{w().ImageView(), w().DirectionsView(), w().LevelIndicatorVew(),
                                                         w().UpdateButtonView(), w().CancelButtonView(),
                                                         w().NextUnitButtonView(), w().RestartButtonView(), w().CloseButtonView(),
                                                         w().CopyButtonView(), w().CommandView(),
                                                         w().StatusView(), &w()}) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(view);
        EXPECT_FALSE(a->text(QAccessible::Description).isEmpty()) << view->objectName().toStdString();
        if (view != w().DirectionsView() && view != w().StatusView()) {
            EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << view->objectName().toStdString();
        }
    }
    // The directions are named by what they say, so that every new message is a name change
    // that a screen reader is told of.
    Judge(Stage::AwaitingVersion, "E or P?\r\n");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w().DirectionsView())->text(QAccessible::Name),
              "Version not Found.\nUpdate anyway?");
    EXPECT_TRUE(w().DirectionsView()->accessibleName().isEmpty());
}

TEST_F(Step, StatusLineIsHeardWholeAndHiddenButtonsCannotBePressed)
{
    // Named by its whole text, as the directions are: the change of name is what a screen reader
    // is told (offscreen Qt sends no events; the AT-SPI test hears them on a real bus).
    QLabel* status = w().StatusView();
    auto named = [&](const QString& text) {
        return QAccessible::queryAccessibleInterface(status)->text(QAccessible::Name) == text;
    };
    app->frontEnd->Show({.status = StatusText::AdapterFacts{.path = "/dev/ttyUSB0", .description = "FT232R USB UART"}});
    EXPECT_TRUE(named("Adapter on /dev/ttyUSB0: FT232R USB UART"));
    EXPECT_EQ(status->text(), "Adapter on /dev/ttyUSB0: FT232R USB UART");
    EXPECT_TRUE(status->toolTip().isEmpty());

    // A by-id path wider than the line: cut in its middle, the maker and the serial's end kept;
    // the whole text is the tooltip, the accessible description and the name.
    const QString whole = QStringLiteral(
        "Adapter on /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BIXYZ0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ0123-if00-port0: "
        "FT232R USB UART, USB 0403:6001");
    app->frontEnd->Show({.status = StatusText::AdapterFacts{
                             .path = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BIXYZ0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ0123-if00-port0",
                             .description = "FT232R USB UART",
                             .vendorProduct = "0403:6001"}});
    EXPECT_TRUE(named(whole));
    EXPECT_NE(status->text(), whole);
    EXPECT_TRUE(status->text().startsWith("Adapter on /dev/serial/by-id/usb-FTDI")) << status->text().toStdString();
    EXPECT_TRUE(status->text().contains(QStringLiteral("\u2026"))) << status->text().toStdString();
    EXPECT_TRUE(status->text().contains("0123-if00-port0: FT232R USB UART, USB 0403:6001")) << status->text().toStdString();
    EXPECT_EQ(status->toolTip(), whole);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(status)->text(QAccessible::Description), whole);
    for (const QString& word : status->text().split(QRegularExpression(QStringLiteral("[ \n]"))))
        EXPECT_LE(status->fontMetrics().horizontalAdvance(word), status->contentsRect().width()) << word.toStdString();
    // A sentence written without spaces, as Japanese is, wraps between its characters: nothing
    // of it is cut.
    const QString kana(80, QChar(0x3042));
    app->frontEnd->Show({.status = StatusText::AdapterFacts{.path = "/dev/ttyUSB0", .description = kana.toStdString()}});
    EXPECT_EQ(status->text().toStdString(), ("Adapter on /dev/ttyUSB0: " + kana).toStdString());

    // The failure's detail is heard as well; an empty line leaves an empty name.
    Judge(Stage::AwaitingErased, "Not Erased\r\n");
    EXPECT_TRUE(named(QString::fromStdString(StatusLine(*app)))) << StatusLine(*app);
    EXPECT_FALSE(StatusLine(*app).empty());

    // Hidden offers are disabled, so no accessibility interface can press them.
    for (QPushButton* hidden : {w().NextUnitButtonView()}) {
        EXPECT_TRUE(hidden->isHidden());
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(hidden)->state().disabled);
    }
    EXPECT_FALSE(w().RestartButtonView()->isHidden());
}

TEST(Dialogue, TheHookBeforeTheEraseRunsBeforeTheEAndCanStopIt)
{
    // What the wire held when the hook ran, and whether the hook let the erase go on.
    const struct {
        const char* what;
        bool refuses;
        Outcome outcome;
        bool erased;
    } table[] = {
        {"the record is kept", false, Outcome::Done, true},
        {"the record cannot be kept", true, Outcome::Exception, false},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        std::atomic<int> calls{0};
        std::shared_ptr<std::string> wireAtHook = std::make_shared<std::string>();
        ScriptedDialogue* running = nullptr;
        QZ7_UpdaterAppDelegate::Options options;
        options.beforeErase = [&, wireAtHook] {
            ++calls;
            *wireAtHook = running->Wire();
            if (row.refuses)
                throw std::runtime_error("the record before the erase could not be written (disk full): nothing is erased");
        };
        ScriptedDialogue run(FastSim(), std::move(options));
        running = &run;
        ASSERT_TRUE(QTest::qWaitFor([&] { return run.Ended(); }, 5000));
        EXPECT_EQ(calls.load(), 1);
        // The banner's "y" and Update's "y" have gone out; the "E" has not.
        EXPECT_EQ(*wireAtHook, "yy") << "the hook runs after the prompt came and before the E";
        EXPECT_EQ(run.Wire().find('E') != std::string::npos, row.erased) << run.Wire();
        std::optional<Outcome> ended;
        std::string directions;
        for (const ScreenUpdate& u : run.updates) {
            if (u.ended)
                ended = u.ended;
            if (u.directions)
                directions = Words::Directions(*u.directions, Words::Language::English);
        }
        EXPECT_EQ(ended, row.outcome);
        if (row.refuses) {
            EXPECT_NE(directions.find("could not be written (disk full): nothing is erased"), std::string::npos) << directions;
        }
        run.Quit();
    }
}
