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
        status_.LineSent(line, consumed, std::chrono::steady_clock::now());
        if (line % 500 == 0)
            qCInfo(lcTransfer) << "line" << line << "of" << lines;
    }
    qCInfo(lcTransfer) << "transfer ended:" << line << "lines sent";
    StartBackground(&QZ7_UpdaterAppDelegate::ReadThread);
}

bool QZ7_UpdaterAppDelegate::Pace()
{
    // Everything up to the asterisk is consumed; what follows it stays for the next reader.
    // Other bytes are gathered into lines (a line an asterisk cuts short among them, judged
    // before the asterisk paces). Only the loader's own lines end the transfer: it has refused
    // the image, or it has ended or restarted before the whole image came, and sends no asterisk
    // then, so waiting on would leave the operator at "Updating" for ever with the QZ7 half
    // programmed. Any other line is its chatter between records, and is dropped.
    PortSource source(*this);
    for (;;) {
        Piece p = stream_.NextPacing(source);
        if (p.kind == Piece::Asterisk) {
            stream_.MarkJudged();
            return true;
        }
        if (p.kind == Piece::End) {
            if (p.end == PortIo::HangUp)
                AdapterGone();
            return false;
        }
        if (!p.Decodes())
            continue;  // noise: a byte above 127 spoils its own line
        const Decision ended = DecidePacing(p.bytes);
        if (ended.actions.empty())
            continue;  // the loader's chatter between records
        NoteReply(p.bytes);
        Carry(ended);
        return false;
    }
}
