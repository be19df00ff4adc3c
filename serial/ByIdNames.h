#pragma once
#include "serial/Discovery.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// On Linux a USB serial adapter of the CDC-ACM kind is listed as "ttyACM0", a name that holds none
// of the choice rule's words. udev also names every USB serial device in /dev/serial/by-id with a
// link whose name begins with "usb-" (maker, product and serial number). Presenting that name to
// the choice rule lets such an adapter be chosen; a port that is no USB device has no such link
// and keeps its own name, so a plain ttyS0 is still never chosen.

inline constexpr const char* kByIdDirectory = "/dev/serial/by-id";

// Device path (the link's target, resolved) -> link name, for each "usb-" link in `directory`.
std::map<std::string, std::string> UsbByIdNames(const std::string& directory);

// The services with the by-id name in place of the TTY name of each port that has one; the
// paths, the order and everything else stay as they are.
std::vector<SerialService> PresentByIdNames(std::vector<SerialService> services,
                                            const std::map<std::string, std::string>& byId);

// Where udev has said nothing (it does not run, or has not yet handled a new adapter), sysfs
// still knows the USB device behind a tty: /sys/class/tty/<name>/device leads to the USB
// interface and, above it, the device with its idVendor, idProduct, manufacturer, product and
// serial files. Absent for a tty that is no USB device.
struct UsbTtyFacts {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string manufacturer;
    std::string product;
    std::string serial;
    std::string interfaceNumber;  // "00", as bInterfaceNumber holds it
};
std::optional<UsbTtyFacts> UsbFactsFromSysfs(const std::string& ttyName, const std::string& sysRoot = "/sys");

// The name udev's by-id link would give that adapter: "usb-<maker>_<product>_<serial>-if<NN>",
// with every character but letters, digits and ".-" turned into "_".
std::string UsbByIdStyleName(const UsbTtyFacts& facts);

// Fills in from sysfs what `service` lacks of description, maker, vid:pid and serial, and gives
// a USB adapter still named by its tty (no by-id link, so no udev) its by-id style name, so that
// the choice rule takes a ttyACM adapter without udev too. A tty that is no USB device is left
// as it is. Reads a few small files: done once per enumeration, not on every pass.
void AddSysfsFacts(SerialService& service, const std::string& sysRoot = "/sys");

// `lister` with the by-id names of `directory` presented. The directory is read again only when
// it has changed, so a pass costs one stat(2) more.
ServiceLister WithByIdNames(ServiceLister lister, std::string directory = kByIdDirectory);
