// Reading a scenario source: a byte buffer taken as a stream of text fields
// and number fields. The reader never looks at lines as records; records are
// recognised by keywords inside text fields (see keyword_matches).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace scenario {

// A field that cannot be read: the end of the buffer, a number that is not a
// decimal integer, or a value outside the width it is stored into. The
// compiler turns it into its catch-all code.
class FormatError : public std::runtime_error {
 public:
  FormatError(const std::string& what, int line, int column = 0)
      : std::runtime_error(what), line_(line), column_(column) {}
  int line() const { return line_; }
  int column() const { return column_; }

 private:
  int line_;
  int column_;
};

class FieldReader {
 public:
  // The reader keeps a view: `bytes` must outlive it.
  explicit FieldReader(std::string_view bytes) : bytes_(bytes) {}

  // The end-of-file question: true when no byte is left.
  bool at_end() const { return pos_ >= bytes_.size(); }

  // Text field: leading blanks skipped, then everything up to the next comma
  // or line end (neither included, the delimiter consumed); a field opening
  // with a double quote runs to the closing one and may hold commas. Blanks
  // at the end of an unquoted field are dropped.
  std::string read_text();

  // Number fields: blanks and line ends before the number are skipped; an
  // optional minus sign and decimal digits, ending at a blank, comma or line
  // end; blanks after it are skipped and a comma or one line end consumed.
  std::int32_t read_i32();
  std::int16_t read_i16();
  std::uint8_t read_u8();

  // 1-based line on which the last field read began.
  int field_line() const { return field_line_; }
  // 1-based column (in bytes) at which the last field read began: its first
  // byte after the blanks skipped, or its opening quote.
  int field_column() const { return static_cast<int>(field_start_ - field_line_start_) + 1; }
  // Byte offsets of the last field read: where it began, and one past its
  // last byte (the closing quote included, the delimiter not).
  std::size_t field_start() const { return field_start_; }
  std::size_t field_end() const { return field_end_; }
  // 1-based line at the reader's position.
  int line() const { return line_; }

 private:
  long long read_number(long long min, long long max, const char* width);
  bool at_line_end() const;
  void consume_line_end();
  void skip_blanks();
  [[noreturn]] void fail(const std::string& what) const;

  // Marks where the field being read starts, for field_line and field_column.
  void mark_field_start() {
    field_line_ = line_;
    field_start_ = pos_;
    field_end_ = pos_;
    field_line_start_ = line_start_;
  }

  std::string_view bytes_;
  std::size_t pos_ = 0;
  int line_ = 1;
  std::size_t line_start_ = 0;  // offset of the first byte of the current line
  int field_line_ = 1;
  std::size_t field_start_ = 0;
  std::size_t field_end_ = 0;
  std::size_t field_line_start_ = 0;
};

// A keyword rule's word test: `word` occurs in `field` as a substring, letter
// case ignored unless the rule is case-sensitive.
bool contains_word(std::string_view field, std::string_view word, bool case_sensitive = false);

// A field that holds a "-" anywhere is a dash field, replaced by the next one.
inline bool is_dash_field(std::string_view field) { return field.find('-') != std::string_view::npos; }

}  // namespace scenario
