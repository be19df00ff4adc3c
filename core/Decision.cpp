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
const Action kPause{.kind = Action::Pause};

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

bool IsPage(Stage stage, const std::optional<std::string>& reply)
{
    return stage == Stage::AwaitingPrompt && !Contains(reply, "E or P?");
}

namespace {

Decision DecideReply(Stage stage, const std::optional<std::string>& reply, bool firmwareGood)
{
    Decision d;
    switch (stage) {
    case Stage::AwaitingBanner:
        // The banner is answered with "y" at once; the version reply is read 50 ms later.
        if (Contains(reply, "QZ-7"))
            d.actions = {Show({.picture = Picture::Device}), kAdvance, Write('y'), kPause, Start(Operation::ReadVersion)};
        else
            d.actions = Unexpected(reply);
        break;

    case Stage::AwaitingVersion:
        return DecideVersion(reply, firmwareGood);

    case Stage::AwaitingPrompt:
        if (!IsPage(stage, reply)) {
            d.promptCame = true;
            d.actions = {Write('E'), Show({.scene = Scene::Erasing}), kAdvance, kPause, Start(Operation::ReadThread)};
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
        // with a LoaderEnd event; this is the same rule for a line with nothing after it.
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

}  // namespace

Decision Decide(const At& at, const Event& event)
{
    Decision d;
    switch (event.kind) {
    case Event::Searching:
        d.actions = {Show({.directions = DirectionsFact{Says::ConnectAdapter}, .scene = Scene::ConnectAdapter})};
        break;
    case Event::PortOpened:
        // Old input is dropped before the prompt; but a QZ7 switched on at once may have sent its
        // banner between the opening and now, and would then wait for a "y" that never comes: a
        // banner among the drained bytes is the QZ7's answer, and the reader takes it from there.
        d.actions = {Show({.directions = DirectionsFact{Says::PowerOn}, .scene = Scene::PowerOn}),
                     {.kind = Action::DrainKeepingBanner}, Start(Operation::ReadThread)};
        break;
    case Event::Reply:
        return DecideReply(at.stage, event.reply, at.firmwareGood);
    case Event::ImageSent:
        // After the last line: the loader's verdict, judged as its lines were during the transfer.
        d.actions = {Start(Operation::AwaitVerdict)};
        break;
    case Event::LoaderEnd:
        if (event.outcome == Outcome::Done)
            d.actions = {Show(DoneScreen()), kClose};
        else
            d.actions = {kClose, Show(FailureScreen(event.outcome))};
        break;
    case Event::HangUp:
        d.actions = {kClose, Show(FailureScreen(Outcome::Disconnected))};
        break;
    case Event::Stalled:
        d.actions = {kClose, Show(FailureScreen(Outcome::Stopped))};
        break;
    case Event::Unopened:
        // Nothing went out and nothing is closed: the port was closed already.
        d.actions = {Show({.directions = DirectionsFact{Says::Unopened}, .ended = Outcome::Unopened})};
        break;
    case Event::Exception:
        // The port is let go too: a dialogue stopped by an exception must not leave it raw and held.
        d.actions = {kClose, Show(FailureScreen(Outcome::Exception, event.detail))};
        break;
    case Event::UpdatePressed:
        // Both buttons go grey before anything else, so that a second press cannot come. A stuck
        // output queue may hold the "y" for seconds: it goes out on the worker, and only a "y"
        // that went out leads on to the progress screen and the reader.
        d.actions = {{.kind = Action::ShowNow, .update = {.updateEnabled = false, .cancelEnabled = false}},
                     {.kind = Action::Defer},
                     Write('y'),
                     Show({.directions = DirectionsFact{Says::Updating},
                           .updateEnabled = false,
                           .cancelEnabled = false,
                           .levelShown = true,
                           .scene = Scene::Updating}),
                     Start(Operation::ReadThread)};
        break;
    case Event::CancelPressed:
        d.actions = {Show({.updateEnabled = false, .cancelEnabled = false}), kClose, {.kind = Action::Cancelled}};
        break;
    case Event::NextUnit:
        // Only a dialogue that has ended on screen is left, and only once: a second press (Return
        // held, a double click) finds the start-over already under way and does nothing. The
        // next unit starts from discovery, after every operation of the last one.
        if (at.ended)
            d.actions = {{.kind = Action::ShowNow, .update = {.nextUnitShown = false}},
                         {.kind = Action::NewUnit},
                         Show({.picture = Picture::None,
                               .updateEnabled = false,
                               .cancelEnabled = false,
                               .level = 0,
                               .levelShown = false}),
                         Start(Operation::StartOver)};
        break;
    }
    return d;
}

Decision Decide(Stage stage, const std::optional<std::string>& reply, bool firmwareGood)
{
    return Decide(At{.stage = stage, .firmwareGood = firmwareGood}, Event{.kind = Event::Reply, .reply = reply});
}

Decision DecideLoaderEnd(Outcome outcome)
{
    return Decide(At{.stage = Stage::AwaitingDone}, Event{.kind = Event::LoaderEnd, .outcome = outcome});
}

std::string Describe(const Decision& decision)
{
    static constexpr const char* kOperations[] = {"ReadVersion", "ReadThread", "SendProgram", "AwaitVerdict", "StartOver"};
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
        case Action::ShowNow: out += "show now"; break;
        case Action::Defer: out += "then on the worker"; break;
        case Action::DrainKeepingBanner: out += "drain"; break;
        case Action::Cancelled: out += "cancelled"; break;
        case Action::NewUnit: out += "new unit"; break;
        }
    }
    return out;
}
