// Windows-1252, the single-byte encoding of every text the system writes and
// of the names that form its file names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace scenario {

// Unicode code point of a Windows-1252 byte; the five unassigned bytes (81,
// 8D, 8F, 90, 9D) map to the C1 control of the same value.
char32_t cp1252_to_unicode(unsigned char byte);

// Windows-1252 bytes to UTF-8.
std::string cp1252_to_utf8(std::string_view text);

// UTF-8 to Windows-1252; nullopt when the text is not valid UTF-8 or holds a
// character that has no Windows-1252 code.
std::optional<std::string> utf8_to_cp1252(std::string_view text);

// Lower case with the Windows-1252 case mapping (A-Z, the accented capitals
// C0-DE except D7, and the three capitals 8A, 8C, 8E, 9F).
std::string cp1252_lower(std::string_view text);

}  // namespace scenario
