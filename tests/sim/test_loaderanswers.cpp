// The loader's answers without a line or a clock: for the bytes a program sends, what the loader
// says, what it tells its owner, and the stage it ends in.
#include "sim/LoaderAnswers.h"

#include <gtest/gtest.h>

namespace {

using bootsim::LoaderAnswers;
using bootsim::Options;
using bootsim::Stage;

// Writes down each call, in order, as one short line.
class Transcript : public LoaderAnswers::Voice {
public:
    std::vector<std::string> calls;
    bool endPause = true;  // what Pause() answers

    void Say(Stage stage, const std::vector<std::string>& lines) override
    {
        std::string all;
        for (const std::string& line : lines)
            all += line;
        calls.push_back(std::string("say ") + bootsim::StageName(stage) + " " + all);
    }
    void SayAsterisk(const std::string& chatter, const std::string& noise, const std::string& asterisks) override
    {
        calls.push_back("asterisk " + chatter + "|" + std::to_string(noise.size()) + "|" + asterisks);
    }
    void SayRaw(const std::vector<std::string>& writes) override
    {
        for (const std::string& w : writes)
            calls.push_back("raw " + w);
    }
    void HangUp() override { calls.push_back("hang up"); }
    void Programming() override { calls.push_back("programming"); }
    void LineCame(int lines, int type) override { calls.push_back("line " + std::to_string(lines) + " type " + std::to_string(type)); }
    void Ending(bool said) override { calls.push_back(said ? "ending said" : "ending unsaid"); }
    void VersionSaid() override { calls.push_back("version said"); }
    void Wait(LoaderAnswers::Delay delay) override
    {
        calls.push_back(delay == LoaderAnswers::Delay::Erase ? "wait erase" : delay == LoaderAnswers::Delay::Line ? "wait line" : "wait stall");
    }
    bool Pause() override
    {
        calls.push_back("pause");
        return endPause;
    }
    void Tell(const std::string& event) override { calls.push_back("tell " + event); }
};

const std::string kData = ":0100000000FF\r\n";
const std::string kEnd = ":00000001FF\r\n";

TEST(LoaderAnswers, EachByteAndLineBringsItsAnswerAndStage)
{
    struct Row {
        const char* name;
        void (*shape)(Options&);
        std::string sent;
        std::vector<std::string> calls;  // after the greeting
        Stage stage;
    };
    const std::vector<Row> table{
        {"whole update", [](Options&) {}, "yyEP" + kData + kEnd,
         {"say version QZ7 V2.005\r\n", "version said", "say prompt E or P?\r\n", "wait erase", "say erase Erased\r\n",
          "programming", "asterisk |0|*", "wait stall", "line 1 type 0", "wait line", "asterisk |0|*", "line 2 type 1",
          "wait line", "ending said", "say done Done\r\n"},
         Stage::Finished},
        {"menu paged, other keys at the prompt pass", [](Options& o) { o.extraLines = 1; }, "yyyyy",
         {"say version QZ7 V2.005\r\n", "version said", "say prompt Menu line 1\r\n", "say prompt E or P?\r\n"}, Stage::Prompt},
        {"no version: the prompt answers the first y", [](Options& o) { o.version.reset(); }, "y",
         {"say version E or P?\r\n", "version said"}, Stage::Prompt},
        {"echo before each answer", [](Options& o) { o.echo = true; }, "yP",
         {"raw y\r\n", "say version QZ7 V2.005\r\n", "version said", "raw P\r\n", "programming", "asterisk |0|*", "wait stall"},
         Stage::Program},
        {"failed erase, bare, suffix", [](Options& o) { o.failErase = true; o.bareAt = Stage::Erase; o.suffixes[Stage::Erase] = "#"; },
         "yE", {"say version QZ7 V2.005\r\n", "version said", "wait erase", "say erase Not Erased#"}, Stage::Program},
        {"early asterisk rides on Erased", [](Options& o) { o.earlyAsterisk = true; }, "yEP",
         {"say version QZ7 V2.005\r\n", "version said", "wait erase", "say erase Erased\r\n*", "programming", "wait stall"},
         Stage::Program},
        {"burst, noise, several asterisks", [](Options& o) { o.burstAsterisks = 2; o.noiseBytes = 3; o.asterisksPerLine = 2; },
         "yP" + kData + kData + kData,
         {"say version QZ7 V2.005\r\n", "version said", "programming", "raw *", "raw *", "asterisk |3|**", "wait stall",
          "line 1 type 0", "wait line", "line 2 type 0", "wait line", "line 3 type 0", "wait line", "asterisk |3|**"},
         Stage::Program},
        {"chatter, then a line for the asterisk", [](Options& o) { o.chatterAfterLines = 0; o.chatter = "~"; o.lineForAsteriskAfter = 1; o.lineForAsterisk = "Bad"; },
         "yP" + kData + "y",
         {"say version QZ7 V2.005\r\n", "version said", "programming", "asterisk ~|0|*", "wait stall", "line 1 type 0",
          "wait line", "tell line instead of asterisk", "say program Bad\r\n"},
         Stage::Finished},
        {"restart after a line", [](Options& o) { o.restartAfterLines = 1; }, "yP:zz\r\ny",
         {"say version QZ7 V2.005\r\n", "version said", "programming", "asterisk |0|*", "wait stall", "line 1 type -1",
          "tell restart", "say banner QZ-7 Boot Loader\r\n", "say version QZ7 V2.005\r\n", "version said"},
         Stage::Prompt},
        {"hang-up after a line", [](Options& o) { o.hangUpAfterLines = 1; }, "yP" + kData + "y",
         {"say version QZ7 V2.005\r\n", "version said", "programming", "asterisk |0|*", "wait stall", "line 1 type 0",
          "hang up", "tell hang-up"},
         Stage::Finished},
        {"hang-up at P tells no event", [](Options& o) { o.hangUpAfterLines = 0; }, "yP",
         {"say version QZ7 V2.005\r\n", "version said", "programming", "hang up"}, Stage::Finished},
        {"hang-up instead of a reply", [](Options& o) { o.hangUpAt = Stage::Prompt; }, "yyy",
         {"say version QZ7 V2.005\r\n", "version said", "hang up", "tell hang-up"}, Stage::Finished},
        {"silent from the program stage", [](Options& o) { o.silentFrom = Stage::Program; }, "yP" + kData + kEnd,
         {"say version QZ7 V2.005\r\n", "version said", "programming", "wait stall", "line 1 type 0", "wait line",
          "line 2 type 1", "wait line", "ending unsaid"},
         Stage::Finished},
        {"other text, high byte", [](Options& o) { o.replies[Stage::Version] = "V9"; o.highByteAt = Stage::Version; }, "y",
         {"say version V9\xC9\r\n", "version said"}, Stage::Prompt},
        {"a pause that ends at once", [](Options& o) { o.pauseAfterLines = 1; }, "yP" + kData,
         {"say version QZ7 V2.005\r\n", "version said", "programming", "asterisk |0|*", "wait stall", "line 1 type 0",
          "wait line", "tell pause", "pause", "asterisk |0|*"},
         Stage::Program},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.name);
        Options options;
        row.shape(options);
        Transcript voice;
        LoaderAnswers answers(options, voice, Stage::Banner);
        answers.Take('y');  // before the greeting: passed over
        answers.Greet();
        ASSERT_EQ(voice.calls, std::vector<std::string>{"say banner QZ-7 Boot Loader\r\n"});
        voice.calls.clear();
        for (char c : row.sent)
            answers.Take(c);
        EXPECT_EQ(voice.calls, row.calls);
        EXPECT_EQ(answers.Now(), row.stage);
    }
}

TEST(LoaderAnswers, AHeldPauseAnswersOnResumeOnly)
{
    Options options;
    options.pauseAfterLines = 1;
    Transcript voice;
    voice.endPause = false;
    LoaderAnswers answers(options, voice, Stage::Version);
    for (char c : "yP" + kData)
        answers.Take(c);
    EXPECT_EQ(voice.calls.back(), "pause");
    voice.calls.clear();
    answers.Resume();
    answers.Resume();  // nothing more is held
    EXPECT_EQ(voice.calls, std::vector<std::string>{"asterisk |0|*"});
}

}  // namespace
