#include "core/Decision.h"

#include "firmware/Firmware.h"
#include "core/Endings.h"
#include "core/Version.h"
#include "hex/TextRules.h"

namespace {

bool Contains(const std::optional<std::string>& reply, const char* text)
{
    return reply && reply->find(text) != std::string::npos;
}

Action Write(char command) { return {.kind = Action::Write, .command = command}; }
Action Show(ScreenUpdate update) { return {.kind = Action::Show, .update = std::move(update)}; }
Action Start(Operation operation) { return {.kind = Action::Start, .operation = operation}; }
const Action kClose{.kind = Action::Close};
const Action kAdvance{.kind = Action::Advance};

// A reply the dialogue has no step for: the port is let go first, then the operator is told
// which reply it was.
std::vector<Action> Unexpected(const std::optional<std::string>& reply)
{
    return {kClose, Show(FailureScreen(Outcome::Unexpected, reply.value_or(std::string())))};
}

Decision DecideVersion(const std::optional<std::string>& reply, bool firmwareGood)
{
    Decision d;
    std::optional<std::string> version;
    if (Contains(reply, "V")) {
        // From the first "V" to the first line break, both left out; with no line break the
        // whole tail, its "V" kept.
        std::string tail = reply->substr(reply->find('V'));
        if (std::size_t lineEnd = FindLineEnd(tail); lineEnd != std::string::npos)
            tail = tail.substr(1, lineEnd - 1);
        version = tail;
        d.cutReply = tail;
        d.actions.push_back({.kind = Action::ClearReceiver});
    }
    // The drain leaves no reply behind it, so the prompt counts only where no version came.
    const bool promptOnly = !version && Contains(reply, "E or P");
    if (!version && !promptOnly) {
        // Neither a version nor the prompt: the dialogue rests with the port open.
        d.actions.push_back(Show(FailureScreen(Outcome::NoVersion)));
        return d;
    }
    if (!firmwareGood) {
        // Never offer an erase that could not be followed by a good image.
        d.actions.push_back(Show(FailureScreen(Outcome::ImageDamaged)));
        d.actions.push_back(kClose);
        return d;
    }
    d.actions.push_back(Show(QuestionScreen(version)));
    d.actions.push_back(kAdvance);
    return d;
}

}  // namespace

ScreenUpdate QuestionScreen(std::optional<std::string> version)
{
    const VersionRelation relation = version ? CompareWithCarried(*version) : VersionRelation::Unknown;
    ScreenUpdate screen{.directions = version ? DirectionsFact{Says::FoundVersion, *version} : DirectionsFact{Says::VersionNotFound},
                        .updateEnabled = true,
                        .cancelEnabled = true,
                        // A newer QZ7 is not downgraded by one Return: the focus waits on Cancel.
                        .focus = relation == VersionRelation::Newer ? Focus::Cancel : Focus::Update,
                        .question = true,
                        .scene = Scene::Question,
                        .version = version,
                        .relation = relation};
    // The directions keep their words; the status line says what the versions mean.
    if (relation == VersionRelation::Newer || relation == VersionRelation::Same)
        screen.status = StatusText::VersionFacts{VersionNumber(*version).value_or(std::string()), Firmware::Version, relation};
    return screen;
}

ScreenUpdate DoneScreen()
{
    return {.directions = DirectionsFact{Says::Done},
            .focus = Focus::NextUnit,
            .levelShown = false,
            .nextUnitShown = true,
            .ended = Outcome::Done};
}

Says EndSays(Outcome outcome)
{
    // Every end the dialogue can post has its directions in the table of endings.
    return RowOf(outcome).says.value_or(Says::Exception);
}

ScreenUpdate FailureScreen(Outcome outcome, std::string detail)
{
    return {.directions = DirectionsFact{EndSays(outcome), std::move(detail)}, .levelShown = false, .ended = outcome};
}

Decision Decide(Stage stage, const std::optional<std::string>& reply, bool firmwareGood)
{
    Decision d;
    switch (stage) {
    case Stage::AwaitingBanner:
        if (Contains(reply, "QZ-7"))
            d.actions = {Show({.picture = Picture::Device}), kAdvance, Start(Operation::ReadVersion)};
        else
            d.actions = Unexpected(reply);
        break;

    case Stage::AwaitingVersion:
        return DecideVersion(reply, firmwareGood);

    case Stage::AwaitingPrompt:
        if (Contains(reply, "E or P?")) {
            d.promptCame = true;
            d.actions = {Write('E'), Show({.scene = Scene::Erasing}), kAdvance, {.kind = Action::Pause}, Start(Operation::ReadThread)};
        } else {
            // Any other line (a menu the loader pages, its echo) is answered with one more "y".
            d.actions = {Write('y'), Start(Operation::ReadThread)};
        }
        break;

    case Stage::AwaitingErased:
        if (Contains(reply, "Erased") && Contains(reply, "Not"))
            d.actions = {Show(FailureScreen(Outcome::NotErased)), kClose};
        else if (Contains(reply, "Erased"))
            d.actions = {Write('P'), Show({.scene = Scene::Programming}), {.kind = Action::ResetProgress}, kAdvance,
                         Start(Operation::SendProgram)};
        else
            d.actions = Unexpected(reply);
        break;

    case Stage::AwaitingDone:
        // One verdict line taken alone. The controller reads the verdict through LoaderLines
        // (AwaitVerdict), which also weighs what follows a line and drops chatter, and ends it
        // with DecideLoaderEnd; this is the same rule for a line with nothing after it.
        // "Not Done", "Error: Not Done": a failure, never a success.
        if (Contains(reply, "Done") && Contains(reply, "Not"))
            d.actions = {Show(FailureScreen(Outcome::NotDone)), kClose};
        else if (Contains(reply, "Done"))
            d.actions = {Show(DoneScreen()), kClose};
        else
            d.actions = Unexpected(reply);
        break;

    default:
        d.actions = Unexpected(reply);
        break;
    }
    return d;
}

Decision DecideLoaderEnd(Outcome outcome)
{
    Decision d;
    if (outcome == Outcome::Done)
        d.actions = {Show(DoneScreen()), kClose};
    else
        d.actions = {kClose, Show(FailureScreen(outcome))};
    return d;
}

std::string Describe(const Decision& decision)
{
    static constexpr const char* kOperations[] = {"ReadVersion", "ReadThread", "SendProgram"};
    std::string out;
    for (const Action& a : decision.actions) {
        if (!out.empty())
            out += ", ";
        switch (a.kind) {
        case Action::Write: out += std::string("write ") + a.command; break;
        case Action::Show: out += "show"; break;
        case Action::Close: out += "close"; break;
        case Action::ClearReceiver: out += "clear"; break;
        case Action::Advance: out += "advance"; break;
        case Action::Pause: out += "pause"; break;
        case Action::ResetProgress: out += "progress 0"; break;
        case Action::Start: out += std::string("start ") + kOperations[static_cast<int>(a.operation)]; break;
        }
    }
    return out;
}
