// qz7-bootsim: plays a QZ7 boot loader on a pseudo-terminal (or an existing tty), for testing and
// demonstrating the updater without a device. Prints the slave's path on its first line, then plays one update
// and ends with a summary; exits 0 only when the image arrived intact.
#include "sim/BootSim.h"
#include "sim/Replay.h"

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

#include <algorithm>
#include <cctype>
#include <utility>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <pthread.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const kHelp = R"(Usage: qz7-bootsim [options]

Opens a pseudo-terminal, prints the path of its slave side on the first line of output, and plays
a QZ7 boot loader on it: once a program has opened the slave and set it to 57600 baud raw, it
waits for the operator's power-on, sends its banner, answers "y" with its version line, the
next "y" with "E or P?", "E" with "Erased", "P" with an asterisk and every image line with one
more asterisk until the end-of-file record, and then sends "Done". Every line ends in CR LF.
Each received record is checked (":" start, hex digits, byte count, checksum). The last line of
output is a summary; the exit status is 0 only when the image arrived intact.

Stages (for the options that take one): banner, version, prompt, erase, program, done.

Options:
  --baud N              emulate the serial line at N baud: every byte takes 10 bit times, in
                        both directions (default: as fast as the pseudo-terminal goes)
  --power-on-ms N       time the operator takes to power the device on (default 1000), unless
                        SIGUSR1 comes first
  --erase-ms N          time the erase takes (default 300)
  --line-delay-us N     programming time for each image line (default 0)
  --banner TEXT         the banner line (default "QZ-7 Boot Loader")
  --version TEXT        the version line (default "QZ7 V2.005")
  --no-version          answer the first "y" with "E or P?" only
  --extra-lines N       page N menu lines before "E or P?", one line for each "y" (default 0)
  --fail-erase          answer "E" with "Not Erased"
  --reply STAGE=TEXT    send TEXT instead of that stage's usual line (banner, version, prompt,
                        erase or done)
  --suffix STAGE=TEXT   send TEXT right after that stage's reply, in the same write (\r, \n
                        and \xNN stand for those bytes)
  --early-asterisk      send the first asterisk right after "Erased", before "P" comes
  --instead-of-asterisk N=TEXT
                        after N image lines (0: at "P") send the line TEXT instead of the
                        next asterisk, then nothing more
  --chunking MODE       how replies are written: whole (a line a write, the default), bytes
                        (one byte a write), random (random pieces, see --seed), merged (all
                        lines of a reply in one write)
  --noise N             send N random bytes (never an asterisk) before every asterisk
  --high-byte STAGE     put a byte above 127 into that stage's reply
  --silent-from STAGE   send nothing from that stage on
  --hang-up-at STAGE    close the line instead of sending that stage's reply
  --hang-up-after N     close the line after N image lines (0: as soon as "P" comes)
  --burst N             at "P", send N asterisks ahead ...
  --burst-stall-ms N    ... and stop reading for N ms meanwhile, so the program's output
                        queue fills up
  --echo                echo each command byte ("y", "E", "P") back, followed by CR LF,
                        before answering it (image lines are not echoed)
  --asterisks N         send N asterisks for every image line instead of one (the loader runs
                        ahead of the program)
  --restart-after N     restart after N image lines: send the banner instead of the next
                        asterisk, then wait for "y" as after power-on
  --hang-up-after-version-ms N
                        close the line N ms after the version reply, while the program shows
                        its question
  --pause-after N       after N image lines, say nothing for a while ...
  --pause-ms N          ... N ms, then go on as if nothing had happened
  --seed N              seed for random chunking and noise (default 1)
  --expect FILE         the image the program should deliver; compared byte for byte
  --events              print each step of the update as it happens ("event: banner",
                        "event: line 250", "event: done", "event: closed", ...)
  --save-image FILE     write what the program sent after "P" to FILE
  --stats               print the turnaround per line (median, 99th percentile, maximum)
  --timeout-s N         give up after N seconds (default: never)
  --device PATH         play on this existing tty instead of a pseudo-terminal (for instance
                        /dev/ttyGS0, the gadget side of a USB serial link): it is set to 57600
                        baud raw, the device counts as powered on when the simulator starts,
                        and the update ends with "Done", since the far end's close is not seen
  --unplug PATH         with --device, a hang-up writes an empty line to PATH (a USB gadget's
                        UDC file in configfs, which unbinds it) to take the far end's line down
  --replay FILE         play the loader's side of a capture the updater made with --capture FILE
                        instead (see below); only --speed, --events and --timeout-s go with it
  --speed N             with --replay: the recorded waits divided by N (default 1; 10 is ten
                        times as fast)
  -h, --help            this text

Replay:
  With --replay, each recorded read's bytes are sent at the recorded time, counted from the
  program's write that came before them, and every byte the program writes is checked against the
  recorded writes in order. The first difference is printed with its event number, its line in the
  capture, the time, and the bytes expected and got (escaped: \r, \n, \xNN). Exit status: 0 every
  recorded write came and the program closed the port (or the recorded hang-up was played), 3 a
  difference, 4 stopped or timed out before the recording's end, 2 the capture could not be read.

Signals:
  SIGUSR1               the operator powers the device on now: the power-on wait ends (a
                        script sends it once the program shows its power-on directions)
  SIGTERM, SIGINT       stop, and print the summary as it stands
)";

[[noreturn]] void Usage(const std::string& why)
{
    std::cerr << "qz7-bootsim: " << why << "\n(see qz7-bootsim --help)\n";
    std::exit(2);
}

bootsim::Stage StageArg(const std::string& value)
{
    auto stage = bootsim::ParseStage(value);
    if (!stage)
        Usage("unknown stage '" + value + "'");
    return *stage;
}

// TEXT with \r, \n, \\ and \xNN standing for those bytes.
std::string Unescape(const std::string& text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            bytes += text[i];
            continue;
        }
        char c = text[++i];
        if (c == 'r') bytes += '\r';
        else if (c == 'n') bytes += '\n';
        else if (c == 'x' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
                 std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            bytes += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else bytes += c;
    }
    return bytes;
}

// STAGE=TEXT or N=TEXT, split at the first "=".
std::pair<std::string, std::string> PairArg(const std::string& option, const std::string& pair)
{
    std::size_t eq = pair.find('=');
    if (eq == std::string::npos)
        Usage(option + " takes a value of the form KEY=TEXT");
    return {pair.substr(0, eq), pair.substr(eq + 1)};
}

long NumberArg(const std::string& value)
{
    char* end = nullptr;
    long n = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || n < 0)
        Usage("not a number: '" + value + "'");
    return n;
}

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    std::size_t i = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(i, values.size() - 1)];
}

// qz7-bootsim --replay: plays a capture's loader side until it ends, a signal comes or the
// timeout runs out.
int Replay(const std::string& file, double speed, std::function<void(const std::string&)> onEvent, long timeout)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << "qz7-bootsim: cannot read the capture " << file << "\n";
        return 2;
    }
    std::ostringstream content;
    content << in.rdbuf();
    capture::Parsed parsed = capture::ParseRecording(content.str());
    if (!parsed.recording) {
        std::cerr << "qz7-bootsim: " << file << " is no capture: " << parsed.error << "\n";
        return 2;
    }
    bootsim::Replay replay(std::move(*parsed.recording),
                           {.speed = speed, .timeout = std::chrono::seconds(timeout), .onEvent = std::move(onEvent)});
    if (!replay.Open()) {
        std::perror("qz7-bootsim: openpty");
        return 2;
    }
    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGTERM, SIGINT})
        sigaddset(&signals, s);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::cout << replay.SlavePath() << std::endl;
    bootsim::Replay::Result result;
    std::atomic<bool> finished{false};
    std::thread player([&] {
        result = replay.Run();
        finished = true;
    });
    const timespec tick{0, 50'000'000};
    while (!finished) {
        int s = sigtimedwait(&signals, nullptr, &tick);
        if (s == SIGTERM || s == SIGINT)
            replay.Stop();
    }
    player.join();
    std::cout << result.report << std::endl;
    return bootsim::Replay::ExitStatus(result.status);
}

}  // namespace

int main(int argc, char* argv[])
{
    bootsim::Options options;
    std::optional<std::string> replayFile;
    double speed = 1.0;
    bool otherOptions = false;
    bool stats = false;
    std::string saveImage;
    long timeout = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                Usage(arg + " needs a value");
            return argv[++i];
        };
        using namespace std::chrono;
        if (arg == "-h" || arg == "--help") {
            std::cout << kHelp;
            return 0;
        } else if (arg == "--baud") options.baud = static_cast<int>(NumberArg(value()));
        else if (arg == "--power-on-ms") options.powerOnDelay = milliseconds(NumberArg(value()));
        else if (arg == "--erase-ms") options.eraseDelay = milliseconds(NumberArg(value()));
        else if (arg == "--line-delay-us") options.lineDelay = microseconds(NumberArg(value()));
        else if (arg == "--banner") options.banner = value();
        else if (arg == "--version") options.version = value();
        else if (arg == "--no-version") options.version.reset();
        else if (arg == "--extra-lines") options.extraLines = static_cast<int>(NumberArg(value()));
        else if (arg == "--fail-erase") options.failErase = true;
        else if (arg == "--reply") {
            auto [stage, text] = PairArg(arg, value());
            options.replies[StageArg(stage)] = text;
        } else if (arg == "--suffix") {
            auto [stage, text] = PairArg(arg, value());
            options.suffixes[StageArg(stage)] = Unescape(text);
        } else if (arg == "--early-asterisk") options.earlyAsterisk = true;
        else if (arg == "--instead-of-asterisk") {
            auto [lines, text] = PairArg(arg, value());
            options.lineForAsteriskAfter = static_cast<int>(NumberArg(lines));
            options.lineForAsterisk = text;
        }
        else if (arg == "--chunking") {
            std::string mode = value();
            if (mode == "whole") options.chunking = bootsim::Chunking::Whole;
            else if (mode == "bytes") options.chunking = bootsim::Chunking::Bytes;
            else if (mode == "random") options.chunking = bootsim::Chunking::Random;
            else if (mode == "merged") options.chunking = bootsim::Chunking::Merged;
            else Usage("unknown chunking '" + mode + "'");
        } else if (arg == "--noise") options.noiseBytes = static_cast<int>(NumberArg(value()));
        else if (arg == "--high-byte") options.highByteAt = StageArg(value());
        else if (arg == "--silent-from") options.silentFrom = StageArg(value());
        else if (arg == "--hang-up-at") options.hangUpAt = StageArg(value());
        else if (arg == "--hang-up-after") options.hangUpAfterLines = static_cast<int>(NumberArg(value()));
        else if (arg == "--burst") options.burstAsterisks = static_cast<int>(NumberArg(value()));
        else if (arg == "--burst-stall-ms") options.burstStall = milliseconds(NumberArg(value()));
        else if (arg == "--echo") options.echo = true;
        else if (arg == "--asterisks") options.asterisksPerLine = static_cast<int>(NumberArg(value()));
        else if (arg == "--restart-after") options.restartAfterLines = static_cast<int>(NumberArg(value()));
        else if (arg == "--hang-up-after-version-ms") options.hangUpAfterVersion = milliseconds(NumberArg(value()));
        else if (arg == "--pause-after") options.pauseAfterLines = static_cast<int>(NumberArg(value()));
        else if (arg == "--pause-ms") options.pause = milliseconds(NumberArg(value()));
        else if (arg == "--seed") options.seed = static_cast<unsigned>(NumberArg(value()));
        else if (arg == "--expect") {
            std::ifstream file(value(), std::ios::binary);
            if (!file)
                Usage("cannot read the expected image");
            std::ostringstream content;
            content << file.rdbuf();
            options.expected = content.str();
        } else if (arg == "--save-image") saveImage = value();
        else if (arg == "--stats") stats = true;
        else if (arg == "--events")
            options.onEvent = [](const std::string& what) { std::printf("event: %s\n", what.c_str()); std::fflush(stdout); };
        else if (arg == "--timeout-s") timeout = NumberArg(value());
        else if (arg == "--device") options.device = value();
        else if (arg == "--replay") replayFile = value();
        else if (arg == "--speed") {
            const std::string text = value();
            char* end = nullptr;
            speed = std::strtod(text.c_str(), &end);
            if (text.empty() || *end != '\0' || !(speed > 0) || speed > 1e6)
                Usage("--speed takes a number above 0: '" + text + "'");
        }
        else if (arg == "--unplug") options.unplugPath = value();
        else Usage("unknown option '" + arg + "'");
        if (arg != "--replay" && arg != "--speed" && arg != "--events" && arg != "--timeout-s")
            otherOptions = true;
    }
    if (replayFile) {
        if (otherOptions)
            Usage("--replay goes only with --speed, --events and --timeout-s");
        return Replay(*replayFile, speed, options.onEvent, timeout);
    }

    bootsim::BootSim sim(options);
    if (!sim.Open()) {
        std::perror(options.device ? ("qz7-bootsim: " + *options.device).c_str() : "qz7-bootsim: openpty");
        return 2;
    }
    // Whoever has read the path may signal. The signals are blocked before the device's thread
    // starts, so it inherits the mask and only this thread takes them, synchronously: a signal acts
    // at once whichever thread the kernel would have picked and whatever that thread is waiting in.
    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGTERM, SIGINT, SIGUSR1})
        sigaddset(&signals, s);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::cout << sim.SlavePath() << std::endl;
    sim.Start();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout);
    const timespec tick{0, 50'000'000};
    bool stopRequested = false;
    while (!stopRequested && !sim.WaitFinished(std::chrono::milliseconds(0))) {
        int s = sigtimedwait(&signals, nullptr, &tick);
        if (s == SIGUSR1)
            sim.PowerOn();
        else if (s == SIGTERM || s == SIGINT)
            stopRequested = true;
        if (timeout > 0 && std::chrono::steady_clock::now() > deadline) {
            std::cerr << "qz7-bootsim: timed out\n";
            break;
        }
    }
    sim.Stop();

    bootsim::Result result = sim.Snapshot();
    if (!saveImage.empty())
        std::ofstream(saveImage, std::ios::binary) << sim.Image();
    if (stats) {
        std::printf("qz7-bootsim: turnaround_us median=%.1f p99=%.1f max=%.1f lines=%zu\n",
                    Percentile(result.turnaroundUs, 0.5), Percentile(result.turnaroundUs, 0.99),
                    Percentile(result.turnaroundUs, 1.0), result.turnaroundUs.size());
    }
    std::cout << result.Summary() << std::endl;
    return result.Intact() ? 0 : 1;
}
