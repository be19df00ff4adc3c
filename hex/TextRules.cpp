#include "hex/TextRules.h"

std::size_t FindLineEnd(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i)
        if (IsLineEndChar(text[i]))
            return i;
    return std::string_view::npos;
}

std::optional<std::string> DecodeAscii(const char* bytes, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        if (static_cast<unsigned char>(bytes[i]) > 127)
            return std::nullopt;
    return std::string(bytes, count);
}
