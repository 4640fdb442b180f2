#include "tools/documents/layouts.h"

#include <cmath>
#include <limits>
#include <span>

#include "sources/slowdown_form.h"
#include "sources/text_file.h"

namespace scenario::tool {
namespace {

// A derived document has as many sheets as its rows need.
constexpr std::size_t kUnbounded = std::numeric_limits<std::size_t>::max();

Timetable timetable_of(const DocumentRow& r) {
  if (r.arrival && r.departure) return stops(timetable_clock(*r.arrival), timetable_clock(*r.departure));
  if (r.departure) return departs(timetable_clock(*r.departure));
  if (r.arrival) return arrives(timetable_clock(*r.arrival));
  if (r.passing) return passes(timetable_clock(*r.passing));
  return kNoTime;
}

// The stations a sheet runs from and to: its first and last station rows, as
// the fixed sheet has them; a sheet without a station runs from the last one
// before it to the first one after it.
std::pair<std::string, std::string> sheet_ends(const DocumentModel& m, std::size_t first, std::size_t end) {
  const DocumentRow* from = nullptr;
  const DocumentRow* to = nullptr;
  for (std::size_t i = first; i < end; ++i)
    if (m.rows[i].kind == RowKind::station) {
      if (!from) from = &m.rows[i];
      to = &m.rows[i];
    }
  if (!from) {
    for (std::size_t i = 0; i < first; ++i)
      if (m.rows[i].kind == RowKind::station) from = &m.rows[i];
    for (std::size_t i = m.rows.size(); i-- > end;)
      if (m.rows[i].kind == RowKind::station) to = &m.rows[i];
  }
  return {from ? abbreviated_name(from->location) : "xxxxxx", to ? abbreviated_name(to->location) : "xxxxxx"};
}

std::vector<std::string> lines_of(const LineTable& t) { return t.lines(); }

}  // namespace

std::vector<std::pair<std::size_t, std::size_t>> sheet_ranges(std::size_t rows) {
  std::vector<std::pair<std::size_t, std::size_t>> ranges;
  std::size_t first = 0;
  for (;;) {
    const std::size_t end = std::min(rows, first + kRowsPerSheet);
    ranges.emplace_back(first, end);
    if (end >= rows) break;
    first = end - 1;
  }
  return ranges;
}

Clock timetable_clock(Seconds t) {
  const long long minutes = static_cast<long long>(std::floor((t + 30) / 60));
  const long long in_day = ((minutes % 1440) + 1440) % 1440;
  return {static_cast<int>(in_day / 60), static_cast<int>(in_day % 60)};
}

LaidOutDocument train_sheet_document(const DocumentModel& m) {
  const auto ranges = sheet_ranges(m.rows.size());
  const std::string percentage = m.braked_percentage ? std::to_string(*m.braked_percentage) : "xxx";
  const std::string number = m.train_number.empty() ? "xxxxx" : m.train_number;
  const std::string category = m.category.empty() ? "xxx" : m.category;

  LaidOutDocument doc;
  LineTable t(kUnbounded);
  add_empty_lines(t, 2);
  for (std::size_t s = 0; s < ranges.size(); ++s) {
    const auto [first, end] = ranges[s];
    std::vector<SheetRow> rows;
    for (std::size_t i = first; i < end; ++i) {
      const DocumentRow& r = m.rows[i];
      rows.push_back({r.speed ? *r.speed : kNoSpeed, r.position, r.location, timetable_of(r)});
    }
    const auto [origin, destination] = sheet_ends(m, first, end);
    const std::string sheet_number = std::to_string(s + 1) + "/" + std::to_string(ranges.size());
    const SheetHeader header{sheet_number, number, origin, "xxx", destination, percentage, category, "xxx"};
    LineTable sheet(kUnbounded);
    add_sheet(sheet, header, rows);
    doc.pages.push_back(lines_of(sheet));
    for (const std::string& line : sheet.lines()) t.add(line);
    if (s + 1 < ranges.size()) {
      add_empty_lines(t, 2);
      add_separator(t, kLongSeparator);
      add_empty_lines(t, 2);
    }
  }
  add_empty_lines(t, 3);
  doc.entries = t.entries();
  return doc;
}

LaidOutDocument slowdown_order_document(const DocumentModel& m) {
  const std::string number = m.train_number.empty() ? m.train_name : m.train_number;
  std::vector<SlowdownRow> rows;
  for (std::size_t i = 0; i < m.slowdowns.size(); ++i) {
    const SlowdownEntry& s = m.slowdowns[i];
    rows.push_back({static_cast<int>(i + 1), s.stations, s.x, s.speed, s.length});
  }
  LaidOutDocument doc;
  LineTable t(kUnbounded);
  std::size_t first = 0;
  do {
    const std::size_t count = std::min(kSlowdownRowsPerForm, rows.size() - first);
    LineTable form(kUnbounded);
    add_slowdown_form(form, m.route_name, number, std::span<const SlowdownRow>(rows).subspan(first, count));
    doc.pages.push_back(lines_of(form));
    for (const std::string& line : form.lines()) t.add(line);
    first += count;
  } while (first < rows.size());
  doc.entries = t.entries();
  return doc;
}

}  // namespace scenario::tool
