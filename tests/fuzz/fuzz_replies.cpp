// Feeds the line reader arbitrary bytes twice, split into reads of arbitrary sizes each time, and
// checks that both splits give the same replies, and what every reply may and may not be.
#include "core/ReplyRules.h"

#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <vector>

namespace {
// Hands out `stream` in reads whose sizes come from `sizes` (0: a read that finds nothing).
class Reads : public ByteSource {
public:
    Reads(const std::string& stream, std::vector<std::size_t> sizes) : stream_(stream), sizes_(std::move(sizes)) {}
    PortResult Read(char* buffer, std::size_t max) override
    {
        if (at_ >= stream_.size())
            return {PortIo::Closed};
        std::size_t want = next_ < sizes_.size() ? sizes_[next_++] : max;
        want = std::min({want, max, stream_.size() - at_});
        if (want == 0)
            return {PortIo::Empty};
        stream_.copy(buffer, want, at_);
        at_ += want;
        return {PortIo::Data, want};
    }

private:
    const std::string& stream_;
    std::vector<std::size_t> sizes_;
    std::size_t at_ = 0, next_ = 0;
};

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

// The readers in the order a dialogue uses them, each outcome written down.
std::string Converse(const std::string& stream, std::vector<std::size_t> sizes)
{
    Reads reads(stream, std::move(sizes));
    LineReader reader;
    std::string log;
    ReaderOutcome banner = reader.ReadReplyLine(reads);
    ReaderOutcome version = reader.ReadVersionReply(reads);
    for (const ReaderOutcome* o : {&banner, &version}) {
        if (o->status != PortIo::Data)
            return log + "<end>";
        Check(o->reply.has_value());
        log += "[" + *o->reply + "]";
    }
    Check(banner.reply->size() >= 3 && banner.reply->size() <= kLineReplyBytes);
    Check(FindLineEnd(*banner.reply) == std::string::npos);
    Check(version.reply->size() <= kVersionReplyBytes);
    for (int i = 0; i < 64; ++i) {
        Piece p = reader.NextPacing(reads);
        if (p.kind == Piece::End)
            return log + "<end>";
        log += p.kind == Piece::Asterisk ? "*" : "{" + p.bytes + "}";
    }
    for (;;) {
        // A quiet spell never comes in time here: the verdicts depend on the bytes alone.
        LoaderLines verdict(LoaderLines::Phase::AfterImage, std::chrono::hours(24), std::chrono::hours(24));
        LineReader::Judged j = reader.AwaitLoader(reads, verdict);
        if (j.status != PortIo::Data)
            return log + "<end>";
        Check(j.verdict.kind == LoaderLines::Verdict::End && j.verdict.line.size() <= kVersionReplyBytes);
        log += "[" + std::to_string(static_cast<int>(j.verdict.outcome)) + " " + j.verdict.line + "]";
    }
}

std::vector<std::size_t> Sizes(FuzzedDataProvider& data)
{
    std::vector<std::size_t> sizes(data.ConsumeIntegralInRange<std::size_t>(0, 64));
    for (std::size_t& s : sizes)
        s = data.ConsumeIntegralInRange<std::size_t>(0, 40);
    return sizes;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    FuzzedDataProvider data(bytes, size);
    std::vector<std::size_t> first = Sizes(data);
    std::vector<std::size_t> second = Sizes(data);
    const std::string stream = data.ConsumeRemainingBytesAsString();
    Check(Converse(stream, first) == Converse(stream, second));
    return 0;
}
