// The boot loader's side of the conversation: what it answers to each byte the program sends,
// how its replies are cut into writes, and how those writes are paced at the emulated line rate.
#include "sim/BootSim.h"

#include "hex/HexRecord.h"

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

bool BootSim::Silent(Stage stage) const
{
    return options_.silentFrom && stage >= *options_.silentFrom;
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

void BootSim::Send(Stage stage, const std::vector<std::string>& lines)
{
    if (options_.hangUpAt && *options_.hangUpAt == stage) {
        HangUp();
        Event("hang-up");
        return;
    }
    if (Silent(stage))
        return;
    Event(StageName(stage));
    std::vector<std::string> out;
    auto other = options_.replies.find(stage);
    const bool bare = options_.bareAt && *options_.bareAt == stage;
    for (const std::string& line : other != options_.replies.end() ? std::vector<std::string>{other->second} : lines)
        out.push_back(bare ? line : line + "\r\n");
    if (options_.highByteAt && *options_.highByteAt == stage && !out.empty())
        out.back().insert(out.back().size() / 2, 1, '\xC9');
    std::string suffix;
    if (auto s = options_.suffixes.find(stage); s != options_.suffixes.end())
        suffix = s->second;
    if (stage == Stage::Erase && options_.earlyAsterisk && !options_.failErase)
        suffix += '*';
    if (!out.empty())
        out.back() += suffix;
    SendChunked(out);
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
            std::size_t piece = std::min<std::size_t>(1 + rng_() % 6, all.size() - at);
            SendRaw(all.substr(at, piece));
            at += piece;
            Nap(microseconds(200 + rng_() % 2000));
        }
        break;
    }
}

void BootSim::SendAsterisk(int lines)
{
    if (Silent(Stage::Program))
        return;
    if (options_.chatterAfterLines && *options_.chatterAfterLines == lines && !options_.chatter.empty())
        SendChunked({options_.chatter});
    std::string noise;
    for (int i = 0; i < options_.noiseBytes; ++i) {
        char c;
        do
            c = static_cast<char>(rng_() & 0xFF);
        while (c == '*');
        noise += c;
    }
    if (!noise.empty())
        SendRaw(noise);
    SendRaw(std::string(static_cast<std::size_t>(std::max(options_.asterisksPerLine, 1)), '*'));
    lastAsterisk_ = byteTime_.count() > 0 ? txClock_ : Clock::now();
    asteriskPending_ = true;
}

void BootSim::FinishLine(Clock::time_point at)
{
    std::string line = std::exchange(line_, std::string());
    std::string record = line;
    while (!record.empty() && (record.back() == '\n' || record.back() == '\r'))
        record.pop_back();
    int type = IntelHexRecordType(record);
    int lines = 0;
    {
        std::lock_guard lock(mutex_);
        lines = ++result_.lines;
        if (type < 0)
            ++result_.badRecords;
        if (asteriskPending_)
            result_.turnaroundUs.push_back(duration<double, std::micro>(at - lastAsterisk_).count());
    }
    asteriskPending_ = false;

    if (type == 1) {
        {
            std::lock_guard lock(mutex_);
            result_.sawEnd = true;
        }
        Nap(options_.lineDelay, &hurried_);
        stage_ = Stage::Done;
        {
            // Recorded before the line goes out: a program that has read "Done" finds the
            // verdict already in the snapshot, never one taken before its end was recorded.
            std::lock_guard lock(mutex_);
            result_.doneSent = master_ >= 0 && !Silent(Stage::Done);
            result_.seconds = duration<double>(Clock::now() - started_).count();
        }
        Send(Stage::Done, {"Done"});
        stage_ = Stage::Finished;
        return;
    }
    if (lines % 250 == 0)
        Event("line " + std::to_string(lines));
    if (options_.restartAfterLines && lines >= *options_.restartAfterLines) {
        // The device restarts: its boot loader greets again and waits for "y", the erased
        // memory left as it is.
        Event("restart");
        stage_ = Stage::Banner;
        promptShown_ = false;
        Send(Stage::Banner, {options_.banner});
        if (stage_ != Stage::Finished)
            stage_ = Stage::Version;
        return;
    }
    if (options_.hangUpAfterLines && lines >= *options_.hangUpAfterLines) {
        HangUp();
        Event("hang-up");
        return;
    }
    Nap(options_.lineDelay, &hurried_);
    if (options_.pauseAfterLines && lines == *options_.pauseAfterLines) {
        Event("pause");
        Nap(options_.pause, &resumed_);
    }
    if (creditsAhead_ > 0)
        --creditsAhead_;
    else if (!SendLineForAsterisk(lines))
        SendAsterisk(lines);
}

bool BootSim::SendLineForAsterisk(int lines)
{
    if (!options_.lineForAsteriskAfter || lines < *options_.lineForAsteriskAfter)
        return false;
    Event("line instead of asterisk");
    Send(Stage::Program, {options_.lineForAsterisk});
    stage_ = Stage::Finished;  // the loader has given up on the image
    return true;
}

void BootSim::HandleByte(char byte, Clock::time_point at)
{
    bool programmed = false;
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
        programmed = result_.programmed;
    }
    Stage stage = stage_;
    if (stage == Stage::Program && programmed) {
        line_ += byte;
        if (byte == '\n')
            FinishLine(at);
        return;
    }
    if (stage == Stage::Finished || stage == Stage::Done || stage == Stage::Banner)
        return;
    if (options_.echo)
        SendRaw(std::string(1, byte) + "\r\n");
    if (byte == 'y') {
        if (stage == Stage::Version) {
            if (options_.version)
                Send(Stage::Version, {*options_.version});
            else
                Send(Stage::Version, {"E or P?"});
            if (options_.hangUpAfterVersion)
                hangUpDue_ = Clock::now() + *options_.hangUpAfterVersion;
            if (stage_ != Stage::Finished)
                stage_ = Stage::Prompt;
        } else if (promptShown_) {
            // At its prompt the loader waits for "E" or "P"; another key changes nothing.
        } else if (menuLine_ < options_.extraLines) {
            // The loader pages its menu: each "y" brings the next line, the prompt last.
            ++menuLine_;
            Send(Stage::Prompt, {"Menu line " + std::to_string(menuLine_)});
        } else {
            menuLine_ = 0;
            auto other = options_.replies.find(Stage::Prompt);
            promptShown_ = other == options_.replies.end() || other->second.find("E or P?") != std::string::npos;
            Send(Stage::Prompt, {"E or P?"});
        }
    } else if (byte == 'E' && stage != Stage::Version) {
        promptShown_ = false;
        stage_ = Stage::Erase;
        Nap(options_.eraseDelay);
        Send(Stage::Erase, {options_.failErase ? "Not Erased" : "Erased"});
        if (stage_ != Stage::Finished)
            stage_ = Stage::Program;
    } else if (byte == 'P' && stage != Stage::Version) {
        stage_ = Stage::Program;
        started_ = Clock::now();
        Event("programming");
        {
            std::lock_guard lock(mutex_);
            result_.programmed = true;
        }
        if (options_.hangUpAfterLines && *options_.hangUpAfterLines == 0) {
            HangUp();
            return;
        }
        for (int i = 0; i < options_.burstAsterisks; ++i)
            SendRaw("*");
        creditsAhead_ = options_.burstAsterisks;
        if (!SendLineForAsterisk(0) && !(options_.earlyAsterisk && !options_.failErase))
            SendAsterisk(0);
        if (options_.burstStall.count() > 0)
            Nap(options_.burstStall);  // the program's writes pile up meanwhile
    }
}

}  // namespace bootsim
