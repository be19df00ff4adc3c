#include "core/Words.h"

#include "core/Directions.h"
#include "core/OneLine.h"
#include "core/Status.h"

#include <cstring>

namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

Words::Translation translation = nullptr;

// Each text of the directions with more than one line, as one line: the English that the rule
// makes of it. A text added to the directions with a line break gets its row here (a test says
// so) and its translation in the catalogs.
const Words::OneLineText kOneLine[] = {
    {Says::VersionNotFound, QT_TRANSLATE_NOOP("OneLine", "Version not Found. Update anyway?")},
    {Says::NotErased, QT_TRANSLATE_NOOP("OneLine", "Not Erased. Please restart the program and the QZ7")},
    {Says::Disconnected, QT_TRANSLATE_NOOP("OneLine", "USB adapter disconnected. Please restart the program and the QZ7")},
    {Says::NoVersion, QT_TRANSLATE_NOOP("OneLine", "No version reply. Please restart the program and the QZ7")},
    {Says::ImageDamaged, QT_TRANSLATE_NOOP("OneLine", "Firmware image damaged. Please reinstall the program")},
    {Says::NotDone, QT_TRANSLATE_NOOP("OneLine", "Not Done. Please restart the program and the QZ7")},
    {Says::Restarted, QT_TRANSLATE_NOOP("OneLine", "QZ7 restarted during the update. It has no firmware now. Restart the program,"
                                                   " power on the QZ7 while holding Run/Stop, and update again")},
    {Says::Stopped, QT_TRANSLATE_NOOP("OneLine", "QZ7 stopped accepting data. Please restart the program and the QZ7")},
    {Says::EndedEarly, QT_TRANSLATE_NOOP("OneLine", "QZ7 stopped before the whole image was sent. It has no firmware now. Restart the"
                                                    " program, power on the QZ7 while holding Run/Stop, and update again")},
    //: %1 the version the QZ7 reported, %2 the firmware this program carries.
    {Says::FoundVersion, QT_TRANSLATE_NOOP("OneLine", "Found Version: %1. Update To: QZ7 V%2?")},
    //: %1 the QZ7's reply as it sent it (at most 40 characters, escaped).
    {Says::Unexpected, QT_TRANSLATE_NOOP("OneLine", "Unexpected reply: %1. Please restart the program and the QZ7")},
    //: %1 the error's own text, from the system.
    {Says::Exception, QT_TRANSLATE_NOOP("OneLine", "An Exception Occured: %1")},
};
thread_local bool english = false;

// English for the rendering in hand, on this thread.
class EnglishWhile {
public:
    explicit EnglishWhile(Words::Language language) : was_(english) { english = english || language == Words::Language::English; }
    ~EnglishWhile() { english = was_; }

private:
    bool was_;
};

}  // namespace

void Words::InstallTranslation(Translation t)
{
    translation = t;
}

bool Words::Translated()
{
    return translation != nullptr;
}

bool Words::RenderingEnglish()
{
    return english || !translation;
}

std::string Words::ErrorText(int error)
{
    return RenderingEnglish() ? EnglishErrorText(error) : std::string(std::strerror(error));
}

std::string Words::EnglishErrorText(int error)
{
    // glibc's own English description, which no locale translates.
    if (const char* text = strerrordesc_np(error))
        return text;
    return "Unknown error " + std::to_string(error);
}

std::string Words::Tr(const char* context, const char* source)
{
    return translation && !english ? translation(context, source, nullptr, -1) : std::string(source);
}

std::string Words::TrN(const char* context, const char* plural, const char* singular, long n)
{
    std::string text = translation && !english ? translation(context, plural, singular, static_cast<int>(n))
                                               : std::string(n == 1 ? singular : plural);
    const std::string number = std::to_string(n);
    for (std::size_t at = text.find("%n"); at != std::string::npos; at = text.find("%n", at + number.size()))
        text.replace(at, 2, number);
    return text;
}

std::string Words::Fill(std::string_view pattern, std::initializer_list<std::string> args)
{
    std::string out;
    out.reserve(pattern.size() + 32);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size()) {
                out += *(args.begin() + n);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::string Words::Sentences(const std::string& first, const std::string& second)
{
    //: Two sentences in a row: the first (%1), then the next (%2).
    return Fill(Tr("Words", "%1 %2"), {first, second});
}

std::string Words::Directions(const DirectionsFact& fact, Language language)
{
    const EnglishWhile scope(language);
    namespace D = ::Directions;
    auto words = [](const char* source) { return Tr("Directions", source); };
    switch (fact.says) {
    case Says::ConnectAdapter: return words(D::ConnectAdapter);
    case Says::PowerOn: return words(D::PowerOn);
    case Says::FoundVersion: return D::FoundVersion(fact.detail);
    case Says::VersionNotFound: return words(D::VersionNotFound);
    case Says::Updating: return words(D::Updating);
    case Says::Done: return words(D::Done);
    case Says::NotErased: return words(D::NotErased);
    case Says::Unopened: return words(D::Unopened);
    case Says::Disconnected: return words(D::Disconnected);
    case Says::NoVersion: return words(D::NoVersion);
    case Says::ImageDamaged: return words(D::ImageDamaged);
    case Says::NotDone: return words(D::NotDone);
    case Says::Restarted: return words(D::Restarted);
    case Says::Stopped: return words(D::Stopped);
    case Says::EndedEarly: return words(D::EndedEarly);
    case Says::Unexpected: return D::Unexpected(fact.detail);
    case Says::Exception: return D::Exception(fact.detail.c_str());
    }
    return {};
}

std::span<const Words::OneLineText> Words::OneLineTexts()
{
    return kOneLine;
}

std::string Words::DirectionsOneLine(const DirectionsFact& fact, Language language)
{
    const EnglishWhile scope(language);
    if (!RenderingEnglish())
        for (const OneLineText& row : kOneLine)
            if (row.says == fact.says) {
                const std::string pattern = Tr("OneLine", row.text);
                switch (fact.says) {
                case Says::FoundVersion: return ::Directions::FoundVersionIn(pattern, fact.detail);
                case Says::Unexpected: return ::Directions::UnexpectedIn(pattern, fact.detail);
                case Says::Exception: return Fill(pattern, {fact.detail});
                default: return pattern;
                }
            }
    return OneLine(Directions(fact), RenderingEnglish() ? Language::English : Language::Operator);
}

std::string Words::Status(const StatusFact& fact, Language language)
{
    const EnglishWhile scope(language);
    using namespace StatusText;
    return std::visit(Overloaded{
                          [](std::monostate) { return std::string(); },
                          [](const PermissionFacts& f) { return Permission(f); },
                          [](const BusyFacts& f) { return Busy(f.device, f.holders, f.grabbers); },
                          [](const OpenErrorFacts& f) { return OpenError(f.device, f.step, f.error); },
                          [](const NotAdapterFacts& f) { return NotAdapter(f); },
                          [](const AdapterFacts& f) { return Adapter(f); },
                          [](const SearchFacts& f) { return Search(f); },
                          [](const PowerOnSilenceFacts& f) { return PowerOnSilence(f.quiet); },
                          [](const SilenceFacts& f) { return Silence(f.quiet); },
                          [](const NotAwaitedFacts& f) { return NotAwaited(f.received, f.stage, f.lastLine); },
                          [](const PagingFacts& f) { return Paging(f.count, f.lastReply); },
                          [](const ProgressFacts& f) { return Progress(f.line, f.lines, f.bytesPerSecond, f.secondsLeft); },
                          [](const SummaryFacts& f) { return Done(f.lines, f.bytes, f.seconds, f.nextUnitButton); },
                          [](const FailureFacts& f) { return Failure(f); },
                          [](const VersionFacts& f) { return Version(f); },
                      },
                      fact);
}

std::string Words::Command(const StatusFact& fact)
{
    if (const auto* permission = std::get_if<StatusText::PermissionFacts>(&fact))
        return StatusText::PermissionCommand(*permission);
    if (const auto* search = std::get_if<StatusText::SearchFacts>(&fact); search && search->brltty)
        return StatusText::kRemoveBrltty;
    return {};
}

Words::AroundCommand Words::StatusAroundCommand(const StatusFact& fact)
{
    const std::string words = Status(fact);
    const std::string command = Command(fact);
    const std::size_t at = command.empty() ? std::string::npos : words.find("\n" + command + "\n");
    if (at == std::string::npos)
        return {words, {}, {}};
    return {words.substr(0, at), command, words.substr(at + command.size() + 2)};
}

StatusKind Words::Kind(const StatusFact& fact)
{
    return std::visit(Overloaded{
                          [](const StatusText::ProgressFacts&) { return StatusKind::Progress; },
                          [](const StatusText::SummaryFacts&) { return StatusKind::Summary; },
                          [](const StatusText::PowerOnSilenceFacts&) { return StatusKind::PowerOnSilence; },
                          [](const StatusText::SilenceFacts&) { return StatusKind::Silence; },
                          [](const StatusText::PagingFacts&) { return StatusKind::Paging; },
                          [](const auto&) { return StatusKind::Plain; },
                      },
                      fact);
}

std::optional<int> Words::LinesSent(const StatusFact& fact)
{
    if (const auto* progress = std::get_if<StatusText::ProgressFacts>(&fact))
        return progress->taken;
    if (const auto* summary = std::get_if<StatusText::SummaryFacts>(&fact))
        return summary->lines;
    if (const auto* failure = std::get_if<StatusText::FailureFacts>(&fact); failure && failure->lines > 0)
        return failure->taken;
    return std::nullopt;
}

bool Words::AdapterUnusable(const StatusFact& fact)
{
    return std::holds_alternative<StatusText::PermissionFacts>(fact) || std::holds_alternative<StatusText::BusyFacts>(fact) ||
           std::holds_alternative<StatusText::OpenErrorFacts>(fact);
}
