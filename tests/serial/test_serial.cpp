// The port record on real pseudo-terminals: opening, exclusive use, closing and the listing of
// ports. (The controller's own use of it is in tests/controller/test_link.cpp.)
#include "serial/PortListing.h"
#include "tests/support/TestSupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

TEST(PortOpen, AppliesRaw57600EightBitsExclusiveAndNonBlocking)
{
    Pty pty;
    termios before = pty.Settings();
    OpenResult opened = OpenAndConfigure(pty.path);
    const int fd = opened.fd;
    ASSERT_GT(fd, 0);
    EXPECT_TRUE(opened.archived);
    EXPECT_TRUE(SameSettings(opened.archive, before));
    termios now = pty.Settings();
    EXPECT_EQ(cfgetispeed(&now), B57600);
    EXPECT_EQ(cfgetospeed(&now), B57600);
    EXPECT_EQ(now.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(now.c_oflag & OPOST, 0u);
    EXPECT_EQ(now.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(now.c_cc[VMIN], 1);
    EXPECT_EQ(now.c_cc[VTIME], 5);
    EXPECT_TRUE(fcntl(fd, F_GETFL) & O_NONBLOCK);
    EXPECT_TRUE(pty.Exclusive());
    // A pseudo-terminal has no driver flags: low latency is not to be had, and the open goes on.
    EXPECT_EQ(opened.lowLatency.outcome, LowLatency::NoSetting);
    EXPECT_EQ(opened.lowLatency.error, ENOTTY);
    EXPECT_FALSE(opened.serialFlags);
    RestoreAndClose(fd, opened.archive, opened.serialFlags);
    EXPECT_FALSE(pty.Exclusive());
    EXPECT_TRUE(SameSettings(pty.Settings(), before));
}

TEST(PortOpen, LowLatencyOutcomesAsTheTranscriptGivesThem)
{
    // ftdi_sio keeps the flag; ch341, cp210x and pl2303 take the call and drop it.
    const struct {
        LowLatency low;
        const char* text;
    } cases[] = {
        {{LowLatency::Kept, 0}, "low latency: on"},
        {{LowLatency::NotKept, 0}, "low latency: not kept by the driver"},
        {{LowLatency::Refused, EPERM}, "low latency: refused by the driver (Operation not permitted, errno 1)"},
        {{LowLatency::NoSetting, ENOTTY}, "low latency: no such setting (Inappropriate ioctl for device, errno 25)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DescribeLowLatency(c.low), c.text);
}

TEST(PortOpen, FailedSettingsStepsLeakNoDescriptor)
{
    int before = OpenDescriptors();
    for (int i = 0; i < 200; ++i) {  // /dev/null opens, but is no terminal
        EXPECT_EQ(OpenAndConfigure("/dev/null").fd, -1);
        EXPECT_EQ(OpenAndConfigure("/nonexistent/ttyUSB9").failure.error, ENOENT);
        EXPECT_EQ(OpenAndConfigure("/dev/tty\xC3\xA9").fd, -1);
        EXPECT_EQ(OpenAndConfigure("/dev/ptmx").failure.error, ENOTTY);  // never a new master
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(PortOpen, AnOpenPortIsLockedAgainstPrivilegedOpenersToo)
{
    // The tests run as root, past TIOCEXCL: the lock alone keeps the second opener out.
    Pty pty;
    OpenResult first = OpenAndConfigure(pty.path);
    ASSERT_GT(first.fd, 0);
    OpenResult second = OpenAndConfigure(pty.path);
    EXPECT_EQ(second.fd, -1);
    EXPECT_EQ(second.failure.step, "flock");
    EXPECT_EQ(Classify(second.failure), PortTrouble::Busy);
    RestoreAndClose(first.fd, first.archive, first.serialFlags);
    OpenResult again = OpenAndConfigure(pty.path);  // the lock went with the close
    EXPECT_GT(again.fd, 0);
    RestoreAndClose(again.fd, again.archive, again.serialFlags);
}

TEST(PortListing, EnumeratesOnlyWhenATtyCameOrWentAndOnceMoreWhenUdevHasSettled)
{
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair), 0);
    int calls = 0;
    bool fail = false;
    CachedPortListing listing(
        [&]() -> std::optional<std::vector<SerialService>> {
            ++calls;
            if (fail)
                return std::nullopt;
            return std::vector<SerialService>(static_cast<std::size_t>(calls), {"ttyUSB0", "/dev/ttyUSB0"});
        },
        std::make_unique<UeventWatch>(pair[1]));
    auto event = [&](const std::string& action, const std::string& subsystem) {
        std::string m = action + "@/devices/x/tty/ttyUSB0";
        m += '\0' + ("ACTION=" + action) + '\0' + "DEVPATH=/devices/x/tty/ttyUSB0" + '\0' + "SUBSYSTEM=" + subsystem + '\0';
        ASSERT_EQ(::send(pair[0], m.data(), m.size(), 0), static_cast<ssize_t>(m.size()));
    };

    EXPECT_EQ(listing.Current()->size(), 1u);
    for (int pass = 0; pass < 20; ++pass)
        listing.Current();
    event("change", "tty");
    event("add", "usb");
    EXPECT_EQ(listing.Current()->size(), 1u);
    EXPECT_EQ(calls, 1);

    event("add", "tty");
    EXPECT_EQ(listing.Current()->size(), 2u);
    listing.Current();
    EXPECT_EQ(calls, 2);
    std::this_thread::sleep_for(CachedPortListing::kSettle + 100ms);
    listing.Current();
    listing.Current();
    EXPECT_EQ(calls, 3);

    // A failed enumeration is not kept: the next call tries again.
    fail = true;
    event("remove", "tty");
    EXPECT_FALSE(listing.Current());
    EXPECT_FALSE(listing.Current());
    EXPECT_EQ(calls, 5);
    ::close(pair[0]);
}

TEST(PortClose, OnlyTheCallThatClosedHearsOfItAndRestoredOnlyWhenTheSettingsWentBack)
{
    // Two closers at once (the dialogue's thread and the GUI's): exactly one of them closed it.
    for (int round = 0; round < 20; ++round) {
        Pty pty;
        termios before = pty.Settings();
        OpenResult opened = OpenAndConfigure(pty.path);
        auto record = std::make_shared<WQSerial>();
        record->setTermios_archive(opened.archive);
        record->setPortID(opened.fd);
        WQSerial::Closed a{}, b{};
        std::thread other([&] { a = record->Shutdown(50ms); });
        b = record->Shutdown(50ms);
        other.join();
        EXPECT_EQ((a == WQSerial::Closed::NotOpen) + (b == WQSerial::Closed::NotOpen), 1);
        EXPECT_EQ((a == WQSerial::Closed::Restored) + (b == WQSerial::Closed::Restored), 1);
        EXPECT_TRUE(SameSettings(pty.Settings(), before));
    }

    // A line that has hung up (the adapter gone) takes no settings back.
    auto pty = std::make_unique<Pty>();
    OpenResult opened = OpenAndConfigure(pty->path);
    auto record = std::make_shared<WQSerial>();
    record->setTermios_archive(opened.archive);
    record->setPortID(opened.fd);
    ::close(pty->master);
    pty->master = -1;
    EXPECT_EQ(record->Shutdown(50ms), WQSerial::Closed::NotRestored);
    EXPECT_EQ(record->Shutdown(50ms), WQSerial::Closed::NotOpen);
}

TEST(PortListing, ATtyNodeMadeOrRemovedInDevCountsAsAChangeWithoutKernelEvents)
{
    std::string tmpl = testing::TempDir() + "qz7-dev-XXXXXX";
    const std::filesystem::path dev = mkdtemp(tmpl.data());
    int calls = 0;
    CachedPortListing listing([&] { ++calls; return std::optional(std::vector<SerialService>{}); }, nullptr,
                              std::make_unique<DevNodeWatch>(dev.string()));
    listing.Current();
    std::ofstream(dev / "null2").put('\n');  // not a tty
    listing.Current();
    EXPECT_EQ(calls, 1);
    std::ofstream(dev / "ttyACM0").put('\n');
    listing.Current();
    listing.Current();
    EXPECT_EQ(calls, 2);
    std::filesystem::remove(dev / "ttyACM0");
    listing.Current();
    EXPECT_EQ(calls, 3);
    std::filesystem::remove_all(dev);

    EXPECT_FALSE(DevNodeWatch("/nonexistent/dev").Watching());
}
