#pragma once
#include <string_view>

// Checks one Intel HEX record (without its line end): ":" start, hex digits, a byte count that
// matches, a known record type and a checksum that sums to zero. Returns the record type
// (0 to 5), or -1 when the record is malformed.
int IntelHexRecordType(std::string_view record);
