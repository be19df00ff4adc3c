#include "terminal/Terminal.h"

#include "controller/QZ7_UpdaterAppDelegate.h"
#include "controller/SignalQuit.h"
#include "core/Status.h"
#include "core/Version.h"
#include "firmware/Firmware.h"
#include "terminal/Bench.h"
#include "run/RunOptions.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <exception>
#include <chrono>
#include <csignal>
#include <memory>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

using namespace std::chrono_literals;

LinePrinter::LinePrinter(std::function<void(int)> finished) : tty_(::isatty(STDOUT_FILENO) == 1), finished_(std::move(finished)) {}

LinePrinter::~LinePrinter() = default;

void LinePrinter::LevelShown(bool shown)
{
    levelShown_ = shown;
    if (!levelShown_) {
        EndBar();
        transfer_ = false;
    }
}

void LinePrinter::Programming(std::size_t characters)
{
    transfer_ = true;
    decile_ = 0;
    const long count = static_cast<long>(characters);
    PrintLine(Words::TrN("Terminal", "Sending the firmware image (%n characters).", "Sending the firmware image (%n character).", count));
}

void LinePrinter::Level(int level)
{
    if (!levelShown_ || !transfer_)
        return;
    level_ = level;
    if (tty_)
        DrawBar();
    for (; !tty_ && level_ >= (decile_ + 1) * 10; ++decile_)
        PrintLine(std::to_string((decile_ + 1) * 10) + "%");
}

void LinePrinter::Directions(const DirectionsFact& directions)
{
    // Directions may carry the QZ7's own bytes (its version, an unexpected reply): escaped, so
    // that they cannot move the cursor, rewrite the screen or cut the line.
    PrintLine(StatusText::PrintableText(Words::DirectionsOneLine(directions)));
}

void LinePrinter::Progress(const std::string& text)
{
    progress_ = text;
    if (transfer_ && tty_)
        DrawBar();
}

void LinePrinter::Status(const StatusFact& report)
{
    // An adapter that cannot be used is the news, and its fix the next step: a line of its own
    // like the directions, not an indented detail under them.
    PrintLine((Words::AdapterUnusable(report) ? "" : "  ") + OneLine(Words::Status(report)));
}

void LinePrinter::Cancelled(Ending how, const std::optional<std::string>& version, VersionRelation)
{
    if (how == Ending::NewerOnUnit)
        PrintLine(NewerLeftText(version));
    else
        PrintLine(Words::Tr("Terminal", "Not updated: the QZ7 was left as it was."));
}

void LinePrinter::Unusable()
{
    PrintLine(Words::Tr("Terminal", kUnusablePort));
}

void LinePrinter::Ended(Ending how)
{
    EndBar();
    if (input_)
        input_->setEnabled(false);
    finished_(RowOf(how).exitStatus);
}

void LinePrinter::Line(const std::string& line)
{
    PrintLine(line);
}

void LinePrinter::PrintLine(const std::string& line)
{
    EndBar();
    // A line never continues the unanswered question.
    std::string out = (std::exchange(promptOpen_, false) ? "\n" : "") + line + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
}

void LinePrinter::EndBar()
{
    if (!barDrawn_)
        return;
    std::fputs("\n", stdout);
    std::fflush(stdout);
    barDrawn_ = false;
    barLength_ = 0;
}

void LinePrinter::DrawBar()
{
    constexpr int kWidth = 24;
    const int level = std::clamp(level_, 0, 100);
    const int filled = level * kWidth / 100;
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3d%%", level);
    std::string line = "[" + std::string(filled, '#') + std::string(kWidth - filled, '-') + "] " + percent;
    if (!progress_.empty())
        line += "  " + progress_;
    // One row only: a line wider than the terminal would wrap, and \r would go back to its
    // second row.
    winsize size{};
    std::size_t columns = ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
    if (line.size() > columns - 1)
        line.resize(columns - 1);
    std::string out = "\r" + line;
    if (line.size() < barLength_)
        out += std::string(barLength_ - line.size(), ' ');
    std::fputs(out.c_str(), stdout);
    std::fflush(stdout);
    barLength_ = line.size();
    barDrawn_ = true;
}

void LinePrinter::Question(Answer answer, VersionRelation relation, const std::optional<std::string>&,
                           std::function<void(bool)> answered)
{
    // A QZ7 with newer firmware is asked about in words that say so; --yes alone leaves it.
    const bool newer = relation == VersionRelation::Newer;
    if (answer == Answer::LeaveNewer)
        return;
    const std::string question = newer ? Words::Tr("Terminal", "Update to the older firmware? [y/N]")
                                       : Words::Tr("Terminal", "Update? [y/N]");
    if (answer == Answer::Update) {
        //: The question answered by the options: "y" stands for the answer, the options as they are.
        PrintLine(newer ? Words::Tr("Terminal", "Update to the older firmware? [y/N] y (--yes --allow-older)")
                        //: The question answered by the option: "y" stands for the answer.
                        : Words::Tr("Terminal", "Update? [y/N] y (--yes)"));
        return;
    }
    EndBar();
    // Keys pressed on the terminal before the question was asked are no answer to it: an "y"
    // typed ahead must not erase a device whose version the operator has not yet seen. (Input
    // from a file or a pipe is the script's answer given in advance, and stays.)
    if (::isatty(STDIN_FILENO) == 1)
        ::tcflush(STDIN_FILENO, TCIFLUSH);
    std::fputs((question + " ").c_str(), stdout);
    std::fflush(stdout);
    promptOpen_ = true;
    answer_.clear();
    answered_ = std::move(answered);
    if (!input_) {
        input_ = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
        connect(input_, &QSocketNotifier::activated, this, &LinePrinter::ReadAnswer);
    }
    input_->setEnabled(true);
}

namespace {
// Longer than any yes or no: what goes beyond this without a line end is no answer.
constexpr std::size_t kLongestAnswer = 256;
}  // namespace

void LinePrinter::ReadAnswer()
{
    // Called when standard input has something (or has ended): one read never waits.
    char buffer[256];
    ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    const bool end = n <= 0;
    if (!end)
        answer_.append(buffer, static_cast<std::size_t>(n));
    std::size_t lineEnd = answer_.find('\n');
    // An answer is a word: input that goes on without a line end (from /dev/zero, a binary file)
    // is not kept growing, and counts as no.
    const bool overlong = std::min(lineEnd, answer_.size()) > kLongestAnswer;
    if (!end && !overlong && lineEnd == std::string::npos)
        return;  // the rest of the line is still to come
    input_->setEnabled(false);
    std::string word = overlong ? std::string() : OneLine(answer_.substr(0, lineEnd));
    answer_.clear();
    std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) { return std::tolower(c); });
    // A terminal has echoed the answer and its line end; otherwise the output says what came.
    // Either way the answer finishes the question's line.
    promptOpen_ = false;
    if (!(!end && !overlong && tty_ && ::isatty(STDIN_FILENO) == 1))
        PrintLine(overlong           ? Words::Tr("Terminal", "(answer too long)")
                  : end && word.empty() ? Words::Tr("Terminal", "(end of input)")
                                        : StatusText::PrintableText(word));
    if (answered_)
        answered_(IsYes(word));
}
