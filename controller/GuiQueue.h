#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class QSocketNotifier;

// Work handed to one thread (the GUI thread: the one that constructs the queue and runs its Qt
// event loop) from any thread, run there in the order it was posted.
//
// It is not Qt's own event queue on purpose. Qt guards its event queue with locks that a thread
// checker cannot see, so posting to it from a background thread shows as a race inside Qt, and a
// real race there would be hidden among them; no background thread of the program calls into Qt.
// Here the work travels under this queue's own lock, and a write to an eventfd that a
// QSocketNotifier watches on the owning thread tells it to run what is there.
//
// Work never runs inside Post, not even on the owning thread: it runs from the event loop once
// the caller has returned to it. Destroying the queue drops the work not yet run; work posted
// while it is being destroyed is dropped too, and a work item may destroy the queue, after which
// nothing more runs. The queue is destroyed on the thread that owns it, and the owner makes sure
// that nothing calls Post once the destructor has returned (the controller joins its worker first).
class GuiQueue {
public:
    GuiQueue();  // throws std::system_error when the system refuses an eventfd
    ~GuiQueue();
    GuiQueue(const GuiQueue&) = delete;
    GuiQueue& operator=(const GuiQueue&) = delete;

    // Any thread.
    void Post(std::function<void()> work);

private:
    // Shared with a run in progress, so that a work item that destroys the queue ends the run
    // without it touching the dead queue.
    struct State {
        std::mutex mutex;
        std::deque<std::function<void()>> queue;
        bool stopped = false;
        int wake = -1;  // eventfd: there is work in `queue`; closed once `stopped` is set
    };
    // Takes its own reference: the notifier, and the copy it holds, may go during a work item.
    static void Run(std::shared_ptr<State> state);

    std::shared_ptr<State> state_;
    std::unique_ptr<QSocketNotifier> notifier_;
};
