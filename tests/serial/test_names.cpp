// The adapter the program chooses: the choice rule, the listing given through the environment,
// and the by-id names and sysfs facts that Linux adds to a listing.
#include "controller/PortDiagnosis.h"
#include "serial/ByIdNames.h"
#include "serial/Discovery.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>

TEST(ChoosePath, LastMatchWinsCaseInsensitively)
{
    std::vector<SerialService> services{{"ttyS0", "/dev/ttyS0"}, {"ttyUSB0", "/dev/ttyUSB0"}, {"PL2303-01", "/dev/pl"}};
    EXPECT_EQ(ChoosePath(services, std::nullopt), "/dev/pl");
    services.push_back({"my-serial", "/dev/ser"});
    EXPECT_EQ(ChoosePath(services, std::nullopt), "/dev/ser");
    EXPECT_EQ(ChoosePath({{"ttyS0", "/dev/ttyS0"}}, std::nullopt), std::nullopt);
    EXPECT_EQ(ChoosePath({{"ttyS0", "/dev/ttyS0"}}, "/dev/earlier"), "/dev/earlier");
}

TEST(ChoosePath, ListsAtMostFiftyNamesAndStopsAtANameWithoutPath)
{
    std::vector<SerialService> sixty;
    for (int i = 1; i <= 60; ++i)
        sixty.push_back({"usb" + std::to_string(i), "/dev/usb" + std::to_string(i)});
    EXPECT_EQ(ChoosePath(sixty, std::nullopt), "/dev/usb50");

    std::vector<SerialService> broken{{"usbA", "/dev/a"}, {std::nullopt, "/dev/nameless"}, {"usbB", "/dev/b"},
                                      {"usbC", std::nullopt}, {"usbD", "/dev/d"}};
    EXPECT_EQ(ChoosePath(broken, std::nullopt), "/dev/b");
    PathChoice why = ExplainChoice(broken, std::nullopt);
    EXPECT_EQ(why.chosen, 2u);
    EXPECT_EQ(why.word, "usb");
    EXPECT_EQ(why.considered, 4u) << "the pathless usbC ends the listing; usbD is never looked at";
}

TEST(ServiceList, ParsesPairsInOrder)
{
    auto s = ParseServiceList("usbserial-sim=/dev/pts/3,ttyS0=/dev/ttyS0,bare,=/dev/x");
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0].name, "usbserial-sim");
    EXPECT_EQ(s[0].path, "/dev/pts/3");
    EXPECT_EQ(s[2].name, "bare");
    EXPECT_FALSE(s[2].path);
    EXPECT_FALSE(s[3].name);
}

namespace {
struct DevDir {
    DevDir()
    {
        std::string tmpl = testing::TempDir() + "qz7-byid-XXXXXX";
        root = mkdtemp(tmpl.data());
        std::filesystem::create_directory(root / "by-id");
        for (const char* node : {"ttyS0", "ttyACM0"})
            std::ofstream(root / node).put('\n');
    }
    ~DevDir() { std::filesystem::remove_all(root); }
    std::string Node(const char* name) const { return (root / name).string(); }
    void Link(const char* name, const char* target) const
    {
        std::filesystem::create_symlink(std::string("../") + target, root / "by-id" / name);
    }
    ServiceLister Lister() const
    {
        std::vector<SerialService> services{{"ttyS0", Node("ttyS0")}, {"ttyACM0", Node("ttyACM0")}};
        return WithByIdNames([services] { return std::optional(services); }, (root / "by-id").string());
    }
    std::filesystem::path root;
};
}  // namespace

TEST(ByIdNames, AUsbAdapterIsChosenThroughItsByIdNameAndTtyS0IsNot)
{
    DevDir dev;
    ServiceLister lister = dev.Lister();
    EXPECT_EQ(ChoosePath(*lister(), std::nullopt), std::nullopt) << "ttyACM0 and ttyS0 hold none of the words";

    dev.Link("usb-Maker_Adapter_A123-if00", "ttyACM0");
    dev.Link("pci-serial-ttyS0", "ttyS0");  // a by-id name of another kind is not presented
    std::optional<std::vector<SerialService>> services = lister();
    ASSERT_TRUE(services);
    EXPECT_EQ((*services)[0].name, "ttyS0");
    EXPECT_EQ((*services)[1].name, "usb-Maker_Adapter_A123-if00");
    EXPECT_EQ((*services)[1].path, dev.Node("ttyACM0"));
    EXPECT_EQ(ChoosePath(*services, std::nullopt), dev.Node("ttyACM0"));
}

namespace {
// A sysfs tree as the kernel lays it out for an FTDI adapter (usb-serial: tty, port, interface,
// device), a CDC-ACM adapter (tty, interface, device) and a 16550 port (no USB device).
struct SysTree {
    SysTree()
    {
        std::string tmpl = testing::TempDir() + "qz7-sys-XXXXXX";
        root = mkdtemp(tmpl.data());
        Device("devices/pci0000:00/usb1/1-1", "0403", "6001", {{"manufacturer", "FTDI"}, {"product", "FT232R USB UART"}, {"serial", "A9 0001"}});
        Tty("ttyUSB0", "devices/pci0000:00/usb1/1-1/1-1:1.0/ttyUSB0", "devices/pci0000:00/usb1/1-1/1-1:1.0");
        Device("devices/pci0000:00/usb1/1-2", "0525", "a4a7", {{"manufacturer", "Linux"}, {"product", "Gadget Serial v2.4"}});
        Tty("ttyACM0", "devices/pci0000:00/usb1/1-2/1-2:1.2", "devices/pci0000:00/usb1/1-2/1-2:1.2");
        Tty("ttyS0", "devices/platform/serial8250", "");
    }
    ~SysTree() { std::filesystem::remove_all(root); }
    void Device(const std::string& dir, const char* vid, const char* pid, std::map<std::string, std::string> files) const
    {
        files["idVendor"] = vid;
        files["idProduct"] = pid;
        std::filesystem::create_directories(root / dir);
        for (const auto& [name, text] : files)
            std::ofstream(root / dir / name) << text << "\n";
    }
    void Tty(const char* name, const std::string& device, const std::string& interface) const
    {
        std::filesystem::create_directories(root / device);
        if (!interface.empty())
            std::ofstream(root / interface / "bInterfaceNumber") << (name[3] == 'A' ? "02\n" : "00\n");
        std::filesystem::create_directories(root / "class/tty" / name);
        std::filesystem::create_directory_symlink(root / device, root / "class/tty" / name / "device");
    }
    std::filesystem::path root;
};
}  // namespace

TEST(ByIdNames, WithoutUdevSysfsGivesTheFactsAndAUsbNameSoACdcAcmAdapterIsChosen)
{
    SysTree sys;
    std::vector<SerialService> services{{"ttyUSB0", "/dev/ttyUSB0"}, {"ttyACM0", "/dev/ttyACM0"}, {"ttyS0", "/dev/ttyS0"}};
    for (SerialService& s : services)
        AddSysfsFacts(s, sys.root.string());
    EXPECT_EQ(services[0].name, "usb-FTDI_FT232R_USB_UART_A9_0001-if00");
    EXPECT_EQ(StatusText::Adapter(AdapterFacts(services[0])),
              "Adapter on /dev/ttyUSB0: FT232R USB UART (FTDI), USB 0403:6001, serial A9 0001");
    EXPECT_EQ(services[1].name, "usb-Linux_Gadget_Serial_v2.4-if02");
    EXPECT_EQ(services[1].vendorId, 0x0525);
    EXPECT_FALSE(services[1].serialNumber);
    EXPECT_EQ(services[2].name, "ttyS0");
    EXPECT_FALSE(services[2].vendorId);
    EXPECT_EQ(ChoosePath(services, std::nullopt), "/dev/ttyACM0");

    // What udev said stands; sysfs only fills what is missing, and a by-id name is kept.
    SerialService udev{"usb-FTDI_FT232R-if00-port0", "/dev/ttyUSB0", "FT232R_from_udev"};
    AddSysfsFacts(udev, sys.root.string());
    EXPECT_EQ(udev.name, "usb-FTDI_FT232R-if00-port0");
    EXPECT_EQ(udev.description, "FT232R_from_udev");
    EXPECT_EQ(udev.manufacturer, "FTDI");
    EXPECT_FALSE(UsbFactsFromSysfs("../ttyUSB0", sys.root.string()));
}
