#include "serial/CrashRestore.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <mutex>
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
constexpr int kSlots = 8;  // one port at a time in practice; a few spare for records being replaced
Slot slots[kSlots];
std::mutex writers;
// Set before the handler or the exit hook takes any entry: from then on the table's descriptors
// are theirs.
std::atomic<bool> ending{false};
static_assert(std::atomic<int>::is_always_lock_free);

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QZ7_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define QZ7_SANITIZED 1
#endif
#endif

// A sanitizer reports faults through its own SIGSEGV/SIGBUS/SIGFPE/SIGILL handlers; in those
// builds only SIGABRT and SIGQUIT restore the port.
#ifdef QZ7_SANITIZED
constexpr int kCrashSignals[] = {SIGABRT, SIGQUIT};
#else
constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGQUIT};
#endif

// Restores every entry and gives up exclusive use. Async-signal-safe calls only: no allocation,
// no lock. The descriptors are left open: the process ends right after (the signal's default
// action, or the rest of exit), which closes them, and other threads may still be inside a call
// on them; closing here would hand their number to whatever is opened next.
void TakeAll()
{
    ending.store(true);
    for (Slot& slot : slots) {
        int fd = slot.fd.exchange(-1);
        if (fd <= 0)
            continue;
        tcsetattr(fd, TCSANOW, &slot.archive);
        ioctl(fd, TIOCNXCL);
    }
}

void OnCrash(int signal)
{
    int savedErrno = errno;
    TakeAll();
    errno = savedErrno;
    // SA_RESETHAND put the default action back on entry: the signal, raised again, is delivered
    // once the handler returns and ends the process as it would have without the handler. A fault
    // is also met again when the faulting instruction runs again.
    raise(signal);
}

void InstallOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // An exit that skips the records' own shutdown still finds what is held outside a
        // record (discovery's descriptor during its pause). Registered before the records' own
        // hook, it runs after it and finds only what that one did not close.
        std::atexit(&TakeAll);
        struct sigaction action {};
        action.sa_handler = OnCrash;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        for (int signal : kCrashSignals) {
            // A signal someone else handles or ignores is left to them.
            struct sigaction current {};
            if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL &&
                !(current.sa_flags & SA_SIGINFO))
                sigaction(signal, &action, nullptr);
        }
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
