#include "controller/SignalQuit.h"

#include <QSocketNotifier>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPair[2] = {-1, -1};
constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int signal)
{
    const char number = static_cast<char>(signal);
    [[maybe_unused]] ssize_t ignored = ::write(signalPair[0], &number, 1);
}
}  // namespace

SignalQuit::SignalQuit(std::function<void(int)> quit) : quit_(std::move(quit))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPair) != 0)
        return;
    notifier_ = new QSocketNotifier(signalPair[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char number = 0;
        if (::read(signalPair[1], &number, 1) == 1)
            quit_(number);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kQuitSignals); ++i) {
        if (sigaction(kQuitSignals[i], nullptr, &previous_[i]) != 0 || previous_[i].sa_handler == SIG_IGN)
            continue;
        installed_[i] = sigaction(kQuitSignals[i], &action, nullptr) == 0;
    }
}

SignalQuit::~SignalQuit()
{
    for (std::size_t i = 0; i < std::size(kQuitSignals); ++i)
        if (installed_[i])
            sigaction(kQuitSignals[i], &previous_[i], nullptr);
}
