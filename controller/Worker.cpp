#include "controller/Worker.h"

#include <system_error>

bool Worker::Post(std::function<void()> work, std::string& error)
{
    std::lock_guard lock(mutex_);
    if (stopping_)
        return true;  // the controller is going: nothing more runs, and nothing has failed
    queue_.push_back(std::move(work));
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread([this] { Run(); });
            id_ = thread_.get_id();
        } catch (const std::system_error& e) {
            queue_.clear();
            error = e.what();
            return false;
        }
    }
    cv_.notify_one();
    return true;
}

void Worker::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        cv_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_)
            return;
        std::function<void()> work = std::move(queue_.front());
        queue_.pop_front();
        running_ = true;
        lock.unlock();
        work();
        work = nullptr;  // whatever the work holds goes before the worker counts it done
        lock.lock();
        running_ = false;
    }
}

void Worker::Stop()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    cv_.notify_all();
    if (!thread_.joinable())
        return;
    if (OnWorker())
        thread_.detach();  // the last item stops its own worker: it ends when that item returns
    else
        thread_.join();
}

int Worker::Busy() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(queue_.size()) + (running_ ? 1 : 0);
}
