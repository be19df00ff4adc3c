#include "controller/Log.h"
#include "controller/PortSource.h"
#include "controller/QZ7_UpdaterAppDelegate.h"
#include "hex/ImageLines.h"

#include <cinttypes>
#include <cstdio>

using namespace std::chrono_literals;

void QZ7_UpdaterAppDelegate::SendProgram()
{
    const std::string& image = firmware_;
    const uint64_t total = image.size();
    uint64_t consumed = 0;
    if (printImageLength_) {
        std::printf("%" PRIu64, total);
        std::fflush(stdout);
    }
    const int lines = CountImageLines(image);
    qCInfo(lcTransfer) << "transfer started:" << lines << "lines," << total << "bytes";
    status_.TransferStarted(lines, total, std::chrono::steady_clock::now());
    linesWritten_.store(0);
    linesAtRead_.store(0);

    std::string_view remainder = image;
    int line = 0;
    int shownPercent = -1;
    while (!remainder.empty()) {
        ImageLine next = TakeImageLine(remainder);
        remainder.remove_prefix(next.consumed);
        consumed += next.consumed;
        setProgress(static_cast<float>(consumed) / static_cast<float>(total));
        // The indicator moves in whole percent: an update is posted only when that changes.
        int percent = static_cast<int32_t>(progress() * 100.0f);
        if (percent != shownPercent) {
            shownPercent = percent;
            Post({.level = percent});
        }
        if (!Pace())
            return;  // closed, hung up or restarted: no further line is written
        if (!WriteString(std::string(next.line), static_cast<int32_t>(next.line.size())))
            return;  // the write has ended the update and said why
        ++line;
        linesWritten_.store(line);
        status_.LineSent(line, consumed, std::chrono::steady_clock::now());
        if (line % 500 == 0)
            qCInfo(lcTransfer) << "line" << line << "of" << lines;
    }
    qCInfo(lcTransfer) << "transfer ended:" << line << "lines sent";
    Report({.kind = Event::ImageSent});
}

bool QZ7_UpdaterAppDelegate::Pace()
{
    // Everything up to the asterisk is consumed; what follows it stays for the next reader.
    // Other bytes are gathered into whole lines and judged by the loader's rule (LoaderLines): a
    // line that ends the transfer stops it before anything more is written, a line that may end
    // it holds the next line back until what follows decides, and the loader's chatter between
    // records is dropped. Waiting on after a real end would leave the operator at "Updating" for
    // ever with the QZ7 half programmed.
    const std::optional<LoaderLines::Verdict> verdict = AwaitLoader(LoaderLines::Phase::Transfer);
    if (verdict && verdict->kind == LoaderLines::Verdict::Pace)
        return true;
    if (verdict)
        EndByLoader(*verdict);
    return false;
}

void QZ7_UpdaterAppDelegate::AwaitVerdict()
{
    // After the last line: the loader's verdict, by the same rule as its lines during the
    // transfer. Asterisks it sent ahead of need are no reply; its chatter is dropped.
    if (const std::optional<LoaderLines::Verdict> verdict = AwaitLoader(LoaderLines::Phase::AfterImage)) {
        setReceivedString(verdict->line);
        EndByLoader(*verdict);
    }
}

std::optional<LoaderLines::Verdict> QZ7_UpdaterAppDelegate::AwaitLoader(LoaderLines::Phase phase)
{
    PortSource source(*this);
    LoaderLines judge(phase, loaderQuiet_);
    LineReader::Judged judged = stream_.AwaitLoader(source, judge);
    if (judged.status != PortIo::Data) {
        // No verdict: the adapter went (said so), or the port was closed (nothing more to do).
        if (judged.status == PortIo::HangUp)
            AdapterGone();
        return std::nullopt;
    }
    status_.LinesTaken(linesAtRead_.load());
    return std::move(judged.verdict);
}

void QZ7_UpdaterAppDelegate::EndByLoader(const LoaderLines::Verdict& verdict)
{
    NoteReply(verdict.line);
    Report({.kind = Event::LoaderEnd, .outcome = verdict.outcome});
}
