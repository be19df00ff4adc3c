#pragma once
#include <cstddef>

// What one system call on the port came to.
enum class PortIo {
    Data,    // bytes moved (count in the result)
    Empty,   // nothing pending (EAGAIN); after a wait, nothing arrived in the bound
    Closed,  // the record holds no open descriptor (never opened, or closed by ClosePort)
    HangUp,  // the adapter has gone: read returned 0, or a call failed for good
    Stalled, // a write made no progress for its whole bound, while the line stayed up
};

struct PortResult {
    PortIo status;
    std::size_t count = 0;
};
