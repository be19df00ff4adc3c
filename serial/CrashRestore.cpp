#include "serial/CrashRestore.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
// The handler reads the table without a lock: the settings are written before the descriptor,
// and the descriptor (an atomic) is what publishes an entry. Writers (discovery, the record's
// shutdown) serialise among themselves with a mutex the handler never takes.
struct Slot {
    std::atomic<int> fd{-1};
    termios archive{};
};
constexpr int kSlots = 80;  // a bench of up to 64 units, and spares for records being replaced
Slot slots[kSlots];
std::mutex writers;
// Set before the handler or the exit hook takes any entry: from then on the table's descriptors
// are theirs.
std::atomic<bool> ending{false};
// How many handlers and exit hooks are putting entries back right now.
std::atomic<int> restoring{0};
static_assert(std::atomic<int>::is_always_lock_free);

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QZ7_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define QZ7_SANITIZED 1
#endif
#endif

// The signals whose default action ends the process (signal(7)), besides the real-time ones,
// which are counted at run time. Left out: SIGKILL, which no handler sees, and SIGTERM, SIGINT
// and SIGHUP, which SignalQuit turns into an orderly close. None of the others
// is a request to this program: each ends it as it would have, once the port is put back.
// SIGPIPE is on the list for a process that leaves it at its default; the program itself ignores
// it from the start (PrepareProcess), so that it is never taken there.
// A sanitizer reports faults through its own SIGSEGV/SIGBUS/SIGFPE/SIGILL handlers; in those
// builds the faults are left to it.
constexpr int kEndingSignals[] = {
#ifndef QZ7_SANITIZED
    SIGSEGV, SIGBUS, SIGFPE, SIGILL,
#endif
    SIGABRT, SIGQUIT, SIGTRAP, SIGSYS, SIGXCPU, SIGXFSZ,
    SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGIO, SIGPIPE,
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
};
// The signals the handler was installed for: blocked while it runs, so that two of them never
// nest on one thread, and while the exit hook runs.
sigset_t handled;

// Restores every entry and gives up exclusive use. Async-signal-safe calls only: no allocation,
// no lock. The descriptors are left open: the process ends right after (the signal's default
// action, or the rest of exit), which closes them, and other threads may still be inside a call
// on them; closing here would hand their number to whatever is opened next.
void TakeAll()
{
    restoring.fetch_add(1);
    ending.store(true);
    for (Slot& slot : slots) {
        int fd = slot.fd.exchange(-1);
        if (fd <= 0)
            continue;
        tcsetattr(fd, TCSANOW, &slot.archive);
        ioctl(fd, TIOCNXCL);
    }
    restoring.fetch_sub(1);
}

// The exit hook: a signal that comes meanwhile is handled on another thread, which waits for
// this restore instead of cutting it short.
void TakeAllAtExit()
{
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &handled, &before);
    TakeAll();
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

void OnEndingSignal(int signal)
{
    int savedErrno = errno;
    TakeAll();
    // A second signal, handled on another thread, finds the entries taken by the first: the
    // process ends only once that one has put them back, or after a second, whichever is first.
    for (int waited = 0; waited < 1000 && restoring.load() > 0; ++waited)
        poll(nullptr, 0, 1);
    // The default action back, and the signal raised again: it is blocked while the handler
    // runs, so it is delivered as the handler returns and ends the process as it would have
    // without the handler (same status, same core). A fault is also met again when the faulting
    // instruction runs again. The handler stays installed until here, so that the same signal
    // sent twice, the second to another thread, never ends the process before the restore.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    sigaction(signal, &byDefault, nullptr);
    errno = savedErrno;
    raise(signal);
}

void InstallOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // An exit that skips the records' own shutdown still finds what is held outside a
        // record (discovery's descriptor during its pause). Registered before the records' own
        // hook, it runs after it and finds only what that one did not close.
        std::atexit(&TakeAllAtExit);
        // A signal someone else handles, or that the program was started with ignored (a
        // caller's nohup-like choice, or the program's own for SIGPIPE), is left as it is.
        auto atDefault = [](int signal) {
            struct sigaction current {};
            return sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL &&
                   !(current.sa_flags & SA_SIGINFO);
        };
        sigemptyset(&handled);
        for (int signal : kEndingSignals)
            if (atDefault(signal))
                sigaddset(&handled, signal);
        for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
            if (atDefault(signal))
                sigaddset(&handled, signal);
        struct sigaction action {};
        action.sa_handler = OnEndingSignal;
        action.sa_mask = handled;
        // Any thread that does not block the signal may run the handler: it takes no lock, and
        // raises the signal again on its own thread, where the signal is not blocked once the
        // handler returns.
        for (int signal = 1; signal < NSIG; ++signal)
            if (sigismember(&handled, signal) == 1)
                sigaction(signal, &action, nullptr);
    });
}
}  // namespace

void HoldForCrash(int fd, const termios& archive)
{
    if (fd <= 0)
        return;
    InstallOnce();
    std::lock_guard lock(writers);
    if (ending.load())
        return;
    for (Slot& slot : slots)
        if (slot.fd.load() == fd)
            return;
    for (Slot& slot : slots) {
        if (slot.fd.load() == -1) {
            slot.archive = archive;
            slot.fd.store(fd);  // last: the entry is visible to the handler only once complete
            return;
        }
    }
    // A full table leaves this descriptor to the exit hook and the program's own shutdown.
}

bool ReleaseFromCrash(int fd)
{
    if (fd <= 0)
        return true;
    std::lock_guard lock(writers);
    for (Slot& slot : slots) {
        int held = fd;
        if (slot.fd.compare_exchange_strong(held, -1))
            return true;
    }
    // Not in the table: either never held (a full table) or taken by the crash handler or the
    // exit hook, which has put the port back and is ending the process right now.
    return !ending.load();
}
