// The one write loop of every text file the system writes: a table of lines
// closed by the end marker, each line written as it stands followed by CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "run/folder.h"

namespace scenario {

// Closes a line table; never written. No line of a text file may equal it.
inline constexpr std::string_view kEndMarker = "riferimento fine del file";

// A writer's table of lines: at most 1000 lines before the end marker, as the
// one-shot program's writers hold them; a document derived from a scenario
// may ask for more.
class LineTable {
 public:
  static constexpr std::size_t kMaxLines = 1000;

  explicit LineTable(std::size_t max_lines = kMaxLines) : max_lines_(max_lines) {}

  // Throws std::length_error past the table's size.
  void add(std::string line);
  std::size_t size() const { return lines_.size(); }
  const std::vector<std::string>& lines() const { return lines_; }
  // Every line followed by the end marker, as the write loop reads it.
  std::vector<std::string> entries() const;

 private:
  std::size_t max_lines_;
  std::vector<std::string> lines_;
};

// The bytes of a text file: every entry up to the first one equal to the end
// marker (whole string, case-sensitive), each followed by CR LF.
std::string render_lines(const std::vector<std::string>& entries);

// Creates the file from empty and writes the rendered lines in one go.
void write_text_file(Folder& folder, const std::string& name, const std::vector<std::string>& entries);

// Right-aligns a value in a field of `width` characters (never cuts it).
std::string right(long long value, std::size_t width);
std::string right(std::string_view text, std::size_t width);
// Left-aligns text in a field of `width` characters (never cuts it).
std::string left(std::string_view text, std::size_t width);

}  // namespace scenario
