#pragma once
#include <memory>
#include <mutex>
#include <utility>

// A shared_ptr slot that one thread may store while others load it. A loaded value keeps the
// stored object alive for as long as the loader holds it, even after a newer one replaces it.
// It stands in for std::atomic<std::shared_ptr<T>> and keeps its names (load, store).
template <class T>
class AtomicShared {
public:
    explicit AtomicShared(std::shared_ptr<T> initial = {}) : value_(std::move(initial)) {}
    std::shared_ptr<T> load() const
    {
        std::lock_guard lock(mutex_);
        return value_;
    }
    void store(std::shared_ptr<T> next)
    {
        std::shared_ptr<T> previous;
        {
            std::lock_guard lock(mutex_);
            previous = std::exchange(value_, std::move(next));
        }
        // The old object, if this was its last owner, is released outside the lock.
    }

private:
    mutable std::mutex mutex_;
    std::shared_ptr<T> value_;
};
