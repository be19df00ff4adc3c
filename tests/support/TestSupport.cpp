#include "tests/support/TestSupport.h"

#include <QJsonDocument>
#include <fstream>

#include "controller/SignalQuit.h"
#include "serial/ByIdNames.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <sstream>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

extern char** environ;

Pty::Pty()
{
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) == 0) {
        ::close(slave);
        // Not handed to the programs a test starts: a child holding the master would keep the
        // line up after the test's own end has closed it.
        ::fcntl(master, F_SETFD, FD_CLOEXEC);
        path = name;
    }
}

Pty::~Pty()
{
    if (master >= 0)
        ::close(master);
}

void Pty::Send(const std::string& bytes) const
{
    ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

std::string Pty::Drain(std::chrono::milliseconds quiet) const
{
    std::string out;
    char buffer[4096];
    for (;;) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(quiet.count())) <= 0 || !(p.revents & POLLIN))
            return out;
        ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            return out;
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

termios Pty::Settings() const
{
    termios t{};
    tcgetattr(master, &t);
    return t;
}

bool Pty::HeldExclusively(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return true;  // refused: held exclusively (we are not privileged)
    int exclusive = 0;
    ioctl(fd, TIOCGEXCL, &exclusive);
    ::close(fd);
    return exclusive != 0;
}

ServiceLister OneAdapter(const std::string& path)
{
    return [path] { return std::optional(std::vector<SerialService>{{"ttyS0", "/nonexistent/ttyS0"}, {"ttyUSB-sim", path}}); };
}

std::vector<std::string> CarriedLanguages()
{
    std::vector<std::string> languages;
    std::ifstream list(QZ7_SOURCE_DIR "/translations/LANGUAGES");
    for (std::string line; std::getline(list, line);)
        if (!line.empty() && line[0] >= 'a' && line[0] <= 'z')
            languages.push_back(line);
    return languages;
}

std::unique_ptr<UpdaterApp> MakeApp(const std::string& path, QZ7_UpdaterAppDelegate::Options options,
                                    std::shared_ptr<Ledger> ledger)
{
    options.lister = OneAdapter(path);
    options.discoveryInterval = 20ms;
    return std::make_unique<UpdaterApp>(std::move(options), std::move(ledger));
}

QZ7_UpdaterAppDelegate::Options WithFirmware(std::string image)
{
    QZ7_UpdaterAppDelegate::Options options;
    options.useShippedFirmware = false;
    options.firmware = std::move(image);
    return options;
}

PowerOnCue::PowerOnCue(UpdaterApp& app, bootsim::BootSim* sim) : app(app), sim(sim), next(app.ControllersFrontEnd())
{
    app.controller->setFrontEnd(this);
}

PowerOnCue::PowerOnCue(UpdaterApp& app, std::function<void()> powerOn)
    : app(app), sim(nullptr), powerOn(std::move(powerOn)), next(app.ControllersFrontEnd())
{
    app.controller->setFrontEnd(this);
}

PowerOnCue::~PowerOnCue()
{
    app.controller->setFrontEnd(app.ControllersFrontEnd());
}

void PowerOnCue::Show(const ScreenUpdate& update)
{
    if (update.directions == DirectionsFact{Says::PowerOn}) {
        if (sim)
            sim->PowerOn();
        else if (powerOn)
            powerOn();
    }
    if (next)
        next->Show(update);
}

void PowerOnCue::Cancelled()
{
    if (next)
        next->Cancelled();
}

PowerOnWhenFileShows::PowerOnWhenFileShows(bootsim::BootSim& sim, std::string path, std::string unit, std::string cue)
    : thread_([this, &sim, path = std::move(path), unit = std::move(unit), cue = std::move(cue)] {
          // The unit's name whole: "/dev/pts/1" is not named by "/dev/pts/12".
          auto names = [&unit](const std::string& line) {
              for (std::size_t at = line.find(unit); at != std::string::npos; at = line.find(unit, at + 1))
                  if (at + unit.size() == line.size() || !std::isalnum(static_cast<unsigned char>(line[at + unit.size()])))
                      return true;
              return false;
          };
          while (!stop_) {
              std::ifstream file(path);
              for (std::string line; std::getline(file, line);) {
                  if (line.find(cue) != std::string::npos && names(line)) {
                      sim.PowerOn();
                      return;
                  }
              }
              std::this_thread::sleep_for(5ms);
          }
      })
{
}

PowerOnWhenFileShows::~PowerOnWhenFileShows()
{
    stop_ = true;
    thread_.join();
}

SimUpdate::SimUpdate(bootsim::Options o, QZ7_UpdaterAppDelegate::Options options, std::shared_ptr<Ledger> ledger)
    : sim(std::move(o))
{
    opened = sim.Open();
    EXPECT_TRUE(opened);
    sim.Start();
    app = MakeApp(sim.SlavePath(), std::move(options), std::move(ledger));
    cue = std::make_unique<PowerOnCue>(*app, &sim);
    app->Launch();
}

bool SimUpdate::PressUpdate(const std::function<bool()>& atTheQuestion, std::chrono::milliseconds bound)
{
    if (!AtTheQuestion(*app, bound) || (atTheQuestion && !atTheQuestion()))
        return false;
    app->window->UpdateButtonView()->click();
    return true;
}

bool SimUpdate::Shows(const std::string& text, std::chrono::milliseconds bound) const
{
    return QTest::qWaitFor([&] { return ScreenText(*app).toStdString() == text; }, static_cast<int>(bound.count()));
}

bool SimUpdate::Status(const std::string& part, std::chrono::milliseconds bound) const
{
    return QTest::qWaitFor([&] { return StatusLine(*app).find(part) != std::string::npos; }, static_cast<int>(bound.count()));
}

void SimUpdate::Quit()
{
    app->window->close();
    app->controller->applicationWillTerminate();
    cue.reset();
    app.reset();
}

bool AtTheQuestion(const UpdaterApp& app, std::chrono::milliseconds bound)
{
    return QTest::qWaitFor([&] { return app.window->UpdateButtonView()->isEnabled(); }, static_cast<int>(bound.count()));
}

std::string NewerThanShipped()
{
    const std::string v = Firmware::Version;
    const std::size_t dot = v.rfind('.');
    const std::string minor = std::to_string(std::stoi(v.substr(dot + 1)) + 2);
    const std::size_t width = v.size() - dot - 1;
    return v.substr(0, dot + 1) + std::string(width > minor.size() ? width - minor.size() : 0, '0') + minor;
}

std::string Describe(const ScreenUpdate& u)
{
    std::ostringstream d;
    auto field = [&d](const char* name, const auto& value) {
        if (value)
            d << name << "=" << *value << " ";
    };
    if (u.directions)
        d << "directions=" << Words::Directions(*u.directions) << " ";
    if (u.status)
        d << "status=" << Words::Status(*u.status) << " ";
    if (u.picture)
        d << (*u.picture == Picture::Device ? "picture=device " : "picture=none ");
    field("updateEnabled", u.updateEnabled);
    field("cancelEnabled", u.cancelEnabled);
    if (u.focus)
        d << (*u.focus == Focus::Update ? "focus=update " : *u.focus == Focus::Cancel ? "focus=cancel " : "focus=next-unit ");
    field("level", u.level);
    field("levelShown", u.levelShown);
    field("nextUnitShown", u.nextUnitShown);
    if (u.question)
        d << "question ";
    if (u.ended)
        d << "ended=" << static_cast<int>(*u.ended) << " ";
    if (u.scene)
        d << "scene=" << static_cast<int>(*u.scene) << " ";
    field("version", u.version);
    if (u.relation)
        d << "relation=" << static_cast<int>(*u.relation) << " ";
    return d.str();
}

QString ScreenText(const UpdaterApp& app)
{
    return app.window->DirectionsView()->text();
}

std::string StatusLine(const UpdaterApp& app)
{
    return app.window->StatusView()->text().toStdString();
}

bool SameSettings(const termios& a, const termios& b)
{
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0 && cfgetispeed(&a) == cfgetispeed(&b) &&
           cfgetospeed(&a) == cfgetospeed(&b);
}

bootsim::Options FastSim()
{
    bootsim::Options o;
    o.powerOnDelay = 60s;
    o.eraseDelay = 0ms;
    return o;
}

bootsim::Options HeldTransfer(int lines)
{
    bootsim::Options o = FastSim();
    o.pauseAfterLines = lines;
    o.pause = 60s;
    o.expected = ShippedImage();
    return o;
}

std::string ShippedImage()
{
    std::ifstream file(QZ7_BINARY_DIR "/firmware.hex", std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound)
{
    auto deadline = std::chrono::steady_clock::now() + bound;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

#ifndef QZ7_SOAK_MAIN
namespace {
// The window and controller started on `path`, with Update pressed as soon as it is offered,
// left running until the process is killed: an update that a test can stop at any moment from
// outside (the program itself cannot be made to press Update).
int UpdateUntilKilled(const std::string& path)
{
    auto app = MakeApp(path);
    app->Launch();
    if (!AtTheQuestion(*app))
        return 3;
    app->window->UpdateButtonView()->click();
    return QApplication::exec();
}

int SearchUntilKilled()
{
    ServiceLister system = WithByIdNames(SystemServiceLister());
    QZ7_UpdaterAppDelegate::Options options;
    options.lister = [system, first = true]() mutable {
        std::optional<std::vector<SerialService>> services = system();
        if (services)
            std::erase_if(*services, [](const SerialService& s) { return ChoosePath({s}, std::nullopt).has_value(); });
        if (std::exchange(first, false))
            (void)!::write(STDOUT_FILENO, "searching\n", 10);
        return services;
    };
    UpdaterApp app(std::move(options));
    SignalQuit signalQuit([&app](int) { app.window->close(); });
    app.Launch();
    return QApplication::exec();
}

// A window that looks like the updater's to anyone who goes by its title, and says on standard
// output when it shows and every key it receives.
class DecoyWindow : public QWidget {
protected:
    void showEvent(QShowEvent*) override { Say("shown\n"); }
    void keyPressEvent(QKeyEvent* event) override { Say("key " + event->text().toStdString() + "\n"); }

private:
    static void Say(const std::string& what) { (void)!::write(STDOUT_FILENO, what.data(), what.size()); }
};

int ShowDecoyWindow()
{
    DecoyWindow decoy;
    decoy.setWindowTitle(QStringLiteral("QZ7 Updater"));
    decoy.resize(400, 300);
    decoy.show();
    decoy.activateWindow();
    return QApplication::exec();
}
}  // namespace

int main(int argc, char** argv)
{
    const bool decoy = argc == 2 && std::string(argv[1]) == kDecoyWindow;
    const bool updating = argc == 3 && std::string(argv[1]) == kUpdateUntilKilled;
    const bool searching = argc == 2 && std::string(argv[1]) == kSearchUntilKilled;
    // A test's own helpers use the folder of the test that started them.
    std::optional<ScratchFolder> scratch;
    if (!decoy && !updating && !searching)
        scratch.emplace();
    qputenv("QT_QPA_PLATFORM", decoy ? "xcb" : "offscreen");
    QApplication app(argc, argv);
    if (decoy)
        return ShowDecoyWindow();
    if (updating)
        return UpdateUntilKilled(argv[2]);
    if (searching)
        return SearchUntilKilled();
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    scratch->Finish(result);
    return result;
}

void OpenPort(QZ7_UpdaterAppDelegate& controller, const std::string& path)
{
    // The record replaces the controller's before the port is opened, so the port takes the
    // lowest free number, as it did when the record was filled in place.
    auto record = std::make_shared<WQSerial>();
    controller.setSerial(record);
    OpenResult opened = OpenAndConfigure(path);
    ASSERT_GT(opened.fd, 0);
    record->setChosenPath(path);
    record->setTermios_archive(opened.archive);
    record->setPortID(opened.fd);
    controller.setChosenPath(path);
}

std::shared_ptr<WQSerial> SerialRecord(const QZ7_UpdaterAppDelegate& controller)
{
    auto record = std::dynamic_pointer_cast<WQSerial>(controller.Serial());
    EXPECT_TRUE(record) << "the controller's port is no record on a real line";
    return record;
}

int OpenDescriptors()
{
    int count = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d))
            ++count;
        closedir(d);
    }
    return count - 3;  // ".", ".." and the directory's own descriptor
}
#endif

std::vector<std::string> ReadLines(const std::string& path)
{
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

QJsonObject Parsed(const std::string& line)
{
    QJsonParseError error{};
    QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
    EXPECT_TRUE(doc.isObject()) << line;
    return doc.object();
}
