#include "run/Ledger.h"

#include "controller/Log.h"
#include "core/Words.h"
#include "run/Journal.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <sys/file.h>
#include <syslog.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Takes the lock at `path` without waiting: the descriptor, or -1 when another holds it or it
// cannot be made.
int TakeLock(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

bool JournalWanted()
{
    const char* value = std::getenv("QZ7_JOURNAL");
    const std::string v = value ? value : "";
    return v != "0" && v != "no" && v != "off";
}

std::shared_ptr<Ledger> Ledger::Open(const Options& options, std::string& error)
{
    std::unique_ptr<History> history = History::Open(options.historyFile, error);
    if (!history)
        return nullptr;
    std::shared_ptr<Ledger> ledger(new Ledger(options, std::move(history)));
    std::error_code ec;
    fs::create_directories(fs::path(ledger->LockPath("x")).parent_path(), ec);
    if (ec) {
        error = "cannot make the folder of the slots' locks: " + ec.message();
        return nullptr;
    }
    return ledger;
}

std::string Ledger::LockPath(const std::string& slot) const
{
    std::string name;
    for (unsigned char c : slot) {
        if (std::isalnum(c) || c == '.' || c == '_' || c == '-') {
            name += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            name += hex;
        }
    }
    return (fs::path(options_.historyFile).parent_path() / "slots" / (name + ".lock")).string();
}

std::vector<HistoryRecord> Ledger::LeftEmpty()
{
    return LeftEmptyOf(history_->OpenPending());
}

std::vector<HistoryRecord> Ledger::LeftEmptyOf(const std::vector<HistoryRecord>& candidates)
{
    // The free slots among the candidates' are held while the history is read again: an
    // updater replaces its pending record before it lets its slot go, so a record that ended
    // after `candidates` were read is no longer pending in that second reading, and no updater
    // can start on a held slot in the meantime.
    std::map<std::string, int> held;
    for (const HistoryRecord& record : candidates) {
        const std::string& slot = record.identity.slot;
        if (held.contains(slot))
            continue;
        if (int fd = TakeLock(LockPath(slot)); fd >= 0)
            held.emplace(slot, fd);
    }
    std::vector<HistoryRecord> left;
    if (!held.empty())
        for (HistoryRecord& record : history_->OpenPending())
            if (held.contains(record.identity.slot))
                left.push_back(std::move(record));
    for (const auto& [slot, fd] : held)
        ::close(fd);
    return left;
}

std::optional<HistoryRecord> Ledger::DoneAlready(const std::string& unit)
{
    std::optional<HistoryRecord> last = history_->LastUpdateOf(unit);
    if (last && last->outcome == "done" && last->identity.firmwareSha256 == Shipped().sha256)
        return last;
    return std::nullopt;
}

std::string DoneAlreadyText(const HistoryRecord& record)
{
    //: %1 the firmware version, %2 the time (UTC).
    return Words::Fill(Words::Tr("Terminal", "Last updated to %1 (Done) at %2: not updated again (--skip-done)."),
                       {record.identity.firmwareVersion, record.ended});
}

std::string LeftEmptyText(const HistoryRecord& record, bool inOperatorsLanguage)
{
    //: %1 the unit's name, %2 its slot (the USB socket), %3 the time (UTC).
    static const char* const pattern = QT_TRANSLATE_NOOP("Terminal", "The QZ7 %1 on %2 was left without firmware at %3; update it again.");
    const std::string unit = record.identity.unit.empty() ? record.port : record.identity.unit;
    return Words::Fill(inOperatorsLanguage ? Words::Tr("Terminal", pattern) : std::string(pattern),
                       {StatusText::PrintableText(unit), StatusText::PrintableText(record.identity.slot), record.erased});
}

UnitLedger::UnitLedger(std::shared_ptr<Ledger> ledger, Identity identity)
    : ledger_(std::move(ledger)), identity_(std::move(identity)), started_(records::Now())
{
}

UnitLedger::~UnitLedger()
{
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

bool UnitLedger::Bind(const std::string& port, const StatusText::AdapterFacts& adapter, const std::string& byPathDirectory,
                      const std::string& sysRoot)
{
    std::lock_guard lock(mutex_);
    return BindLocked(port, adapter, byPathDirectory, sysRoot);
}

bool UnitLedger::BindLocked(const std::string& port, const StatusText::AdapterFacts& adapter, const std::string& byPath,
                            const std::string& sysRoot)
{
    if (!port_.empty())
        return lockFd_ >= 0;
    port_ = port;
    const std::string unit = identity_.unit;
    identity_ = identity::ForUnit(identity_, port, adapter, unit, byPath, sysRoot);
    TakeSlot();
    return lockFd_ >= 0;
}

void UnitLedger::TakeSlot()
{
    // Another run's look for units left without firmware holds a slot's lock for a moment: tried
    // again for up to 100 ms before the slot counts as another updater's.
    for (int attempt = 0; attempt < 10 && lockFd_ < 0; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        lockFd_ = TakeLock(ledger_->LockPath(identity_.slot));
    }
}

void UnitLedger::Found(const std::optional<std::string>& version, VersionRelation relation)
{
    std::lock_guard lock(mutex_);
    version_ = version;
    relation_ = relation;
}

void UnitLedger::BeforeErase(const std::optional<std::string>& port)
{
    std::lock_guard lock(mutex_);
    if (ended_)
        throw std::runtime_error("the unit's run has ended: nothing is erased");
    // A port discovery chose and nobody told of yet: its facts as the system has them.
    if (port_.empty() && port) {
        StatusText::AdapterFacts adapter;
        adapter.path = *port;
        BindLocked(*port, adapter, identity::kByPathDirectory, "/sys");
    }
    // A pending record is its updater's only while that updater holds the slot: without the
    // lock, every other run would take it for a unit left without firmware.
    if (lockFd_ < 0 && !port_.empty())
        TakeSlot();
    if (lockFd_ < 0 && !port_.empty()) {
        error_ = "the slot " + identity_.slot + " is held by another run";
        throw std::runtime_error("the record before the erase could not be written (" + error_ + "): nothing is erased");
    }
    erased_ = records::Now();
    records::UnitEnd start{.port = port_, .versionFound = version_, .relation = relation_, .identity = identity_, .started = started_};
    pending_ = ledger_->Records().AddPending(start, erased_);
    if (!pending_) {
        error_ = ledger_->Records().Error();
        throw std::runtime_error("the record before the erase could not be written (" + error_ + "): nothing is erased");
    }
    QJsonObject fields = records::IdentityFields(identity_);
    fields.insert("port", records::Q(port_));
    fields.insert("erased", records::Q(erased_));
    fields.insert("id", static_cast<qint64>(*pending_));
    qCInfo(lcDialogue).noquote() << "pending record:" << QString::fromStdString(records::Line(fields));
    if (ledger_->Journal())
        journal::Send(journal::PendingMessage(start), LOG_WARNING, journal::RecordFields("pending", start, *pending_, erased_));
}

bool UnitLedger::End(records::UnitEnd& end)
{
    std::lock_guard lock(mutex_);
    end.identity = identity_;
    end.started = started_;
    if (end.port.empty())
        end.port = port_;
    end.ended = records::Now();
    if (ended_)
        return *ended_;
    if (!end.versionFound)
        end.versionFound = version_;
    const std::optional<std::int64_t> id = ledger_->Records().AddEnd(end, pending_, erased_);
    ended_ = id.has_value();
    if (!id)
        error_ = ledger_->Records().Error();
    if (ledger_->Journal())
        journal::Send(journal::EndMessage(end), RowOf(end.ending).endsWell ? LOG_INFO : LOG_WARNING,
                      journal::RecordFields("end", end, id.value_or(0), erased_));
    // The end is recorded: nothing of this unit is pending any more.
    if (lockFd_ >= 0) {
        ::close(lockFd_);
        lockFd_ = -1;
    }
    return *ended_;
}

Identity UnitLedger::identity() const
{
    std::lock_guard lock(mutex_);
    return identity_;
}

std::string UnitLedger::Error() const
{
    std::lock_guard lock(mutex_);
    return error_;
}
