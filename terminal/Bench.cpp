#include "terminal/Bench.h"

#include "terminal/BenchParts.h"

using namespace std::chrono_literals;

namespace benchparts {

BenchScreen::BenchScreen(bool json) : human_(json ? stderr : stdout), tty_(::isatty(fileno(human_)) == 1)
{
    redraw_.setSingleShot(true);
    connect(&redraw_, &QTimer::timeout, this, &BenchScreen::Redraw);
}

std::unique_ptr<UnitPrinter> BenchScreen::Show(const BenchUnit& unit)
{
    auto printer = std::make_unique<BenchPrinter>(*this, unit);
    rows_.push_back(printer.get());
    return printer;
}

void BenchScreen::Event(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

void BenchScreen::Say(const BenchUnit* unit, const std::string& line)
{
    // A path may hold any byte but NUL: escaped, so that it cannot move the cursor or cut the line.
    std::string out = (unit ? StatusText::PrintableText(unit->path) + ": " : std::string()) + line;
    if (tty_ && rowsDrawn_ > 0) {
        // Above the rows: go up to the first one, write the line there, and draw the rows again
        // below it.
        out = "\x1b[" + std::to_string(rowsDrawn_) + "A\r" + out + "\x1b[J\n";
        rowsDrawn_ = 0;
        std::fputs(out.c_str(), human_);
        Redraw();
        return;
    }
    out += "\n";
    std::fputs(out.c_str(), human_);
    std::fflush(human_);
}

void BenchScreen::Changed()
{
    if (tty_ && !redraw_.isActive())
        redraw_.start(100ms);
}

void BenchScreen::Redraw()
{
    if (!tty_)
        return;
    winsize size{};
    std::size_t columns = ::ioctl(fileno(human_), TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
    std::string out = rowsDrawn_ > 0 ? "\x1b[" + std::to_string(rowsDrawn_) + "A" : "";
    for (const BenchPrinter* unit : rows_) {
        // One row each: a wider line would wrap, and the cursor would no longer come back.
        std::string row = unit->Row();
        if (row.size() > columns - 1)
            row.resize(columns - 1);
        out += "\r" + row + "\x1b[K\n";
    }
    rowsDrawn_ = rows_.size();
    std::fputs(out.c_str(), human_);
    std::fflush(human_);
}

}  // namespace benchparts

int RunBench(const RunOptions& run, int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (::isatty(STDERR_FILENO) == 1 && qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("qz7.*.info=false\nqz7.*.warning=false"));
    QCoreApplication app(argc, argv);
    benchparts::BenchScreen screen(run.json);
    BenchRun bench(run, screen);
    if (std::optional<BenchRun::Refusal> refused = bench.Start()) {
        std::fprintf(stderr, "qz7-updater: %s\n", refused->why.c_str());
        return refused->status;
    }
    SignalQuit signalQuit([&bench](int signal) { bench.Signal(signal); });
    QCoreApplication::exec();
    // Every port is put back and every controller's thread has ended before the status goes out.
    bench.Release();
    return bench.Status().value_or(ExitStatus::Failure);
}
