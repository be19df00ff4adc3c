#include "controller/GuiQueue.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

GuiQueue::GuiQueue() : state_(std::make_shared<State>())
{
    state_->wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (state_->wake < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    notifier_ = std::make_unique<QSocketNotifier>(state_->wake, QSocketNotifier::Read);
    // The notifier is the connection's context: it goes before the state's descriptor does.
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [state = state_] { Run(state); });
}

GuiQueue::~GuiQueue()
{
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(state_->mutex);
        state_->stopped = true;
        dropped.swap(state_->queue);
    }
    // No Post writes to the eventfd once `stopped` is set, and nothing reads it once the notifier
    // is gone, so it can be closed. The dropped work is destroyed last, outside the lock.
    notifier_.reset();
    ::close(state_->wake);
    state_->wake = -1;
}

void GuiQueue::Post(std::function<void()> work)
{
    {
        std::lock_guard lock(state_->mutex);
        if (!state_->stopped) {
            state_->queue.push_back(std::move(work));
            uint64_t one = 1;
            [[maybe_unused]] ssize_t ignored = ::write(state_->wake, &one, sizeof one);
            return;
        }
    }
    // Too late: `work` is dropped here, outside the lock, as the destructor drops what was queued.
}

void GuiQueue::Run(std::shared_ptr<State> state)
{
    {
        std::lock_guard lock(state->mutex);
        if (state->stopped)
            return;
        uint64_t count = 0;
        [[maybe_unused]] ssize_t ignored = ::read(state->wake, &count, sizeof count);
    }
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(state->mutex);
            if (state->stopped || state->queue.empty())
                return;
            work = std::move(state->queue.front());
            state->queue.pop_front();
        }
        work();
    }
}
