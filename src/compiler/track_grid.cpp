// The marking routines of the track grid. Writes that fall outside the grid
// (approach cells before the origin, tunnel cells past the end) are skipped;
// a point object whose own cell is outside the grid is refused with the
// routine's code.
#include <algorithm>

#include "compiler/compiler.h"
#include "compiler/numeric.h"

namespace scenario {

void Compiler::memo_montagna(std::int32_t inizio, std::int32_t fine, std::int32_t tipo) {
  bool marks = false;
  if (tipo > 10) {
    tipo -= 10;
    marks = true;
  }
  tunnel_counter = low32(static_cast<std::int64_t>(tunnel_counter) + 1);
  if (tunnel_counter >= 1 && tunnel_counter <= 80) {
    tunnel_start[static_cast<std::size_t>(tunnel_counter)] = inizio;
    tunnel_end[static_cast<std::size_t>(tunnel_counter)] = fine;
  }
  // Compared with the previous record in file order, not the nearest tunnel.
  if (tunnel_counter > 1 && low32(static_cast<std::int64_t>(inizio) - previous_tunnel_end_) <= 150) tipo = 3;
  previous_tunnel_end_ = fine;

  const std::int64_t first = round32(inizio / 50.0);
  const std::int64_t last = round32(fine / 50.0 - 1);
  if (first > last) return;
  const std::int64_t from = std::max<std::int64_t>(first, 0);
  const std::int64_t to = std::min<std::int64_t>(last, last_cell);
  for (std::int64_t c = from; c <= to; ++c) {
    TrackCell& t = cell(c);
    t.tunnel_type = low8(tipo);
    const std::int64_t n = c - first + 1;  // counted from the tunnel's first cell, inside the grid or not
    if (marks && n % 4 == 0 && t.cell_type == kNoObject) t.cell_type = kTunnelMark;
  }
}

void Compiler::memo_rallentamento(std::int32_t x, std::int16_t v, std::int32_t l, std::int16_t f_tt,
                                  std::int32_t f_ta, std::int32_t d_v) {
  const bool warning = x > 1500;
  std::int32_t w = 0;
  if (warning) {
    w = round32((static_cast<double>(x) - 1200) / 50 + 1);
    if (!free_at(w)) return record(17, std::nullopt);
  } else {
    f_ta = 0;
  }
  const std::int32_t s = round32(x / 50.0 + 1);
  if (!free_at(s)) return record(18, std::nullopt);
  const std::int32_t e = round32((static_cast<double>(x) + l) / 50 + 1);
  if (!free_at(e)) return record(19, std::nullopt);

  cell(e).cell_type = kSlowdownEnd;
  if (d_v != 0) cell(e).value_2 = low16(d_v);
  cell(s).cell_type = kSlowdownStart;  // a slowdown within one cell ends as a start
  if (d_v != 0) cell(s).value_2 = low16(d_v);
  if (warning) {
    cell(w).cell_type = kSlowdownWarning;
    if (d_v != 0) cell(w).value_2 = low16(d_v);
    cell(w).value_1 = v;
  }
  cell(s).value_1 = v;
  cell(e).value_1 = v;
  cell(s).value_3 = f_tt;
  cell(e).value_3 = f_tt;

  if (f_ta != 0) {
    const std::int32_t b = round32((static_cast<double>(x) - 1200) / 50);
    for (int i = 0; i < 4; ++i)
      if (!free_at(static_cast<std::int64_t>(b) - i)) return record(20, std::nullopt);
    for (int i = 0; i < 4; ++i) {
      TrackCell& t = cell(static_cast<std::int64_t>(b) - i);
      t.cell_type = kWarningCountdown;
      t.value_1 = static_cast<std::int16_t>(i + 1);
      if (d_v != 0) t.value_2 = static_cast<std::int16_t>(i + 1);
    }
  }
}

void Compiler::memo_segnale(std::int32_t posizione, std::int32_t sx, std::int16_t s1, std::int16_t s2,
                            std::int16_t s3, std::int16_t rapp, std::int16_t dx, std::int16_t d1, std::int16_t d2,
                            std::int16_t d3, std::int32_t tempo) {
  const std::int32_t c = round32(posizione / 50.0 + 1);
  if (!free_at(c)) return record(16, std::nullopt);
  TrackCell& t = cell(c);
  t.cell_type = kSignal;
  t.value_4 = low16(static_cast<std::int64_t>(rapp) * 10 + static_cast<std::int64_t>(sx) * 3 + dx);
  t.value_1 = low16(static_cast<std::int64_t>(s1) * 10 + d1);
  t.value_2 = low16(static_cast<std::int64_t>(s2) * 10 + d2);
  t.value_3 = low16(static_cast<std::int64_t>(s3) * 10 + d3);
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  t.signal_time = sx == 2 ? low8(tempo) : 0;
  // 100, 200, 300 and 400 m before the signal, whatever those cells hold.
  for (int k = 1; k <= 4; ++k) {
    const std::int64_t a = static_cast<std::int64_t>(c) - 2 * k;
    if (in_grid(a)) cell(a).approach_code = low8((static_cast<std::int64_t>(sx) * 3 + dx) * 10 + k);
  }
}

void Compiler::memo_indicatori_v_max(std::int32_t posizione, std::int32_t vas, std::int32_t vbs, std::int32_t vcs,
                                     std::int16_t strisces, std::int32_t vad, std::int32_t vbd, std::int32_t vcd,
                                     std::int16_t strisced) {
  const std::int32_t c = round32(posizione / 50.0 + 1);
  if (!free_at(c)) return record(21, std::nullopt);
  TrackCell& t = cell(c);
  t.cell_type = kSpeedBoard;
  // Each sum is formed in floating point before the rounding.
  t.value_1 = round16(vad / 5.0 + vas * 20.0);
  t.value_2 = round16(vbd / 5.0 + vbs * 20.0);
  t.value_3 = round16(vcd / 5.0 + vcs * 20.0);
  t.value_4 = low16(static_cast<std::int64_t>(strisces) * 10 + strisced);
}

}  // namespace scenario
