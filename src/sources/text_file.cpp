#include "sources/text_file.h"

#include <stdexcept>

namespace scenario {

void LineTable::add(std::string line) {
  if (lines_.size() >= max_lines_)
    throw std::length_error("line table holds at most " + std::to_string(max_lines_) + " lines");
  lines_.push_back(std::move(line));
}

std::vector<std::string> LineTable::entries() const {
  std::vector<std::string> out = lines_;
  out.emplace_back(kEndMarker);
  return out;
}

std::string render_lines(const std::vector<std::string>& entries) {
  std::string bytes;
  for (const std::string& entry : entries) {
    if (entry == kEndMarker) break;
    bytes += entry;
    bytes += "\r\n";
  }
  return bytes;
}

void write_text_file(Folder& folder, const std::string& name, const std::vector<std::string>& entries) {
  folder.write(name, render_lines(entries));
}

std::string right(std::string_view text, std::size_t width) {
  std::string out;
  if (text.size() < width) out.assign(width - text.size(), ' ');
  out += text;
  return out;
}

std::string right(long long value, std::size_t width) { return right(std::to_string(value), width); }

std::string left(std::string_view text, std::size_t width) {
  std::string out(text);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

}  // namespace scenario
