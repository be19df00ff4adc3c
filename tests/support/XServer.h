#pragma once
// An X server of a test's own, for the tests that need the window system itself.
#include "tests/support/Processes.h"

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <string>
#include <unistd.h>

// An X server of the test's own (Xvfb on a display number it picks itself, free whatever other
// servers run): for pressing keys as an operator would, losing the connection to the window
// system, a decoy for the demo, and the keyboard of a compositor nested on it.
struct XServer {
    explicit XServer(const std::string& screen = "640x560x24")
    {
        // Xvfb writes its display number on its standard output once it accepts clients. It must
        // not reset when its last client leaves (a press's xdotool, the decoy's check): the reset
        // drops a client that is connecting at that moment.
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0)
            return;
        server = std::make_unique<Updater>(Launch{OwnEnvironment(),
                                                  {"-displayfd", "1", "-noreset", "-screen", "0", screen, "-nolisten", "tcp"},
                                                  out[1], "/dev/null", "Xvfb"});
        ::close(out[1]);
        std::string number;
        char c;
        pollfd p{out[0], POLLIN, 0};
        while (server->pid > 0 && ::poll(&p, 1, 10000) > 0 && ::read(out[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(out[0]);
        if (!number.empty())
            display = ":" + number;
    }
    ~XServer() { Kill(); }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    // Ends the server as a crash of the window system would end it for its clients, yet with the
    // server removing its socket and lock (a killed one leaves both in /tmp).
    void Kill()
    {
        std::chrono::milliseconds took{};
        if (server && server->pid > 0)
            server->Stop(SIGTERM, 5s, took);
        server.reset();
    }
    // Presses `key` in the program's window, as an operator at the keyboard would.
    bool Press(const std::string& key) const
    {
        int status = 0;
        std::string window = CommandOutput("DISPLAY=" + display + " xdotool search --onlyvisible --name 'QZ7 Updater' 2>/dev/null | head -n1", status);
        if (window.empty())
            return false;
        window.pop_back();
        CommandOutput("DISPLAY=" + display + " xdotool windowfocus --sync " + window + " key " + key + " 2>/dev/null", status);
        return status == 0;
    }
    // Presses `key` in whatever window has the focus (through XTEST, as a keyboard would): for a
    // compositor's window that covers the whole screen, whose focused client then gets it.
    bool Key(const std::string& key) const
    {
        int status = 0;
        CommandOutput("DISPLAY=" + display + " xdotool key " + key + " 2>/dev/null", status);
        return status == 0;
    }
    std::unique_ptr<Updater> server;
    std::string display;
};

