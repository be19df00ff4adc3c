#include "core/Words.h"

#include "core/Directions.h"
#include "core/Status.h"

#include <type_traits>

namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

}  // namespace

std::string Words::Directions(const DirectionsFact& fact)
{
    namespace D = ::Directions;
    switch (fact.says) {
    case Says::ConnectAdapter: return D::ConnectAdapter;
    case Says::PowerOn: return D::PowerOn;
    case Says::FoundVersion: return D::FoundVersion(fact.detail);
    case Says::VersionNotFound: return D::VersionNotFound;
    case Says::Updating: return D::Updating;
    case Says::Done: return D::Done;
    case Says::NotErased: return D::NotErased;
    case Says::Unopened: return D::Unopened;
    case Says::Disconnected: return D::Disconnected;
    case Says::NoVersion: return D::NoVersion;
    case Says::ImageDamaged: return D::ImageDamaged;
    case Says::NotDone: return D::NotDone;
    case Says::Restarted: return D::Restarted;
    case Says::Stopped: return D::Stopped;
    case Says::EndedEarly: return D::EndedEarly;
    case Says::Unexpected: return D::Unexpected(fact.detail);
    case Says::Exception: return D::Exception(fact.detail.c_str());
    }
    return {};
}

std::string Words::Status(const StatusFact& fact)
{
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
                          [](const SummaryFacts& f) { return Done(f.lines, f.bytes, f.seconds); },
                          [](const FailureFacts& f) { return Failure(f); },
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
        return progress->line;
    if (const auto* summary = std::get_if<StatusText::SummaryFacts>(&fact))
        return summary->lines;
    return std::nullopt;
}
