// Feeds the reply readers arbitrary bytes, handed over in reads of arbitrary sizes, and checks
// what every reply may and may not be.
#include "app/ReplyRules.h"

#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

namespace {
class Reads : public ByteSource {
public:
    explicit Reads(FuzzedDataProvider& data) : data_(data) {}
    PortResult Read(char* buffer, std::size_t max) override
    {
        if (max == 0)
            return {PortIo::Data, 0};
        if (data_.remaining_bytes() == 0)
            return {PortIo::Closed};
        std::size_t want = data_.ConsumeIntegralInRange<std::size_t>(0, max);
        if (want == 0)
            return {PortIo::Empty};
        std::string bytes = data_.ConsumeBytesAsString(want);
        bytes.copy(buffer, bytes.size());
        return {PortIo::Data, bytes.size()};
    }

private:
    FuzzedDataProvider& data_;
};

void Check(bool holds)
{
    if (!holds)
        std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    FuzzedDataProvider data(bytes, size);
    Reads reads(data);
    if (data.ConsumeBool()) {
        for (;;) {
            ReaderOutcome o = ReadReplyLine(reads);
            if (o.status != PortIo::Data)
                break;
            Check(o.reply.has_value());
            Check(o.reply->size() <= kLineReplyBytes);
            Check(FindLineEnd(*o.reply) == std::string::npos);
            // A cut reply has at least three characters; an uncut one filled the buffer.
            Check(o.reply->size() >= 3);
            Check(DecodeAscii(o.reply->data(), o.reply->size()).has_value());
        }
    } else {
        ReaderOutcome o = ReadVersionReply(reads, data.ConsumeIntegralInRange(1, kVersionPasses));
        if (o.status == PortIo::Data && o.reply) {
            Check(o.reply->size() <= kVersionReplyBytes);
            if (o.reply->find('V') != std::string::npos && o.reply->find("E or P") == std::string::npos)
                Check(o.reply->find('Q') == std::string::npos || (*o.reply)[0] == 'Q');
        }
    }
    return 0;
}
