// The boot loader's side of the conversation on the pseudo-terminal: the bytes the program sends
// handed to the loader's answers (LoaderAnswers), those answers cut into writes and paced at the
// emulated line rate, and the waits the loader takes.
#include "sim/BootSim.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>
#include <utility>

namespace bootsim {

using namespace std::chrono;

void BootSim::SleepUntil(Clock::time_point t)
{
    // Line-rate emulation needs the byte times to hold to a few microseconds: sleep until
    // shortly before the deadline, then wait out the rest on the processor. (The timer slack
    // of this thread is set to its minimum in Run().)
    constexpr auto kSpin = microseconds(60);
    if (t - Clock::now() > kSpin)
        std::this_thread::sleep_until(t - kSpin);
    while (Clock::now() < t) {
    }
}

void BootSim::Event(const std::string& what) const
{
    if (options_.onEvent)
        options_.onEvent(what);
}

void BootSim::SendRaw(const std::string& bytes)
{
    if (master_ < 0)
        return;
    if (byteTime_.count() > 0) {
        for (char c : bytes) {
            txClock_ = std::max(txClock_, Clock::now()) + byteTime_;
            SleepUntil(txClock_);
            [[maybe_unused]] ssize_t n = ::write(master_, &c, 1);
        }
        return;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

void BootSim::SendChunked(const std::vector<std::string>& out)
{
    std::string all;
    for (const std::string& s : out)
        all += s;
    switch (options_.chunking) {
    case Chunking::Whole:
        for (const std::string& s : out)
            SendRaw(s);
        break;
    case Chunking::Merged:
        SendRaw(all);
        break;
    case Chunking::Bytes:
        for (char c : all) {
            SendRaw(std::string(1, c));
            Nap(microseconds(500));
        }
        break;
    case Chunking::Random:
        for (std::size_t at = 0; at < all.size();) {
            std::size_t piece = std::min<std::size_t>(1 + answers_.Random()() % 6, all.size() - at);
            SendRaw(all.substr(at, piece));
            at += piece;
            Nap(microseconds(200 + answers_.Random()() % 2000));
        }
        break;
    }
}

void BootSim::Say(Stage stage, const std::vector<std::string>& lines)
{
    Event(StageName(stage));
    SendChunked(lines);
}

void BootSim::SayAsterisk(const std::string& chatter, const std::string& noise, const std::string& asterisks)
{
    if (!chatter.empty())
        SendChunked({chatter});
    if (!noise.empty())
        SendRaw(noise);
    SendRaw(asterisks);
    lastAsterisk_ = byteTime_.count() > 0 ? txClock_ : Clock::now();
    asteriskPending_ = true;
}

void BootSim::SayRaw(const std::vector<std::string>& writes)
{
    for (const std::string& w : writes)
        SendRaw(w);
}

void BootSim::Tell(const std::string& event)
{
    Event(event);
}

void BootSim::Programming()
{
    started_ = Clock::now();
    Event("programming");
    std::lock_guard lock(mutex_);
    result_.programmed = true;
}

void BootSim::LineCame(int lines, int type)
{
    {
        std::lock_guard lock(mutex_);
        result_.lines = lines;
        if (type < 0)
            ++result_.badRecords;
        if (asteriskPending_)
            result_.turnaroundUs.push_back(duration<double, std::micro>(byteAt_ - lastAsterisk_).count());
        if (type == 1)
            result_.sawEnd = true;
    }
    asteriskPending_ = false;
}

void BootSim::Ending(bool said)
{
    // Recorded before "Done" goes out: a program that has read it finds the verdict already in
    // the snapshot, never one taken before its end was recorded.
    std::lock_guard lock(mutex_);
    result_.doneSent = said;
    result_.seconds = duration<double>(Clock::now() - started_).count();
}

void BootSim::VersionSaid()
{
    if (options_.hangUpAfterVersion)
        hangUpDue_ = Clock::now() + *options_.hangUpAfterVersion;
}

void BootSim::Wait(LoaderAnswers::Delay delay)
{
    switch (delay) {
    case LoaderAnswers::Delay::Erase:
        Nap(options_.eraseDelay);
        break;
    case LoaderAnswers::Delay::Line:
        Nap(options_.lineDelay, &hurried_);
        break;
    case LoaderAnswers::Delay::Stall:
        Nap(options_.burstStall);
        break;
    }
}

bool BootSim::Pause()
{
    Nap(options_.pause, &resumed_);
    return true;
}

void BootSim::HandleByte(char byte, Clock::time_point at)
{
    {
        std::lock_guard lock(mutex_);
        if (result_.doneSent) {
            // After "Done" the conversation is over. What still comes (the echo of a late line
            // end once the port is back in its cooked settings) is kept apart.
            afterDone_ += byte;
            return;
        }
        wire_ += byte;
        // The image ends with the end-of-file record. What may follow (such as the echo of a
        // line end once the program has put the port back into its cooked settings) is not part
        // of it.
        if (result_.programmed && !result_.sawEnd) {
            image_ += byte;
            result_.imageBytes = image_.size();
        }
    }
    byteAt_ = at;
    answers_.Take(byte);
}

}  // namespace bootsim
