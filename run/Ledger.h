#pragma once
// Where a run keeps its records: the history, the lock of each slot a unit runs on, and the
// journal. A unit's record goes to all of them: pending before the erase, and its end.
//
// A slot's lock is an flock(2) on <history's folder>/slots/<slot>.lock, held by the updater
// that runs a unit on that slot from the unit's start to its end record. The kernel lets it go
// when the process ends in any way, kill -9 included, so a pending record whose slot's lock can
// be taken belongs to no running updater: the update it stands for was cut off. (The port's
// own exclusive use, TIOCEXCL, would tell the same only by opening the device, which raises its
// modem lines and may reset what is on it, and says nothing once the adapter was unplugged.)
#include "run/History.h"
#include "run/Identity.h"
#include "run/Records.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Whether records go to the journal: yes, unless the environment's QZ7_JOURNAL is "0", "no" or
// "off" (the tests' runs, so that a developer's machine ships no test unit to its fleet).
bool JournalWanted();

class Ledger {
public:
    struct Options {
        std::string historyFile;  // History::DefaultPath() unless --history-file
        bool journal = true;      // also write each record to the system's journal
    };
    // Opens the history; none, with `error` set, when it cannot be opened or written.
    static std::shared_ptr<Ledger> Open(const Options& options, std::string& error);

    History& Records() { return *history_; }
    bool Journal() const { return options_.journal; }
    // The lock file of `slot`: its name with every byte but letters, digits and "._-" as %XX.
    std::string LockPath(const std::string& slot) const;

    // The pending records whose slot no running updater holds: units left without firmware.
    std::vector<HistoryRecord> LeftEmpty();
    // The same verdict on pending records read earlier (`candidates`), which may have ended since.
    std::vector<HistoryRecord> LeftEmptyOf(const std::vector<HistoryRecord>& candidates);
    // --skip-done: the unit's last update, when it ended in Done with the firmware this program
    // carries (its sha256); none when the unit is to be updated. A --check, a skip or a declined
    // question changes no firmware and does not count.
    std::optional<HistoryRecord> DoneAlready(const std::string& unit);

private:
    Ledger(Options options, std::unique_ptr<History> history) : options_(std::move(options)), history_(std::move(history)) {}
    Options options_;
    std::unique_ptr<History> history_;
};

// "The QZ7 <unit> on <slot> was left without firmware at <time>; update it again." (the unit's
// name, or its port where it has none; the time of the erase): in the operator's language, or
// as it stands for the --json event's message.
std::string LeftEmptyText(const HistoryRecord& record, bool inOperatorsLanguage = true);
// "Last updated to 2.007 (Done) at <time>: not updated again (--skip-done)."
std::string DoneAlreadyText(const HistoryRecord& record);

// One unit's records. Its calls may come from the unit's controller's worker (BeforeErase) and
// from the event loop (the rest); each is whole under the unit's own lock.
class UnitLedger {
public:
    // `identity`: the run's (ForRun), with the unit's name.
    UnitLedger(std::shared_ptr<Ledger> ledger, Identity identity);
    ~UnitLedger();

    // The unit's port is known (at once for a named port, when discovery opens one otherwise):
    // its slot, driver and adapter go into the identity, and the slot's lock is taken. Once; false
    // when another updater holds the slot.
    bool Bind(const std::string& port, const StatusText::AdapterFacts& adapter,
              const std::string& byPathDirectory = identity::kByPathDirectory, const std::string& sysRoot = "/sys");
    // The version the QZ7 reported, for the pending record.
    void Found(const std::optional<std::string>& version, VersionRelation relation);
    // Just before the erase command goes out (on the controller's worker), on `port`: the
    // pending record, in the history (on disk when this returns) and the journal. Throws
    // std::runtime_error, which stops the dialogue before the erase, when it could not be
    // written, or when the unit has ended already (a stop that came first).
    void BeforeErase(const std::optional<std::string>& port = std::nullopt);
    // The unit's end: `end` gets the identity and the times, replaces the pending record (or is
    // a new row), goes to the journal, and the slot's lock is let go. False, with Error() set,
    // when the history could not take it. Once; later calls return the first one's answer.
    bool End(records::UnitEnd& end);

    Identity identity() const;
    std::string Error() const;

private:
    bool BindLocked(const std::string& port, const StatusText::AdapterFacts& adapter, const std::string& byPath,
                    const std::string& sysRoot);
    void TakeSlot();  // the slot's lock, tried for up to 100 ms

    std::shared_ptr<Ledger> ledger_;
    mutable std::mutex mutex_;
    Identity identity_;
    std::string port_;  // empty until bound
    int lockFd_ = -1;
    const std::string started_;
    std::optional<std::string> version_;
    VersionRelation relation_ = VersionRelation::Unknown;
    std::optional<std::int64_t> pending_;
    std::string erased_;
    std::optional<bool> ended_;
    std::string error_;
};
