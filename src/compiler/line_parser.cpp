// The parser's start, the line-file half and progressive_ordina, and the
// failure handler that covers both halves.
#include <algorithm>
#include <string>
#include <string_view>

#include "compiler/compiler.h"
#include "compiler/numeric.h"
#include "compiler/parse_source.h"
#include "run/failures.h"

namespace scenario {
namespace {

constexpr bool kCaseSensitive = true;

// The change of heading per metre of a curve keyword's class: the lowest of
// the digits 1 to 6 in the keyword; 0 when it has none.
double curve_class_step(std::string_view keyword) {
  static constexpr double kSteps[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};
  for (char digit = '1'; digit <= '6'; ++digit)
    if (keyword.find(digit) != std::string_view::npos) return kSteps[digit - '1'];
  return 0.0;
}

// A section header ends the general section: it holds "[" and "]" and does
// not begin with "-".
bool is_section_header(std::string_view field) {
  std::size_t first = field.find_first_not_of(" \t");
  if (first != std::string_view::npos && field[first] == '-') return false;
  return field.find('[') != std::string_view::npos && field.find(']') != std::string_view::npos;
}

// Texts are stored with a 16-bit length in the parameter file.
void check_text_length(const std::string& text) {
  if (text.size() > 65535)
    throw NumericFailure("a text of " + std::to_string(text.size()) + " characters is longer than 65535");
}

}  // namespace

void Compiler::record(std::int32_t code, std::optional<std::int32_t> position, std::string detail) {
  error_code = code;
  if (position) error_position = *position;
  RecordedCode r;
  r.code = code;
  r.position = position;
  if (source_) {
    r.file = source_->which;
    r.line = source_->record_line;
    r.column = source_->record_column;
  }
  r.detail = std::move(detail);
  recorded_codes.push_back(std::move(r));
}

void Compiler::end_parse(std::int32_t code, std::optional<std::int32_t> position) {
  record(code, position);
  throw ParseEnded{source_ ? source_->which : SourceFile::none};
}

// A marking routine refused its record (or an earlier code is still set):
// the parse ends with that code and the record's position.
void Compiler::end_parse_after_routine(std::size_t recorded_before, std::int32_t position) {
  error_position = position;
  if (recorded_codes.size() > recorded_before) {
    recorded_codes.back().position = position;
  } else {
    record(error_code, position);
    recorded_codes.back().carried = true;
  }
  throw ParseEnded{source_->which};
}

std::string Compiler::next_field(Source& src) {
  current_field = src.reader.read_text();
  return current_field;
}

// Reads a keyword field with the end-of-file test after it and up to two
// dash fields replaced; `at_end` tells the caller to leave its loop.
std::string Compiler::next_keyword(Source& src, bool& at_end) {
  at_end = false;
  for (int replaced = 0;; ++replaced) {
    std::string field = next_field(src);
    src.mark_record();
    if (src.reader.at_end()) {
      at_end = true;
      src.skipped.last_field(field, src.reader);
      return field;
    }
    if (replaced == 2 || !is_dash_field(field)) return field;
    src.skipped.discarded(field, src.reader);
  }
}

void Compiler::create_tables() {
  if (!tables_pending_) return;
  tables_pending_ = false;
  grid.assign(static_cast<std::size_t>(last_cell) + 1, TrackCell{});
  if (full_compile != 0) track_plan.reset(static_cast<std::size_t>(plan_length) + 1);
}

bool Compiler::position_fails(std::int64_t p, std::int64_t margin) const {
  return (static_cast<double>(p) + static_cast<double>(margin)) / 50.0 > static_cast<double>(last_cell);
}

void Compiler::position_failed(std::int32_t p) { record(15, p); }

void Compiler::memorizza_dati() {
  parameters[kRouteSlot].text = route_name;
  parameters[kSettingsSlot].text = train_name;
  const RunNames run = names();
  failed_at_ = {};
  // Any other run-time failure of either half: code 25 at the place the
  // failure left its source, both sources gone.
  auto failed = [&](const char* what, int line, int column) {
    record(25, std::nullopt, what);
    recorded_codes.back().file = failed_at_.file;
    recorded_codes.back().line = failed_at_.file == SourceFile::none ? 0 : line;
    recorded_codes.back().column = failed_at_.file == SourceFile::none ? 0 : column;
    if (folder_.exists(run.line_file())) folder_.remove(run.line_file());
    if (folder_.exists(run.train_file())) folder_.remove(run.train_file());
  };
  try {
    if (parse_line_file()) parse_train_file();
  } catch (const ParseEnded& ended) {
    folder_.remove(ended.file == SourceFile::train_file ? run.train_file() : run.line_file());
  } catch (const FormatError& e) {
    failed(e.what(), e.line(), e.column());
  } catch (const std::exception& e) {
    failed(e.what(), failed_at_.line, failed_at_.column);
  }
}

bool Compiler::parse_line_file() {
  const std::string name = names().line_file();
  if (!folder_.exists(name)) {
    record(101, std::nullopt);
    return false;
  }
  std::optional<std::string> bytes = folder_.read(name);
  if (!bytes) throw RunFailure("cannot open the line file '" + name + "'");
  Source src(*this, SourceFile::line_file, name, std::move(*bytes));
  FieldReader& r = src.reader;

  // Everything before "[generale]" is ignored.
  for (;;) {
    if (r.at_end()) end_parse(102);
    std::string field = next_field(src);
    src.mark_record();
    if (r.at_end()) end_parse(102);
    if (contains_word(field, "[generale]")) break;
  }

  // The general section, with its own rules and up to ten dash fields.
  src.skipped.set_part("the line file's general section",
                       {"lunghezza percorso", "progressiva chilometrica uno", "progressiva chilometrica due",
                        "progressiva chilometrica tre", "sfondo uno", "sfondo due", "sfondo tre",
                        "ripetizione segnali 9 codici", "ripetizione segnali 4 codici"});
  for (;;) {
    if (r.at_end()) break;
    std::string f = next_field(src);
    src.mark_record();
    if (r.at_end()) {
      src.skipped.last_field(f, r);
      break;
    }
    for (int t = 0; t < 10; ++t)
      if (is_dash_field(f)) {
        src.skipped.discarded(f, r);
        f = next_field(src);
        src.mark_record();
      }

    bool matched = false;
    if (contains_word(f, "percorso") && contains_word(f, "lunghezza")) {
      matched = true;
      std::int32_t length = src.i32();
      parameters[kTrainSlot].end_m = length;
      if (length > 1000000) end_parse(1);
      // Checked before anything is set: a failing repeat of the record
      // leaves the sizes of the one before it, which the tables are made to.
      const std::int32_t new_plan_length = length + 7000;
      const std::int32_t new_last_cell = round32(new_plan_length / 50.0);
      if (new_last_cell < 0)
        throw NumericFailure("a route length of " + std::to_string(length) + " m leaves no track grid");
      if (full_compile != 0 && new_plan_length < 1)
        throw NumericFailure("a route length of " + std::to_string(length) + " m leaves no track plan");
      plan_length = new_plan_length;
      last_cell = new_last_cell;
      // Nothing touches the grid or the plan inside the general section, so
      // they are made once it ends: a repeated route length costs nothing.
      has_grid = true;
      tables_pending_ = true;
    }
    auto progressive = [&](int slot) {
      matched = true;
      ParameterRecord& rec = parameters[slot];
      rec.start_m = src.i32();
      rec.end_m = src.i32();
      rec.at_m = src.i32();
    };
    if (contains_word(f, "tre", kCaseSensitive) && contains_word(f, "progressiva", kCaseSensitive))
      progressive(kProgressiveTre);
    if (contains_word(f, "due", kCaseSensitive) && contains_word(f, "progressiva", kCaseSensitive))
      progressive(kProgressiveDue);
    if (contains_word(f, "uno", kCaseSensitive) && contains_word(f, "progressiva", kCaseSensitive))
      progressive(kProgressiveUno);
    if (contains_word(f, "sfondo", kCaseSensitive) && contains_word(f, "uno", kCaseSensitive)) {
      matched = true;
      parameters[kRouteSlot].start_m = src.i32();
    }
    if (contains_word(f, "sfondo", kCaseSensitive) && contains_word(f, "due", kCaseSensitive)) {
      matched = true;
      parameters[kRouteSlot].at_m = src.i32();
    }
    if (contains_word(f, "sfondo", kCaseSensitive) && contains_word(f, "tre", kCaseSensitive)) {
      matched = true;
      parameters[kRouteSlot].end_m = src.i32();
    }
    if (contains_word(f, "segnali", kCaseSensitive) && contains_word(f, "ripetizione", kCaseSensitive)) {
      matched = true;
      ParameterRecord& rec = parameters[kSettingsSlot];
      rec.start_m = src.i32();
      rec.end_m = src.i32();
      if (rec.start_m % 50 != 0) end_parse(3);
      if (rec.end_m % 50 != 0) end_parse(4);
      if (contains_word(f, "4", kCaseSensitive))
        rec.at_m = 4;
      else if (contains_word(f, "9", kCaseSensitive))
        rec.at_m = 9;
      else
        end_parse(5);
      if (rec.end_m == 0) rec.at_m = 0;
    }
    if (matched)
      src.skipped.record_read(f);
    else
      src.skipped.unmatched(f, r);
    if (is_section_header(f)) break;
  }
  src.skipped.set_part("the line file (after its general section)",
                       {"pendenza", "curvad", "curvas", "montagna", "indicatori_vmax", "cartello_indicatore"});

  progressive_ordina();
  // Every later record needs the grid that the route length creates.
  if (!has_grid)
    throw NumericFailure("the line file's general section has no route length (\"lunghezza percorso\")");
  create_tables();

  tunnel_counter = 0;
  board_slot_ = kFirstBoardSlot;
  std::int64_t gradient_cursor = 0;
  std::int32_t gradient = 0;
  std::int64_t plan_cursor = 2;
  if (full_compile != 0) track_plan.start();
  // Extends the plan from the cursor to metre `to`; a plan that grows past
  // metre 1000000 ends the parse once that metre is written.
  auto extend_plan = [&](std::int64_t to, double k) {
    if (plan_cursor > to) return;
    const std::int64_t last = std::min<std::int64_t>(to, 1000000);
    track_plan.extend(plan_cursor, last, k);
    plan_cursor = last + 1;
    if (plan_cursor > 1000000) end_parse(103);
  };

  auto set_gradient = [&](TrackCell& t) { t.gradient_code = low8(static_cast<std::int64_t>(gradient) + 100); };

  for (;;) {
    if (r.at_end()) break;
    bool at_end = false;
    std::string f = next_keyword(src, at_end);
    if (at_end) break;

    bool matched = false;
    if (contains_word(f, "pendenza")) {
      matched = true;
      std::int32_t p = src.i32();
      std::int32_t g = src.i32();
      if (position_fails(p, 100)) {
        position_failed(p);
        break;
      }
      fill_profile(gradient_cursor, round32(p / 50.0), set_gradient);
      gradient = g;
    }
    // Without a track plan a curve is not read, by design.
    const bool unread_curve = full_compile == 0 && contains_word(f, "curva");
    if (full_compile != 0 && contains_word(f, "curva")) {
      matched = true;
      std::int32_t s = src.i32();
      std::int32_t l = src.i32();
      if (position_fails(s, 100)) {
        position_failed(s);
        break;
      }
      double k = curve_class_step(f);
      if (k == 0.0) end_parse(103);
      if (contains_word(f, "s")) k = -k;
      // No element outside the plan is ever written.
      const std::int64_t end = static_cast<std::int64_t>(s) + l;
      if (end > plan_length) end_parse(103);
      extend_plan(s, 0.0);
      extend_plan(end, k);
    }
    if (contains_word(f, "montagna")) {
      matched = true;
      std::int32_t inizio = src.i32();
      std::int32_t fine = src.i32();
      std::int32_t tipo = src.i32();
      if (position_fails(inizio, 100)) {
        position_failed(inizio);
        break;
      }
      std::size_t before = recorded_codes.size();
      memo_montagna(inizio, fine, tipo);
      if (error_code > 0) end_parse_after_routine(before, inizio);
      if (listener) listener->tunnel(inizio, fine, tipo);
    }
    if (contains_word(f, "indicatori_v")) {
      matched = true;
      std::int32_t posizione = src.i32();
      std::int32_t vas = src.i32();
      std::int32_t vbs = src.i32();
      std::int32_t vcs = src.i32();
      std::int16_t strisces = src.param16("strisces");
      std::int32_t vad = src.i32();
      std::int32_t vbd = src.i32();
      std::int32_t vcd = src.i32();
      std::int16_t strisced = src.param16("strisced");
      if (position_fails(posizione, 100)) {
        position_failed(posizione);
        break;
      }
      std::size_t before = recorded_codes.size();
      memo_indicatori_v_max(posizione, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced);
      if (error_code > 0) end_parse_after_routine(before, posizione);
    }
    if (contains_word(f, "indicat") && contains_word(f, "cartello")) {
      matched = true;
      std::int32_t p = src.i32();
      std::string text = next_field(src);
      src.skipped.stored_text(text, r);
      check_text_length(text);
      if (position_fails(p, 100)) {
        position_failed(p);
        break;
      }
      std::int32_t c = round32(p / 50.0 + 1);
      if (!free_at(c)) end_parse(6, p);
      // Slot 0 and the fixed slots are never a board's.
      if (board_slot_ < 1) end_parse(10, p);
      cell(c).cell_type = kIndicatorBoard;
      cell(c).value_1 = low16(board_slot_);
      parameters[static_cast<std::size_t>(board_slot_)].text = text;
      --board_slot_;
    }
    if (matched)
      src.skipped.record_read(f);
    else if (unread_curve)
      src.skipped.record_skipped_by_design();
    else
      src.skipped.unmatched(f, r);
  }

  source_ = nullptr;
  folder_.remove(name);

  complete_profile(gradient_cursor, set_gradient);

  if (full_compile != 0) track_plan.extend(plan_cursor, static_cast<std::int64_t>(plan_length) - 2, 0.0);
  return true;
}

void Compiler::progressive_ordina() {
  struct Record {
    std::int32_t p = 0, d = 0, f = 0;
  };
  auto take = [&](int slot) {
    const ParameterRecord& r = parameters[slot];
    return Record{r.start_m, r.end_m, r.at_m};
  };
  const Record t = take(kProgressiveTre), d = take(kProgressiveDue), u = take(kProgressiveUno);
  Record result[3] = {};
  if (low32(static_cast<std::int64_t>(t.p) + d.p + u.p) == 0) {
    if (t.d > 0) result[0] = t, result[1] = d, result[2] = u;
    if (d.d > 0) result[0] = d, result[1] = t, result[2] = u;
    if (u.d > 0) result[0] = u, result[1] = d, result[2] = t;
  } else if (t.p > d.p && t.p > u.p) {
    result[0] = t;
    if (d.p > u.p) result[1] = d, result[2] = u;
    else result[1] = u, result[2] = d;
  } else if (d.p > t.p && d.p > u.p) {
    result[0] = d;
    if (t.p > u.p) result[1] = t, result[2] = u;
    else result[1] = u, result[2] = t;
  } else if (u.p > t.p && u.p > d.p) {
    result[0] = u;
    if (t.p > d.p) result[1] = t, result[2] = d;
    else result[1] = d, result[2] = t;
  }
  for (int i = 0; i < 3; ++i) {
    ParameterRecord& r = parameters[kProgressiveTre + i];
    r.start_m = result[i].p;
    r.end_m = result[i].d;
    r.at_m = result[i].f;
    if (r.at_m == 1) r.end_m = low32(static_cast<std::int64_t>(r.end_m) + 100);
  }
}

}  // namespace scenario
