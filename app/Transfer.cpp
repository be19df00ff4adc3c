#include "app/Log.h"
#include "app/QZ7_UpdaterAppDelegate.h"
#include "hex/ImageLines.h"

#include <cinttypes>
#include <cstdio>

using namespace std::chrono_literals;

namespace {
int CountImageLines(std::string_view image)
{
    int lines = 0;
    for (; !image.empty(); ++lines)
        image.remove_prefix(TakeImageLine(image).consumed);
    return lines;
}
}  // namespace

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
    // Anything but the asterisk is dropped, one byte at a time, so that no byte after the
    // asterisk is taken. A whole line that holds the banner, though, means the loader has
    // restarted: it will send no asterisk, and the device is left without firmware. The last
    // four bytes of the current line are enough to spot the banner's "QZ-7".
    std::string tail;
    bool banner = false;
    for (;;) {
        char byte = 0;
        PortResult r = ReadPort(&byte, 1);
        if (r.status == PortIo::Data && byte == '*')
            return true;
        if (r.status == PortIo::Data) {
            if (byte == '\r' || byte == '\n') {
                if (banner) {
                    ClosePort();
                    PostFailure(Outcome::Restarted, Directions::Restarted);
                    return false;
                }
                tail.clear();
            } else {
                tail.push_back(byte);
                if (tail.size() > 4)
                    tail.erase(0, 1);
                banner = banner || tail == "QZ-7";
            }
            continue;
        }
        if (r.status == PortIo::HangUp) {
            AdapterGone();
            return false;
        }
        if (r.status == PortIo::Closed)
            return false;
        PortIo waited = WaitPort(50ms);
        if (waited == PortIo::Closed)
            return false;
    }
}
