#include "core/Directions.h"

#include "firmware/Firmware.h"

std::string Directions::FoundVersion(const std::string& version)
{
    return "Found Version: " + version + "\n Update To: QZ7 V" + Firmware::Version + "?\n";
}

std::string Directions::Unexpected(const std::string& reply)
{
    return "Unexpected reply: " + reply.substr(0, 40) + "\nPlease restart the program\nand the QZ7";
}

std::string Directions::Exception(const char* what)
{
    return std::string("An Exception Occured:\n") + what;
}
