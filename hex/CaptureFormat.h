#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The line format of a capture (--capture FILE): JSON Lines, one object a line. The first line
// is the header ("ev":"open"), the last the outcome ("ev":"end"); between them one line per
// read that brought bytes, per write, per hang-up and per close, each with "t", the
// microseconds since the port was opened (monotonic clock).
//
// Bytes ("b") are a JSON string in which every character stands for one byte: its code point is
// the byte's value (0 to 255). Printable ASCII stands as itself; CR, LF, tab, '"' and '\' as
// JSON's \r, \n, \t, \" and \\; every other byte as \u00XX. So `jq -r .b` shows the text the
// device sent, and the file stays valid UTF-8 whatever the bytes were.
namespace capture {

inline constexpr int kFormat = 1;  // "capture": 1 in the header

// `bytes` as the JSON string above, quotes included (returned, or appended to `out`).
std::string QuoteBytes(std::string_view bytes);
void AppendQuotedBytes(std::string& out, std::string_view bytes);
// `text` (UTF-8) as a JSON string, quotes included: for the header's texts.
std::string QuoteText(std::string_view text);

// One parsed line: its top-level keys, each with its value's JSON text as it stands in the line
// (a string with its quotes, a nested object or array whole).
struct Line {
    std::map<std::string, std::string> raw;
    // A string value as UTF-8 text; none when the key is missing or holds no string.
    std::optional<std::string> Text(const std::string& key) const;
    // A string value read as bytes (each character one byte); none when missing, no string, or
    // a character above 255.
    std::optional<std::string> Bytes(const std::string& key) const;
    // A whole number; none when missing or no integer.
    std::optional<long long> Number(const std::string& key) const;
};
// Parses one line; none when it is no JSON object.
std::optional<Line> ParseLine(std::string_view text);

// One event between the header and the end.
struct Event {
    enum Kind { Read, Write, HangUp, Close } kind = Read;
    long long t = 0;    // microseconds since the open
    std::string bytes;  // read or written
    int error = 0;      // HangUp: the errno that found it (0: the end of input)
};
const char* KindName(Event::Kind kind);
// The line of `event` with its line end.
std::string EventLine(const Event& event);
// The line of a read or write ("read", "write") at `t`, appended to `out`, as EventLine makes it.
void AppendEventLine(std::string& out, const char* kind, long long t, std::string_view bytes);

// A whole capture as it was read back.
struct Recording {
    Line header;
    std::vector<Event> events;
    std::optional<Line> end;  // none when the program never said how it ended
};
// Reads a capture's text; on failure the reason, with the line number.
struct Parsed {
    std::optional<Recording> recording;
    std::string error;
};
Parsed ParseRecording(std::string_view text);

// Bytes for a person: printable ASCII as it stands, a backslash doubled, every other byte as
// \xNN, \r and \n as themselves escaped. For the replay's report of a difference.
std::string Escaped(std::string_view bytes);

}  // namespace capture
