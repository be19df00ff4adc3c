#pragma once
#include "sim/Loader.h"

#include <atomic>
#include <random>
#include <string>
#include <vector>

namespace bootsim {

// What the boot loader answers, decided once for both simulators: which reply each byte the
// program sends (and each image line it completes) brings, which stage the loader reaches, and the
// faults the options ask for. It keeps no clock and owns no line: it speaks through a Voice, which
// BootSim gives a pseudo-terminal, its pacing and its thread, and ScriptedLoader its callbacks.
// One caller at a time; only the stage may be read from other threads.
class LoaderAnswers {
public:
    // The waits an owner with a clock fills in; one without does not wait.
    enum class Delay {
        Erase,  // before the erase reply
        Line,   // programming one image line, before its answer
        Stall,  // after the first answer to "P", while the loader stops reading
    };

    // How the answers reach the program, and what its owner records of them.
    class Voice {
    public:
        virtual ~Voice() = default;
        // One stage's reply: its lines, each with its line end unless bare, the suffix on the last.
        virtual void Say(Stage stage, const std::vector<std::string>& lines) = 0;
        // The answer to an image line: chatter (may be empty), noise (may be empty), asterisks.
        virtual void SayAsterisk(const std::string& chatter, const std::string& noise, const std::string& asterisks) = 0;
        // Bytes that go as they are, a write each (an echo, a burst of asterisks).
        virtual void SayRaw(const std::vector<std::string>& writes) = 0;
        // The line goes down; the stage is Finished once this returns.
        virtual void HangUp() = 0;
        // "P" came: the image follows.
        virtual void Programming() = 0;
        // Image line number `lines` came; `type` is its record type, negative when it is no record.
        virtual void LineCame(int lines, int type) = 0;
        // "Done" is due; `said` tells whether it will be sent (not when hung up or silent).
        virtual void Ending(bool said) = 0;
        virtual void VersionSaid() {}
        virtual void Wait(Delay) {}
        // The pause after `pauseAfterLines`: true when it is over and the answer goes now, false to
        // hold the answer until LoaderAnswers::Resume().
        virtual bool Pause() { return false; }
        virtual void Tell(const std::string& /*event*/) {}
    };

    // `options` and `voice` outlive this. `from` is the stage before Greet(): at Banner the bytes
    // that come are passed over, at Version a "y" already has its answer.
    LoaderAnswers(const Options& options, Voice& voice, Stage from = Stage::Banner);
    LoaderAnswers(const LoaderAnswers&) = delete;
    LoaderAnswers& operator=(const LoaderAnswers&) = delete;

    void Greet();              // the device powers on: the banner, then the version question
    void Take(char byte);      // one byte the program sent
    void Resume();             // the answer held by the pause goes out
    void HangUp();             // the owner takes the line down

    Stage Now() const { return stage_.load(); }
    bool Programmed() const { return programmed_; }
    bool HungUp() const { return hungUp_; }
    // The stream the noise is drawn from; an owner that cuts writes at random draws from it too,
    // so that one seed replays a whole run.
    std::mt19937& Random() { return rng_; }

private:
    void Reply(Stage stage, const std::vector<std::string>& lines);
    void FinishLine();
    void Answer(int lines);  // what follows image line number `lines`
    void Asterisk(int lines);
    bool LineForAsterisk(int lines);
    void HangUpTold();
    bool Silent(Stage stage) const;

    const Options& options_;
    Voice& voice_;
    std::atomic<Stage> stage_;
    std::mt19937 rng_;
    bool programmed_ = false;
    bool hungUp_ = false;
    bool promptShown_ = false;  // "E or P?" is on the loader's screen, waiting for its answer
    int menuLine_ = 0;
    int creditsAhead_ = 0;  // asterisks sent ahead at "P", each standing for a later line's
    int lines_ = 0;
    bool held_ = false;  // an answer waits for Resume()
    int heldLines_ = 0;
    std::string line_;
};

}  // namespace bootsim
