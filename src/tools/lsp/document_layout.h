// Where each record of a source stands: the parser's walk over the fields
// (the same keyword rules, dash fields and sections), kept as spans instead
// of tables, for the editor's features. It reads the whole file, past the
// record at which a compile would stop, and ends only where the fields
// themselves cannot be read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/compiler.h"
#include "tools/lsp/record_schema.h"

namespace scenario::tool::lsp {

// 0-based line and column; a column counts bytes of the Windows-1252 text,
// one per character, which is one UTF-16 code unit each.
struct Span {
  int line = 0;
  int column = 0;
  int end_column = 0;  // exclusive, on the same line
};

struct ValueSpan {
  Span span;
  std::string text;         // Windows-1252, as read
  std::int64_t number = 0;  // for a number field
};

struct RecordSpan {
  const RecordInfo* info = nullptr;
  Span keyword;
  std::string keyword_text;
  std::vector<ValueSpan> values;  // as many as were read, in order
};

struct SectionSpan {
  std::string name;  // the header field, e.g. "[segnali]"
  Span header;
};

struct DocumentLayout {
  SourceFile which = SourceFile::none;
  std::vector<RecordSpan> records;  // in file order
  std::vector<SectionSpan> sections;
  // Line file: the line of the field that ends the general section (-1 when
  // it does not end); the line of "[generale]" (-1 when there is none).
  int generale_line = -1;
  int general_end_line = -1;
  int line_count = 1;
  std::string bytes;                     // the text scanned
  std::vector<std::size_t> line_starts;  // offset of each line's first byte
};

DocumentLayout scan_layout(std::string_view bytes, SourceFile which);

// The column just past the number or word that starts at the 0-based line
// and column (at the next comma, blank or line end); `column` itself when
// there is none.
int token_end(const DocumentLayout& layout, int line, int column);

// The record whose keyword or a value holds the position, and which value
// (-1 for the keyword); nullptr when none.
const RecordSpan* record_at(const DocumentLayout& layout, int line, int column, int& value_index);

}  // namespace scenario::tool::lsp
