#pragma once
#include <termios.h>

// Puts the port back when a signal ends the process. A crash (SIGSEGV, SIGBUS, SIGFPE, SIGILL,
// SIGABRT, SIGQUIT), and any other signal whose default action ends the process (SIGUSR1,
// SIGALRM, SIGXCPU, a real-time signal, ...), runs no exit hook, and would leave the port raw, at
// 57600 and in exclusive use. Each descriptor the program holds on a port is kept in a fixed
// table with the settings to put back; the handler restores those settings, gives up exclusive
// use and lets the signal end the process as it would have (same status, same core), which
// closes the descriptor. SIGTERM, SIGINT and SIGHUP are SignalQuit's; a signal that is ignored or
// handled when the first port is held is left alone.

// Publishes `fd` with the settings to put back. Installs the handlers, and an exit hook
// that restores whatever is still held, on first use. Holding
// a descriptor that is already held keeps the entry as it is (discovery holds the descriptor
// until the record takes it over, with the same settings).
void HoldForCrash(int fd, const termios& archive);

// Takes `fd` out of the table. Called right before the descriptor is restored and closed, so
// that the handler never touches a closed number (which may belong to something else by then).
// A crash between the two leaves the port to that restore, which the crash may cut short: the
// window is the few calls of the restore itself.
// Returns false when the crash handler or the exit hook already took the descriptor: the caller
// leaves it alone.
bool ReleaseFromCrash(int fd);
