#pragma once
#include "serial/Discovery.h"

#include <map>
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

// `lister` with the by-id names of `directory` presented. The directory is read again only when
// it has changed, so a pass costs one stat(2) more.
ServiceLister WithByIdNames(ServiceLister lister, std::string directory = kByIdDirectory);
