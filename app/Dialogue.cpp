#include "QZ7_UpdaterAppDelegate.h"
#include "ReplyRules.h"

#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
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
    PostDirections(Directions::Unexpected(reply.value_or(std::string())));
}

void QZ7_UpdaterAppDelegate::ReceivedSomething()
{
    const uint32_t current = state();
    try {
        std::optional<std::string> reply = ReceivedString();
        switch (current) {
        case AwaitingBanner:
            if (Contains(reply, "QZ-7")) {
                Post([this] {
                    ImageView()->setHidden(false);
                    // Through QIcon, which picks QZ7@2x.png on a high-density screen.
                    ImageView()->setPixmap(QIcon(QStringLiteral(":/QZ7.png")).pixmap(QSize(400, 180), ImageView()->devicePixelRatioF()));
                });
                Advance();
                StartBackground(&QZ7_UpdaterAppDelegate::ReadVersion);
            } else {
                EndOnUnexpected(reply);
            }
            break;

        case AwaitingVersion: {
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
                PostDirections(Directions::NoVersion);
                break;
            }
            if (!firmwareGood_) {
                // Never offer an erase that could not be followed by a good image.
                PostDirections(Directions::ImageDamaged);
                ClosePort();
                break;
            }
            if (answered) {
                Post([this, text = *version] {
                    ShowQuestion(QString::fromStdString(Directions::FoundVersion(text)));
                });
                Advance();
            }
            if (promptOnly) {
                Post([this] { ShowQuestion(QString::fromLatin1(Directions::VersionNotFound)); });
                Advance();
            }
            break;
        }

        case AwaitingPrompt:
            if (Contains(reply, "E or P?")) {
                WriteString("E", 1);
                Advance();
                Pause(50ms);
            } else {
                WriteString("y", 1);
            }
            StartBackground(&QZ7_UpdaterAppDelegate::ReadThread);
            break;

        case AwaitingErased:
            if (Contains(reply, "Erased") && Contains(reply, "Not")) {
                Post([this] {
                    DirectionsView()->setText(QString::fromLatin1(Directions::NotErased));
                    LevelIndicatorVew()->setHidden(true);
                });
                ClosePort();
            } else if (Contains(reply, "Erased")) {
                WriteString("P", 1);
                setProgress(0.0f);
                Advance();
                StartBackground(&QZ7_UpdaterAppDelegate::SendProgram);
            } else {
                EndOnUnexpected(reply);
            }
            break;

        case AwaitingDone:
            if (Contains(reply, "Done")) {
                Post([this] {
                    DirectionsView()->setText(QString::fromLatin1(Directions::Done));
                    LevelIndicatorVew()->setHidden(true);
                    if (NextUnitButtonView()) {
                        NextUnitButtonView()->setHidden(false);
                        NextUnitButtonView()->setFocus();
                    }
                });
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
        PostDirections(Directions::Exception(e.what()));
    }
}
