#pragma once
#include "core/Screen.h"
#include "hex/TextRules.h"
#include "serial/PortIo.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

// Where the line reader's bytes come from. Read() makes one read of at most `max` bytes; when
// nothing is pending it may wait a short bound first, and returns Empty if nothing came.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual PortResult Read(char* buffer, std::size_t max) = 0;
};

// How a reader call ended: with a reply (status Data; the text is absent when its bytes did not
// decode as 7-bit ASCII), or without one because the port was closed or the adapter hung up.
struct ReaderOutcome {
    PortIo status;
    std::optional<std::string> reply;
};

constexpr std::size_t kLineReplyBytes = 24;
constexpr std::size_t kVersionReplyBytes = 1023;
constexpr int kVersionPasses = 101;

// One piece of the device's stream: a line, a pacing asterisk, the end of the port, or a quiet
// spell that lasted until the reader's deadline.
struct Piece {
    enum Kind { Line, Asterisk, End, Quiet } kind = End;
    PortIo end = PortIo::Closed;  // for End: Closed or HangUp
    std::string bytes;            // a Line's bytes, its line end left out
    char lineEnd = 0;             // the character that ended it; 0 when the limit or an asterisk cut it
    bool cut = false;             // the limit or the deadline cut it: the same line goes on
    bool Decodes() const { return DecodeAscii(bytes.data(), bytes.size()).has_value(); }
};

// Where in `drained` (bytes dropped as old input) the last line holding the banner's "QZ-7"
// begins, when one does: a banner that came before the power-on prompt was shown.
std::optional<std::size_t> BannerStart(std::string_view drained);

// A line of the loader's, taken whole however long it is and however it was split: what the
// transfer's rule asks of it, kept in bounded memory. Bytes above 127 are kept as they are and
// hide nothing: a line that holds "Not Done" holds it whatever stands around it.
class LoaderLine {
public:
    void Append(std::string_view bytes);
    bool Empty() const { return size_ == 0; }
    bool HoldsNotDone() const { return notDone_; }
    bool HoldsBanner() const { return banner_; }  // "QZ-7", as the loader's banner does
    bool HoldsDone() const { return done_; }
    bool HoldsNot() const { return not_; }
    // "Done" and nothing else, spaces and tabs aside.
    bool DoneAlone() const { return !aloneSpoilt_ && word_ == "Done"; }
    // The line as far as it is quoted: its first 1023 bytes.
    const std::string& Head() const { return head_; }

private:
    std::string head_;
    std::string tail_;  // the last bytes appended, so that a text split across pieces is found
    std::string word_;  // the first word, while it may still be "Done"
    std::size_t size_ = 0;
    bool notDone_ = false, banner_ = false, done_ = false, not_ = false;
    bool wordEnded_ = false, aloneSpoilt_ = false;
};

// The rule for the loader's lines while the transfer waits for an asterisk (Phase::Transfer)
// and after the image's last line (Phase::AfterImage), the same under every split:
// - a line holding "Not Done" ends as Not Done at once, even before its line end; after the last
//   line so does any line holding both "Done" and "Not" (never a success on a doubt);
// - after the last line, "Done" alone (spaces aside) is the loader's verdict: Done;
// - a line that could end the transfer but could also be chatter (before the last line "Done"
//   alone; a line holding "QZ-7"; after the last line any other line holding "Done") holds
//   every further write and is judged by what follows: an asterisk makes it chatter, a "Not
//   Done" line makes it Not Done, and `quiet` without a further line makes it the ending it
//   names (ended early, restarted, or Done); at most `longest` after it, however chatty the
//   loader goes on;
// - any other line is the loader's chatter, dropped.
// An asterisk paces during the transfer and is ignored after the last line.
class LoaderLines {
public:
    using Clock = std::chrono::steady_clock;
    enum class Phase { Transfer, AfterImage };
    struct Verdict {
        enum Kind { Wait, Pace, End } kind = Wait;
        Outcome outcome = Outcome::Done;  // for End
        std::string line;                 // for End: the line that decided it, as far as quoted
        bool operator==(const Verdict&) const = default;
    };
    static constexpr std::chrono::milliseconds kQuiet{1000};
    static constexpr std::chrono::milliseconds kLongest{5000};

    explicit LoaderLines(Phase phase, std::chrono::milliseconds quiet = kQuiet,
                         std::chrono::milliseconds longest = kLongest);

    Verdict Line(const LoaderLine& line, Clock::time_point now);
    // A line not yet ended (cut by the limit or a quiet spell): only "Not Done" decides it.
    Verdict Partial(const LoaderLine& line);
    Verdict Asterisk();
    // The time has come to `now`: a line waiting to be judged may end.
    Verdict Tick(Clock::time_point now);
    // Until when the reader may wait before calling Tick; none while no line waits.
    std::optional<Clock::time_point> Deadline() const;

private:
    struct Pending {
        Outcome outcome;
        std::string line;
        Clock::time_point since, last;
    };
    const Phase phase_;
    const std::chrono::milliseconds quiet_, longest_;
    std::optional<Pending> pending_;
};

// The device's byte stream as the dialogue reads it. Every reader of a controller (the banner,
// the version, the replies, the pacing) takes its bytes from one LineReader, so the outcome
// never depends on how the kernel happened to split the bytes into reads:
// - bytes are kept across reads until a reader consumes them; what follows a reader's line (an
//   asterisk, a prompt character, the next line) stays for the next reader;
// - a line ends at any LF, VT, FF or CR, wherever it falls in a read; empty lines are no lines;
// - a line longer than its reader's limit is that reader's as far as the limit, and the rest of
//   it is read as the next line;
// - during the pacing an asterisk is never lost: a line it cuts short is handed over first, and
//   the asterisk after it.
// The methods run on the controller's one worker; Clear() may come from any thread.
class LineReader {
public:
    // The next line of at least three characters, cut at 24 (the rest is the next line): the
    // device's reply. Shorter lines
    // (an echoed command, the late half of a line end) are skipped, and so is a line that does
    // not decode as 7-bit ASCII (a byte above 127 spoils its own line only).
    ReaderOutcome ReadReplyLine(ByteSource& source);

    // The answer to "y": lines gathered, each with its line end, into at most 1023 characters,
    // until the text holds a "V" (then cut at its first "Q", if any) or "E or P", or `passes`
    // lines have come, or the text is full. Lines that do not decode are left out.
    ReaderOutcome ReadVersionReply(ByteSource& source, int passes = kVersionPasses);

    // The next asterisk, or the next line that comes before it (at most 1023 characters; a line
    // an asterisk cuts short comes first, with line end 0, and the asterisk on the next call).
    // What follows the asterisk stays. With a deadline, a quiet spell that reaches it ends the
    // wait: with the line begun so far (cut) when there is one, else with Quiet.
    Piece NextPacing(ByteSource& source, std::optional<std::chrono::steady_clock::time_point> deadline = std::nullopt);

    // The loader's stream while the transfer waits for an asterisk or, after the last line, for
    // its verdict: lines taken whole and judged by `judge` until it says to pace or to end.
    // Status Data with the verdict; Closed or HangUp when the port ended first.
    struct Judged {
        PortIo status = PortIo::Data;
        LoaderLines::Verdict verdict;
    };
    Judged AwaitLoader(ByteSource& source, LoaderLines& judge);

    // Forgets every byte kept, and a line being dropped.
    void Clear();
    // Takes `bytes` as if the port had just delivered them, before anything read later.
    void Keep(std::string_view bytes);
    // How many bytes are kept, not yet consumed.
    std::size_t Kept() const;

    // The bytes consumed since the dialogue last took a reply or an asterisk (MarkJudged), at
    // most the last 120: what came that the dialogue could not use. The LF of a CR LF that ended
    // a line is not counted. Being taken from the stream, not from reads, it is the same however
    // the bytes were split.
    std::string SinceJudged() const;
    void MarkJudged();

private:
    // The next line of at most `limit` characters (or an asterisk, when `asteriskStops`).
    Piece Next(ByteSource& source, std::size_t limit, bool asteriskStops,
               std::optional<std::chrono::steady_clock::time_point> deadline = std::nullopt);

    mutable std::mutex mutex_;  // guards the three below; never held during a read
    std::string buffer_;
    std::size_t pos_ = 0;      // bytes before it are consumed
    bool afterCr_ = false;     // the last byte consumed was a CR that ended a line
    std::string sinceJudged_;
};
