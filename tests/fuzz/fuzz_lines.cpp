// Walks the transfer's line rule over arbitrary text and checks that every step moves forward,
// sends a prefix of what is left, and that the walk accounts for every character; and that an
// image the start-up check accepts is sent record by record.
#include "hex/ImageLines.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    std::string text(reinterpret_cast<const char*>(bytes), size);
    bool good = CheckFirmwareImage(text).empty();
    std::string_view rest = text;
    std::size_t consumed = 0;
    std::size_t steps = 0;
    while (!rest.empty()) {
        ImageLine l = TakeImageLine(rest);
        if (l.consumed == 0 || l.consumed > rest.size() || l.line.empty() || l.line.data() != rest.data() ||
            l.line.size() > rest.size())
            std::abort();
        if (good && (l.line.front() != ':' || l.line.size() < 2 || l.line.substr(l.line.size() - 2) != "\r\n"))
            std::abort();
        consumed += l.consumed;
        rest.remove_prefix(l.consumed);
        if (++steps > size)
            std::abort();
    }
    if (consumed != size)
        std::abort();
    return 0;
}
