#pragma once
#include "core/Facts.h"
#include "core/Screen.h"
#include "core/Stage.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The second line of the window: what the directions cannot say (why the adapter does not open,
// which adapter is in use, a silent or unreadable device, the transfer's progress, what went
// wrong). The texts are made by plain functions; StatusBoard keeps what they are made from.
namespace StatusText {

// Bytes as one line of plain text: printable ASCII as it stands, every other byte as \xNN; at
// most `limit` characters, a cut marked with "...".
std::string Printable(std::string_view bytes, std::size_t limit = 80);
// The same for a text in the operator's language: characters of other scripts stand as they are
// (whole UTF-8 sequences); control characters, and bytes that are no such character, escaped.
std::string PrintableText(std::string_view text);

// The English texts of the status reports (core/Facts.h has what each is made from). A text that
// asks the operator to run a command puts it on a line of its own, word for word as
// Words::Command gives it. What a text quotes from outside the program (a device's path, the
// adapter's own words, a process's name, the QZ7's bytes) stands in it escaped as PrintableText
// or Printable give it, so that every text is fit for a terminal and a transcript as it is.
std::string Permission(const PermissionFacts& facts);
// The command the permission text asks for, or empty.
std::string PermissionCommand(const PermissionFacts& facts);

std::string Busy(const std::string& device, const std::vector<Holder>& holders,
                 const std::vector<std::string>& grabbers);
std::string OpenError(const std::string& device, const std::string& step, int error);
std::string NotAdapter(const NotAdapterFacts& facts);
std::string Adapter(const AdapterFacts& facts);
std::string Search(const SearchFacts& facts);
inline constexpr const char* kRemoveBrltty = "sudo apt remove brltty";

std::string PowerOnSilence(std::chrono::seconds quiet);
std::string Silence(std::chrono::seconds quiet);
// Bytes came, but nothing the dialogue waits for in `stage`; `received` is what came, raw (it
// may hold bytes above 127, or end without a line end); `lastLine`: the image's last line has
// gone out, so "Done" is awaited rather than a pacing asterisk.
std::string NotAwaited(std::string_view received, Stage stage, bool lastLine);
// The prompt answered with "y" `count` times, each time with another line than "E or P?".
std::string Paging(long count, std::string_view lastReply);

std::string Progress(int line, int lines, double bytesPerSecond, std::optional<double> secondsLeft);
std::string Done(int lines, std::uint64_t bytes, double seconds, bool nextUnitButton = false);

std::string Failure(const FailureFacts& facts);

// The version found against the firmware carried (empty unless Same or Newer).
std::string Version(const VersionFacts& facts);

}  // namespace StatusText

// Smoothed estimate of the time a transfer has left: the rate is an exponential average over
// samples at least 0.2 s apart, so one slow or fast line does not make the estimate jump.
class TimeLeft {
public:
    void Sample(double elapsedSeconds, double done, double total);
    std::optional<double> Seconds() const;
    double Rate() const { return rate_; }

private:
    double lastElapsed_ = 0;
    double lastDone_ = 0;
    double rate_ = 0;
    double left_ = -1;
};

// Whether a status text goes into the transcript: every new text does, but a count of the same
// kind as the last one logged (a silence that counts seconds, the transfer's progress, the pages
// answered) at most once a minute, so an hour at the power-on prompt costs a few dozen lines.
// What was held back is not lost at the end of its run: the last count goes in before the text
// that replaces it, or, when nothing does, at the end (Unlogged).
class StatusLogPace {
public:
    // The texts to log for `text`, in order: none (held back), or `text`, after the last text
    // held back since the last one logged when there is one.
    std::vector<std::string> Take(const std::string& text, StatusKind kind, std::chrono::steady_clock::time_point now);
    // The last text given to Take, when Take held it back; once. For the end, when no text is
    // to follow: the transcript's last status would otherwise be an older count.
    std::optional<std::string> Unlogged();

private:
    std::optional<StatusKind> counting_;  // the kind of count last logged
    std::chrono::steady_clock::time_point at_{};
    std::optional<std::string> held_;
};

// What the status line shows, fed from every thread of the controller. It keeps a base text (the
// adapter, the progress, the outcome) and an alert that stands in front of it while it lasts (a
// silent or unreadable device), and calls `show` with the report to display whenever that changes,
// under its own lock, so that the calls come in the order of the changes.
class StatusBoard {
public:
    using Clock = std::chrono::steady_clock;
    struct Thresholds {
        std::chrono::milliseconds powerOnSilence{30000};
        std::chrono::milliseconds silence{10000};
        std::chrono::milliseconds unreadable{5000};
        std::chrono::milliseconds paging{10000};
    };
    StatusBoard(Thresholds thresholds, std::function<void(const StatusFact&)> show);

    void SetBase(StatusFact fact);

    // The link: a port opened or closed, a reader waiting in `stage`, bytes that came, a reply
    // that decoded (or a pacing asterisk), and the error that found the line gone.
    void PortOpened(Clock::time_point now);
    void PortClosed();
    void Waiting(Stage stage, Clock::time_point now);
    void Received(Stage stage, const char* bytes, std::size_t count, Clock::time_point now);
    // What the readers took from the device since the dialogue last took a reply or an
    // asterisk (empty once it has); quoted after a while when it brings nothing awaited.
    void Unjudged(std::string_view bytes, Clock::time_point now);
    // A reply the dialogue took, raw: the failure it leads to quotes it.
    void Readable(const std::string& reply, Clock::time_point now);
    void HungUp(int error);
    // The prompt has been answered with "y" `count` times since `since`, the last reply being
    // `reply`; a count of 0 ends it.
    void Paging(long count, const std::string& reply, Clock::time_point since, Clock::time_point now);
    // The dialogue moved on to await `stage`: a failure before any byte of that stage is waited
    // for or received (a write that finds the adapter gone) still names the stage awaited.
    void Advanced(Stage stage);

    // The transfer.
    void TransferStarted(int lines, std::uint64_t bytes, Clock::time_point now);
    void LineSent(int line, std::uint64_t bytesSent, Clock::time_point now);
    // The lines the QZ7 has taken: those written before the read that brought its latest
    // asterisk or its verdict. Lines written into the queue that the QZ7 never asked past are
    // not among them.
    void LinesTaken(int lines);
    // Nothing feeds the board any more (the controller stops): a transfer cut short shows the
    // line it reached, however soon after the last refresh that line went. Returns the report shown.
    StatusFact Settle();

    // The dialogue has ended: "Done" brings the transfer's summary, any other end the detail of
    // where the dialogue stood.
    void Ended(Outcome outcome, Clock::time_point now);

    StatusFact Shown() const;

private:
    void CheckLocked(Clock::time_point now);
    void ClearUnjudged();
    void ShowLocked();
    void ShowProgressLocked(Clock::time_point now, bool timeLeft);
    // The progress shown names fewer lines sent or taken than there are.
    bool ProgressStaleLocked() const;
    std::string LastReplyLocked() const;

    const Thresholds thresholds_;
    const std::function<void(const StatusFact&)> show_;
    mutable std::mutex mutex_;
    StatusFact base_;
    StatusFact alert_;  // none: the empty state
    StatusFact shown_;

    bool open_ = false;
    bool waiting_ = false;
    Stage stage_ = Stage::AwaitingBanner;
    Clock::time_point quietSince_{};
    // Bytes received since the last reply or asterisk the dialogue took, and since when.
    std::optional<Clock::time_point> unjudgedSince_;
    std::string unjudged_;
    std::string lastReply_;      // the last reply the dialogue took
    long pages_ = 0;
    std::string pageReply_;
    Clock::time_point pagingSince_{}, pagingShown_{};
    std::string recent_;  // the last bytes received
    std::optional<int> hangUpError_;

    int lines_ = 0;
    int line_ = 0;
    int shownLine_ = 0;  // the line the progress report names
    int taken_ = 0;
    std::uint64_t bytes_ = 0;  // the image's length
    std::uint64_t sent_ = 0;   // how much of it has gone out
    Clock::time_point transferStart_{};
    Clock::time_point lastProgress_{};
    TimeLeft timeLeft_;
};
