#include "QZ7_UpdaterAppDelegate.h"

using namespace std::chrono_literals;

void QZ7_UpdaterAppDelegate::WriteString(const std::string& text, int32_t length)
{
    std::string bytes = text.substr(0, static_cast<std::size_t>(length < 0 ? 0 : length));
    if (Serial()->PortID() > 0) {
        // A full output queue is waited out; five seconds without any progress means the
        // adapter is gone, and so does a write that fails for good.
        PortResult r = Serial()->WriteAll(bytes.data(), bytes.size(), 5s);
        if (r.status == PortIo::HangUp)
            AdapterGone();
    } else {
        PostDirections(Directions::Unopened);
    }
}
