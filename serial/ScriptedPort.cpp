#include "serial/ScriptedPort.h"

#include <algorithm>
#include <cstring>

using namespace std::chrono;

ScriptedPort::ScriptedPort(Pieces pieces, unsigned seed) : pieces_(pieces), rng_(seed) {}

ScriptedPort::~ScriptedPort() = default;

void ScriptedPort::QueueLocked(const std::string& bytes)
{
    if (bytes.empty())
        return;
    switch (pieces_) {
    case Pieces::AsFed:
        queued_.push_back(bytes);
        break;
    case Pieces::Merged:
        if (queued_.empty())
            queued_.emplace_back();
        queued_.back() += bytes;
        break;
    case Pieces::Bytes:
        for (char c : bytes)
            queued_.emplace_back(1, c);
        break;
    case Pieces::Random:
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t piece = std::min<std::size_t>(1 + rng_() % 6, bytes.size() - at);
            queued_.push_back(bytes.substr(at, piece));
            at += piece;
        }
        break;
    }
}

void ScriptedPort::Feed(const std::vector<std::string>& writes)
{
    {
        std::lock_guard lock(mutex_);
        if (shutDown_ || hungUp_)
            return;  // nobody reads a closed port, and a line that is down carries nothing
        for (const std::string& w : writes)
            QueueLocked(w);
    }
    changed_.notify_all();
}

void ScriptedPort::OnWrite(std::function<void(std::string_view)> reply)
{
    std::lock_guard lock(replyMutex_);
    onWrite_ = std::move(reply);
}

void ScriptedPort::HangUp(int error)
{
    {
        std::lock_guard lock(mutex_);
        hungUp_ = true;
        hangUpCode_ = error;
    }
    changed_.notify_all();
}

void ScriptedPort::Stall(std::size_t bytes)
{
    std::lock_guard lock(mutex_);
    takes_ = bytes;
}

void ScriptedPort::Release()
{
    {
        std::lock_guard lock(mutex_);
        takes_.reset();
    }
    changed_.notify_all();
}

std::string ScriptedPort::Written() const
{
    std::lock_guard lock(mutex_);
    return written_;
}

std::size_t ScriptedPort::Pending() const
{
    std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (const std::string& piece : queued_)
        n += piece.size();
    return n;
}

bool ScriptedPort::ShutDown() const
{
    std::lock_guard lock(mutex_);
    return shutDown_;
}

int ScriptedPort::Reads() const
{
    std::lock_guard lock(mutex_);
    return reads_;
}

bool ScriptedPort::WaitWritten(const std::function<bool(const std::string&)>& done, milliseconds bound) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, bound, [&] { return done(written_); });
}

PortResult ScriptedPort::Read(void* buffer, std::size_t max)
{
    std::lock_guard lock(mutex_);
    if (shutDown_)
        return {PortIo::Closed};
    if (max == 0)
        return {PortIo::Data, 0};
    if (queued_.empty()) {
        if (!hungUp_)
            return {PortIo::Empty};
        hangUpError_ = hangUpCode_;
        return {PortIo::HangUp};
    }
    std::string& piece = queued_.front();
    const std::size_t n = std::min(max, piece.size());
    std::memcpy(buffer, piece.data(), n);
    piece.erase(0, n);
    if (piece.empty())
        queued_.pop_front();
    ++reads_;
    return {PortIo::Data, n};
}

int ScriptedPort::IdleWaiters() const
{
    std::lock_guard lock(mutex_);
    return queued_.empty() ? idleWaiters_ : 0;
}

PortIo ScriptedPort::WaitReadable(milliseconds bound)
{
    std::unique_lock lock(mutex_);
    ++idleWaiters_;
    changed_.wait_for(lock, bound, [this] { return shutDown_ || hungUp_ || !queued_.empty(); });
    --idleWaiters_;
    if (shutDown_)
        return PortIo::Closed;
    // As on a real line, a hang-up makes the port readable: the next read tells which it is.
    return hungUp_ || !queued_.empty() ? PortIo::Data : PortIo::Empty;
}

PortResult ScriptedPort::WriteAll(const char* bytes, std::size_t length, milliseconds stall)
{
    std::size_t done = 0;
    {
        std::unique_lock lock(mutex_);
        while (done < length) {
            if (shutDown_)
                return {PortIo::Closed, done};
            if (hungUp_) {
                hangUpError_ = hangUpCode_;
                return {PortIo::HangUp, done};
            }
            const std::size_t room = takes_ ? *takes_ : length - done;
            if (room > 0) {
                const std::size_t n = std::min(room, length - done);
                written_.append(bytes + done, n);
                done += n;
                if (takes_)
                    *takes_ -= n;
                continue;
            }
            // Stalled: no progress until released, hung up or shut down, for at most `stall`.
            if (!changed_.wait_for(lock, stall, [this] { return shutDown_ || hungUp_ || !takes_ || *takes_ > 0; }))
                return {PortIo::Stalled, done};
        }
    }
    changed_.notify_all();
    std::lock_guard reply(replyMutex_);
    if (onWrite_)
        onWrite_(std::string_view(bytes, length));
    return {PortIo::Data, done};
}

Port::Closed ScriptedPort::Shutdown(milliseconds)
{
    bool hungUp = false;
    {
        std::lock_guard lock(mutex_);
        if (shutDown_)
            return Closed::NotOpen;
        shutDown_ = true;
        hungUp = hungUp_;
    }
    changed_.notify_all();
    // A line that is gone cannot have its settings put back, as on a real port.
    return hungUp ? Closed::NotRestored : Closed::Restored;
}

bool ScriptedPort::IsOpen() const
{
    std::lock_guard lock(mutex_);
    return !shutDown_;
}

int ScriptedPort::HangUpError() const
{
    std::lock_guard lock(mutex_);
    return hangUpError_;
}
