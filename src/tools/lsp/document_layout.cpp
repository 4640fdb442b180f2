#include "tools/lsp/document_layout.h"

#include <algorithm>

#include "sources/text_format.h"

namespace scenario::tool::lsp {
namespace {

bool bracketed(std::string_view field) {
  return field.find('[') != std::string_view::npos && field.find(']') != std::string_view::npos;
}

// The field that ends the line file's general section.
bool ends_general(std::string_view field) {
  const std::size_t first = field.find_first_not_of(" \t");
  if (first != std::string_view::npos && field[first] == '-') return false;
  return bracketed(field);
}

class Scanner {
 public:
  Scanner(std::string_view bytes, DocumentLayout& out) : r_(bytes), out_(out) {}

  Span span() const {
    Span s;
    s.line = r_.field_line() - 1;
    s.column = r_.field_column() - 1;
    s.end_column = s.column + static_cast<int>(r_.field_end() - r_.field_start());
    return s;
  }

  std::string text() {
    std::string f = r_.read_text();
    if (bracketed(f)) out_.sections.push_back({f, span()});
    return f;
  }

  void read_records(Part part, const std::string& field, const Span& at) {
    for (const RecordInfo& info : records_of(part)) {
      if (!matches(info, field)) continue;
      RecordSpan rec;
      rec.info = &info;
      rec.keyword = at;
      rec.keyword_text = field;
      out_.records.push_back(std::move(rec));
      for (const FieldInfo& f : info.fields) {
        ValueSpan v;
        if (f.width == Width::text) {
          v.text = r_.read_text();
        } else {
          v.number = r_.read_i32();
        }
        v.span = span();
        if (f.width != Width::text) v.text = std::to_string(v.number);
        out_.records.back().values.push_back(std::move(v));
      }
    }
  }

  void run() {
    const bool line_file = out_.which == SourceFile::line_file;
    for (;;) {
      if (r_.at_end()) return;
      std::string f = text();
      if (line_file && r_.at_end()) return;
      if (contains_word(f, "[generale]")) {
        out_.generale_line = span().line;
        break;
      }
    }
    if (line_file) {
      for (;;) {
        if (r_.at_end()) break;
        std::string f = text();
        if (r_.at_end()) break;
        for (int t = 0; t < 10; ++t)
          if (is_dash_field(f)) f = text();
        const Span at = span();
        read_records(Part::line_general, f, at);
        if (ends_general(f)) {
          out_.general_end_line = at.line;
          break;
        }
      }
    }
    const Part part = line_file ? Part::line_records : Part::train;
    for (;;) {
      if (r_.at_end()) break;
      std::string f;
      bool at_end = false;
      for (int replaced = 0;; ++replaced) {
        f = text();
        if (r_.at_end()) {
          at_end = true;
          break;
        }
        if (replaced == 2 || !is_dash_field(f)) break;
      }
      if (at_end) break;
      read_records(part, f, span());
    }
  }

 private:
  FieldReader r_;
  DocumentLayout& out_;
};

}  // namespace

DocumentLayout scan_layout(std::string_view bytes, SourceFile which) {
  DocumentLayout layout;
  layout.which = which;
  layout.bytes = std::string(bytes);
  layout.line_starts.push_back(0);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
      layout.line_starts.push_back(i + 1);
  layout.line_count = static_cast<int>(layout.line_starts.size());
  Scanner scanner(bytes, layout);
  try {
    scanner.run();
  } catch (const FormatError&) {
    // The fields end here, as they do for the compile.
  }
  return layout;
}

int token_end(const DocumentLayout& layout, int line, int column) {
  if (line < 0 || column < 0 || line >= layout.line_count) return column;
  std::size_t i = layout.line_starts[static_cast<std::size_t>(line)] + static_cast<std::size_t>(column);
  const std::size_t start = i;
  while (i < layout.bytes.size() && layout.bytes[i] != ',' && layout.bytes[i] != ' ' && layout.bytes[i] != '\t' &&
         layout.bytes[i] != '\r' && layout.bytes[i] != '\n')
    ++i;
  return column + static_cast<int>(i - std::min(start, i));
}

const RecordSpan* record_at(const DocumentLayout& layout, int line, int column, int& value_index) {
  auto holds = [&](const Span& s) { return s.line == line && column >= s.column && column <= s.end_column; };
  // Records are in file order: find the first whose keyword is past the position.
  auto it = std::upper_bound(layout.records.begin(), layout.records.end(), line,
                             [](int l, const RecordSpan& r) { return l < r.keyword.line; });
  // A record's values may run onto the following lines: look back a little.
  for (int back = 0; it != layout.records.begin() && back < 64; ++back) {
    --it;
    if (holds(it->keyword)) {
      value_index = -1;
      return &*it;
    }
    for (std::size_t i = 0; i < it->values.size(); ++i)
      if (holds(it->values[i].span)) {
        value_index = static_cast<int>(i);
        return &*it;
      }
    if (it->keyword.line < line - 32) break;
  }
  return nullptr;
}

}  // namespace scenario::tool::lsp
