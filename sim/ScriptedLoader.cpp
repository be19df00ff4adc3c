// The boot loader's answers (LoaderAnswers), the same as BootSim gives on a pseudo-terminal, at
// once and through a line in memory.
#include "sim/ScriptedLoader.h"

#include <utility>

namespace bootsim {

ScriptedLoader::ScriptedLoader(Options options, Line line) : options_(std::move(options)), line_(std::move(line)) {}

void ScriptedLoader::SendWrites(const std::vector<std::string>& out)
{
    if (answers_.HungUp() || out.empty() || !line_.send)
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

void ScriptedLoader::Say(Stage, const std::vector<std::string>& lines)
{
    SendWrites(lines);
}

void ScriptedLoader::SayAsterisk(const std::string& chatter, const std::string& noise, const std::string& asterisks)
{
    std::vector<std::string> out;
    if (!chatter.empty())
        out.push_back(chatter);
    if (!noise.empty())
        out.push_back(noise);
    out.push_back(asterisks);
    SendWrites(out);
}

void ScriptedLoader::SayRaw(const std::vector<std::string>& writes)
{
    SendWrites(writes);
}

void ScriptedLoader::HangUp()
{
    result_.hungUp = true;
    if (line_.hangUp)
        line_.hangUp();
}

void ScriptedLoader::Programming()
{
    result_.programmed = true;
}

void ScriptedLoader::LineCame(int lines, int type)
{
    result_.lines = lines;
    if (type < 0)
        ++result_.badRecords;
    if (type == 1)
        result_.sawEnd = true;
}

void ScriptedLoader::Ending(bool said)
{
    result_.doneSent = said;
}

void ScriptedLoader::PowerOn()
{
    std::lock_guard lock(mutex_);
    if (poweredOn_)
        return;
    poweredOn_ = true;
    result_.configured = true;
    answers_.Greet();
}

void ScriptedLoader::Resume()
{
    std::lock_guard lock(mutex_);
    answers_.Resume();
}

void ScriptedLoader::Take(std::string_view bytes)
{
    std::lock_guard lock(mutex_);
    for (char byte : bytes) {
        if (result_.doneSent || answers_.HungUp())
            continue;
        if (answers_.Now() == Stage::Program && answers_.Programmed()) {
            if (!result_.sawEnd)
                image_ += byte;
            result_.imageBytes = image_.size();
        }
        answers_.Take(byte);
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
    return answers_.Now();
}

std::string ScriptedLoader::Image() const
{
    std::lock_guard lock(mutex_);
    return image_;
}

}  // namespace bootsim
