#include "controller/QZ7_UpdaterAppDelegate.h"
#include "core/Decision.h"

#include <exception>

using namespace std::chrono_literals;

void QZ7_UpdaterAppDelegate::ReceivedSomething()
{
    // The decision is the dialogue's rule (core/Decision.cpp); this carries it out on the port,
    // the screen and the worker.
    try {
        const Decision decision = Decide(state(), ReceivedString(), firmwareGood_);
        if (decision.cutReply)
            setReceivedString(decision.cutReply);
        if (decision.promptCame)
            EndPaging();
        Carry(decision);
    } catch (const std::exception& e) {
        // The port is let go too: a dialogue stopped by an exception must not leave it raw and
        // held.
        EndOnException(e.what());
    }
}

bool QZ7_UpdaterAppDelegate::Carry(const Decision& decision)
{
    for (const Action& action : decision.actions) {
        switch (action.kind) {
        case Action::Write:
            // A command that could not go out has ended the dialogue with its own message.
            if (!WriteString(std::string(1, action.command), 1))
                return false;
            break;
        case Action::Show: Post(action.update); break;
        case Action::Close: ClosePort(); break;
        case Action::ClearReceiver: ClearReceiver(); break;
        case Action::Advance: Advance(); break;
        case Action::Pause: Pause(50ms); break;
        case Action::ResetProgress: setProgress(0.0f); break;
        case Action::Start:
            switch (action.operation) {
            case Operation::ReadVersion: StartBackground(&QZ7_UpdaterAppDelegate::ReadVersion); break;
            case Operation::ReadThread: StartBackground(&QZ7_UpdaterAppDelegate::ReadThread); break;
            case Operation::SendProgram: StartBackground(&QZ7_UpdaterAppDelegate::SendProgram); break;
            }
            break;
        }
    }
    return true;
}
