#include "sources/text_format.h"

#include <algorithm>

namespace scenario {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// A field quoted in a message: a field of megabytes must not make one.
std::string excerpt(std::string_view field) {
  constexpr std::size_t kMost = 40;
  if (field.size() <= kMost) return std::string(field);
  return std::string(field.substr(0, kMost)) + "... (" + std::to_string(field.size()) + " characters)";
}

}  // namespace

bool FieldReader::at_line_end() const {
  return pos_ < bytes_.size() && (bytes_[pos_] == '\r' || bytes_[pos_] == '\n');
}

// CR LF, a lone CR and a lone LF each end one line.
void FieldReader::consume_line_end() {
  if (bytes_[pos_] == '\r') {
    ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
  } else {
    ++pos_;
  }
  ++line_;
  line_start_ = pos_;
}

void FieldReader::skip_blanks() {
  while (pos_ < bytes_.size() && is_blank(bytes_[pos_])) ++pos_;
}

void FieldReader::fail(const std::string& what) const { throw FormatError(what, field_line_, field_column()); }

std::string FieldReader::read_text() {
  mark_field_start();
  if (at_end()) fail("reading past the end of the file");
  skip_blanks();
  mark_field_start();
  std::string field;
  if (pos_ < bytes_.size() && bytes_[pos_] == '"') {
    ++pos_;
    std::size_t close = bytes_.find('"', pos_);
    if (close == std::string_view::npos) close = bytes_.size();
    field.assign(bytes_.substr(pos_, close - pos_));
    // A quoted field may run over line ends; count them as consume_line_end
    // does (CR LF, lone CR, lone LF).
    for (std::size_t i = 0; i < field.size(); ++i)
      if (field[i] == '\n' || (field[i] == '\r' && (i + 1 == field.size() || field[i + 1] != '\n'))) {
        ++line_;
        line_start_ = pos_ + i + 1;
      }
    pos_ = std::min(close + 1, bytes_.size());
    field_end_ = pos_;
    while (pos_ < bytes_.size() && bytes_[pos_] != ',' && !at_line_end()) ++pos_;
  } else {
    std::size_t start = pos_;
    while (pos_ < bytes_.size() && bytes_[pos_] != ',' && !at_line_end()) ++pos_;
    field.assign(bytes_.substr(start, pos_ - start));
    while (!field.empty() && is_blank(field.back())) field.pop_back();
    field_end_ = start + field.size();
  }
  if (pos_ < bytes_.size()) {
    if (bytes_[pos_] == ',')
      ++pos_;
    else
      consume_line_end();
  }
  return field;
}

long long FieldReader::read_number(long long min, long long max, const char* width) {
  while (pos_ < bytes_.size() && (is_blank(bytes_[pos_]) || at_line_end())) {
    if (at_line_end())
      consume_line_end();
    else
      ++pos_;
  }
  mark_field_start();
  if (at_end()) fail("reading past the end of the file");
  std::size_t start = pos_;
  bool negative = false;
  if (bytes_[pos_] == '-') {
    negative = true;
    ++pos_;
  }
  long long value = 0;
  bool digits = false;
  bool too_wide = false;
  while (pos_ < bytes_.size() && bytes_[pos_] >= '0' && bytes_[pos_] <= '9') {
    digits = true;
    if (value <= 100000000000LL) value = value * 10 + (bytes_[pos_] - '0');
    else too_wide = true;
    ++pos_;
  }
  if (pos_ < bytes_.size() && bytes_[pos_] != ',' && !is_blank(bytes_[pos_]) && !at_line_end()) {
    std::size_t end = pos_;
    while (end < bytes_.size() && bytes_[end] != ',' && !is_blank(bytes_[end]) && bytes_[end] != '\r' &&
           bytes_[end] != '\n')
      ++end;
    field_end_ = end;
    fail("'" + excerpt(bytes_.substr(start, end - start)) + "' is not a whole number");
  }
  field_end_ = pos_;
  if (!digits) fail("a number is missing");
  if (negative) value = -value;
  if (too_wide || value < min || value > max)
    fail(excerpt(bytes_.substr(start, pos_ - start)) + " does not fit in " + width);
  skip_blanks();
  if (pos_ < bytes_.size()) {
    if (bytes_[pos_] == ',')
      ++pos_;
    else if (at_line_end())
      consume_line_end();
  }
  return value;
}

std::int32_t FieldReader::read_i32() {
  return static_cast<std::int32_t>(read_number(INT32_MIN, INT32_MAX, "a 32-bit signed field"));
}

std::int16_t FieldReader::read_i16() {
  return static_cast<std::int16_t>(read_number(INT16_MIN, INT16_MAX, "a 16-bit signed field"));
}

std::uint8_t FieldReader::read_u8() {
  return static_cast<std::uint8_t>(read_number(0, 255, "an 8-bit unsigned field (0 to 255)"));
}

bool contains_word(std::string_view field, std::string_view word, bool case_sensitive) {
  if (case_sensitive) return field.find(word) != std::string_view::npos;
  auto it = std::search(field.begin(), field.end(), word.begin(), word.end(),
                        [](char a, char b) { return fold(a) == fold(b); });
  return it != field.end() || word.empty();
}

}  // namespace scenario
