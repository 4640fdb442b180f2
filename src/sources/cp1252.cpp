#include "sources/cp1252.h"

#include <array>

namespace scenario {
namespace {

// Bytes 80 to 9F; the others map to the code point of the same value.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::optional<unsigned char> unicode_to_cp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == cp) return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

}  // namespace

char32_t cp1252_to_unicode(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHigh[byte - 0x80];
  return byte;
}

std::string cp1252_to_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) append_utf8(out, cp1252_to_unicode(static_cast<unsigned char>(c)));
  return out;
}

std::optional<std::string> utf8_to_cp1252(std::string_view text) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    char32_t cp;
    std::size_t len;
    if (b < 0x80) {
      cp = b, len = 1;
    } else if ((b & 0xE0) == 0xC0) {
      cp = b & 0x1F, len = 2;
    } else if ((b & 0xF0) == 0xE0) {
      cp = b & 0x0F, len = 3;
    } else if ((b & 0xF8) == 0xF0) {
      cp = b & 0x07, len = 4;
    } else {
      return std::nullopt;
    }
    if (i + len > text.size()) return std::nullopt;
    for (std::size_t k = 1; k < len; ++k) {
      unsigned char c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) return std::nullopt;
      cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms are not valid UTF-8.
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000))
      return std::nullopt;
    auto byte = unicode_to_cp1252(cp);
    if (!byte) return std::nullopt;
    out += static_cast<char>(*byte);
    i += len;
  }
  return out;
}

std::string cp1252_lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    unsigned char b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
      b = static_cast<unsigned char>(b + 0x20);
    } else if (b == 0x8A || b == 0x8C || b == 0x8E) {
      b = static_cast<unsigned char>(b + 0x10);
    } else if (b == 0x9F) {
      b = 0xFF;
    }
    c = static_cast<char>(b);
  }
  return out;
}

}  // namespace scenario
