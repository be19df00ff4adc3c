#include "hex/HexRecord.h"

#include <cstddef>

namespace {
int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}
}  // namespace

int IntelHexRecordType(std::string_view record)
{
    if (record.size() < 11 || record[0] != ':' || (record.size() - 1) % 2 != 0)
        return -1;
    const std::size_t bytes = (record.size() - 1) / 2;
    unsigned sum = 0;
    int count = 0;
    int type = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        int hi = HexValue(record[1 + 2 * i]);
        int lo = HexValue(record[2 + 2 * i]);
        if (hi < 0 || lo < 0)
            return -1;
        int value = hi * 16 + lo;
        if (i == 0)
            count = value;
        if (i == 3)
            type = value;
        sum += static_cast<unsigned>(value);
    }
    if (bytes != static_cast<std::size_t>(count) + 5 || (sum & 0xFF) != 0 || type > 5)
        return -1;
    return type;
}
