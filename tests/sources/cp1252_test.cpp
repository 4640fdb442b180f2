#include "sources/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario {
namespace {

TEST(Cp1252, DecodesTheBytesThatDifferFromLatin1) {
  struct Case {
    unsigned char byte;
    char32_t code_point;
  };
  // clang-format off
  const Case cases[] = {
      {'A', U'A'},     {0x00, 0x0000},  {0x7F, 0x007F},
      {0x80, 0x20AC},  // euro sign
      {0x8A, 0x0160},  {0x92, 0x2019},  {0x9F, 0x0178},
      // The five unassigned bytes stand for the C1 control of the same value.
      {0x81, 0x0081},  {0x8D, 0x008D},  {0x8F, 0x008F},  {0x90, 0x0090},  {0x9D, 0x009D},
      {0xA0, 0x00A0},  {0xE8, 0x00E8},  {0xFF, 0x00FF},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(static_cast<std::uint32_t>(cp1252_to_unicode(c.byte)), static_cast<std::uint32_t>(c.code_point))
        << std::hex << int(c.byte);
}

TEST(Cp1252, Utf8ConversionRoundTripsEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string utf8 = cp1252_to_utf8(all);
  EXPECT_EQ(utf8_to_cp1252(utf8), all);
  EXPECT_EQ(cp1252_to_utf8("Orvale_Tresca_IC 417-.txt"), "Orvale_Tresca_IC 417-.txt");
  EXPECT_EQ(cp1252_to_utf8("citt\xE0 \x80"), "citt\xC3\xA0 \xE2\x82\xAC");
}

TEST(Cp1252, RejectsInvalidUtf8AndCharactersWithoutACode) {
  const char* cases[] = {
      "\x80",              // lone continuation byte
      "\xC3",              // truncated sequence
      "\xE2\x82",          // truncated sequence
      "\xC0\x80",          // overlong NUL
      "\xE0\x80\xA0",      // overlong
      "\xC4\x80",          // U+0100, no Windows-1252 code
      "\xC2\x80",          // U+0080: its byte 80 means the euro sign, not this
      "\xF0\x9F\x98\x80",  // U+1F600
      "\xFF",
  };
  for (const char* text : cases) EXPECT_EQ(utf8_to_cp1252(text), std::nullopt) << text;
}

TEST(Cp1252, LowerCase) {
  EXPECT_EQ(cp1252_lower("Pendenza [FINE] 417"), "pendenza [fine] 417");
  // Accented capitals, S/OE/Z with caron and Y with diaeresis; the
  // multiplication sign and sharp s have no case.
  EXPECT_EQ(cp1252_lower("\xC0\xC8\xDE\x8A\x8C\x8E\x9F"), "\xE0\xE8\xFE\x9A\x9C\x9E\xFF");
  EXPECT_EQ(cp1252_lower("\xD7\xDF\xE0\xFF"), "\xD7\xDF\xE0\xFF");
}

}  // namespace
}  // namespace scenario
