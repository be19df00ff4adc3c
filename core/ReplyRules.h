#pragma once
#include "core/Screen.h"
#include "hex/TextRules.h"
#include "serial/PortIo.h"

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

// One piece of the device's stream: a line, a pacing asterisk, or the end of the port.
struct Piece {
    enum Kind { Line, Asterisk, End } kind = End;
    PortIo end = PortIo::Closed;  // for End: Closed or HangUp
    std::string bytes;            // a Line's bytes, its line end left out
    char lineEnd = 0;             // the character that ended it; 0 when the limit or an asterisk cut it
    bool Decodes() const { return DecodeAscii(bytes.data(), bytes.size()).has_value(); }
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
    // not decode as 7-bit ASCII (a byte above 127 spoils its own line only). Bytes of
    // `skipLeading` at the start of a line are dropped (the pacing asterisks a loader that ran
    // ahead still sends).
    ReaderOutcome ReadReplyLine(ByteSource& source, std::string_view skipLeading = {});

    // The answer to "y": lines gathered, each with its line end, into at most 1023 characters,
    // until the text holds a "V" (then cut at its first "Q", if any) or "E or P", or `passes`
    // lines have come, or the text is full. Lines that do not decode are left out.
    ReaderOutcome ReadVersionReply(ByteSource& source, int passes = kVersionPasses);

    // The next asterisk, or the next line that comes before it (at most 1023 characters; a line
    // an asterisk cuts short comes first, with line end 0, and the asterisk on the next call).
    // What follows the asterisk stays.
    Piece NextPacing(ByteSource& source);

    // Forgets every byte kept, and a line being dropped.
    void Clear();
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
    Piece Next(ByteSource& source, std::size_t limit, bool asteriskStops, std::string_view skipLeading);

    mutable std::mutex mutex_;  // guards the three below; never held during a read
    std::string buffer_;
    std::size_t pos_ = 0;      // bytes before it are consumed
    bool afterCr_ = false;     // the last byte consumed was a CR that ended a line
    std::string sinceJudged_;
};

// What a whole line that comes in place of a pacing asterisk means: the loader has restarted (it
// holds "QZ-7", as its banner does), refused the image (it holds "Not Done"), or ended before the
// last line ("Done" alone, spaces aside). Nothing for any other line: the loader's chatter
// between records, which the transfer drops.
std::optional<Outcome> JudgePacingLine(std::string_view line);
