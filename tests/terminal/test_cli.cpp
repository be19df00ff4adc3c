// qz7-updater --cli as a script runs it: without a display, against the simulator on a
// pseudo-terminal, with its exit status, its output and what it leaves on the port.
#include "tests/terminal/CliRun.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

TEST(Cli, EachOutcomeEndsWithItsOwnStatus)
{
    struct Case {
        const char* name;
        std::function<void(bootsim::Options&)> sim;
        bool yes;
        std::string input;
        int status;
        std::string says;
        std::vector<std::string> more = {};  // options besides --port (and --yes)
    };
    // A QZ7 with newer firmware, and one with the firmware carried.
    const std::string carried = Firmware::Version, newer = NewerThanShipped();
    auto newerSim = [&](bootsim::Options& o) { o.version = "QZ7 V" + newer; };
    const std::string newerSays = "\n  This QZ7 has " + newer + ", newer than the " + carried +
                                  " this program carries: Update would put the older firmware on it.\n";
    const std::vector<Case> cases{
        {"update, --yes", [](bootsim::Options&) {}, true, "", 0, "\nDone\n  Sent " + kShippedLines + " lines"},
        {"update, answered on standard input", [](bootsim::Options&) {}, false, " Yes \n", 0, "\nDone\n"},
        {"declined", [](bootsim::Options&) {}, false, "n\n", 9, "Update? [y/N] n\nNot updated"},
        {"standard input ended", [](bootsim::Options&) {}, false, "", 9, "(end of input)\nNot updated"},
        {"hang-up mid-transfer", [](bootsim::Options& o) { o.hangUpAfterLines = 100; }, true, "", 5,
         "USB adapter disconnected. Please restart the program and the QZ7\n  Stopped while sending the image"},
        {"not erased", [](bootsim::Options& o) { o.failErase = true; }, true, "", 6,
         "\nNot Erased. Please restart the program and the QZ7\n"},
        {"unexpected reply", [](bootsim::Options& o) { o.replies[bootsim::Stage::Erase] = "Huh?"; }, true, "", 7,
         "\nUnexpected reply: Huh?"},
        {"not done", [](bootsim::Options& o) { o.replies[bootsim::Stage::Done] = "Not Done"; }, true, "", 11,
         "\nNot Done. Please restart"},
        {"restarted", [](bootsim::Options& o) { o.restartAfterLines = 100; }, true, "", 12,
         "\nQZ7 restarted during the update. It has no firmware now."},
        // A line where an asterisk should be ends the update at once, never as "Done".
        {"not done in place of an asterisk",
         [](bootsim::Options& o) { o.lineForAsteriskAfter = 100; o.lineForAsterisk = "Not Done"; }, true, "", 11,
         "\nNot Done. Please restart"},
        {"done before the last line", [](bootsim::Options& o) { o.lineForAsteriskAfter = 100; o.lineForAsterisk = "Done"; },
         true, "", 15, "\nQZ7 stopped before the whole image was sent."},
        {"first asterisk right after Erased", [](bootsim::Options& o) { o.earlyAsterisk = true; }, true, "", 0, "\nDone\n"},
        // --yes leaves a QZ7 with newer firmware as it is, unless --allow-older; asked, the
        // question says so and no is its default.
        {"newer on the unit, --yes", newerSim, true, "", 18,
         newerSays + "This QZ7 has " + newer + ", newer than " + carried + ": not updated. Use --allow-older to put " +
             carried + " on it anyway.\n"},
        {"newer on the unit, --yes --allow-older", newerSim, true, "", 0,
         newerSays + "Update to the older firmware? [y/N] y (--yes --allow-older)\nUpdating QZ7", {"--allow-older"}},
        {"newer on the unit, asked, Return", newerSim, false, "\n", 9,
         newerSays + "Update to the older firmware? [y/N] \nNot updated: the QZ7 was left as it was.\n"},
        {"newer on the unit, asked, yes", newerSim, false, "y\n", 0, newerSays + "Update to the older firmware? [y/N] y\n"},
        {"current on the unit, --yes", [&](bootsim::Options& o) { o.version = "QZ7 V" + carried; }, true, "", 0,
         "\n  This QZ7 already has " + carried + ", the firmware this program carries.\nUpdate? [y/N] y (--yes)\n"},
    };
    const std::string length = std::to_string(ShippedImage().size());
    // Every case at once, each with a simulator and an output file of its own.
    std::vector<std::unique_ptr<bootsim::BootSim>> sims;
    std::vector<termios> settings;
    for (const Case& c : cases) {
        bootsim::Options o = FastSim();
        o.expected = ShippedImage();
        c.sim(o);
        sims.push_back(std::make_unique<bootsim::BootSim>(o));
        ASSERT_TRUE(sims.back()->Open()) << c.name;
        settings.push_back(sims.back()->SlaveSettings());
        sims.back()->Start();
    }
    std::vector<std::future<CliRun>> runs;
    for (std::size_t i = 0; i < cases.size(); ++i)
        runs.push_back(std::async(std::launch::async, [&, i] {
            std::vector<std::string> args{"--port", sims[i]->SlavePath()};
            if (cases[i].yes)
                args.push_back("--yes");
            args.insert(args.end(), cases[i].more.begin(), cases[i].more.end());
            return RunCli(args, cases[i].input, {.sim = sims[i].get(), .outFile = OutFile() + "." + std::to_string(i)});
        }));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        bootsim::BootSim& sim = *sims[i];
        const termios& before = settings[i];
        CliRun run = runs[i].get();
        EXPECT_EQ(run.status, c.status) << run.out;
        EXPECT_TRUE(Has(run.out, c.says)) << run.out;
        EXPECT_TRUE(run.out.starts_with("Connect USB adapter\n  Adapter on " + sim.SlavePath() + "\n")) << run.out;
        if (!sim.Snapshot().hungUp) {  // a closed master leaves no slave to look at
            EXPECT_TRUE(SameSettings(sim.SlaveSettings(), before));
            EXPECT_FALSE(Pty::HeldExclusively(sim.SlavePath()));
        }
        if (c.status == 0) {
            EXPECT_TRUE(sim.Snapshot().Intact()) << sim.Snapshot().Summary();
            // The length in a line of its own, and nowhere else; the progress in steps of 10 %.
            EXPECT_TRUE(Has(run.out, "\nSending the firmware image (" + length + " characters).\n10%\n20%\n")) << run.out;
            EXPECT_EQ(run.out.find(length), run.out.rfind(length)) << run.out;
            EXPECT_TRUE(Has(run.out, "\n90%\n100%\nDone\n")) << run.out;
        }
        if (c.status == 9 || c.status == 18) {
            EXPECT_EQ(sim.Wire(), "y");  // nothing after the version's "y": never erased
        }
    }
}

namespace {

// Each carried language's session and its yes: a language added to the list fails the tests of
// every language until it has its row.
const std::map<std::string, std::pair<std::string, std::string>>& Sessions()
{
    static const std::map<std::string, std::pair<std::string, std::string>> sessions{
        {"de", {"de_DE", "Ja"}}, {"fr", {"fr_FR", "oui"}}, {"es", {"es_ES", "sí"}}, {"ja", {"ja_JP", "はい"}}};
    return sessions;
}

// The lines of `shown` that stand as they do in the English `english` and hold an English word:
// a word of four letters or more, once options, paths and the `data` (names the test gave) are
// taken out. The transcript's lines are English whatever the language, and left out.
std::vector<std::string> EnglishLeft(const std::string& shown, const std::string& english, const std::vector<std::string>& data)
{
    std::set<std::string> englishLines;
    std::istringstream e(english);
    for (std::string line; std::getline(e, line);)
        englishLines.insert(line);
    static const std::regex notWords("--[a-z-]+|/[^ ]*"), word("[a-z]{4,}"),
        transcript("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} qz7\\..*");
    std::vector<std::string> left;
    std::istringstream s(shown);
    for (std::string line; std::getline(s, line);) {
        if (!englishLines.contains(line) || std::regex_match(line, transcript))
            continue;
        std::string words = std::regex_replace(line, notWords, " ");
        for (const std::string& d : data)
            for (std::size_t at; (at = words.find(d)) != std::string::npos;)
                words.replace(at, d.size(), " ");
        if (std::regex_search(words, word))
            left.push_back(line);
    }
    return left;
}

// A text's translation in translations/qz7-updater_<language>.ts.
std::string Translated(const std::string& language, const std::string& source)
{
    std::ifstream in(std::string(QZ7_SOURCE_DIR) + "/translations/qz7-updater_" + language + ".ts");
    const std::string ts((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t at = ts.find("<source>" + source + "</source>");
    const std::size_t open = ts.find("<translation>", at);
    const std::size_t close = ts.find("</translation>", open);
    if (at == std::string::npos || open == std::string::npos || close == std::string::npos)
        return {};
    std::string text = ts.substr(open + 13, close - open - 13);
    // A counting text: its last plural form, the one for many.
    if (const std::size_t form = text.rfind("<numerusform>"); form != std::string::npos)
        text = text.substr(form + 13, text.find("</numerusform>", form) - form - 13);
    for (const auto& [entity, c] : {std::pair{"&apos;", "'"}, {"&quot;", "\""}, {"&#xa0;", "\u00a0"}, {"&amp;", "&"}})
        for (std::size_t e; (e = text.find(entity)) != std::string::npos;)
            text.replace(e, std::strlen(entity), c);
    return text;
}

}  // namespace

// The operator's language follows the session's, its yes answers the question; with C the texts
// stand in English, exactly.
TEST(Cli, AnUpdateInEachLanguageEndsIntactWithNoEnglishDirections)
{
    const std::string english[] = {Directions::ConnectAdapter, Directions::PowerOn, Directions::Updating};
    const auto& sessions = Sessions();
    std::vector<std::string> languages = CarriedLanguages();
    ASSERT_FALSE(languages.empty());
    for (const std::string& language : languages)
        ASSERT_TRUE(sessions.contains(language)) << language << " is carried: give it its session and its yes here";
    languages.push_back("C");
    // Machine output under each of these sessions, byte for byte the same, times and ports aside.
    const std::vector<std::string> machines{"LANG=C", "LANG=de_DE.UTF-8", "LANG=ja_JP.UTF-8", "LANG=de_DE.UTF-8"};
    // Every language at once, each with a simulator and an output file of its own; and beside
    // them --json runs in English, German and Japanese sessions, whose fields stay English.
    std::vector<std::unique_ptr<bootsim::BootSim>> sims;
    for (std::size_t i = 0; i < languages.size() + machines.size(); ++i) {
        bootsim::Options o = FastSim();
        o.expected = ShippedImage();
        if (i >= languages.size() && i + 1 < languages.size() + machines.size()) {
            o.lineForAsteriskAfter = 100;
            o.lineForAsterisk = "Not Done";
        }
        sims.push_back(std::make_unique<bootsim::BootSim>(o));
        ASSERT_TRUE(sims.back()->Open());
        sims.back()->Start();
    }
    std::vector<std::future<CliRun>> runs;
    for (std::size_t i = 0; i < languages.size(); ++i) {
        const std::string& language = languages[i];
        const std::string lang = language == "C" ? "LANG=C" : "LANG=" + sessions.at(language).first + ".UTF-8";
        const std::string powerOn = language == "C" ? std::string(Directions::PowerOn)
                                                    : Translated(language, Directions::PowerOn);
        ASSERT_FALSE(powerOn.empty()) << language;
        // Each answers the question with its own language's yes.
        const std::string yes = language == "C" ? "y" : sessions.at(language).second;
        runs.push_back(std::async(std::launch::async, [&, i, lang, powerOn, yes] {
            return RunCli({"--port", sims[i]->SlavePath()}, yes + "\n",
                          {.sim = sims[i].get(), .powerOn = powerOn, .env = {lang},
                           .outFile = OutFile() + "." + std::to_string(i)});
        }));
    }
    for (std::size_t m = 0; m < machines.size(); ++m) {
        const std::size_t i = languages.size() + m;
        runs.push_back(std::async(std::launch::async, [&, i, m] {
            return RunCli({"--yes", "--json", "--report", OutFile() + ".report" + std::to_string(m), "--port", sims[i]->SlavePath()}, "",
                          {.stderrFile = OutFile() + ".err" + std::to_string(m), .sim = sims[i].get(), .env = {machines[m]},
                           .outFile = OutFile() + ".json" + std::to_string(m)});
        }));
    }
    std::vector<CliRun> ran;
    for (std::size_t i = 0; i < languages.size(); ++i)
        ran.push_back(runs[i].get());
    for (std::size_t i = 0; i < languages.size(); ++i) {
        const std::string& language = languages[i];
        SCOPED_TRACE(language);
        const CliRun& run = ran[i];
        // Nothing the operator reads is left in English (the C run is the last).
        if (language != "C") {
            EXPECT_EQ(EnglishLeft(run.out, ran.back().out, {}), std::vector<std::string>{}) << run.out;
        }
        EXPECT_EQ(run.status, 0) << run.out;
        EXPECT_TRUE(sims[i]->Snapshot().Intact()) << sims[i]->Snapshot().Summary();
        for (const std::string& text : english)
            EXPECT_EQ(Has(run.out, "\n" + text + "\n") || run.out.starts_with(text + "\n"), language == "C") << text << "\n" << run.out;
        // Lines made one are joined as the language writes: no ". " put after a word of a script
        // written without spaces (as "を. 再起動" would be).
        for (std::size_t at = run.out.find(". "); at != std::string::npos; at = run.out.find(". ", at + 1))
            EXPECT_FALSE(at >= 3 && static_cast<unsigned char>(run.out[at - 3]) >= 0xE3 &&
                         static_cast<unsigned char>(run.out[at - 3]) <= 0xE9)
                << run.out.substr(at >= 30 ? at - 30 : 0, 60);
        // Japanese puts no space after 。 and writes seconds as 秒.
        if (language == "ja") {
            EXPECT_FALSE(Has(run.out, "\u3002 ")) << run.out;
            EXPECT_TRUE(Has(run.out, "\u79d2")) << run.out;
        }
        if (language != "C") {
            const std::string done = Translated(language, "Done");
            ASSERT_FALSE(done.empty());
            EXPECT_TRUE(Has(run.out, "\n" + done + "\n")) << done << "\n" << run.out;
            // A count takes its language's plural form.
            const std::string sending = Translated(language, "Sending the firmware image (%n characters).");
            ASSERT_NE(sending.find("%n"), std::string::npos) << language;
            EXPECT_TRUE(Has(run.out, "\n" + sending.substr(0, sending.find("%n")))) << sending << "\n" << run.out;
        }
    }
    // What programs read stays English, joined as English is, with a decimal point and English
    // error names, in any session: the same bytes but for times and ports. A JSON line is
    // compared without its times; the transcript's lines without their time stamps, with every
    // number as N and sorted (the counts said each second depend on the machine's speed, and the
    // worker's lines and the GUI thread's interleave as they come, not as the locale says).
    const auto json = [](std::string line, const std::string& port) {
        QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        for (const QString& key : o.keys())
            if (key == "time" || key == "duration_s" || QDateTime::fromString(o[key].toString(), Qt::ISODateWithMs).isValid())
                o.remove(key);
        line = QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
        for (std::size_t at; (at = line.find(port)) != std::string::npos;)
            line.replace(at, port.size(), "PORT");
        return line + "\n";
    };
    std::vector<std::string> machineOutput, reports;
    std::vector<std::vector<std::string>> transcripts;
    for (std::size_t m = 0; m < machines.size(); ++m) {
        SCOPED_TRACE(machines[m]);
        CliRun run = runs[languages.size() + m].get();
        const bool done = m + 1 == machines.size();
        EXPECT_EQ(run.status, done ? 0 : 11) << run.out;
        const std::string& port = sims[languages.size() + m]->SlavePath();
        std::string normal, report;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);)
            if (line.starts_with("{"))
                normal += json(line, port);
        for (const std::string& line : ReadLines(OutFile() + ".report" + std::to_string(m)))
            report += json(line, port);
        // The transcript's lines, without the prose beside them, which is the operator's.
        std::string transcript;
        std::vector<std::string> comparable;
        std::istringstream err(FileText(OutFile() + ".err" + std::to_string(m)));
        for (std::string line; std::getline(err, line);)
            if (Has(line, " qz7.")) {
                transcript += line + "\n";
                if (!Has(line, "status: Line ") && !Has(line, "transfer info: line "))
                    comparable.push_back(std::regex_replace(std::regex_replace(line.substr(line.find(" qz7.")), std::regex(port), "PORT"),
                                                            std::regex("[0-9]+"), "N"));
            }
        std::sort(comparable.begin(), comparable.end());
        for (const std::string& text : {normal, transcript})
            EXPECT_FALSE(std::regex_search(text, std::regex("[0-9],[0-9]"))) << text;
        if (done) {
            EXPECT_TRUE(std::regex_search(normal, std::regex("Sent [0-9]+ lines \\([0-9]+\\.[0-9] kB\\) in [0-9]+\\.[0-9] s"))) << normal;
        } else {
            // The directions exactly, their line breaks as \n.
            EXPECT_TRUE(Has(normal, "\"directions\":\"Not Done\\nPlease restart the program\\nand the QZ7\"")) << normal;
            EXPECT_TRUE(Has(normal, "\"directions\":\"Found Version: 2.005\\n Update To: QZ7 " + kShippedV + "?\\n\"")) << normal;
            machineOutput.push_back(normal);
            reports.push_back(report);
            transcripts.push_back(comparable);
        }
    }
    ASSERT_EQ(machineOutput.size(), 3u);
    for (std::size_t m = 1; m < machineOutput.size(); ++m) {
        SCOPED_TRACE(machines[m]);
        EXPECT_EQ(machineOutput[m], machineOutput[0]);
        EXPECT_EQ(reports[m], reports[0]);
        EXPECT_EQ(transcripts[m], transcripts[0]);
    }
    EXPECT_FALSE(reports[0].empty());

    // --list --json: the same bytes in every session.
    std::vector<std::string> listed;
    for (const char* lang : {"LANG=C", "LANG=de_DE.UTF-8", "LANG=ja_JP.UTF-8"}) {
        int status = -1;
        listed.push_back(CommandOutput(std::string(lang) + " QZ7_SERIAL_PORTS='usbserial-a=/dev/null,modem=/nonexistent/x,usbLate' " QZ7_BINARY_DIR
                                       "/qz7-updater --list --json",
                                       status));
        EXPECT_EQ(status, 0) << listed.back();
    }
    EXPECT_FALSE(listed[0].empty());
    EXPECT_EQ(listed[1], listed[0]);
    EXPECT_EQ(listed[2], listed[0]);
}

// Whatever else the program says to a person (help, usage errors, the port list, the history, a
// bench with a failed unit) is in the session's language: a line that stands as it does in C and
// holds an English word is English left, and named here.
TEST(Cli, NothingAnOperatorReadsIsLeftInEnglish)
{
    const std::string scratch = testing::TempDir() + "qz7-english-" + std::to_string(::getpid());
    std::filesystem::create_directories(scratch);
    const std::vector<std::string> invocations = {
        "--help", "--no-such-option", "--port", "--cli --timeout 0", "--allow-older", "--unit x", "--cli --port /dev/null --port /dev/null",
        "--list", "--history", "--history --summary", "--history QZ-1", "--cli --yes --wait 1 --port /dev/null",
        "--cli --yes --wait 1 --port /dev/tty", "--cli --yes --check --wait 1 --all",
        // Two units side by side, one of them refused the erase; that one alone.
        "--cli --yes --port SIM0 --port SIM1", "--cli --yes --port SIM1",
    };
    // Names the test gives, which stand in every language.
    const std::vector<std::string> data = {"usbserial-a", "modem", "usbLate", "QZ-1"};
    const auto output = [&](const std::string& lang, const std::string& arguments) {
        std::string line = arguments;
        std::vector<std::unique_ptr<bootsim::BootSim>> sims;
        for (int k = 0; k < 2; ++k) {
            const std::string name = "SIM" + std::to_string(k);
            if (line.find(name) == std::string::npos)
                continue;
            bootsim::Options o = FastSim();
            o.failErase = k == 1;
            sims.push_back(std::make_unique<bootsim::BootSim>(o));
            EXPECT_TRUE(sims.back()->Open());
            sims.back()->Start();
            sims.back()->PowerOn();
            line.replace(line.find(name), name.size(), sims.back()->SlavePath());
        }
        // A history of each language's own: what one language's bench records, another's
        // --history does not find.
        const std::string state = scratch + "/" + lang;
        std::filesystem::create_directories(state);
        int status = -1;
        std::string out = CommandOutput("env -i PATH=/usr/bin:/bin LANG=" + lang + " QZ7_JOURNAL=off XDG_STATE_HOME=" + state +
                                            " QZ7_SERIAL_PORTS='usbserial-a=/dev/null,modem=/nonexistent/x,usbLate' " QZ7_BINARY_DIR
                                            "/qz7-updater --history-file " + state + "/history.sqlite " + line + " 2>&1 </dev/null",
                                        status);
        for (const auto& sim : sims)
            for (std::size_t at; (at = out.find(sim->SlavePath())) != std::string::npos;)
                out.replace(at, sim->SlavePath().size(), "PORT");
        for (std::size_t at; (at = out.find(state)) != std::string::npos;)
            out.replace(at, state.size(), "STATE");
        return out;
    };
    // Each language's runs, one after the other, beside the other languages'.
    std::vector<std::string> languages = CarriedLanguages();
    for (const std::string& language : languages)
        ASSERT_TRUE(Sessions().contains(language)) << language << " is carried: give it its session and its yes";
    languages.push_back("C");
    std::vector<std::future<std::vector<std::string>>> runs;
    for (const std::string& language : languages)
        runs.push_back(std::async(std::launch::async, [&, language] {
            std::vector<std::string> shown;
            for (const std::string& arguments : invocations)
                shown.push_back(output(language == "C" ? "C" : Sessions().at(language).first + ".UTF-8", arguments));
            return shown;
        }));
    std::vector<std::vector<std::string>> shown;
    for (auto& run : runs)
        shown.push_back(run.get());
    for (std::size_t l = 0; l + 1 < languages.size(); ++l) {
        for (std::size_t k = 0; k < invocations.size(); ++k) {
            SCOPED_TRACE(languages[l] + ": " + invocations[k]);
            EXPECT_EQ(EnglishLeft(shown[l][k], shown.back()[k], data), std::vector<std::string>{}) << shown[l][k];
        }
        // A failure's directions on one line are the language's own sentences, not its lines
        // joined as English joins them.
        const std::string notErased = Translated(languages[l], "Not Erased. Please restart the program and the QZ7");
        ASSERT_FALSE(notErased.empty()) << languages[l];
        EXPECT_TRUE(Has(shown[l].back(), "\n" + notErased + "\n")) << notErased << "\n" << shown[l].back();
    }
    std::filesystem::remove_all(scratch);
}

TEST(Cli, OnATerminalTheTransferIsOneLineRedrawnInPlace)
{
    bootsim::Options o = FastSim();
    o.lineDelay = 200us;  // long enough for a few progress texts
    bootsim::BootSim sim(o);
    ASSERT_TRUE(sim.Open());
    sim.Start();
    CliRun run = RunCli({"--yes", "--port", sim.SlavePath()}, "", {.tty = true, .sim = &sim});
    EXPECT_EQ(run.status, 0) << run.out;
    // The terminal turns each line end into CR LF.
    EXPECT_TRUE(Has(run.out, "\r[------------------------]   0%")) << run.out;
    const std::string lastLine = "Line " + kShippedLines + " of " + kShippedLines;
    EXPECT_TRUE(Has(run.out, "\r[########################] 100%  " + lastLine)) << run.out;
    // The bar ends before the next line, and its last state gives no "about 0 s left".
    const std::size_t last = run.out.rfind("100%  " + lastLine);
    ASSERT_NE(last, std::string::npos) << run.out;
    EXPECT_EQ(run.out.find('\r', last), run.out.find("\r\nDone\r\n", last)) << run.out;
    EXPECT_FALSE(Has(run.out, "about 0 s")) << run.out;
    EXPECT_FALSE(Has(run.out, "\r\n10%\r\n")) << run.out;
}

TEST(Cli, KeysTypedOnTheTerminalBeforeTheQuestionAreNoAnswer)
{
    // An operator who types "y" while the QZ7 is still powering on has not seen its version yet.
    bootsim::BootSim sim(FastSim());
    ASSERT_TRUE(sim.Open());
    sim.Start();
    Pty terminal;
    int fd = ::open(terminal.path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    Updater updater(Launch{{}, {"--cli", "--port", sim.SlavePath()}, fd, {},
                           QZ7_BINARY_DIR "/qz7-updater", fd});
    ::close(fd);
    terminal.Send("y\n");
    std::string out;
    ASSERT_TRUE(WaitUntil([&] { return Has(out += terminal.Drain(20ms), Directions::PowerOn); }, 10s)) << out;
    sim.PowerOn();  // only once the "y" has long been typed
    ASSERT_TRUE(WaitUntil([&] { return Has(out += terminal.Drain(20ms), "Update? [y/N] "); }, 10s)) << out;
    terminal.Send("n\n");
    EXPECT_EQ(updater.Wait(10s), 9) << out + terminal.Drain(100ms);
    EXPECT_EQ(sim.Wire(), "y");
}

TEST(Cli, GivesUpWaitingWithTheReason)
{
    // No adapter at all, a path that is no serial port, and a port that opens but where nothing
    // answers. A sanitizer slows the program's start several times over.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    constexpr auto kBound = 5s;
#else
    constexpr auto kBound = 2500ms;
#endif
    Pty silent;
    termios before = silent.Settings();
    struct Case {
        std::string port;
        int status;
        const char* says;
    };
    // (A device that no terminal driver serves, as /dev/null, is not waited for: see below.)
    const std::vector<Case> cases{{"/nonexistent/ttyUSB9", 2, "Plug the adapter in (or check the path given with --port)"},
                                  {silent.path, 14, "the port is open but nothing answered"}};
    // The cases wait side by side, each program with an output file of its own.
    std::vector<std::future<CliRun>> runs;
    for (std::size_t i = 0; i < cases.size(); ++i)
        runs.push_back(std::async(std::launch::async, [&, i] {
            return RunCli({"--port", cases[i].port, "--wait", "1"}, "", {.outFile = OutFile() + "." + std::to_string(i)});
        }));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.port);
        CliRun run = runs[i].get();
        EXPECT_EQ(run.status, c.status) << run.out;
        EXPECT_TRUE(Has(run.out, "\nNo QZ7 within 1 s: ")) << run.out;
        EXPECT_TRUE(Has(run.out, c.says)) << run.out;
        EXPECT_GE(run.took, 1s);
        EXPECT_LT(run.took, kBound);
    }
    EXPECT_TRUE(SameSettings(silent.Settings(), before));
    EXPECT_FALSE(silent.Exclusive());
}

TEST(Cli, TimeoutBoundsTheWholeUpdateAndPutsThePortBack)
{
    // The wait for the banner, and beside it (an output file of its own) the transfer too,
    // Ctrl+C rule or not.
    Pty silent;
    termios silentBefore = silent.Settings();
    std::future<CliRun> waiting = std::async(std::launch::async, [&] {
        return RunCli({"--port", silent.path, "--timeout", "1"}, "", {.outFile = OutFile() + ".banner"});
    });
    bootsim::BootSim sim(HeldTransfer(100));
    ASSERT_TRUE(sim.Open());
    termios before = sim.SlaveSettings();
    sim.Start();
    CliRun run = RunCli({"--yes", "--port", sim.SlavePath(), "--timeout", "2"}, "", {.sim = &sim});
    CliRun quiet = waiting.get();
    EXPECT_EQ(quiet.status, 124) << quiet.out;
    EXPECT_TRUE(Has(quiet.out, "\nStopped after 1 s (--timeout) before anything was erased")) << quiet.out;
    EXPECT_TRUE(SameSettings(silent.Settings(), silentBefore));
    EXPECT_FALSE(silent.Exclusive());

    EXPECT_EQ(run.status, 124) << run.out;
    EXPECT_TRUE(Has(run.out, "\nStopped after 2 s (--timeout) during the update: the QZ7 has no firmware now.")) << run.out;
    EXPECT_GE(run.took, 2s);
    EXPECT_LT(run.took, 5s);
    EXPECT_GT(sim.Snapshot().lines, 0);
    EXPECT_FALSE(sim.Snapshot().doneSent);
    EXPECT_TRUE(SameSettings(sim.SlaveSettings(), before));
    EXPECT_FALSE(Pty::HeldExclusively(sim.SlavePath()));
}

TEST(Cli, TwoPrivilegedUpdatersNeverShareAPort)
{
    // Root opens a TIOCEXCL port all the same; the lock keeps the second updater out.
    bootsim::BootSim sim(HeldTransfer(100));
    ASSERT_TRUE(sim.Open());
    sim.Start();
    CliRun second;
    CliRun first = RunCli({"--yes", "--port", sim.SlavePath()}, "", {.meanwhile = [&](Updater& updater) {
        ASSERT_TRUE(WaitUntil([&] { return sim.Snapshot().lines >= 100; }, 30s)) << sim.Snapshot().Summary();
        second = RunCli({"--yes", "--port", sim.SlavePath(), "--wait", "1"}, "");
        EXPECT_TRUE(Has(second.out, " is in use by another program: qz7-updater (PID " + std::to_string(updater.pid) + ")"))
            << second.out;
        sim.Resume();
    }, .sim = &sim});
    EXPECT_EQ(second.status, 4) << second.out;
    EXPECT_EQ(first.status, 0) << first.out;
    EXPECT_TRUE(sim.Snapshot().Intact()) << sim.Snapshot().Summary();
}

TEST(Cli, APortThatCanNeverBeAnAdapterIsRefusedAtOnce)
{
    Pty terminal;  // the program's own terminal, on its standard input and output
    termios before = terminal.Settings();
    const std::string dir = testing::TempDir() + "qz7-refused-" + std::to_string(getpid());
    ::mkdir(dir.c_str(), 0700);
    ::symlink((dir + "/loop").c_str(), (dir + "/loop").c_str());
    // With --wait, the multiplexer is refused on every look and never opened as an adapter: that
    // run waits its second out beside the others, with an output file of its own.
    std::future<CliRun> waiting = std::async(std::launch::async, [] {
        return RunCli({"--port", "/dev/ptmx", "--wait", "1"}, "", {.outFile = OutFile() + ".waited"});
    });
    struct Case {
        std::string port;
        const char* says;
        std::vector<std::string> more = {};
    };
    // A device that no terminal driver serves exists already and cannot become an adapter: not
    // waited for even with --wait, and in the bench too (one unit, --json).
    for (const Case& c : {Case{terminal.path, "is the terminal this program runs on, not an adapter."},
                          Case{"/dev/tty", "is the terminal this program runs on, not an adapter."},
                          Case{"/dev/ptmx", "/dev/ptmx is not a serial port."},
                          Case{dir, " is not a serial port."},
                          Case{dir + "/loop", "Too many levels of symbolic links"},
                          Case{dir + "/ttyUSB9", "No such file or directory"},
                          Case{"/dev/null", "/dev/null is not a serial port."},
                          Case{"/dev/null", "waiting does not make it one", {"--wait", "30"}},
                          Case{"/dev/zero", "/dev/zero is not a serial port.", {"--wait", "30"}},
                          Case{"/dev/null", "\"exit\":2,\"outcomes\":{\"no-adapter\":1}", {"--json", "--wait", "30"}}}) {
        SCOPED_TRACE(c.port);
        std::vector<std::string> args{"--yes", "--port", c.port};
        args.insert(args.end(), c.more.begin(), c.more.end());
        CliRun run = RunCli(args, "", {.terminal = &terminal});
        EXPECT_EQ(run.status, 2) << run.out;
        EXPECT_TRUE(Has(run.out, c.says)) << run.out;
        if (c.more.empty() || c.more.front() != "--json") {
            EXPECT_TRUE(Has(run.out, "Not updated: the port given with --port cannot be used")) << run.out;
        }
        EXPECT_LT(run.took, 5s);
        EXPECT_TRUE(SameSettings(terminal.Settings(), before));
        EXPECT_FALSE(terminal.Exclusive());
    }
    CliRun waited = waiting.get();
    EXPECT_EQ(waited.status, 2) << waited.out;
    EXPECT_FALSE(Has(waited.out, "Adapter on")) << waited.out;

    // A name in bytes outside ASCII (and not valid in the locale) is the file system's to judge.
    bootsim::BootSim sim(FastSim());
    ASSERT_TRUE(sim.Open());
    sim.Start();
    const std::string odd = dir + "/adapter-\xE9\xFF";
    ASSERT_EQ(::symlink(sim.SlavePath().c_str(), odd.c_str()), 0);
    CliRun run = RunCli({"--yes", "--port", odd}, "", {.sim = &sim});
    EXPECT_EQ(run.status, 0) << run.out;
    std::filesystem::remove_all(dir);
}

TEST(Cli, TheQZ7sBytesNeverReachTheTerminalRaw)
{
    using namespace std::string_literals;
    const std::string hostile = "QZ7 V\x1B[2J\x1B]0;owned\x07 2.9\0\x1B[31mred"s;
    // The port's own path may hold such bytes too: a link whose name holds ESC, CR and LF.
    const std::string odd = testing::TempDir() + "qz7-odd-" + std::to_string(getpid()) + "\x1B[2J\r\nqz7-odd-tail";
    const std::string oddShown = testing::TempDir() + "qz7-odd-" + std::to_string(getpid()) + "\\x1B[2J\\x0D\\x0Aqz7-odd-tail";
    const std::string transcript = testing::TempDir() + "qz7-raw-" + std::to_string(getpid()) + ".log";
    struct Case {
        const char* name;
        std::function<void(bootsim::Options&)> sim;
        bool yes;
        int status;
        std::string says;
        bool oddPort = false;
    };
    for (const Case& c : {Case{"version", [&](bootsim::Options& o) { o.version = hostile; }, false, 9,
                               "Found Version: \\x1B[2J\\x1B]0;owned\\x07 2.9\\x00\\x1B[31mred. Update To"},
                          Case{"reply", [&](bootsim::Options& o) { o.replies[bootsim::Stage::Erase] = "Huh\x1B[2J"s + '\0' + "?"; },
                               true, 7, "Unexpected reply: Huh\\x1B[2J\\x00? Please restart the program and the QZ7\n"},
                          Case{"path", [](bootsim::Options&) {}, true, 0, "\n  Adapter on " + oddShown + "\n", true}}) {
        SCOPED_TRACE(c.name);
        bootsim::Options o = FastSim();
        c.sim(o);
        bootsim::BootSim sim(o);
        ASSERT_TRUE(sim.Open());
        sim.Start();
        ::unlink(odd.c_str());
        ASSERT_EQ(::symlink(sim.SlavePath().c_str(), odd.c_str()), 0);
        std::vector<std::string> args{"--port", c.oddPort ? odd : sim.SlavePath()};
        if (c.yes)
            args.push_back("--yes");
        CliRun run = RunCli(args, "n\n", {.stderrFile = transcript, .sim = &sim});
        EXPECT_EQ(run.status, c.status) << run.out;
        EXPECT_TRUE(Has(run.out, c.says)) << run.out;
        // Neither on the terminal nor in the transcript: no raw escape, CR or NUL, no line cut.
        const std::string logged = FileText(transcript);
        for (const std::string* text : {static_cast<const std::string*>(&run.out), &logged}) {
            EXPECT_EQ(text->find_first_of("\x1B\r"s + '\0'), std::string::npos) << *text;
            EXPECT_FALSE(Has(*text, "\nqz7-odd-tail")) << *text;
        }
        if (c.oddPort) {
            EXPECT_TRUE(Has(logged, " opened " + oddShown + " exclusive")) << logged;
            EXPECT_TRUE(Has(logged, " closed " + oddShown + " with its settings restored")) << logged;
        }
    }
    ::unlink(odd.c_str());
    ::unlink(transcript.c_str());
}

TEST(Cli, InputWithoutALineEndIsABoundedNo)
{
    bootsim::BootSim sim(FastSim());
    ASSERT_TRUE(sim.Open());
    sim.Start();
    CliRun run = RunCli({"--port", sim.SlavePath()}, "", {.inputFile = "/dev/zero", .sim = &sim});
    EXPECT_EQ(run.status, 9) << run.out;
    EXPECT_TRUE(Has(run.out, "Update? [y/N] (answer too long)\nNot updated")) << run.out;
    EXPECT_EQ(sim.Wire(), "y");
}

TEST(Cli, APagingLoaderIsAnsweredOnWithoutFloodingTheTranscript)
{
    // A loader that answers every "y" at the prompt with another line: each line still gets its
    // "y", but the transcript counts the repeats, and the status line says what goes on.
    bootsim::Options o = FastSim();
    o.replies[bootsim::Stage::Prompt] = "What?";
    bootsim::BootSim sim(o);
    ASSERT_TRUE(sim.Open());
    sim.Start();
    const std::string transcript = testing::TempDir() + "qz7-paging-" + std::to_string(getpid()) + ".log";
    std::size_t pages = 0;
    const std::string says = " times without \"E or P?\", last with \"What?\". It may not be a QZ7 in boot-loader mode";
    std::chrono::duration<double> paged{};
    CliSetup setup{.meanwhile = [&](Updater& updater) {
                       ASSERT_TRUE(WaitUntil([&] { return sim.Wire().starts_with("yyy"); }, 10s));
                       const auto start = std::chrono::steady_clock::now();
                       // The status line speaks up after 10 s of paging, here after the 1 s the
                       // test sets: still thousands of pages, each of which a transcript that
                       // logged every repeat would hold.
                       EXPECT_TRUE(WaitUntil([&] { return Has(OutSoFar(), says); }, 30s)) << OutSoFar();
                       paged = std::chrono::steady_clock::now() - start;
                       pages = sim.Wire().size() - 2;
                       kill(updater.pid, SIGTERM);
                   },
                   .stderrFile = transcript,
                   .sim = &sim,
                   .env = {"QZ7_TEST_TIMES=paging=1s"}};
    CliRun run = RunCli({"--yes", "--port", sim.SlavePath()}, "", setup);
    std::ifstream file(transcript, std::ios::ate);
    const auto size = static_cast<long>(file.tellg());
    ::unlink(transcript.c_str());
    std::printf("%zu pages answered in %.1f s, transcript %ld bytes\n", pages, paged.count(), size);
    EXPECT_GT(pages, 1000u);
    EXPECT_LT(size, 200000);
    EXPECT_TRUE(Has(run.out, says)) << run.out;
    EXPECT_EQ(run.status, 130) << run.out;
}

// One wait shortened at a time, to 300 ms: its hint (or outcome) comes within 3 s, where the
// program's own wait is 5 s or more, so each name reaches its own wait and no other.
TEST(Cli, EachNameInQZ7_TEST_TIMESReachesItsOwnWait)
{
    struct ShortWait {
        const char* times;
        std::function<void(bootsim::Options&)> sim;  // none: discovery, with only ttyS0 listed
        const char* says;
        int status;  // 130: the test ends it once it has said so
    };
    const std::vector<ShortWait> waits{
        {"power-on-silence=300ms", [](bootsim::Options& o) { o.silentFrom = bootsim::Stage::Banner; }, "Nothing from the QZ7 for ", 130},
        {"silence=300ms", [](bootsim::Options& o) { o.silentFrom = bootsim::Stage::Version; }, "No answer from the QZ7 for ", 130},
        {"unreadable=300ms", [](bootsim::Options& o) { o.highByteAt = bootsim::Stage::Banner; }, "what the updater cannot read", 130},
        {"paging=300ms", [](bootsim::Options& o) { o.replies[bootsim::Stage::Prompt] = "What?"; }, " times without \"E or P?\"", 130},
        {"write-stall=300ms", [](bootsim::Options& o) { o.burstAsterisks = 3000; o.burstStall = 8000ms; },
         "QZ7 stopped accepting data. Please restart", 13},
        // Discovery instead of --port, with only a port the choice rule never takes listed.
        {"no-adapter=300ms", nullptr, "No USB serial adapter found. Seen: /dev/ttyS0, not a USB adapter.", 130},
    };
    // Every wait side by side, each with a simulator and an output file of its own.
    std::vector<std::unique_ptr<bootsim::BootSim>> sims;
    std::vector<std::future<CliRun>> runs;
    for (std::size_t i = 0; i < waits.size(); ++i) {
        const ShortWait& c = waits[i];
        bootsim::Options o = FastSim();
        if (c.sim)
            c.sim(o);
        bootsim::BootSim& sim = *sims.emplace_back(std::make_unique<bootsim::BootSim>(o));
        ASSERT_TRUE(sim.Open());
        sim.Start();
        runs.push_back(std::async(std::launch::async, [&c, &sim, i] {
            std::vector<std::string> args{"--yes", "--port", sim.SlavePath()};
            std::vector<std::string> env{std::string("QZ7_TEST_TIMES=") + c.times};
            if (!c.sim) {
                args = {"--yes"};
                env.push_back("QZ7_SERIAL_PORTS=ttyS0=/dev/ttyS0");
            }
            const std::string out = OutFile() + ".wait" + std::to_string(i);
            CliSetup setup{.meanwhile = [&](Updater& updater) {
                               EXPECT_TRUE(WaitUntil([&] { return Has(FileText(out), c.says); }, 3s)) << c.times << FileText(out);
                               if (c.status == 130)
                                   kill(updater.pid, SIGTERM);
                           },
                           .sim = &sim,
                           .env = env,
                           .outFile = out};
            return RunCli(args, "", setup);
        }));
    }
    for (std::size_t i = 0; i < waits.size(); ++i) {
        SCOPED_TRACE(waits[i].times);
        CliRun run = runs[i].get();
        EXPECT_EQ(run.status, waits[i].status) << run.out;
        EXPECT_TRUE(Has(run.out, waits[i].says)) << run.out;
    }
}

TEST(Cli, QZ7_TEST_TIMESIsReadOnceAndWhatItRefusesIsLogged)
{
    // Two units side by side, each with a controller of its own: one reading, one warning.
    Pty first, second;
    const std::string transcript = testing::TempDir() + "qz7-times-" + std::to_string(getpid()) + ".log";
    const std::string hint = "  Nothing from the QZ7 for ";
    CliSetup setup{.meanwhile = [&](Updater& updater) {
                       EXPECT_TRUE(WaitUntil([&] {
                           std::string out = OutSoFar();
                           return Has(out, first.path + ": " + hint) && Has(out, second.path + ": " + hint);
                       }, 3s)) << OutSoFar();
                       kill(updater.pid, SIGTERM);
                   },
                   .stderrFile = transcript,
                   .env = {"QZ7_TEST_TIMES=power-on-silence=200ms,powerOnSilence=1s"}};
    CliRun run = RunCli({"--yes", "--port", first.path, "--port", second.path}, "", setup);
    EXPECT_EQ(run.status, 130) << run.out;
    const std::string said = FileText(transcript);
    ::unlink(transcript.c_str());
    auto count = [&](const std::string& part) {
        int n = 0;
        for (std::size_t at = said.find(part); at != std::string::npos; at = said.find(part, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count(" qz7.dialogue warning: QZ7_TEST_TIMES refused \"powerOnSilence=1s\": no such wait ("), 1) << said;
    EXPECT_EQ(count(" qz7.dialogue info: QZ7_TEST_TIMES sets the waits for tests: power-on-silence 200 ms\n"), 1) << said;
}

TEST(PortList, MarksTheChoiceAndSaysWhyThroughTheProgramsOwnListing)
{
    // The real program, with the listing given through the environment as tests and benches do.
    int status = -1;
    std::string out = CommandOutput("QZ7_SERIAL_PORTS='ttyS0=/dev/ttyS0,usbserial-A1=/dev/cu.A1,Bluetooth=/dev/bt,"
                                    "usbLate' " QZ7_BINARY_DIR "/qz7-updater --list",
                                    status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("* /dev/cu.A1"), std::string::npos) << out;
    EXPECT_NE(out.find("  /dev/ttyS0"), std::string::npos) << out;
    EXPECT_NE(out.find("no device path"), std::string::npos) << out;
    EXPECT_NE(out.find("would use /dev/cu.A1: its name, usbserial-A1, holds \"usb\""), std::string::npos) << out;

    out = CommandOutput("QZ7_SERIAL_PORTS='ttyS0=/dev/ttyS0' " QZ7_BINARY_DIR "/qz7-updater --list", status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("would wait for an adapter"), std::string::npos) << out;
    EXPECT_EQ(out.find("*"), std::string::npos) << out;
}
