#pragma once
#include <string>

// New and removed tty nodes in /dev, seen through inotify. The kernel's device events do not
// reach every process (a network namespace of its own, some containers and sandboxes); the node
// that devtmpfs or udev makes for a new adapter appears in /dev all the same.
class DevNodeWatch {
public:
    // Watches `directory`; without inotify, or without the directory, Watching() is false.
    explicit DevNodeWatch(const std::string& directory = "/dev");
    ~DevNodeWatch();
    DevNodeWatch(const DevNodeWatch&) = delete;
    DevNodeWatch& operator=(const DevNodeWatch&) = delete;

    bool Watching() const { return fd_ >= 0; }
    // Reads every event waiting, without blocking. True when a node whose name begins with "tty"
    // was made or removed, or when events were lost (the queue overflowed).
    bool TtyAddedOrRemoved();

private:
    int fd_ = -1;
};
