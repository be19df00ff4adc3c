#include "controller/QZ7_UpdaterAppDelegate.h"
#include "core/ReplyRules.h"

#include <exception>

using namespace std::chrono_literals;

namespace {
bool Contains(const std::optional<std::string>& reply, const char* text)
{
    return reply && reply->find(text) != std::string::npos;
}
}  // namespace

void QZ7_UpdaterAppDelegate::EndOnUnexpected(const std::optional<std::string>& reply)
{
    ClosePort();
    PostFailure(Outcome::Unexpected, Directions::Unexpected(reply.value_or(std::string())));
}

void QZ7_UpdaterAppDelegate::ReceivedSomething()
{
    const Stage current = state();
    try {
        std::optional<std::string> reply = ReceivedString();
        switch (current) {
        case Stage::AwaitingBanner:
            if (Contains(reply, "QZ-7")) {
                Post({.picture = Picture::Device});
                Advance();
                StartBackground(&QZ7_UpdaterAppDelegate::ReadVersion);
            } else {
                EndOnUnexpected(reply);
            }
            break;

        case Stage::AwaitingVersion: {
            bool answered = false;
            std::optional<std::string> version;
            if (Contains(reply, "V")) {
                std::string tail = reply->substr(reply->find('V'));
                setReceivedString(tail);
                std::size_t lineEnd = FindLineEnd(tail);
                if (lineEnd != std::string::npos) {
                    tail = tail.substr(1, lineEnd - 1);
                    setReceivedString(tail);
                }
                version = tail;
                ClearReceiver();
                answered = true;
            }
            bool promptOnly = Contains(ReceivedString(), "E or P");
            if (!answered && !promptOnly) {
                // Neither a version nor the prompt: the dialogue rests with the port open.
                PostFailure(Outcome::NoVersion, Directions::NoVersion);
                break;
            }
            if (!firmwareGood_) {
                // Never offer an erase that could not be followed by a good image.
                PostFailure(Outcome::ImageDamaged, Directions::ImageDamaged);
                ClosePort();
                break;
            }
            if (answered) {
                Post(Question(Directions::FoundVersion(*version)));
                Advance();
            }
            if (promptOnly) {
                Post(Question(Directions::VersionNotFound));
                Advance();
            }
            break;
        }

        case Stage::AwaitingPrompt:
            // A command that could not go out has ended the dialogue with its own message.
            if (Contains(reply, "E or P?")) {
                EndPaging();
                if (!WriteString("E", 1))
                    break;
                Advance();
                Pause(50ms);
            } else if (!WriteString("y", 1)) {
                break;
            }
            StartBackground(&QZ7_UpdaterAppDelegate::ReadThread);
            break;

        case Stage::AwaitingErased:
            if (Contains(reply, "Erased") && Contains(reply, "Not")) {
                PostFailure(Outcome::NotErased, Directions::NotErased);
                ClosePort();
            } else if (Contains(reply, "Erased")) {
                if (!WriteString("P", 1))
                    break;
                setProgress(0.0f);
                Advance();
                StartBackground(&QZ7_UpdaterAppDelegate::SendProgram);
            } else {
                EndOnUnexpected(reply);
            }
            break;

        case Stage::AwaitingDone:
            // "Not Done", "Error: Not Done": a failure, never a success.
            if (Contains(reply, "Done") && Contains(reply, "Not")) {
                PostFailure(Outcome::NotDone, Directions::NotDone);
                ClosePort();
            } else if (Contains(reply, "Done")) {
                Post({.directions = Directions::Done,
                      .focus = Focus::NextUnit,
                      .levelShown = false,
                      .nextUnitShown = true,
                      .ended = Outcome::Done});
                ClosePort();
            } else {
                EndOnUnexpected(reply);
            }
            break;

        default:
            EndOnUnexpected(reply);
            break;
        }
    } catch (const std::exception& e) {
        // The port is let go too: a dialogue stopped by an exception must not leave it raw and
        // held.
        EndOnException(e.what());
    }
}
