#include "tools/lsp/analyses.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "compiler/code_meanings.h"
#include "compiler/numeric.h"
#include "sources/cp1252.h"
#include "tools/report.h"

namespace scenario::tool::lsp {
namespace {

Range range_of(const Span& s) { return {{s.line, s.column}, {s.line, s.end_column}}; }

// A record's whole extent: from its keyword to its last value.
Range record_range(const RecordSpan& r) {
  Range out = range_of(r.keyword);
  if (!r.values.empty()) out.end = {r.values.back().span.line, r.values.back().span.end_column};
  return out;
}

const DocumentLayout& layout_of(const FolderResult& result, SourceFile which) {
  return which == SourceFile::line_file ? result.line : result.train;
}

// The record of `layout` whose keyword stands at the 1-based line and column.
const RecordSpan* record_starting(const DocumentLayout& layout, int line, int column) {
  for (const RecordSpan& r : layout.records)
    if (r.keyword.line == line - 1 && (column == 0 || r.keyword.column == column - 1)) return &r;
  return nullptr;
}

std::int64_t cell_of(std::int64_t metres, CellRule rule) {
  switch (rule) {
    case CellRule::point:
      return std::llround(round_half_even(static_cast<double>(metres) / 50.0 + 1));
    case CellRule::cell_below:
      return std::llround(round_half_even(static_cast<double>(metres) / 50.0));
    case CellRule::tunnel_end:
      return std::llround(round_half_even(static_cast<double>(metres) / 50.0 - 1));
    case CellRule::none:
      break;
  }
  return 0;
}

// The train record whose cell the grid pass names: a signal for code 11, a
// slowdown for codes 12 and 13.
const RecordSpan* grid_record(const DocumentLayout& train, std::int32_t code, std::int64_t cell) {
  const RecordSpan* found = nullptr;
  for (const RecordSpan& r : train.records) {
    if (r.values.empty()) continue;
    const std::string_view kw = r.info->keyword;
    const std::int64_t start = cell_of(r.values[0].number, CellRule::point);
    if (code == 11 && kw == "segnale" && start == cell) return &r;
    if (kw != "rallentamento") continue;
    if (code == 12 && start == cell) return &r;
    if (code == 13 && r.values.size() >= 3) {
      const std::int64_t end = cell_of(r.values[0].number + r.values[2].number, CellRule::point);
      if (start <= cell && cell <= end && (!found || found->values[0].number <= r.values[0].number)) found = &r;
    }
  }
  return found;
}

std::string width_text(Width w) {
  switch (w) {
    case Width::i32:
      return "32-bit signed";
    case Width::i16:
      return "16-bit signed (-32768 to 32767)";
    case Width::u8:
      return "8-bit unsigned (0 to 255)";
    case Width::text:
      return "text";
  }
  return {};
}

std::string ordinal(std::size_t n) {
  static const char* const kNames[] = {"first",      "second",     "third",     "fourth",    "fifth",      "sixth",
                                       "seventh",    "eighth",     "ninth",     "tenth",     "eleventh",   "twelfth",
                                       "thirteenth", "fourteenth", "fifteenth", "sixteenth", "seventeenth"};
  return n < std::size(kNames) ? kNames[n] : std::to_string(n + 1) + "th";
}

std::string field_list(const RecordInfo& info) {
  std::string out(info.keyword);
  for (const FieldInfo& f : info.fields) out += ", " + std::string(f.name);
  return out;
}

}  // namespace

std::string km_text(std::int64_t metres) {
  const std::int64_t m = std::llabs(metres);
  std::string rest = std::to_string(m % 1000);
  rest.insert(0, 3 - rest.size(), '0');
  return std::string("km ") + (metres < 0 ? "-" : "") + std::to_string(m / 1000) + "+" + rest;
}

std::vector<Diagnostic> diagnostics(const FolderResult& result, SourceFile which) {
  std::vector<Diagnostic> out;
  const DocumentLayout& layout = layout_of(result, which);
  const Range top{{0, 0}, {0, 0}};
  if (!result.outcome) {
    Diagnostic d;
    d.range = top;
    d.message = result.input_error + ": the two sources of a scenario are checked together";
    out.push_back(std::move(d));
    return out;
  }
  const CompileOutcome& outcome = *result.outcome;
  const std::vector<std::string> texts = code_texts(outcome);
  for (std::size_t i = 0; i < outcome.recorded.size(); ++i) {
    const RecordedCode& r = outcome.recorded[i];
    Diagnostic d;
    d.code = r.code;
    d.message = texts[i];
    if (r.file == SourceFile::none) {
      // The grid pass's codes: at the record that placed the object.
      if (which != SourceFile::train_file) continue;
      d.range = top;
      if (r.position) {
        const std::int64_t cell = *r.position / 50;
        if (const RecordSpan* rec = grid_record(layout, r.code, cell)) d.range = record_range(*rec);
        d.message += " (at " + position_text(*r.position) + ", grid cell " + std::to_string(cell) + ")";
      }
      out.push_back(std::move(d));
      continue;
    }
    if (r.file != which) continue;
    if (r.position) d.message += " (at " + position_text(*r.position) + ")";
    d.range = top;
    if (r.line > 0) {
      const int column = std::max(r.column, 1) - 1;
      // A code 25 stands at the field that could not be read.
      d.range = {{r.line - 1, column}, {r.line - 1, std::max(column + 1, token_end(layout, r.line - 1, column))}};
      if (const RecordSpan* rec = record_starting(layout, r.line, r.column)) d.range = record_range(*rec);
    }
    out.push_back(std::move(d));
  }
  for (const RecordedWarning& w : outcome.warnings) {
    if (w.file != which) continue;
    Diagnostic d;
    d.severity = Severity::warning;
    d.name = std::string(warning_name(w.kind));
    d.message = w.message;
    d.range = {{w.line - 1, w.column - 1}, {w.end_line - 1, w.end_column - 1}};
    out.push_back(std::move(d));
  }
  if (which == SourceFile::train_file) {
    if (outcome.fatal) {
      Diagnostic d;
      d.range = top;
      d.code = std::atoi(outcome.fatal->c_str());
      d.message = std::string(code_meaning(*d.code)) + "; the compile ends with \" Errore n. " + *outcome.fatal +
                  "\" and writes no binary file";
      out.push_back(std::move(d));
    }
    if (outcome.runtime_failure) {
      Diagnostic d;
      d.range = top;
      d.message = "run-time failure: " + *outcome.runtime_failure + "; no binary file written";
      out.push_back(std::move(d));
    }
  }
  return out;
}

std::optional<Hover> hover(const DocumentLayout& layout, Position at) {
  int index = -1;
  const RecordSpan* rec = record_at(layout, at.line, at.character, index);
  if (!rec) return std::nullopt;
  const RecordInfo& info = *rec->info;
  Hover h;
  if (index < 0) {
    h.range = range_of(rec->keyword);
    h.markdown = "**" + std::string(info.keyword) + "**: " + std::string(info.summary) + "\n\n```\n" +
                 field_list(info) + "\n```\n";
    for (std::size_t i = 0; i < info.fields.size(); ++i) {
      const FieldInfo& f = info.fields[i];
      h.markdown += '\n';
      h.markdown += std::to_string(i + 1);
      h.markdown += ". `";
      h.markdown += f.name;
      h.markdown += '`';
      if (!f.unit.empty()) h.markdown += " (" + std::string(f.unit) + ")";
      if (!f.meaning.empty()) h.markdown += ": " + std::string(f.meaning);
    }
    h.markdown += "\n";
    return h;
  }
  const FieldInfo& f = info.fields[static_cast<std::size_t>(index)];
  const ValueSpan& v = rec->values[static_cast<std::size_t>(index)];
  h.range = range_of(v.span);
  h.markdown = "**" + std::string(f.name) + "**: the " + ordinal(static_cast<std::size_t>(index)) + " value of **" +
               std::string(info.keyword) + "**";
  if (!f.meaning.empty()) h.markdown += "\n\n" + std::string(f.meaning);
  h.markdown += "\n\n" + width_text(f.width);
  if (!f.unit.empty()) h.markdown += ", in " + std::string(f.unit);
  if (!f.limits.empty()) h.markdown += "; " + std::string(f.limits);
  if (f.unit == "m" && f.width != Width::text) {
    h.markdown += "\n\n" + std::to_string(v.number) + " m, " + km_text(v.number);
    if (f.cell != CellRule::none) h.markdown += ", grid cell " + std::to_string(cell_of(v.number, f.cell));
  }
  if (f.width == Width::text) {
    h.markdown += "\n\n\"";
    h.markdown += cp1252_to_utf8(v.text);
    h.markdown += '"';
  }
  return h;
}

std::vector<InlayHint> inlay_hints(const DocumentLayout& layout, Range range) {
  std::vector<InlayHint> out;
  for (const RecordSpan& r : layout.records) {
    if (r.keyword.line > range.end.line) break;
    for (std::size_t i = 0; i < r.values.size(); ++i) {
      const Span& s = r.values[i].span;
      if (s.line < range.start.line || s.line > range.end.line) continue;
      out.push_back({{s.line, s.column}, std::string(r.info->fields[i].name) + ":"});
    }
  }
  return out;
}

std::vector<CompletionItem> completion(const DocumentLayout& layout, Position at) {
  Part part = Part::train;
  if (layout.which == SourceFile::line_file) {
    const bool in_general = layout.generale_line >= 0 && at.line > layout.generale_line &&
                            (layout.general_end_line < 0 || at.line < layout.general_end_line);
    part = in_general ? Part::line_general : Part::line_records;
  }
  std::vector<CompletionItem> out;
  for (const RecordInfo& info : records_of(part)) {
    CompletionItem item;
    item.label = std::string(info.keyword);
    item.detail = field_list(info);
    item.documentation = std::string(info.summary);
    std::string head = item.label;
    int n = 1;
    if (info.keyword == "curvad4") {
      head = "curva${1|d,s|}${2|1,2,3,4,5,6|}";
      n = 3;
    } else if (info.keyword == "ripetizione segnali 9 codici") {
      head = "ripetizione segnali ${1|9,4|} codici";
      n = 2;
    }
    item.snippet = head;
    const bool blanks = info.keyword == "orologio";
    for (std::size_t i = 0; i < info.fields.size(); ++i, ++n)
      item.snippet += std::string(blanks && i > 0 ? " " : ", ") + "${" + std::to_string(n) + ":" +
                      std::string(info.fields[i].name) + "}";
    out.push_back(std::move(item));
  }
  return out;
}

std::vector<DocumentSymbol> document_symbols(const DocumentLayout& layout) {
  std::vector<DocumentSymbol> out;
  auto last_line = layout.line_count - 1;
  for (std::size_t i = 0; i < layout.sections.size(); ++i) {
    const SectionSpan& s = layout.sections[i];
    DocumentSymbol sym;
    sym.name = cp1252_to_utf8(s.name);
    sym.kind = 3;  // Namespace
    sym.selection = range_of(s.header);
    // Up to the next header's line, or past the last line.
    const bool last = i + 1 == layout.sections.size();
    const int next_line = last ? last_line + 1 : layout.sections[i + 1].header.line;
    sym.range = {{s.header.line, 0}, {next_line, 0}};
    if (next_line <= s.header.line) sym.range.end = sym.selection.end;
    out.push_back(std::move(sym));
  }
  auto section_for = [&](int line) -> DocumentSymbol* {
    DocumentSymbol* found = nullptr;
    for (std::size_t i = 0; i < layout.sections.size(); ++i)
      if (layout.sections[i].header.line <= line) found = &out[i];
    return found;
  };
  std::vector<DocumentSymbol> loose;
  for (const RecordSpan& r : layout.records) {
    if (!r.info->outline || r.values.empty()) continue;
    DocumentSymbol sym;
    const std::string_view kw = r.info->keyword;
    sym.range = record_range(r);
    sym.selection = range_of(r.keyword);
    const std::int64_t at = r.values[0].number;
    if (kw == "stazione") {
      sym.kind = 19;  // Object
      sym.name = r.values.size() == r.info->fields.size() ? cp1252_to_utf8(r.values.back().text) : "stazione";
      if (sym.name.empty()) sym.name = "stazione";
      sym.detail = km_text(at);
    } else {
      sym.kind = kw == "segnale" ? 14 : kw == "rallentamento" ? 24 : 15;  // Constant, Event, String
      sym.name = std::string(kw) + " " + km_text(at);
      if (kw == "cartello_indicatore" && r.values.size() > 1) sym.detail = cp1252_to_utf8(r.values[1].text);
    }
    DocumentSymbol* section = section_for(r.keyword.line);
    if (section) {
      if (section->range.end.line < sym.range.end.line ||
          (section->range.end.line == sym.range.end.line && section->range.end.character < sym.range.end.character))
        section->range.end = sym.range.end;
      section->children.push_back(std::move(sym));
    } else {
      loose.push_back(std::move(sym));
    }
  }
  out.insert(out.end(), std::make_move_iterator(loose.begin()), std::make_move_iterator(loose.end()));
  return out;
}

}  // namespace scenario::tool::lsp
