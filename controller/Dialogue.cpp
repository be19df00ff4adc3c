#include "controller/QZ7_UpdaterAppDelegate.h"
#include "core/Decision.h"

#include <exception>
#include <iterator>

using namespace std::chrono_literals;

void QZ7_UpdaterAppDelegate::ReceivedSomething()
{
    try {
        const Decision decision = Decide(Now(), {.kind = Event::Reply, .reply = ReceivedString()});
        if (decision.cutReply)
            setReceivedString(decision.cutReply);
        if (decision.promptCame)
            EndPaging();
        Carry(decision);
    } catch (const std::exception& e) {
        EndOnException(e.what());
    }
}

At QZ7_UpdaterAppDelegate::Now() const
{
    return {.stage = state(), .firmwareGood = firmwareGood_, .ended = ended_.load()};
}

bool QZ7_UpdaterAppDelegate::Report(const Event& event)
{
    return Carry(Decide(Now(), event));
}

bool QZ7_UpdaterAppDelegate::Carry(const Decision& decision)
{
    // Every decision is the dialogue's rule (core/Decision.cpp); this carries it out on the port,
    // the screen and the worker, and decides nothing.
    for (auto it = decision.actions.begin(); it != decision.actions.end(); ++it) {
        const Action& action = *it;
        switch (action.kind) {
        case Action::Write:
            // The record of a unit about to be erased goes first; when it cannot be kept, the
            // hook throws and nothing is erased.
            if (action.command == 'E' && beforeErase_)
                beforeErase_();
            // A command that could not go out has ended the dialogue with its own message.
            if (!WriteString(std::string(1, action.command), 1))
                return false;
            break;
        case Action::Show: Post(action.update); break;
        case Action::Close: ClosePort(); break;
        case Action::ClearReceiver: ClearReceiver(); break;
        case Action::Advance: Advance(); break;
        case Action::Pause: Pause(commandPause_); break;
        case Action::ResetProgress: setProgress(0.0f); break;
        case Action::Start:
            switch (action.operation) {
            case Operation::ReadVersion: StartBackground(&QZ7_UpdaterAppDelegate::ReadVersion); break;
            case Operation::ReadThread: StartBackground(&QZ7_UpdaterAppDelegate::ReadThread); break;
            case Operation::SendProgram: StartBackground(&QZ7_UpdaterAppDelegate::SendProgram); break;
            case Operation::AwaitVerdict: StartBackground(&QZ7_UpdaterAppDelegate::AwaitVerdict); break;
            case Operation::StartOver: StartBackground(&QZ7_UpdaterAppDelegate::StartOver); break;
            }
            break;
        case Action::ShowNow: Show(action.update); break;
        case Action::Defer: {
            Decision rest;
            rest.actions.assign(std::next(it), decision.actions.end());
            StartBackground([this, rest = std::move(rest)] { Carry(rest); });
            return true;
        }
        case Action::DrainKeepingBanner: DrainKeepingBanner(); break;
        case Action::Cancelled:
            if (frontEnd_)
                frontEnd_->Cancelled();
            break;
        case Action::NewUnit:
            ended_ = false;
            status_.SetBase({});  // the last unit's summary goes with it
            break;
        }
    }
    return true;
}
