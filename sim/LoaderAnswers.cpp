// The boot loader's decisions: for each byte the program sends, and each image line it completes,
// what the loader says next, in which stage it is then, and where the options make it misbehave.
#include "sim/LoaderAnswers.h"

#include "hex/HexRecord.h"

#include <algorithm>
#include <utility>

namespace bootsim {

LoaderAnswers::LoaderAnswers(const Options& options, Voice& voice, Stage from)
    : options_(options), voice_(voice), stage_(from), rng_(options.seed)
{
}

bool LoaderAnswers::Silent(Stage stage) const
{
    return options_.silentFrom && stage >= *options_.silentFrom;
}

void LoaderAnswers::HangUp()
{
    voice_.HangUp();
    hungUp_ = true;
    stage_ = Stage::Finished;  // after the voice's record of it: whoever sees Finished sees that
}

void LoaderAnswers::HangUpTold()
{
    HangUp();
    voice_.Tell("hang-up");
}

void LoaderAnswers::Reply(Stage stage, const std::vector<std::string>& lines)
{
    if (options_.hangUpAt && *options_.hangUpAt == stage) {
        HangUpTold();
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
    voice_.Say(stage, out);
}

void LoaderAnswers::Greet()
{
    stage_ = Stage::Banner;
    Reply(Stage::Banner, {options_.banner});
    if (stage_ != Stage::Finished)
        stage_ = Stage::Version;
}

void LoaderAnswers::Asterisk(int lines)
{
    if (Silent(Stage::Program))
        return;
    std::string chatter;
    if (options_.chatterAfterLines && *options_.chatterAfterLines == lines)
        chatter = options_.chatter;
    std::string noise;
    for (int i = 0; i < options_.noiseBytes; ++i) {
        char c;
        do
            c = static_cast<char>(rng_() & 0xFF);
        while (c == '*');
        noise += c;
    }
    voice_.SayAsterisk(chatter, noise, std::string(static_cast<std::size_t>(std::max(options_.asterisksPerLine, 1)), '*'));
}

bool LoaderAnswers::LineForAsterisk(int lines)
{
    if (!options_.lineForAsteriskAfter || lines < *options_.lineForAsteriskAfter)
        return false;
    voice_.Tell("line instead of asterisk");
    Reply(Stage::Program, {options_.lineForAsterisk});
    stage_ = Stage::Finished;  // the loader has given up on the image
    return true;
}

void LoaderAnswers::Answer(int lines)
{
    if (creditsAhead_ > 0)
        --creditsAhead_;
    else if (!LineForAsterisk(lines))
        Asterisk(lines);
}

void LoaderAnswers::Resume()
{
    if (!held_)
        return;
    held_ = false;
    Answer(heldLines_);
}

void LoaderAnswers::FinishLine()
{
    std::string record = std::exchange(line_, std::string());
    while (!record.empty() && (record.back() == '\n' || record.back() == '\r'))
        record.pop_back();
    const int type = IntelHexRecordType(record);
    const int lines = ++lines_;
    voice_.LineCame(lines, type);

    if (type == 1) {
        voice_.Wait(Delay::Line);
        stage_ = Stage::Done;
        voice_.Ending(!hungUp_ && !Silent(Stage::Done));
        Reply(Stage::Done, {"Done"});
        stage_ = Stage::Finished;
        return;
    }
    if (lines % 250 == 0)
        voice_.Tell("line " + std::to_string(lines));
    if (options_.restartAfterLines && lines >= *options_.restartAfterLines) {
        // The device restarts: its boot loader greets again and waits for "y", the erased
        // memory left as it is.
        voice_.Tell("restart");
        promptShown_ = false;
        Greet();
        return;
    }
    if (options_.hangUpAfterLines && lines >= *options_.hangUpAfterLines) {
        HangUpTold();
        return;
    }
    voice_.Wait(Delay::Line);
    if (options_.pauseAfterLines && lines == *options_.pauseAfterLines) {
        voice_.Tell("pause");
        if (!voice_.Pause()) {
            held_ = true;
            heldLines_ = lines;
            return;
        }
    }
    Answer(lines);
}

void LoaderAnswers::Take(char byte)
{
    const Stage stage = stage_;
    if (stage == Stage::Program && programmed_) {
        line_ += byte;
        if (byte == '\n')
            FinishLine();
        return;
    }
    if (stage == Stage::Finished || stage == Stage::Done || stage == Stage::Banner)
        return;
    if (options_.echo)
        voice_.SayRaw({std::string(1, byte) + "\r\n"});
    if (byte == 'y') {
        if (stage == Stage::Version) {
            Reply(Stage::Version, {options_.version ? *options_.version : std::string("E or P?")});
            voice_.VersionSaid();
            if (stage_ != Stage::Finished)
                stage_ = Stage::Prompt;
        } else if (promptShown_) {
            // At its prompt the loader waits for "E" or "P"; another key changes nothing.
        } else if (menuLine_ < options_.extraLines) {
            // The loader pages its menu: each "y" brings the next line, the prompt last.
            ++menuLine_;
            Reply(Stage::Prompt, {"Menu line " + std::to_string(menuLine_)});
        } else {
            menuLine_ = 0;
            auto other = options_.replies.find(Stage::Prompt);
            promptShown_ = other == options_.replies.end() || other->second.find("E or P?") != std::string::npos;
            Reply(Stage::Prompt, {"E or P?"});
        }
    } else if (byte == 'E' && stage != Stage::Version) {
        promptShown_ = false;
        stage_ = Stage::Erase;
        voice_.Wait(Delay::Erase);
        Reply(Stage::Erase, {options_.failErase ? "Not Erased" : "Erased"});
        if (stage_ != Stage::Finished)
            stage_ = Stage::Program;
    } else if (byte == 'P' && stage != Stage::Version) {
        stage_ = Stage::Program;
        programmed_ = true;
        voice_.Programming();
        if (options_.hangUpAfterLines && *options_.hangUpAfterLines == 0) {
            HangUp();  // without the "hang-up" event the other hang-ups tell of
            return;
        }
        voice_.SayRaw(std::vector<std::string>(static_cast<std::size_t>(std::max(options_.burstAsterisks, 0)), "*"));
        creditsAhead_ = options_.burstAsterisks;
        if (!LineForAsterisk(0) && !(options_.earlyAsterisk && !options_.failErase))
            Asterisk(0);
        voice_.Wait(Delay::Stall);  // the program's writes pile up meanwhile
    }
}

}  // namespace bootsim
