#include "tests/support/Scripted.h"

#include <cerrno>

PortOpener ScriptedOpener(std::shared_ptr<ScriptedPort> port)
{
    return ScriptedOpener([port](const std::string&) { return port; });
}

PortOpener ScriptedOpener(std::function<std::shared_ptr<ScriptedPort>(const std::string& path)> portFor)
{
    return [portFor](const std::string& path) {
        PortOpening opening;
        std::shared_ptr<ScriptedPort> port = portFor(path);
        if (!port || port->ShutDown()) {
            opening.result.failure = {"open", ENOENT};
            return opening;
        }
        // A stand-in above 0: the port has no descriptor, and nothing is done with the number.
        opening.result.fd = 1000;
        opening.result.archived = true;
        opening.takeOver = [port]() -> std::shared_ptr<Port> { return port; };
        opening.giveUp = [port] { port->Shutdown(std::chrono::milliseconds(0)); };
        return opening;
    };
}

ScriptedPort::Pieces PiecesFor(bootsim::Chunking chunking)
{
    switch (chunking) {
    case bootsim::Chunking::Bytes:
        return ScriptedPort::Pieces::Bytes;
    case bootsim::Chunking::Random:
        return ScriptedPort::Pieces::Random;
    case bootsim::Chunking::Whole:
    case bootsim::Chunking::Merged:
        break;
    }
    return ScriptedPort::Pieces::AsFed;
}

namespace {
// A loader that speaks on `port` and answers what is written to it.
std::unique_ptr<bootsim::ScriptedLoader> LoaderOn(ScriptedPort& port, bootsim::Options o)
{
    ScriptedPort* line = &port;
    auto loader = std::make_unique<bootsim::ScriptedLoader>(
        std::move(o), bootsim::ScriptedLoader::Line{[line](const std::vector<std::string>& writes) { line->Feed(writes); },
                                                    [line] { line->HangUp(); }});
    port.OnWrite([l = loader.get()](std::string_view bytes) { l->Take(bytes); });
    return loader;
}
}  // namespace

ScriptedUnit::ScriptedUnit(bootsim::Options o) : port(std::make_shared<ScriptedPort>(PiecesFor(o.chunking), o.seed))
{
    loader = LoaderOn(*port, std::move(o));
}

ScriptedUnit::~ScriptedUnit()
{
    // The controller may still hold the port: it must not reach the loader once it is gone.
    port->OnWrite({});
}

ScriptedUpdate::ScriptedUpdate(bootsim::Options o, QZ7_UpdaterAppDelegate::Options options, PowerOn powerOn)
    : port(std::make_shared<ScriptedPort>(PiecesFor(o.chunking), o.seed))
{
    loader = LoaderOn(*port, std::move(o));
    options.opener = ScriptedOpener(port);
    if (powerOn == PowerOn::AsThePortOpens) {
        // Switched on as the adapter opens: the banner is there before the controller drains.
        options.opener = [open = std::move(options.opener), l = loader.get()](const std::string& path) {
            PortOpening opening = open(path);
            if (opening.takeOver)
                opening.takeOver = [take = std::move(opening.takeOver), l] {
                    std::shared_ptr<Port> taken = take();
                    l->PowerOn();
                    return taken;
                };
            return opening;
        };
    }
    options.lister = OneAdapter("/dev/ttyUSB-scripted");
    // The port is there at once: discovery's pause only delays the power-on directions.
    options.discoveryInterval = 1ms;
    app = std::make_unique<UpdaterApp>(std::move(options));
    cue = std::make_unique<PowerOnCue>(*app, [l = loader.get()] { l->PowerOn(); });
    app->Launch();
}

ScriptedUpdate::~ScriptedUpdate()
{
    if (app)
        Quit();
}

bool ScriptedUpdate::PressUpdate(const std::function<bool()>& atTheQuestion, std::chrono::milliseconds bound)
{
    if (!AtTheQuestion(*app, bound) || (atTheQuestion && !atTheQuestion()))
        return false;
    app->window->UpdateButtonView()->click();
    return true;
}

bool ScriptedUpdate::Shows(const std::string& text, std::chrono::milliseconds bound) const
{
    return QTest::qWaitFor([&] { return ScreenText(*app).toStdString() == text; }, static_cast<int>(bound.count()));
}

bool ScriptedUpdate::Status(const std::string& part, std::chrono::milliseconds bound) const
{
    return QTest::qWaitFor([&] { return StatusLine(*app).find(part) != std::string::npos; }, static_cast<int>(bound.count()));
}

void ScriptedUpdate::Quit()
{
    app->window->close();
    app->controller->applicationWillTerminate();
    cue.reset();
    app.reset();
}

void OnScriptedPort::Open(const std::optional<std::string>& firmware)
{
    port = std::make_shared<ScriptedPort>();
    drained = 0;
    app = MakeApp("/dev/ttyUSB-scripted", firmware ? WithFirmware(*firmware) : QZ7_UpdaterAppDelegate::Options{});
    app->window->show();
    screen.next = app->frontEnd.get();
    c().setFrontEnd(&screen);
    c().setChosenPath("/dev/ttyUSB-scripted");
    c().setSerial(port);
}

void OnScriptedPort::Reopen()
{
    port = std::make_shared<ScriptedPort>();
    drained = 0;
    c().setChosenPath("/dev/ttyUSB-scripted");
    c().setSerial(port);
}

std::string OnScriptedPort::Drain()
{
    // Nothing can write any more once the worker has nothing to do, or has only a reader that
    // waits for the device (the test alone feeds it). Seen twice, a little apart, so that an
    // operation between two waits is not taken for rest.
    auto resting = [this] {
        const int running = c().RunningOperations();
        return running == 0 || (running == 1 && port->IdleWaiters() > 0);
    };
    WaitUntil([&] {
        if (!resting())
            return false;
        std::this_thread::sleep_for(2ms);
        return resting();
    }, 5s);
    const std::string all = port->Written();
    std::string fresh = all.substr(drained);
    drained = all.size();
    return fresh;
}

ScriptedDialogue::ScriptedDialogue(bootsim::Options o, QZ7_UpdaterAppDelegate::Options options)
    : port(std::make_shared<ScriptedPort>(PiecesFor(o.chunking), o.seed))
{
    loader = LoaderOn(*port, std::move(o));
    options.opener = ScriptedOpener(port);
    options.lister = OneAdapter("/dev/ttyUSB-scripted");
    options.discoveryInterval = 1ms;
    controller = std::make_unique<QZ7_UpdaterAppDelegate>(std::move(options));
    controller->setFrontEnd(this);
    controller->applicationDidFinishLaunching();
}

ScriptedDialogue::~ScriptedDialogue()
{
    if (controller)
        Quit();
}

void ScriptedDialogue::Show(const ScreenUpdate& update)
{
    updates.push_back(update);
    if (update.directions == DirectionsFact{Says::PowerOn})
        loader->PowerOn();
    // Pressed after this update has been shown, as a click comes: from the event loop.
    if (update.updateEnabled == true && !pressed && !Ended()) {
        pressed = true;
        QMetaObject::invokeMethod(controller.get(), [c = controller.get()] { c->UpdatePressed(); }, Qt::QueuedConnection);
    }
}

bool ScriptedDialogue::Ended() const
{
    for (const ScreenUpdate& u : updates)
        if (u.ended)
            return true;
    return false;
}

void ScriptedDialogue::Quit()
{
    controller->applicationWillTerminate();
    controller.reset();
}
