#include "app/SignalQuit.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPair[2] = {-1, -1};
constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int)
{
    char one = 1;
    [[maybe_unused]] ssize_t ignored = ::write(signalPair[0], &one, 1);
}
}  // namespace

SignalQuit::SignalQuit(std::function<void()> quit) : quit_(std::move(quit))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPair) != 0)
        return;
    notifier_ = new QSocketNotifier(signalPair[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte;
        [[maybe_unused]] ssize_t ignored = ::read(signalPair[1], &byte, 1);
        quit_();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kQuitSignals)
        sigaction(signal, &action, nullptr);
}

SignalQuit::~SignalQuit()
{
    for (int signal : kQuitSignals)
        std::signal(signal, SIG_DFL);
}
