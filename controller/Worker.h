#pragma once
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// Runs background work one item after another, in the order it was posted, on one thread of its
// own. The thread starts with the first item and lives until Stop(), so a dialogue's steps never
// overlap and no thread is started per step.
class Worker {
public:
    Worker() = default;
    ~Worker() { Stop(); }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Queues `work`. False when the thread could not be started (the system refused one): the
    // work is dropped and `error` says why.
    bool Post(std::function<void()> work, std::string& error);
    // Drops the work not yet started, waits for the item that runs to return, and joins. Work
    // posted afterwards is dropped.
    void Stop();
    // Items queued or running.
    int Busy() const;
    // Whether the caller runs on the worker's thread.
    bool OnWorker() const { return std::this_thread::get_id() == id_.load(); }

private:
    void Run();

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> queue_;
    bool running_ = false;
    bool stopping_ = false;
    std::thread thread_;
    std::atomic<std::thread::id> id_{};
};
