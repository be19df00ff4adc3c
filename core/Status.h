#pragma once
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

// Why the chosen adapter refused to open for lack of permission.
struct PermissionFacts {
    std::string device;
    std::string owner;             // the node's owner and group, by name
    std::string group;
    std::string user;              // who runs the program
    bool groupMayUse = false;      // the node's group bits give read and write
    bool listedInGroup = false;    // the group database names the user in the group
    bool loginHasGroup = false;    // this process has the group
};
std::string Permission(const PermissionFacts& facts);

// The command a status text asks the operator to run, or empty. The texts here and the search hint
// put each such command (sudo adduser ..., sudo apt remove brltty) on a line of its own that
// begins with "sudo ", so that a front end can show it apart, whole, to be copied.
std::string CommandIn(std::string_view status);

// A process that has the device open.
struct Holder {
    std::string name;
    int pid = 0;
};
// The adapter is held by another program; `grabbers` are running programs known to take serial
// adapters (ModemManager, brltty).
std::string Busy(const std::string& device, const std::vector<Holder>& holders,
                 const std::vector<std::string>& grabbers);
// Any other failure to open or set up the adapter; `step` says which ("open", "tcgetattr", ...).
std::string OpenError(const std::string& device, const std::string& step, int error);

// The adapter in use, as far as it is known.
struct AdapterFacts {
    std::string path;
    std::string name;  // the name the choice rule saw
    std::string description;
    std::string manufacturer;
    std::string vendorProduct;  // "0403:6001"
    std::string serialNumber;
};
std::string Adapter(const AdapterFacts& facts);

std::string PowerOnSilence(std::chrono::seconds quiet);
std::string Silence(std::chrono::seconds quiet);
// Bytes came, but nothing the dialogue waits for in `stage`; `received` is what came, raw (it
// may hold bytes above 127, or end without a line end); `lastLine`: the image's last line has
// gone out, so "Done" is awaited rather than a pacing asterisk.
std::string NotAwaited(std::string_view received, Stage stage, bool lastLine);
// The prompt answered with "y" `count` times, each time with another line than "E or P?".
std::string Paging(long count, std::string_view lastReply);

std::string Progress(int line, int lines, double bytesPerSecond, std::optional<double> secondsLeft);
std::string Done(int lines, std::uint64_t bytes, double seconds);

// Where the dialogue stood when a failure screen came up.
struct FailureFacts {
    Stage stage = Stage::AwaitingBanner;  // the dialogue state the program was waiting in
    int line = 0;                // image lines sent, and of how many (during the transfer)
    int lines = 0;
    std::optional<int> hangUpError;  // errno of the call that found the line gone; 0: end of file
    std::string lastReply;           // raw bytes, shown through Printable
};
std::string Failure(const FailureFacts& facts);

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

// Whether a status text goes into the transcript: every new text does, but one that differs from
// the last logged text only in its numbers (a silence that counts seconds, the transfer's
// progress) at most once a minute, so an hour at the power-on prompt costs a few dozen lines.
// What was held back is not lost at the end of its run: the last count goes in before the text
// that replaces it, or, when nothing does, at the end (Unlogged).
class StatusLogPace {
public:
    // The texts to log for `text`, in order: none (held back), or `text`, after the last text
    // held back since the last one logged when there is one.
    std::vector<std::string> Take(const std::string& text, std::chrono::steady_clock::time_point now);
    // The last text given to Take, when Take held it back; once. For the end, when no text is
    // to follow: the transcript's last status would otherwise be an older count.
    std::optional<std::string> Unlogged();

private:
    std::string shape_;  // the last logged text without its digits
    std::chrono::steady_clock::time_point at_{};
    std::optional<std::string> held_;
};

// What the status line shows, fed from every thread of the controller. It keeps a base text (the
// adapter, the progress, the outcome) and an alert that stands in front of it while it lasts (a
// silent or unreadable device), and calls `show` with the text to display whenever that changes,
// under its own lock, so that the calls come in the order of the changes.
// What the status line shows: the text, what kind of text it is, and with the transfer's progress
// or summary the lines gone across.
struct StatusShown {
    std::string text;
    StatusKind kind = StatusKind::Plain;
    int linesSent = 0;
};

class StatusBoard {
public:
    using Clock = std::chrono::steady_clock;
    struct Thresholds {
        std::chrono::milliseconds powerOnSilence{30000};
        std::chrono::milliseconds silence{10000};
        std::chrono::milliseconds unreadable{5000};
        std::chrono::milliseconds paging{10000};
    };
    StatusBoard(Thresholds thresholds, std::function<void(const StatusShown&)> show);

    void SetBase(std::string text);

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
    // Nothing feeds the board any more (the controller stops): a transfer cut short shows the
    // line it reached, however soon after the last refresh that line went. Returns the text shown.
    std::string Settle();

    // The dialogue has ended: "Done" brings the transfer's summary, any other end the detail of
    // where the dialogue stood.
    void Ended(Outcome outcome, Clock::time_point now);

    std::string Shown() const;

private:
    void CheckLocked(Clock::time_point now);
    void ClearUnjudged();
    void ShowLocked();
    void ShowProgressLocked(Clock::time_point now, bool timeLeft);
    std::string LastReplyLocked() const;

    const Thresholds thresholds_;
    const std::function<void(const StatusShown&)> show_;
    mutable std::mutex mutex_;
    std::string base_;
    std::string alert_;
    StatusKind baseKind_ = StatusKind::Plain;
    StatusKind alertKind_ = StatusKind::Plain;
    std::string shown_;

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
    int shownLine_ = 0;  // the line the progress text names
    std::uint64_t bytes_ = 0;  // the image's length
    std::uint64_t sent_ = 0;   // how much of it has gone out
    Clock::time_point transferStart_{};
    Clock::time_point lastProgress_{};
    TimeLeft timeLeft_;
};
