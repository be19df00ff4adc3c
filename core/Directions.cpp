#include "core/Directions.h"

#include "core/Words.h"
#include "firmware/Firmware.h"

std::string Directions::FoundVersion(const std::string& version)
{
    return Words::Fill(Words::Tr("Directions", FoundVersionPattern), {version, Firmware::Version});
}

std::string Directions::Unexpected(const std::string& reply)
{
    return Words::Fill(Words::Tr("Directions", UnexpectedPattern), {reply.substr(0, 40)});
}

std::string Directions::Exception(const char* what)
{
    return Words::Fill(Words::Tr("Directions", ExceptionPattern), {what});
}
