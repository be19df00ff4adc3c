#pragma once
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// What both simulated boot loaders share: the stages of an update, the options that shape the
// loader's answers and its faults, and the record of what the program sent.
namespace bootsim {

// The stages of one update, in the order the boot loader reaches them; each names the reply the
// boot loader is about to send.
enum class Stage { Banner, Version, Prompt, Erase, Program, Done, Finished };
const char* StageName(Stage stage);
std::optional<Stage> ParseStage(const std::string& name);

enum class Chunking {
    Whole,   // each reply line in one write
    Bytes,   // one byte per write
    Random,  // random pieces (seeded)
    Merged,  // all lines of one reply in a single write
};

struct Options {
    int baud = 0;  // 0: as fast as the pseudo-terminal goes; else 10 bit times a byte, both ways
    // Time the operator takes to power the device on once the port is configured, unless
    // BootSim::PowerOn() comes first.
    std::chrono::milliseconds powerOnDelay{1000};
    std::chrono::milliseconds eraseDelay{300};
    std::chrono::microseconds lineDelay{0};  // programming time per image line
    std::string banner = "QZ-7 Boot Loader";
    std::optional<std::string> version = std::string("QZ7 V2.005");
    int extraLines = 0;  // menu lines before "E or P?", one for each "y"
    bool failErase = false;
    Chunking chunking = Chunking::Whole;
    int noiseBytes = 0;  // random bytes (never an asterisk) before each asterisk
    std::map<Stage, std::string> replies;  // other texts for some stages' replies
    std::map<Stage, std::string> suffixes;  // bytes right after that stage's reply, in the same write
    bool earlyAsterisk = false;  // the first asterisk comes right after "Erased", not after "P"
    // After N image lines (0: at "P"), send `lineForAsterisk` instead of the next asterisk, and
    // nothing more.
    std::optional<int> lineForAsteriskAfter;
    std::string lineForAsterisk;
    // After N image lines (0: at "P"), send `chatter` as it stands (no line end added) right
    // before the next asterisk: a loader reporting its progress between records.
    std::optional<int> chatterAfterLines;
    std::string chatter;
    std::optional<Stage> bareAt;      // that stage's reply goes without its line end
    std::optional<Stage> highByteAt;  // a byte above 127 inside that stage's reply
    std::optional<Stage> silentFrom;  // send nothing from that stage on
    std::optional<Stage> hangUpAt;    // close the master instead of sending that stage's reply
    std::optional<int> hangUpAfterLines;  // close the master after N image lines (0: at "P")
    int burstAsterisks = 0;  // extra asterisks sent at "P", to fill the program's output queue
    std::chrono::milliseconds burstStall{0};  // ... while the boot loader stops reading this long
    bool echo = false;  // echo each command byte ("y", "E", "P"), with CR LF, before answering it
    int asterisksPerLine = 1;  // more than one: the loader runs ahead of the program
    std::optional<int> restartAfterLines;  // after N image lines, restart: the banner again
    // Close the line this long after the version reply, while the program shows its question.
    std::optional<std::chrono::milliseconds> hangUpAfterVersion;
    std::optional<int> pauseAfterLines;        // say nothing for `pause` after N image lines
    std::chrono::milliseconds pause{0};        // (or until BootSim::Resume())
    unsigned seed = 1;
    std::optional<std::string> expected;  // the image the program should deliver
    // Play on this existing tty (the gadget side of a USB serial link, say) instead of a
    // pseudo-terminal. Its far end is not seen: the device counts as powered on when the
    // simulator starts, and the update ends with "Done".
    std::optional<std::string> device;
    // With `device`: a hang-up writes an empty line here (a USB gadget's UDC file in configfs,
    // which unbinds the gadget), since closing the tty would not take the far end's line down.
    std::optional<std::string> unplugPath;
    // Told of each step of the update as it happens ("banner", "version", "line 100", ...).
    std::function<void(const std::string&)> onEvent;
};

struct Result {
    bool configured = false;   // a program opened and configured the port
    bool hungUp = false;       // the master was closed on purpose
    bool programmed = false;   // "P" came
    bool sawEnd = false;       // the end-of-file record came
    bool doneSent = false;
    int lines = 0;
    int badRecords = 0;
    std::size_t imageBytes = 0;
    bool matchesExpected = false;
    double seconds = 0;  // from "P" to "Done"
    std::vector<double> turnaroundUs;  // asterisk sent to the last byte of the answering line
    bool Intact() const;
    std::string Summary() const;
};

}  // namespace bootsim
