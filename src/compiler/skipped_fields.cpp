#include "compiler/skipped_fields.h"

#include <algorithm>
#include <exception>

#include "sources/cp1252.h"
#include "sources/text_format.h"

namespace scenario {
namespace {

std::string quoted(std::string_view cp1252) {
  std::string out(1, '"');
  out += cp1252_to_utf8(cp1252);
  out += '"';
  return out;
}

std::string lower_ascii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

// The headers the writers emit, each file its own.
constexpr std::string_view kLineSections[] = {"[generale]", "[curve]",       "[pendenze]", "[montagne]",
                                              "[cartelli]", "[indicazioni]", "[fine]"};
constexpr std::string_view kTrainSections[] = {"[generale]",      "[aderenze]", "[vel_limite]", "[stazioni]",
                                               "[rallentamenti]", "[segnali]",  "[codici]",     "[fine]"};

template <std::size_t N>
std::string section_list(const std::string_view (&sections)[N]) {
  std::string out;
  for (std::size_t i = 0; i < N; ++i) out += (i == 0 ? "" : i + 1 == N ? " and " : ", ") + std::string(sections[i]);
  return out;
}

// Letters to change, add or drop to turn `a` into `b`, letter case ignored.
std::size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
      const bool same = fold(a[i - 1]) == fold(b[j - 1]);
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

bool is_bracketed(std::string_view field) {
  return field.find('[') != std::string_view::npos && field.find(']') != std::string_view::npos;
}

// The length of the valid UTF-8 sequence of two to four bytes at `i`, or 0.
std::size_t utf8_sequence(std::string_view s, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = byte(i);
  std::size_t n = 0;
  char32_t cp = 0;
  if (lead >= 0xC2 && lead <= 0xDF)
    n = 2, cp = lead & 0x1F;
  else if (lead >= 0xE0 && lead <= 0xEF)
    n = 3, cp = lead & 0x0F;
  else if (lead >= 0xF0 && lead <= 0xF4)
    n = 4, cp = lead & 0x07;
  else
    return 0;
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

}  // namespace

bool looks_like_number(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
  if (i < field.size() && field[i] == '-') ++i;
  const std::size_t digits = i;
  while (i < field.size() && field[i] >= '0' && field[i] <= '9') ++i;
  return i > digits && i == field.size();
}

SkippedFields::~SkippedFields() {
  // Also reached while a parse unwinds: a warning lost to a failed
  // allocation is better than an exception escaping here.
  try {
    flush();
  } catch (const std::exception&) {
  }
}

RecordedWarning SkippedFields::at(const FieldReader& r, WarningKind kind) const {
  RecordedWarning w;
  w.kind = kind;
  w.file = file_;
  w.line = r.field_line();
  w.column = r.field_column();
  w.end_line = w.line;
  w.end_column = w.column + static_cast<int>(r.field_end() - r.field_start());
  return w;
}

void SkippedFields::record_read(std::string_view keyword) {
  flush();
  absorbing_ = false;
  last_record_ = std::string(keyword);
}

void SkippedFields::record_skipped_by_design() {
  flush();
  absorbing_ = true;
  last_record_.clear();
}

void SkippedFields::number(const FieldReader& r) {
  if (absorbing_) return;
  if (!open_) {
    open_ = Group{at(r, WarningKind::unread_numbers), {}, last_record_, 0};
  }
  ++open_->numbers;
  open_->warning.end_line = r.field_line();
  open_->warning.end_column = r.field_column() + static_cast<int>(r.field_end() - r.field_start());
}

void SkippedFields::unmatched(std::string_view field, const FieldReader& r) {
  if (looks_like_number(field)) return number(r);
  // An empty field (a blank line, a comma at a line's end) says nothing.
  if (field.find_first_not_of(" \t") == std::string_view::npos) return;
  // A separator read after two discarded ones is tested against the rules,
  // but it is a separator all the same.
  if (is_dash_field(field)) return discarded(field, r);
  flush();
  absorbing_ = false;
  last_record_.clear();
  if (is_bracketed(field)) {
    const std::string name = lower_ascii(field);
    bool known = false;
    if (file_ == SourceFile::line_file) {
      for (std::string_view s : kLineSections) known = known || name == s;
    } else {
      for (std::string_view s : kTrainSections) known = known || name == s;
    }
    if (known) return;
    RecordedWarning w = at(r, WarningKind::unknown_section);
    const bool line = file_ == SourceFile::line_file;
    w.message = quoted(field) + " is not a section of the " + (line ? "line" : "train") + " file (" +
                (line ? section_list(kLineSections) : section_list(kTrainSections)) +
                "); nothing reads it, and no record is read differently after it";
    out_.push_back(std::move(w));
    return;
  }
  open_ = Group{at(r, WarningKind::unknown_keyword), std::string(field), {}, 0};
}

void SkippedFields::discarded(std::string_view field, const FieldReader& r) {
  // "-7" is a number that lost its record; "------" is a separator.
  if (looks_like_number(field)) return number(r);
  flush();
  absorbing_ = false;
  last_record_.clear();
}

void SkippedFields::last_field(std::string_view field, const FieldReader& r) {
  flush();
  if (field.find_first_not_of(" \t") == std::string_view::npos) return;
  // "[fine]" and the other headers are meant to be read by nobody.
  if (is_bracketed(field)) return;
  RecordedWarning w = at(r, WarningKind::unread_last_field);
  w.message = quoted(field) + " is the file's last field, which is never interpreted; end the file with \"[fine]\"";
  out_.push_back(std::move(w));
}

void SkippedFields::stored_text(std::string_view text, const FieldReader& r) {
  std::size_t first = std::string_view::npos, length = 0;
  bool all_utf8 = true;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    const std::size_t n = utf8_sequence(text, i);
    if (n == 0) {
      all_utf8 = false;
      ++i;
      continue;
    }
    if (first == std::string_view::npos) first = i, length = n;
    i += n;
  }
  if (first == std::string_view::npos) return;
  RecordedWarning w = at(r, WarningKind::utf8_text);
  const std::string meant = all_utf8 ? std::string(text) : std::string(text.substr(first, length));
  w.message = "\"" + meant + "\" is written in UTF-8, but the compile reads Windows-1252: the simulator will show " +
              quoted(text) + "; save the file as Windows-1252";
  out_.push_back(std::move(w));
}

void SkippedFields::file_start(std::string_view bytes) {
  if (bytes.substr(0, 3) != "\xEF\xBB\xBF") return;
  RecordedWarning w;
  w.kind = WarningKind::utf8_bom;
  w.file = file_;
  w.line = w.end_line = 1;
  w.column = 1;
  w.end_column = 4;
  w.message =
      "the file starts with a UTF-8 byte-order mark: it was saved as UTF-8, but the compile reads Windows-1252; "
      "save it as Windows-1252";
  out_.push_back(std::move(w));
}

void SkippedFields::no_generale() {
  RecordedWarning w;
  w.kind = WarningKind::no_generale;
  w.file = file_;
  w.line = w.end_line = 1;
  w.column = w.end_column = 1;
  w.message = "no field holds \"[generale]\": none of this file is read";
  out_.push_back(std::move(w));
}

void SkippedFields::flush() {
  if (!open_) return;
  Group g = std::move(*open_);
  open_.reset();
  const std::string numbers = std::to_string(g.numbers) + (g.numbers == 1 ? " number" : " numbers");
  if (!g.field.empty()) {
    g.warning.message = quoted(g.field) + " matches no keyword of " + part_ + " and is skipped";
    if (g.numbers > 0) g.warning.message += ", with the " + numbers + " after it";
    // The one keyword within two letters, if there is exactly one.
    std::string_view nearest;
    int near = 0;
    if (g.field.size() < 64)
      for (std::string_view k : keywords_)
        if (edit_distance(g.field, k) <= 2) nearest = k, ++near;
    if (near == 1) g.warning.message += "; did you mean \"" + std::string(nearest) + "\"?";
  } else if (!g.after.empty()) {
    g.warning.message = numbers + " after the " + quoted(g.after) + " record " + (g.numbers == 1 ? "is" : "are") +
                        " not read: the record takes no more values";
  } else {
    g.warning.message = numbers + " that no record reads " + (g.numbers == 1 ? "is" : "are") + " skipped";
  }
  out_.push_back(std::move(g.warning));
}

}  // namespace scenario
