// The records of the two sources as an author sees them: for each keyword
// rule, in the parser's order, the words it matches and the values it reads,
// with the names the compiler gives them, their meaning, unit and limits.
// The editor's hover, hints, completion and outline come from this table.
#pragma once

#include <span>
#include <string_view>

namespace scenario::tool::lsp {

// Where a value is stored, which bounds what it may hold.
enum class Width { i32, i16, u8, text };

// How a position value maps to a grid cell, for the hover.
enum class CellRule {
  none,
  point,       // round(p / 50 + 1): signals, boards, slowdown starts, profiles
  cell_below,  // round(p / 50): abbattimento points, a tunnel's first cell
  tunnel_end,  // round(p / 50 - 1): a tunnel's last cell
};

struct FieldInfo {
  std::string_view name;
  std::string_view meaning;
  std::string_view unit;  // "m", "km/h", "‰", or empty
  Width width = Width::i32;
  std::string_view limits;  // beyond the width's own range, or empty
  CellRule cell = CellRule::none;
};

// Which part of a file a rule belongs to.
enum class Part { line_general, line_records, train };

struct Word {
  std::string_view text;
  bool case_sensitive = false;
};

struct RecordInfo {
  Part part;
  std::string_view keyword;  // as the writers write it
  std::string_view summary;
  std::span<const Word> words;  // all must occur in the keyword field
  std::span<const FieldInfo> fields;
  bool outline = false;  // shown in the document outline
};

// Every rule of `part`, in the order the parser tests them.
std::span<const RecordInfo> records_of(Part part);

// True when the keyword field matches the rule, as the parser tests it.
bool matches(const RecordInfo& record, std::string_view field);

}  // namespace scenario::tool::lsp
