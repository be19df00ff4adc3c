#pragma once
#include "hex/TextRules.h"
#include "serial/PortIo.h"

#include <optional>
#include <string>
#include <string_view>

// Where a reader's bytes come from. Read() makes one read of at most `max` bytes; when nothing
// is pending it may wait a short bound first, and returns Empty if nothing came.
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

// The reply in one chunk: its first line of three or more characters. Line ends and fragments
// of one or two characters before it are skipped (a blank line, the echo of a command, the
// late half of the previous line end). A line that the end of the chunk cuts off counts with
// what it has. Absent when the chunk holds no such line.
std::optional<std::string> FirstReplyLine(std::string_view chunk);

// One short reply line. The stop test looks only at the last byte of the buffer (CR or LF); the
// reply is the chunk's first line of three or more characters, and a chunk without one is
// dropped and reading goes on. 24 bytes without a line end are a reply as they stand. Bytes of
// `skipLeading` in front of the reply (the pacing asterisks a loader that ran ahead still
// sends) are dropped as they come.
ReaderOutcome ReadReplyLine(ByteSource& source, std::string_view skipLeading = {});

// Gathers the answer to "y" over up to `passes` passes into one 1023-byte buffer, until the text
// holds a "V" (then cut at its first "Q", if any) or "E or P".
ReaderOutcome ReadVersionReply(ByteSource& source, int passes = kVersionPasses);
