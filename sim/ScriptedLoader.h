#pragma once
#include "sim/Loader.h"
#include "sim/LoaderAnswers.h"

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace bootsim {

// The boot loader's conversation without a line or a clock: it answers the program's bytes at
// once, as BootSim does on a pseudo-terminal, through the line it is given (a port in memory,
// in the tests). It honours the options that shape what is said (banner, version, paging,
// replies and suffixes, echo, chatter, the line for an asterisk, restarts, hang-ups, silence,
// the erase failure, noise, extra asterisks) and a pause after some lines, which here lasts until
// Resume(); the line rate, the delays and the device options are a pseudo-terminal's matter and
// are passed over. Chunking Merged sends all lines of one reply in one write, every other a line
// a write: how the bytes are then split for the reader is the line's choice.
class ScriptedLoader : private LoaderAnswers::Voice {
public:
    struct Line {
        // The loader's writes, in order, to arrive at once.
        std::function<void(const std::vector<std::string>&)> send;
        // The line goes down.
        std::function<void()> hangUp;
    };
    ScriptedLoader(Options options, Line line);
    ScriptedLoader(const ScriptedLoader&) = delete;
    ScriptedLoader& operator=(const ScriptedLoader&) = delete;

    // The operator powers the QZ7 on: the banner (any thread, once).
    void PowerOn();
    // The bytes the program wrote, as they come (any thread; one call at a time).
    void Take(std::string_view bytes);
    // Ends the pause after `pauseAfterLines`: the asterisk that was held goes out.
    void Resume();

    Result Snapshot() const;
    Stage CurrentStage() const;
    std::string Image() const;  // every byte the program sent after "P", up to the end record

private:
    void SendWrites(const std::vector<std::string>& out);
    // How the loader's answers go out on the line, and what is kept of them.
    void Say(Stage stage, const std::vector<std::string>& lines) override;
    void SayAsterisk(const std::string& chatter, const std::string& noise, const std::string& asterisks) override;
    void SayRaw(const std::vector<std::string>& writes) override;
    void HangUp() override;
    void Programming() override;
    void LineCame(int lines, int type) override;
    void Ending(bool said) override;

    const Options options_;
    const Line line_;
    mutable std::mutex mutex_;  // everything below; held while the loader speaks
    // Starts at the version question, as this loader always has: a "y" before PowerOn() is
    // answered.
    LoaderAnswers answers_{options_, *this, Stage::Version};
    bool poweredOn_ = false;
    std::string image_;
    Result result_;
};

}  // namespace bootsim
