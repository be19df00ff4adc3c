#include "FirmwareImage.h"
#include "QZ7_UpdaterAppDelegate.h"

#include <QProgressBar>
#include <cinttypes>
#include <cstdio>

using namespace std::chrono_literals;

void QZ7_UpdaterAppDelegate::SendProgram()
{
    const std::string& image = firmware_;
    const uint64_t total = image.size();
    uint64_t consumed = 0;
    std::printf("%" PRIu64, total);
    std::fflush(stdout);

    std::string_view remainder = image;
    while (!remainder.empty()) {
        ImageLine next = TakeImageLine(remainder);
        remainder.remove_prefix(next.consumed);
        consumed += next.consumed;
        setProgress(static_cast<float>(consumed) / static_cast<float>(total));
        Post([this] {
            LevelIndicatorVew()->setValue(static_cast<int32_t>(progress() * 100.0f));
        });
        if (!Pace())
            return;  // closed or hung up: no further line is written
        WriteString(std::string(next.line), static_cast<int32_t>(next.line.size()));
    }
    StartBackground(&QZ7_UpdaterAppDelegate::ReadThread);
}

bool QZ7_UpdaterAppDelegate::Pace()
{
    for (;;) {
        char byte = 0;
        PortResult r = Serial()->Read(&byte, 1);
        if (r.status == PortIo::Data && byte == '*')
            return true;
        if (r.status == PortIo::Data)
            continue;  // anything but the asterisk is dropped
        if (r.status == PortIo::HangUp) {
            AdapterGone();
            return false;
        }
        if (r.status == PortIo::Closed)
            return false;
        PortIo waited = Serial()->WaitReadable(50ms);
        if (waited == PortIo::Closed)
            return false;
    }
}
