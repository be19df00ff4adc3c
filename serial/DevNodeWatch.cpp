#include "serial/DevNodeWatch.h"

#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

DevNodeWatch::DevNodeWatch(const std::string& directory)
{
    int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return;
    if (inotify_add_watch(fd, directory.c_str(), IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM | IN_ONLYDIR) < 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
}

DevNodeWatch::~DevNodeWatch()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool DevNodeWatch::TtyAddedOrRemoved()
{
    bool changed = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return changed;  // EAGAIN: nothing more waiting
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof(inotify_event);
            if ((event.mask & IN_Q_OVERFLOW) || (event.len > 0 && std::strncmp(name, "tty", 3) == 0))
                changed = true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
        }
    }
}
