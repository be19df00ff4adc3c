// The boot loader's answers as BootSim gives them on a pseudo-terminal (see Dialogue.cpp), at
// once and through a line in memory.
#include "sim/ScriptedLoader.h"

#include "hex/HexRecord.h"

#include <algorithm>
#include <utility>

namespace bootsim {

ScriptedLoader::ScriptedLoader(Options options, Line line)
    : options_(std::move(options)), line_(std::move(line)), rng_(options_.seed)
{
}

bool ScriptedLoader::Silent(Stage stage) const
{
    return options_.silentFrom && stage >= *options_.silentFrom;
}

void ScriptedLoader::HangUpLine()
{
    hungUp_ = true;
    result_.hungUp = true;
    stage_ = Stage::Finished;
    if (line_.hangUp)
        line_.hangUp();
}

void ScriptedLoader::SendWrites(const std::vector<std::string>& out)
{
    if (hungUp_ || out.empty() || !line_.send)
        return;
    if (options_.chunking != Chunking::Merged) {
        line_.send(out);
        return;
    }
    std::string all;
    for (const std::string& s : out)
        all += s;
    line_.send({all});
}

void ScriptedLoader::Send(Stage stage, const std::vector<std::string>& lines)
{
    if (options_.hangUpAt && *options_.hangUpAt == stage) {
        HangUpLine();
        return;
    }
    if (Silent(stage))
        return;
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
    SendWrites(out);
}

void ScriptedLoader::SendAsterisk(int lines)
{
    if (Silent(Stage::Program))
        return;
    std::vector<std::string> out;
    if (options_.chatterAfterLines && *options_.chatterAfterLines == lines && !options_.chatter.empty())
        out.push_back(options_.chatter);
    std::string noise;
    for (int i = 0; i < options_.noiseBytes; ++i) {
        char c;
        do
            c = static_cast<char>(rng_() & 0xFF);
        while (c == '*');
        noise += c;
    }
    if (!noise.empty())
        out.push_back(noise);
    out.emplace_back(static_cast<std::size_t>(std::max(options_.asterisksPerLine, 1)), '*');
    SendWrites(out);
}

bool ScriptedLoader::SendLineForAsterisk(int lines)
{
    if (!options_.lineForAsteriskAfter || lines < *options_.lineForAsteriskAfter)
        return false;
    Send(Stage::Program, {options_.lineForAsterisk});
    stage_ = Stage::Finished;  // the loader has given up on the image
    return true;
}

void ScriptedLoader::PowerOn()
{
    std::lock_guard lock(mutex_);
    if (poweredOn_)
        return;
    poweredOn_ = true;
    result_.configured = true;
    stage_ = Stage::Banner;
    Send(Stage::Banner, {options_.banner});
    if (stage_ != Stage::Finished)
        stage_ = Stage::Version;
}

void ScriptedLoader::Resume()
{
    std::lock_guard lock(mutex_);
    if (!held_)
        return;
    held_ = false;
    if (creditsAhead_ > 0)
        --creditsAhead_;
    else if (!SendLineForAsterisk(heldLines_))
        SendAsterisk(heldLines_);
}

void ScriptedLoader::Take(std::string_view bytes)
{
    std::lock_guard lock(mutex_);
    for (char byte : bytes)
        Byte(byte);
}

void ScriptedLoader::FinishLine()
{
    std::string record = std::exchange(lineText_, std::string());
    while (!record.empty() && (record.back() == '\n' || record.back() == '\r'))
        record.pop_back();
    const int type = IntelHexRecordType(record);
    const int lines = ++result_.lines;
    if (type < 0)
        ++result_.badRecords;
    if (type == 1) {
        result_.sawEnd = true;
        stage_ = Stage::Done;
        result_.doneSent = !hungUp_ && !Silent(Stage::Done);
        Send(Stage::Done, {"Done"});
        stage_ = Stage::Finished;
        return;
    }
    if (options_.restartAfterLines && lines >= *options_.restartAfterLines) {
        // The device restarts: its boot loader greets again and waits for "y".
        stage_ = Stage::Banner;
        promptShown_ = false;
        Send(Stage::Banner, {options_.banner});
        if (stage_ != Stage::Finished)
            stage_ = Stage::Version;
        return;
    }
    if (options_.hangUpAfterLines && lines >= *options_.hangUpAfterLines) {
        HangUpLine();
        return;
    }
    if (options_.pauseAfterLines && lines == *options_.pauseAfterLines) {
        held_ = true;
        heldLines_ = lines;
        return;
    }
    if (creditsAhead_ > 0)
        --creditsAhead_;
    else if (!SendLineForAsterisk(lines))
        SendAsterisk(lines);
}

void ScriptedLoader::Byte(char byte)
{
    if (result_.doneSent || hungUp_)
        return;
    if (stage_ == Stage::Program && result_.programmed) {
        if (!result_.sawEnd)
            image_ += byte;
        result_.imageBytes = image_.size();
        lineText_ += byte;
        if (byte == '\n')
            FinishLine();
        return;
    }
    if (stage_ == Stage::Finished || stage_ == Stage::Done || stage_ == Stage::Banner)
        return;
    if (options_.echo)
        SendWrites({std::string(1, byte) + "\r\n"});
    if (byte == 'y') {
        if (stage_ == Stage::Version) {
            Send(Stage::Version, {options_.version ? *options_.version : std::string("E or P?")});
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
    } else if (byte == 'E' && stage_ != Stage::Version) {
        promptShown_ = false;
        stage_ = Stage::Erase;
        Send(Stage::Erase, {options_.failErase ? "Not Erased" : "Erased"});
        if (stage_ != Stage::Finished)
            stage_ = Stage::Program;
    } else if (byte == 'P' && stage_ != Stage::Version) {
        stage_ = Stage::Program;
        result_.programmed = true;
        if (options_.hangUpAfterLines && *options_.hangUpAfterLines == 0) {
            HangUpLine();
            return;
        }
        std::vector<std::string> burst(static_cast<std::size_t>(std::max(options_.burstAsterisks, 0)), "*");
        SendWrites(burst);
        creditsAhead_ = options_.burstAsterisks;
        if (!SendLineForAsterisk(0) && !(options_.earlyAsterisk && !options_.failErase))
            SendAsterisk(0);
    }
}

Result ScriptedLoader::Snapshot() const
{
    std::lock_guard lock(mutex_);
    Result r = result_;
    r.matchesExpected = !options_.expected || *options_.expected == image_;
    return r;
}

Stage ScriptedLoader::CurrentStage() const
{
    std::lock_guard lock(mutex_);
    return stage_;
}

std::string ScriptedLoader::Image() const
{
    std::lock_guard lock(mutex_);
    return image_;
}

}  // namespace bootsim
