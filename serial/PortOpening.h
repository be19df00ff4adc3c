#pragma once
#include "serial/Discovery.h"
#include "serial/Port.h"

#include <functional>
#include <memory>
#include <string>

// One attempt to open a port for a path, before anybody uses the port. Discovery reports
// `result`, pauses, and then either takes the port over (under its own lifetime lock, so that a
// quit decided at the same time either finds the port or never sees it) or gives it up.
struct PortOpening {
    // What the attempt came to, for the status line and the transcript: fd above 0 when a port
    // was opened (a port without a descriptor of its own gives a stand-in above 0), else the
    // failed step and its errno.
    OpenResult result;
    // The opened port, ready for use; none (or a null result) when nothing was opened.
    std::function<std::shared_ptr<Port>()> takeOver;
    // Puts an opened port back as it was found and closes it, when it is not taken over.
    std::function<void()> giveUp;
};

// How discovery opens the path it chose.
using PortOpener = std::function<PortOpening(const std::string& path)>;

// The serial port itself: OpenAndConfigure (exclusive use, raw, 57600 baud), the descriptor held
// for the crash handler from the start; taken over by a WQSerial record that holds `path`, the
// settings found and the driver's saved flags; given up by putting those back and closing it.
PortOpening OpenSerialPort(const std::string& path);
