#pragma once
#include <string>

// Marks a text for the translators' catalogs (the extraction tool finds it by this name); the
// text itself is the English source, translated when it is shown (core/Words.h).
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif

// Texts the operator sees, in English.
namespace Directions {
//: The first screen, shown large: no USB serial adapter is plugged in yet.
inline constexpr const char* ConnectAdapter = QT_TRANSLATE_NOOP("Directions", "Connect USB adapter");
//: Shown large. Run/Stop is the name printed on the QZ7's button: keep it.
inline constexpr const char* PowerOn = QT_TRANSLATE_NOOP("Directions", "Power on the QZ7 while holding front Run/Stop button");
inline constexpr const char* Updating = QT_TRANSLATE_NOOP("Directions", "Updating QZ7, please wait...");
inline constexpr const char* VersionNotFound = QT_TRANSLATE_NOOP("Directions", "Version not Found.\nUpdate anyway?");
inline constexpr const char* NotErased = QT_TRANSLATE_NOOP("Directions", "Not Erased\nPlease restart the program\nand the QZ7");
//: The QZ7 said its firmware is written: the update succeeded.
inline constexpr const char* Done = QT_TRANSLATE_NOOP("Directions", "Done");
//: The port closed before the program could write to it.
inline constexpr const char* Unopened = QT_TRANSLATE_NOOP("Directions", "Trying to write to unopened Port");
inline constexpr const char* Disconnected = QT_TRANSLATE_NOOP("Directions", "USB adapter disconnected\nPlease restart the program\nand the QZ7");
inline constexpr const char* NoVersion = QT_TRANSLATE_NOOP("Directions", "No version reply\nPlease restart the program\nand the QZ7");
inline constexpr const char* ImageDamaged = QT_TRANSLATE_NOOP("Directions", "Firmware image damaged\nPlease reinstall the program");
inline constexpr const char* NotDone = QT_TRANSLATE_NOOP("Directions", "Not Done\nPlease restart the program\nand the QZ7");
inline constexpr const char* Restarted = QT_TRANSLATE_NOOP("Directions",
    "QZ7 restarted during the update\nIt has no firmware now\nRestart the program, power on the QZ7\nwhile holding Run/Stop, and update again");
inline constexpr const char* Stopped = QT_TRANSLATE_NOOP("Directions", "QZ7 stopped accepting data\nPlease restart the program\nand the QZ7");
inline constexpr const char* EndedEarly = QT_TRANSLATE_NOOP("Directions",
    "QZ7 stopped before the whole image was sent\nIt has no firmware now\nRestart the program, power on the QZ7\nwhile holding Run/Stop, and update again");
// The version question: the version the QZ7 reported and the one the program carries
// (Firmware::Version); a reply the dialogue has no step for (its first 40 characters); an
// exception's reason.
//: The version question. %1 the version the QZ7 reported ("2.005"), %2 the firmware this program carries ("2.007"). Line
//: breaks may go where your language needs them.
inline constexpr const char* FoundVersionPattern = QT_TRANSLATE_NOOP("Directions", "Found Version: %1\n Update To: QZ7 V%2?\n");
//: %1 the QZ7's reply as it sent it (at most 40 characters, escaped).
inline constexpr const char* UnexpectedPattern = QT_TRANSLATE_NOOP("Directions", "Unexpected reply: %1\nPlease restart the program\nand the QZ7");
//: %1 the error's own text, from the system.
inline constexpr const char* ExceptionPattern = QT_TRANSLATE_NOOP("Directions", "An Exception Occured:\n%1");
std::string FoundVersion(const std::string& version);
std::string Unexpected(const std::string& reply);
// The same with a pattern given in another form (the terminal's one-line texts).
std::string FoundVersionIn(const std::string& pattern, const std::string& version);
std::string UnexpectedIn(const std::string& pattern, const std::string& reply);
std::string Exception(const char* what);
}  // namespace Directions
