#pragma once
#include "hex/CaptureFormat.h"
#include "serial/Port.h"
#include "serial/PortOpening.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// A capture of one opening of the port (--capture FILE): every read that brought bytes, every
// write, a hang-up and the close, each with its time since the open, in the line format of
// hex/CaptureFormat.h, behind a header and before the outcome.
//
// Recording must not slow the dialogue: an event is formatted once, into one buffer, under a
// short lock (the lines kept in memory, which the file's writer reads from too, or the file's own
// buffer once the memory bound is reached), and a writer thread of the session's own puts the
// new bytes on disk every 200 ms, or sooner once 1 MiB is waiting. Nothing is fsync'd per
// event; the file is synced once, when the session ends. A disk that stalls holds only the
// writer; past 16 MiB waiting, events are dropped and counted in the end line rather than making
// the reader wait.
class CaptureSession {
public:
    using Clock = std::chrono::steady_clock;
    // Key and JSON value (already quoted where a string) of the header, in order.
    using Fields = std::vector<std::pair<std::string, std::string>>;

    // A session that writes `file` (made anew) when one is given, and keeps up to `keep` bytes
    // of its lines in memory for a report. `opened` is the time zero of its events.
    CaptureSession(std::optional<std::string> file, std::size_t keep, Clock::time_point opened, const Fields& header);
    ~CaptureSession();
    CaptureSession(const CaptureSession&) = delete;
    CaptureSession& operator=(const CaptureSession&) = delete;

    // The reason the file could not be made or written; empty while all is well.
    std::string Error() const;
    const std::optional<std::string>& File() const { return file_; }

    void Read(const char* bytes, std::size_t count);
    void Write(const char* bytes, std::size_t count);
    void HangUp(int error);
    void Stalled(std::size_t sent);
    void Close();
    // How the run ended, for the end line (the last one given counts): its fields, each a key
    // and a JSON value.
    void SetOutcome(Fields outcome);
    // Writes the end line, puts everything on disk and syncs it. Idempotent; later events are
    // dropped.
    void Finish();
    // The lines kept in memory, with the end line as it stands now (written or not yet); and
    // whether the memory bound cut them short.
    std::string Kept() const;
    bool KeptWhole() const;

private:
    long long Micros() const;
    void Add(const std::string& line);
    void AddBytes(const char* kind, const char* bytes, std::size_t count);
    // Under mutex_: the buffer a line of at most `bound` bytes goes to (none: dropped), and the
    // bytes the file has yet to get.
    std::string* Target(std::size_t bound);
    std::size_t Unwritten() const;
    bool WakeDue();  // whether to wake the writer now (once a batch)
    void WriterLoop();
    std::string EndLine() const;  // under mutex_

    const std::optional<std::string> file_;
    const std::size_t keep_;
    const Clock::time_point opened_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_;   // the file's lines once the kept ones are cut short, not yet written
    std::string kept_;      // up to keep_ bytes of lines (reserved: they never move)
    std::size_t keptWritten_ = 0;  // how much of kept_ the writer has taken for the file
    bool wakeAsked_ = false;       // the writer was woken and has not yet taken its batch
    bool keptWhole_ = true;
    long long dropped_ = 0;
    bool finished_ = false;
    bool stopWriter_ = false;
    Fields outcome_;
    std::string error_;
    int fd_ = -1;           // the writer's only, once it runs
    std::thread writer_;
};

// A Port that forwards every call to the real one and tells `session` what moved.
class CapturingPort : public Port {
public:
    CapturingPort(std::shared_ptr<Port> inner, std::shared_ptr<CaptureSession> session);
    PortResult Read(void* buffer, std::size_t max) override;
    PortIo WaitReadable(std::chrono::milliseconds bound) override;
    PortResult WriteAll(const char* bytes, std::size_t length, std::chrono::milliseconds stall) override;
    Closed Shutdown(std::chrono::milliseconds drainBound) override;
    bool IsOpen() const override { return inner_->IsOpen(); }
    int HangUpError() const override { return inner_->HangUpError(); }

    const std::shared_ptr<Port>& Inner() const { return inner_; }

private:
    void NoteHangUp();
    std::shared_ptr<Port> inner_;
    std::shared_ptr<CaptureSession> session_;
    std::atomic<bool> hungUp_{false};
};

// The real port behind `port`: itself, or what a CapturingPort forwards to.
const Port& RealPort(const Port& port);

// `inner` with every port it hands over wrapped in a CapturingPort. `begin` makes the session
// when a port is taken over: from the path, what the open came to, the port and the time the
// open was asked for; a session it does not make (none) leaves the port as it is.
using CaptureBegin = std::function<std::shared_ptr<CaptureSession>(
    const std::string& path, const OpenResult& opened, Port& port, CaptureSession::Clock::time_point at)>;
PortOpener CapturingOpener(PortOpener inner, CaptureBegin begin);

// What the system says of the adapter at `path`, as header fields: its path, by-id and by-path
// names, vendor:product, driver, serial number, product and maker (null where unknown, as on a
// pseudo-terminal).
CaptureSession::Fields AdapterFields(const std::string& path, const std::string& devRoot = "/dev",
                                     const std::string& sysRoot = "/sys");
// The name of the link in `directory` that leads to `path`'s device; none when there is none.
std::optional<std::string> LinkNameFor(const std::string& path, const std::string& directory);
// The unit's slot: the by-path name of its port (the USB socket it is plugged into, stable
// from one adapter to the next), or the device's own name where it has none.
std::string SlotName(const std::string& path, const std::string& devRoot = "/dev");
// The file of the session `number` (1, 2, ...) of a capture asked for as `file`, for the unit
// in `slot` when the run has several units: "cap.jsonl" stays for the first session of one
// unit, the second is "cap-2.jsonl"; with several units "cap-<slot>.jsonl", "cap-<slot>-2.jsonl".
std::string CaptureFileName(const std::string& file, const std::optional<std::string>& slot, int number);
