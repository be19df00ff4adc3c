#include "FirmwareImage.h"

#include "HexRecord.h"
#include "ReplyRules.h"

#include <QFile>

std::optional<std::string> LoadShippedFirmware()
{
    QFile file(kFirmwareResource);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    return DecodeAscii(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}


std::string CheckFirmwareImage(std::string_view text)
{
    if (text.empty())
        return "the image is empty";
    if (!DecodeAscii(text.data(), text.size()))
        return "the image is not 7-bit ASCII";
    std::size_t pos = 0;
    int line = 0;
    bool ended = false;
    while (pos < text.size()) {
        ++line;
        if (ended)
            return "line " + std::to_string(line) + " follows the end-of-file record";
        std::size_t crlf = text.find("\r\n", pos);
        if (crlf == std::string_view::npos)
            return "line " + std::to_string(line) + " does not end in CR LF";
        std::string_view record = text.substr(pos, crlf - pos);
        if (FindLineEnd(record) != std::string_view::npos)
            return "line " + std::to_string(line) + " holds a stray line end";
        int type = IntelHexRecordType(record);
        if (type < 0)
            return "line " + std::to_string(line) + " is not a valid record";
        if (type == 1)
            ended = true;
        pos = crlf + 2;
    }
    if (!ended)
        return "the end-of-file record is missing";
    return {};
}

ImageLine TakeImageLine(std::string_view remainder)
{
    std::size_t lineEnd = FindLineEnd(remainder);
    if (lineEnd == std::string_view::npos || lineEnd + 2 > remainder.size())
        return {remainder, remainder.size()};
    std::string_view line = remainder.substr(0, lineEnd + 2);
    std::size_t next = remainder.find(':', lineEnd + 2);
    return {line, next == std::string_view::npos ? remainder.size() : next};
}
