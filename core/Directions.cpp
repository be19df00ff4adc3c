#include "core/Directions.h"

#include "core/Words.h"
#include "firmware/Firmware.h"

std::string Directions::FoundVersion(const std::string& version)
{
    return FoundVersionIn(Words::Tr("Directions", FoundVersionPattern), version);
}

std::string Directions::FoundVersionIn(const std::string& pattern, const std::string& version)
{
    return Words::Fill(pattern, {version, Firmware::Version});
}

std::string Directions::Unexpected(const std::string& reply)
{
    return UnexpectedIn(Words::Tr("Directions", UnexpectedPattern), reply);
}

std::string Directions::UnexpectedIn(const std::string& pattern, const std::string& reply)
{
    return Words::Fill(pattern, {reply.substr(0, 40)});
}

std::string Directions::Exception(const char* what)
{
    return Words::Fill(Words::Tr("Directions", ExceptionPattern), {what});
}
