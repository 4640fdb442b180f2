// The train-file half of the parser: train data, profiles, stations,
// signals, slowdowns and abbattimento points.
#include <string>

#include "compiler/compiler.h"
#include "compiler/numeric.h"
#include "compiler/parse_source.h"
#include "run/failures.h"

namespace scenario {
namespace {

// A speed in km/h kept in steps of 5 km/h, rounded half to even.
std::uint8_t speed_step(std::int32_t speed) {
  double step = round_half_even(speed / 5.0);
  if (!(step >= 0.0 && step <= 255.0))
    throw NumericFailure("a speed of " + std::to_string(speed) + " km/h is outside the steps 0 to 255");
  return static_cast<std::uint8_t>(step);
}

}  // namespace

void Compiler::parse_train_file() {
  const std::string name = names().train_file();
  std::optional<std::string> bytes = folder_.read(name);
  if (!bytes) throw RunFailure("cannot open the train file '" + name + "'");
  Source src(*this, SourceFile::train_file, name, std::move(*bytes));
  FieldReader& r = src.reader;

  bool generale = false;
  while (!r.at_end()) {
    std::string field = next_field(src);
    src.mark_record();
    if (contains_word(field, "[generale]")) {
      generale = true;
      break;
    }
  }
  if (!generale) src.skipped.no_generale();
  src.skipped.set_part("the train file",
                       {"numero vetture", "percentuale massa frenata", "sabbia", "orologio", "aderenza", "velocita",
                        "stazione", "segnale", "rallentamento", "abbattimento"});

  std::int64_t speed_cursor = 0;
  std::int64_t adhesion_cursor = 0;
  std::int32_t speed = 0;
  std::int32_t adhesion = 0;
  std::int32_t k = 1;
  auto set_speed = [&](TrackCell& t) { t.speed_step = speed_step(speed); };
  auto set_adhesion = [&](TrackCell& t) { t.adhesion = low8(adhesion); };

  for (;;) {
    if (r.at_end()) break;
    bool at_end = false;
    std::string f = next_keyword(src, at_end);
    if (at_end) break;

    bool matched = false;
    if (contains_word(f, "frenata") && contains_word(f, "massa")) {
      matched = true;
      parameters[kTrainSlot].start_m = src.i32();
    }
    if (contains_word(f, "vetture")) {
      matched = true;
      parameters[kTrainSlot].at_m = src.i32();
    }
    if (contains_word(f, "velocit")) {
      matched = true;
      std::int32_t p = src.i32();
      std::int32_t v = src.i32();
      if (position_fails(p, 100)) {
        position_failed(p);
        break;
      }
      fill_profile(speed_cursor, round32(p / 50.0), set_speed);
      speed = v;
      if (listener) listener->speed_limit(p, v);
    }
    if (contains_word(f, "aderenza")) {
      matched = true;
      std::int32_t p = src.i32();
      std::int32_t a = src.i32();
      if (position_fails(p, 100)) {
        position_failed(p);
        break;
      }
      fill_profile(adhesion_cursor, round32(p / 50.0), set_adhesion);
      adhesion = a;
    }
    if (contains_word(f, "orologio")) {
      matched = true;
      ParameterRecord& rec = parameters[kSettingsSlot];
      rec.num_c = src.i16();
      rec.num_d = src.i16();
      rec.num_e = src.i16();
    }
    if (contains_word(f, "sabbia")) {
      matched = true;
      parameters[kSettingsSlot].num_a = src.i16();
    }
    if (contains_word(f, "segnale")) {
      matched = true;
      std::int32_t posizione = src.i32();
      std::int32_t sx = src.i32();
      std::int16_t s1 = src.param16("s1");
      std::int16_t s2 = src.param16("s2");
      std::int16_t s3 = src.param16("s3");
      std::int16_t rapp = src.param16("rapp");
      std::int16_t dx = src.param16("dx");
      std::int16_t d1 = src.param16("d1");
      std::int16_t d2 = src.param16("d2");
      std::int16_t d3 = src.param16("d3");
      std::int32_t tempo = src.i32();
      if (position_fails(posizione, 100)) {
        position_failed(posizione);
        break;
      }
      std::size_t before = recorded_codes.size();
      memo_segnale(posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo);
      // A code left by the line half ends the parse here too.
      if (error_code > 0) end_parse_after_routine(before, posizione);
    }
    if (contains_word(f, "rallentamento")) {
      matched = true;
      std::int32_t x = src.i32();
      std::int16_t v = src.param16("v");
      std::int32_t l = src.i32();
      std::int16_t f_tt = src.param16("f_tt");
      std::int32_t f_ta = src.i32();
      std::int32_t d_v = src.i32();
      if (position_fails(x, 100)) {
        position_failed(x);
        break;
      }
      std::size_t before = recorded_codes.size();
      memo_rallentamento(x, v, l, f_tt, f_ta, d_v);
      if (error_code > 0) end_parse_after_routine(before, x);
      if (listener) listener->slowdown(x, v, l, f_tt, f_ta, d_v);
    }
    if (contains_word(f, "abbattimento")) {
      matched = true;
      std::int32_t p = src.i32();
      std::int32_t w = src.i32();
      if (position_fails(p, 100)) {
        position_failed(p);
        break;
      }
      std::int32_t c = round32(p / 50.0);
      if (!free_at(c)) end_parse(7, p);
      if (w >= 1) {
        cell(c).cell_type = kAbbattimento;
        cell(c).value_1 = low16(w);
      } else {
        cell(c).cell_type = kAbbattimentoNoValue;
      }
    }
    if (contains_word(f, "stazione")) {
      matched = true;
      if (!read_station(src, k)) break;
    }
    if (matched)
      src.skipped.record_read(f);
    else
      src.skipped.unmatched(f, r);
  }

  source_ = nullptr;
  folder_.remove(name);

  complete_profile(speed_cursor, set_speed);
  complete_profile(adhesion_cursor, set_adhesion);

  bool bad = false;
  for (int slot = kProgressiveTre; slot <= kProgressiveUno; ++slot)
    if (parameters[slot].start_m % 50 != 0 || parameters[slot].end_m % 50 != 0) bad = true;
  if (bad) record(2, std::nullopt);
}

// One station record into slot k. Returns false when the record loop is to
// be left (code 15); codes that end the parse throw.
bool Compiler::read_station(Source& src, std::int32_t& k) {
  // Slots above the board slot hold direction boards: never overwrite one.
  if (k > board_slot_) end_parse(10);
  ParameterRecord& st = parameters[static_cast<std::size_t>(k)];
  st.at_m = src.i32();
  if (position_fails(st.at_m, 800)) {
    position_failed(st.at_m);
    return false;
  }
  if (st.at_m % 50 != 0) end_parse(8, st.at_m);
  st.kind = src.u8();
  const std::int32_t platform = src.i32();
  if (platform % 100 != 0) end_parse(9, st.at_m);
  st.opt_a = src.u8();
  st.opt_e = src.u8();
  st.opt_d = src.u8();
  st.num_a = src.i16();
  st.num_b = src.i16();
  st.opt_b = src.u8();
  st.num_c = src.i16();
  st.num_d = src.i16();
  st.num_e = src.i16();
  st.opt_c = src.u8();
  const std::int64_t hours = src.i32();
  const std::int64_t minutes = src.i32();
  const std::int64_t seconds = src.i32();
  st.text = next_field(src);
  src.skipped.stored_text(st.text, src.reader);
  if (st.text.size() > 65535)
    throw NumericFailure("a station name of " + std::to_string(st.text.size()) + " characters is longer than 65535");
  st.time_s = low32((hours * 60 + minutes) * 60 + seconds);

  const std::int64_t at = st.at_m;
  if (st.kind == 5 || st.kind == 6) {
    st.end_m = low32(at + 150);
    st.start_m = low32(at - platform);
    st.opt_d = 0;
  } else if (st.kind == 7 || st.kind == 8) {
    st.start_m = low32(at - platform);
    st.end_m = low32(at + platform);
    st.opt_d = 0;
  } else {
    st.start_m = low32(at - platform / 2);
    st.end_m = low32(at + platform / 2 + (st.opt_d != 0 ? 50 : 0));
  }
  if (platform < 600) st.opt_e = 0;
  if (k == 1) st.opt_e = st.opt_d = 0;

  if (st.kind < 25 && st.kind != 5 && st.kind != 6) {
    for (int j = 1; j <= 4; ++j) {
      double q = st.end_m / 50.0 - j - 1;
      if (q > 1) {
        std::int32_t c = round32(q);
        if (in_grid(c)) cell(c).approach_code = low8(80 + j);
      }
    }
  }
  if (st.kind < 25) {
    if (st.end_m / 50.0 - 1 <= 1) end_parse(24);
    std::int32_t s = round32(st.end_m / 50.0 - 1);
    if (!in_grid(s)) end_parse(24);
    // The stop mark is written whatever the cell held.
    cell(s).cell_type = kStopMark;
    cell(s).value_1 = low16(k);
  }
  if (k > 1 && low32(static_cast<std::int64_t>(st.start_m) - 350) < parameters[static_cast<std::size_t>(k - 1)].end_m)
    end_parse(22, st.at_m);
  ++k;
  if (k >= board_slot_) end_parse(10);
  return true;
}

}  // namespace scenario
