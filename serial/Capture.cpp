#include "serial/Capture.h"

#include "serial/ByIdNames.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Past this many unwritten bytes the writer is woken before its timer: a whole update's capture
// (about 350 kB) never reaches it, so while the QZ7 is programmed the writer wakes only every
// kFlushEvery, and the reader never makes a system call for it.
constexpr std::size_t kFlushAt = 1024 * 1024;
constexpr std::size_t kMaxPending = 16 * 1024 * 1024;
constexpr auto kFlushEvery = std::chrono::milliseconds(200);
// Room kept beyond the memory bound for the end line, so that a capture kept whole ends whole.
constexpr std::size_t kEndRoom = 4096;
// The most bytes an event of `count` bytes takes as a line: the time, the kind, every byte as
// \u00XX, the punctuation.
constexpr std::size_t EventBound(std::size_t count)
{
    return 64 + 6 * count;
}

std::string FieldsObject(const CaptureSession::Fields& fields, const std::string& first)
{
    std::string line = "{" + first;
    for (const auto& [key, value] : fields)
        line += "," + capture::QuoteText(key) + ":" + value;
    return line + "}\n";
}

bool WriteWhole(int fd, std::string_view bytes, std::string& error)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = std::string("write failed: ") + std::strerror(errno);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string Quoted(const std::optional<std::string>& text)
{
    return text ? capture::QuoteText(*text) : std::string("null");
}

std::optional<std::string> RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved))
        return std::nullopt;
    return std::string(resolved);
}

std::string BaseName(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

CaptureSession::CaptureSession(std::optional<std::string> file, std::size_t keep, Clock::time_point opened,
                               const Fields& header)
    : file_(std::move(file)), keep_(keep), opened_(opened)
{
    // Reserved once, so that the kept lines never move: the writer reads the file's bytes from
    // them without the lock. Pages not yet written are no memory in use.
    if (keep_ > 0)
        kept_.reserve(keep_ + kEndRoom);
    if (file_) {
        fd_ = ::open(file_->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0644);
        if (fd_ < 0)
            error_ = std::string("cannot make the capture file: ") + std::strerror(errno);
    }
    Add(FieldsObject(header, "\"capture\":" + std::to_string(capture::kFormat) + ",\"ev\":\"open\""));
    if (fd_ >= 0)
        writer_ = std::thread([this] { WriterLoop(); });
}

CaptureSession::~CaptureSession()
{
    Finish();
}

std::string CaptureSession::Error() const
{
    std::lock_guard lock(mutex_);
    return error_;
}

long long CaptureSession::Micros() const
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - opened_).count();
}

std::string* CaptureSession::Target(std::size_t bound)
{
    // Each line is formatted once, into one buffer: the kept lines while they are whole (the
    // file's bytes are taken from there too), and the file's own buffer once the memory bound
    // has cut them short. So every line of the file comes in order, from the one or the other.
    if (keptWhole_ && keep_ > 0) {
        if (kept_.size() + bound <= keep_)
            return &kept_;
        keptWhole_ = false;
    }
    if (fd_ < 0)
        return nullptr;
    if (pending_.size() + bound > kMaxPending) {
        ++dropped_;
        return nullptr;
    }
    return &pending_;
}

bool CaptureSession::WakeDue()
{
    // Once for each batch: a writer already woken takes everything there is when it runs.
    if (fd_ < 0 || wakeAsked_ || Unwritten() < kFlushAt)
        return false;
    wakeAsked_ = true;
    return true;
}

std::size_t CaptureSession::Unwritten() const
{
    return pending_.size() + (fd_ >= 0 ? kept_.size() - keptWritten_ : 0);
}

void CaptureSession::Add(const std::string& line)
{
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        if (finished_)
            return;
        if (std::string* out = Target(line.size())) {
            *out += line;
            wake = WakeDue();
        }
    }
    if (wake)
        wake_.notify_one();
}

void CaptureSession::AddBytes(const char* kind, const char* bytes, std::size_t count)
{
    // The reader's and the writer's hot path: formatted straight into the one buffer it goes to,
    // no string of its own (a line of the image and its asterisk cost well under a microsecond
    // together).
    const long long t = Micros();
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        if (finished_)
            return;
        if (std::string* out = Target(EventBound(count))) {
            capture::AppendEventLine(*out, kind, t, std::string_view(bytes, count));
            wake = WakeDue();
        }
    }
    if (wake)
        wake_.notify_one();
}

void CaptureSession::Read(const char* bytes, std::size_t count)
{
    AddBytes("read", bytes, count);
}

void CaptureSession::Write(const char* bytes, std::size_t count)
{
    AddBytes("write", bytes, count);
}

void CaptureSession::HangUp(int error)
{
    Add(capture::EventLine({capture::Event::HangUp, Micros(), {}, error}));
}

void CaptureSession::Stalled(std::size_t sent)
{
    Add("{\"t\":" + std::to_string(Micros()) + ",\"ev\":\"stalled\",\"sent\":" + std::to_string(sent) + "}\n");
}

void CaptureSession::Close()
{
    Add(capture::EventLine({capture::Event::Close, Micros(), {}}));
}

void CaptureSession::SetOutcome(Fields outcome)
{
    std::lock_guard lock(mutex_);
    if (!finished_)
        outcome_ = std::move(outcome);
}

std::string CaptureSession::EndLine() const
{
    Fields fields = outcome_.empty() ? Fields{{"outcome", "null"}} : outcome_;
    if (dropped_ > 0)
        fields.emplace_back("dropped", std::to_string(dropped_));
    return FieldsObject(fields, "\"t\":" + std::to_string(Micros()) + ",\"ev\":\"end\"");
}

void CaptureSession::Finish()
{
    {
        std::lock_guard lock(mutex_);
        if (finished_)
            return;
        const std::string end = EndLine();
        // The end line may use the room kept for it; the kept lines never grow past their
        // reserve, which the writer may be reading.
        if (keptWhole_ && keep_ > 0 && kept_.size() + end.size() <= kept_.capacity())
            kept_ += end;
        else {
            if (keep_ > 0)
                keptWhole_ = false;
            if (fd_ >= 0)
                pending_ += end;
        }
        finished_ = true;
        stopWriter_ = true;
    }
    wake_.notify_one();
    if (writer_.joinable())
        writer_.join();
}

std::string CaptureSession::Kept() const
{
    std::lock_guard lock(mutex_);
    return finished_ || !keptWhole_ ? kept_ : kept_ + EndLine();
}

bool CaptureSession::KeptWhole() const
{
    std::lock_guard lock(mutex_);
    return keptWhole_;
}

void CaptureSession::WriterLoop()
{
    std::string batch;
    bool failed = false;
    for (;;) {
        bool last = false;
        std::string_view kept;  // kept lines not yet written: they stay where they are
        {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, kFlushEvery, [this] { return stopWriter_ || Unwritten() >= kFlushAt; });
            kept = std::string_view(kept_.data() + keptWritten_, kept_.size() - keptWritten_);
            keptWritten_ = kept_.size();
            batch.swap(pending_);
            wakeAsked_ = false;
            last = stopWriter_;
        }
        std::string error;
        for (std::string_view part : {kept, std::string_view(batch)})
            if (!failed && !part.empty() && !WriteWhole(fd_, part, error)) {
                failed = true;
                std::lock_guard lock(mutex_);
                error_ = error;
            }
        batch.clear();
        if (last)
            break;
    }
    if (!failed && ::fsync(fd_) != 0 && errno != EINVAL) {
        std::lock_guard lock(mutex_);
        error_ = std::string("fsync failed: ") + std::strerror(errno);
    }
    ::close(fd_);
    std::lock_guard lock(mutex_);
    fd_ = -1;
}

CapturingPort::CapturingPort(std::shared_ptr<Port> inner, std::shared_ptr<CaptureSession> session)
    : inner_(std::move(inner)), session_(std::move(session))
{
}

void CapturingPort::NoteHangUp()
{
    if (!hungUp_.exchange(true))
        session_->HangUp(inner_->HangUpError());
}

PortResult CapturingPort::Read(void* buffer, std::size_t max)
{
    PortResult r = inner_->Read(buffer, max);
    if (r.status == PortIo::Data && r.count > 0)
        session_->Read(static_cast<const char*>(buffer), r.count);
    else if (r.status == PortIo::HangUp)
        NoteHangUp();
    return r;
}

PortIo CapturingPort::WaitReadable(std::chrono::milliseconds bound)
{
    PortIo r = inner_->WaitReadable(bound);
    if (r == PortIo::HangUp)
        NoteHangUp();
    return r;
}

PortResult CapturingPort::WriteAll(const char* bytes, std::size_t length, std::chrono::milliseconds stall)
{
    PortResult r = inner_->WriteAll(bytes, length, stall);
    const std::size_t sent = r.status == PortIo::Data ? length : std::min(r.count, length);
    if (sent > 0)
        session_->Write(bytes, sent);
    if (r.status == PortIo::HangUp)
        NoteHangUp();
    else if (r.status == PortIo::Stalled)
        session_->Stalled(sent);
    return r;
}

Port::Closed CapturingPort::Shutdown(std::chrono::milliseconds drainBound)
{
    Closed r = inner_->Shutdown(drainBound);
    if (r != Closed::NotOpen)
        session_->Close();
    return r;
}

const Port& RealPort(const Port& port)
{
    if (const auto* capturing = dynamic_cast<const CapturingPort*>(&port))
        return *capturing->Inner();
    return port;
}

PortOpener CapturingOpener(PortOpener inner, CaptureBegin begin)
{
    return [inner = std::move(inner), begin = std::move(begin)](const std::string& path) {
        const auto at = CaptureSession::Clock::now();
        PortOpening opening = inner(path);
        if (!opening.takeOver)
            return opening;
        opening.takeOver = [take = std::move(opening.takeOver), begin, path, result = opening.result,
                            at]() -> std::shared_ptr<Port> {
            std::shared_ptr<Port> port = take();
            if (!port)
                return port;
            std::shared_ptr<CaptureSession> session = begin(path, result, *port, at);
            if (!session)
                return port;
            return std::make_shared<CapturingPort>(std::move(port), std::move(session));
        };
        return opening;
    };
}

std::optional<std::string> LinkNameFor(const std::string& path, const std::string& directory)
{
    std::optional<std::string> target = RealPath(path);
    if (!target)
        return std::nullopt;
    DIR* dir = ::opendir(directory.c_str());
    if (!dir)
        return std::nullopt;
    std::optional<std::string> found;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (RealPath(directory + "/" + name) == target && (!found || name < *found))
            found = name;
    }
    ::closedir(dir);
    return found;
}

CaptureSession::Fields AdapterFields(const std::string& path, const std::string& devRoot, const std::string& sysRoot)
{
    const std::string device = BaseName(RealPath(path).value_or(path));
    std::optional<std::string> driver;
    char link[PATH_MAX];
    const std::string driverLink = sysRoot + "/class/tty/" + device + "/device/driver";
    if (ssize_t n = ::readlink(driverLink.c_str(), link, sizeof link - 1); n > 0)
        driver = BaseName(std::string(link, static_cast<std::size_t>(n)));
    std::optional<UsbTtyFacts> usb = UsbFactsFromSysfs(device, sysRoot);
    std::optional<std::string> vidPid, serial, product, maker;
    if (usb) {
        char text[16];
        std::snprintf(text, sizeof text, "%04x:%04x", usb->vendorId, usb->productId);
        vidPid = text;
        if (!usb->serial.empty()) serial = usb->serial;
        if (!usb->product.empty()) product = usb->product;
        if (!usb->manufacturer.empty()) maker = usb->manufacturer;
    }
    return {
        {"path", capture::QuoteText(path)},
        {"by_id", Quoted(LinkNameFor(path, devRoot + "/serial/by-id"))},
        {"by_path", Quoted(LinkNameFor(path, devRoot + "/serial/by-path"))},
        {"vid_pid", Quoted(vidPid)},
        {"driver", Quoted(driver)},
        {"serial", Quoted(serial)},
        {"product", Quoted(product)},
        {"maker", Quoted(maker)},
    };
}

std::string SlotName(const std::string& path, const std::string& devRoot)
{
    if (std::optional<std::string> byPath = LinkNameFor(path, devRoot + "/serial/by-path"))
        return *byPath;
    std::string name = path.rfind(devRoot + "/", 0) == 0 ? path.substr(devRoot.size() + 1) : path;
    for (char& c : name)
        if (c == '/')
            c = '-';
    while (!name.empty() && name.front() == '-')
        name.erase(0, 1);
    return name.empty() ? std::string("port") : name;
}

std::string CaptureFileName(const std::string& file, const std::optional<std::string>& slot, int number)
{
    // The extension of the last component, so that "dir.d/cap" gets no ".d/cap" split.
    const std::size_t slash = file.rfind('/');
    std::size_t dot = file.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot == slash + 1 || dot == 0)
        dot = file.size();
    std::string name = file.substr(0, dot);
    if (slot)
        name += "-" + *slot;
    if (number > 1)
        name += "-" + std::to_string(number);
    return name + file.substr(dot);
}
