#pragma once
#include <string>

// Texts the operator sees.
namespace Directions {
inline constexpr const char* ConnectAdapter = "Connect USB adapter";
inline constexpr const char* PowerOn = "Power on the QZ7 while holding front Run/Stop button";
inline constexpr const char* Updating = "Updating QZ7, please wait...";
inline constexpr const char* VersionNotFound = "Version not Found.\nUpdate anyway?";
inline constexpr const char* NotErased = "Not Erased\nPlease restart the program\nand the QZ7";
inline constexpr const char* Done = "Done";
inline constexpr const char* Unopened = "Trying to write to unopened Port";
inline constexpr const char* Disconnected = "USB adapter disconnected\nPlease restart the program\nand the QZ7";
inline constexpr const char* NoVersion = "No version reply\nPlease restart the program\nand the QZ7";
inline constexpr const char* ImageDamaged = "Firmware image damaged\nPlease reinstall the program";
inline constexpr const char* NotDone = "Not Done\nPlease restart the program\nand the QZ7";
inline constexpr const char* Restarted =
    "QZ7 restarted during the update\nIt has no firmware now\nRestart the program, power on the QZ7\nwhile holding Run/Stop, and update again";
inline constexpr const char* Stopped = "QZ7 stopped accepting data\nPlease restart the program\nand the QZ7";
inline constexpr const char* EndedEarly =
    "QZ7 stopped before the whole image was sent\nIt has no firmware now\nRestart the program, power on the QZ7\nwhile holding Run/Stop, and update again";
// The version question: the version the QZ7 reported and the one the program carries
// (Firmware::Version).
std::string FoundVersion(const std::string& version);
std::string Unexpected(const std::string& reply);
std::string Exception(const char* what);
}  // namespace Directions
