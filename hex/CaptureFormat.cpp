#include "hex/CaptureFormat.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <cstdio>

namespace capture {
namespace {

void AppendHex4(std::string& out, unsigned value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const char digits[6] = {'\\', 'u', kDigits[(value >> 12) & 15], kDigits[(value >> 8) & 15],
                            kDigits[(value >> 4) & 15], kDigits[value & 15]};
    out.append(digits, sizeof digits);
}

void AppendUtf8(std::string& out, unsigned cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The code points of a JSON string token (quotes included); none when malformed. Raw UTF-8 in
// the token is decoded; a byte that is no UTF-8 stands for itself.
std::optional<std::u32string> CodePoints(std::string_view token)
{
    if (token.size() < 2 || token.front() != '"' || token.back() != '"')
        return std::nullopt;
    std::u32string out;
    auto hex4 = [&](std::size_t at) -> std::optional<unsigned> {
        if (at + 4 > token.size() - 1)
            return std::nullopt;
        unsigned v = 0;
        for (std::size_t k = at; k < at + 4; ++k) {
            char c = token[k];
            v <<= 4;
            if (c >= '0' && c <= '9') v |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f') v |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') v |= static_cast<unsigned>(c - 'A' + 10);
            else return std::nullopt;
        }
        return v;
    };
    for (std::size_t i = 1; i + 1 < token.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(token[i]);
        if (c == '\\') {
            if (i + 2 >= token.size())
                return std::nullopt;
            char e = token[++i];
            switch (e) {
            case '"': out += U'"'; break;
            case '\\': out += U'\\'; break;
            case '/': out += U'/'; break;
            case 'b': out += U'\b'; break;
            case 'f': out += U'\f'; break;
            case 'n': out += U'\n'; break;
            case 'r': out += U'\r'; break;
            case 't': out += U'\t'; break;
            case 'u': {
                std::optional<unsigned> v = hex4(i + 1);
                if (!v)
                    return std::nullopt;
                i += 4;
                unsigned cp = *v;
                if (cp >= 0xD800 && cp < 0xDC00 && i + 6 < token.size() && token[i + 1] == '\\' && token[i + 2] == 'u') {
                    if (std::optional<unsigned> low = hex4(i + 3); low && *low >= 0xDC00 && *low < 0xE000) {
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (*low - 0xDC00);
                        i += 6;
                    }
                }
                out += static_cast<char32_t>(cp);
                break;
            }
            default:
                return std::nullopt;
            }
        } else if (c >= 0xC0 && c < 0xF8) {
            int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
            unsigned cp = c & (0x3F >> more);
            bool good = i + static_cast<std::size_t>(more) < token.size() - 1;
            for (int k = 1; good && k <= more; ++k) {
                unsigned char d = static_cast<unsigned char>(token[i + static_cast<std::size_t>(k)]);
                good = (d & 0xC0) == 0x80;
                cp = (cp << 6) | (d & 0x3F);
            }
            if (good) {
                out += static_cast<char32_t>(cp);
                i += static_cast<std::size_t>(more);
            } else {
                out += static_cast<char32_t>(c);
            }
        } else {
            out += static_cast<char32_t>(c);
        }
    }
    return out;
}

// The end of the JSON value that starts at `at` (one past it); npos when it does not end.
std::size_t ValueEnd(std::string_view s, std::size_t at)
{
    if (at >= s.size())
        return std::string_view::npos;
    if (s[at] == '"') {
        for (std::size_t i = at + 1; i < s.size(); ++i) {
            if (s[i] == '\\')
                ++i;
            else if (s[i] == '"')
                return i + 1;
        }
        return std::string_view::npos;
    }
    if (s[at] == '{' || s[at] == '[') {
        int depth = 0;
        for (std::size_t i = at; i < s.size(); ++i) {
            char c = s[i];
            if (c == '"') {
                std::size_t end = ValueEnd(s, i);
                if (end == std::string_view::npos)
                    return end;
                i = end - 1;
            } else if (c == '{' || c == '[') {
                ++depth;
            } else if (c == '}' || c == ']') {
                if (--depth == 0)
                    return i + 1;
            }
        }
        return std::string_view::npos;
    }
    std::size_t i = at;
    while (i < s.size() && s[i] != ',' && s[i] != '}' && s[i] != ' ' && s[i] != '\t')
        ++i;
    return i == at ? std::string_view::npos : i;
}

std::size_t SkipSpace(std::string_view s, std::size_t i)
{
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n'))
        ++i;
    return i;
}

// The escape of each byte in a quoted byte string: 0 where it stands as itself, else the letter
// after the backslash ('u' for \u00XX).
constexpr std::array<char, 256> kEscapes = [] {
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = c >= 0x20 && c < 0x7F ? 0 : 'u';
    table['"'] = '"';
    table['\\'] = '\\';
    table['\r'] = 'r';
    table['\n'] = 'n';
    table['\t'] = 't';
    return table;
}();

// The most characters `count` bytes take quoted: each as \u00XX, and the two quotes.
constexpr std::size_t QuotedBound(std::size_t count)
{
    return 2 + 6 * count;
}

// Whether any of the eight bytes in `word` needs an escape: below 0x20, 0x7F and above, '"' or
// '\\'. Each test is the usual "has a zero byte" trick on a transformed word; together they are
// exact (no byte is reported that needs none, none is missed).
constexpr bool AnyEscaped(std::uint64_t word)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    auto hasZero = [](std::uint64_t v) { return ((v - kOnes) & ~v & kHigh) != 0; };
    auto hasLess = [](std::uint64_t v, unsigned n) { return ((v - kOnes * n) & ~v & kHigh) != 0; };
    return (word & kHigh) != 0 || hasLess(word, 0x20) || hasZero(word ^ (kOnes * 0x7F))
           || hasZero(word ^ (kOnes * '"')) || hasZero(word ^ (kOnes * '\\'));
}

// Writes `bytes` quoted at `p`, which has room for QuotedBound(bytes.size()); returns the end.
// Every event of a capture passes here, so it writes through a pointer into room made once and
// copies eight plain bytes at a time (a line of the image has no byte to escape but its end).
char* QuoteInto(char* p, std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    *p++ = '"';
    const char* in = bytes.data();
    const char* const last = in + bytes.size();
    while (in < last) {
        std::uint64_t word;
        if (last - in >= 8 && (std::memcpy(&word, in, 8), !AnyEscaped(word))) {
            std::memcpy(p, in, 8);
            p += 8;
            in += 8;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(*in++);
        const char escape = kEscapes[c];
        if (escape == 0) {
            *p++ = static_cast<char>(c);
            continue;
        }
        *p++ = '\\';
        *p++ = escape;
        if (escape == 'u') {
            *p++ = '0';
            *p++ = '0';
            *p++ = kDigits[c >> 4];
            *p++ = kDigits[c & 15];
        }
    }
    *p++ = '"';
    return p;
}

char* CopyInto(char* p, std::string_view text)
{
    std::memcpy(p, text.data(), text.size());
    return p + text.size();
}

}  // namespace

void AppendQuotedBytes(std::string& out, std::string_view bytes)
{
    const std::size_t start = out.size();
    out.resize(start + QuotedBound(bytes.size()));
    char* end = QuoteInto(out.data() + start, bytes);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

std::string QuoteBytes(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + 2);
    AppendQuotedBytes(out, bytes);
    return out;
}

std::string QuoteText(std::string_view text)
{
    std::string out = "\"";
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"') out += "\\\"";
        else if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (c < 0x20 || c == 0x7F) AppendHex4(out, c);
        else out += static_cast<char>(c);  // UTF-8 passes as it is
    }
    out += '"';
    return out;
}

namespace {
// The code points of the string at `key` in a line's raw fields: none when it is missing or no
// string.
template <typename Raw>
std::optional<std::u32string> CodePointsAt(const Raw& raw, const std::string& key)
{
    auto it = raw.find(key);
    return it == raw.end() ? std::nullopt : CodePoints(it->second);
}
}  // namespace

std::optional<std::string> Line::Text(const std::string& key) const
{
    std::optional<std::u32string> cps = CodePointsAt(raw, key);
    if (!cps)
        return std::nullopt;
    std::string out;
    for (char32_t cp : *cps)
        AppendUtf8(out, static_cast<unsigned>(cp));
    return out;
}

std::optional<std::string> Line::Bytes(const std::string& key) const
{
    std::optional<std::u32string> cps = CodePointsAt(raw, key);
    if (!cps)
        return std::nullopt;
    std::string out;
    out.reserve(cps->size());
    for (char32_t cp : *cps) {
        if (cp > 0xFF)
            return std::nullopt;
        out += static_cast<char>(cp);
    }
    return out;
}

std::optional<long long> Line::Number(const std::string& key) const
{
    auto it = raw.find(key);
    if (it == raw.end() || it->second.empty())
        return std::nullopt;
    const std::string& v = it->second;
    std::size_t i = v[0] == '-' ? 1 : 0;
    if (i == v.size())
        return std::nullopt;
    long long n = 0;
    for (; i < v.size(); ++i) {
        if (v[i] < '0' || v[i] > '9' || n > (1LL << 60))
            return std::nullopt;
        n = n * 10 + (v[i] - '0');
    }
    return v[0] == '-' ? -n : n;
}

std::optional<Line> ParseLine(std::string_view s)
{
    Line line;
    std::size_t i = SkipSpace(s, 0);
    if (i >= s.size() || s[i] != '{')
        return std::nullopt;
    i = SkipSpace(s, i + 1);
    if (i < s.size() && s[i] == '}')
        return SkipSpace(s, i + 1) == s.size() ? std::optional<Line>(line) : std::nullopt;
    for (;;) {
        std::size_t keyEnd = ValueEnd(s, i);
        if (i >= s.size() || s[i] != '"' || keyEnd == std::string_view::npos)
            return std::nullopt;
        std::optional<std::u32string> key = CodePoints(s.substr(i, keyEnd - i));
        if (!key)
            return std::nullopt;
        std::string keyText;
        for (char32_t cp : *key)
            AppendUtf8(keyText, static_cast<unsigned>(cp));
        i = SkipSpace(s, keyEnd);
        if (i >= s.size() || s[i] != ':')
            return std::nullopt;
        i = SkipSpace(s, i + 1);
        std::size_t valueEnd = ValueEnd(s, i);
        if (valueEnd == std::string_view::npos)
            return std::nullopt;
        line.raw[keyText] = std::string(s.substr(i, valueEnd - i));
        i = SkipSpace(s, valueEnd);
        if (i < s.size() && s[i] == ',') {
            i = SkipSpace(s, i + 1);
            continue;
        }
        if (i < s.size() && s[i] == '}')
            return SkipSpace(s, i + 1) == s.size() ? std::optional<Line>(line) : std::nullopt;
        return std::nullopt;
    }
}

const char* KindName(Event::Kind kind)
{
    switch (kind) {
    case Event::Read: return "read";
    case Event::Write: return "write";
    case Event::HangUp: return "hangup";
    case Event::Close: return "close";
    }
    return "read";
}

void AppendEventLine(std::string& out, const char* kind, long long t, std::string_view bytes)
{
    static constexpr std::string_view kOpen = "{\"t\":", kEv = ",\"ev\":\"", kBytes = "\",\"b\":", kClose = "}\n";
    const std::string_view name = kind;
    const std::size_t start = out.size();
    out.resize(start + kOpen.size() + 20 + kEv.size() + name.size() + kBytes.size() + QuotedBound(bytes.size())
               + kClose.size());
    char* p = CopyInto(out.data() + start, kOpen);
    p = std::to_chars(p, p + 20, t).ptr;
    p = CopyInto(p, kEv);
    p = CopyInto(p, name);
    p = CopyInto(p, kBytes);
    p = QuoteInto(p, bytes);
    p = CopyInto(p, kClose);
    out.resize(static_cast<std::size_t>(p - out.data()));
}

std::string EventLine(const Event& event)
{
    std::string line = "{\"t\":" + std::to_string(event.t) + ",\"ev\":\"" + KindName(event.kind) + "\"";
    if (event.kind == Event::Read || event.kind == Event::Write)
        line += ",\"b\":" + QuoteBytes(event.bytes);
    if (event.kind == Event::HangUp)
        line += ",\"errno\":" + std::to_string(event.error);
    line += "}\n";
    return line;
}

Parsed ParseRecording(std::string_view text)
{
    Parsed parsed;
    Recording recording;
    bool haveHeader = false;
    std::size_t number = 0;
    auto fail = [&](const std::string& why) {
        parsed.error = "line " + std::to_string(number) + ": " + why;
        return parsed;
    };
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        std::string_view lineText = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        ++number;
        if (SkipSpace(lineText, 0) == lineText.size())
            continue;
        std::optional<Line> line = ParseLine(lineText);
        if (!line)
            return fail("not a JSON object");
        std::optional<std::string> ev = line->Text("ev");
        if (!ev)
            return fail("no \"ev\"");
        if (!haveHeader) {
            if (*ev != "open" || line->Number("capture") != kFormat)
                return fail("the first line is no capture header (\"ev\":\"open\", \"capture\":1)");
            recording.header = *line;
            haveHeader = true;
            continue;
        }
        if (recording.end)
            return fail("a line after \"end\"");
        if (*ev == "end") {
            recording.end = *line;
            continue;
        }
        Event event;
        std::optional<long long> t = line->Number("t");
        if (!t || *t < 0)
            return fail("no time \"t\"");
        event.t = *t;
        if (*ev == "read" || *ev == "write") {
            event.kind = *ev == "read" ? Event::Read : Event::Write;
            std::optional<std::string> bytes = line->Bytes("b");
            if (!bytes)
                return fail("no bytes \"b\", or a character above 255 in them");
            event.bytes = std::move(*bytes);
        } else if (*ev == "hangup") {
            event.kind = Event::HangUp;
            event.error = static_cast<int>(line->Number("errno").value_or(0));
        } else if (*ev == "close") {
            event.kind = Event::Close;
        } else {
            continue;  // a kind this reader does not know: later versions may add some
        }
        recording.events.push_back(std::move(event));
    }
    if (!haveHeader) {
        number = 1;
        return fail("empty: no capture header");
    }
    parsed.recording = std::move(recording);
    return parsed;
}

std::string Escaped(std::string_view bytes)
{
    std::string out;
    for (char ch : bytes) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

}  // namespace capture
