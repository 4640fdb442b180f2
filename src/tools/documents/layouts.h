// The two layouts of the documents model: the train sheet on as many sheets
// as its rows need, and the slowdown order on as many forms, in the one-shot
// program's own forms (sources/train_sheet_template.h, sources/slowdown_form.h).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "sources/train_sheet_template.h"
#include "tools/documents/model.h"

namespace scenario::tool {

struct LaidOutDocument {
  std::vector<std::vector<std::string>> pages;  // the lines of each sheet or form, for print
  std::vector<std::string> entries;             // the text file's lines, then the end marker
};

// The row ranges [first, end) of the sheets: 31 rows a sheet, the row that
// ends one sheet repeated at the top of the next. One empty range for no row.
std::vector<std::pair<std::size_t, std::size_t>> sheet_ranges(std::size_t rows);

// A time as the timetable writes it: to the nearest minute, half a minute up.
Clock timetable_clock(Seconds t);

LaidOutDocument train_sheet_document(const DocumentModel& model);
LaidOutDocument slowdown_order_document(const DocumentModel& model);

}  // namespace scenario::tool
