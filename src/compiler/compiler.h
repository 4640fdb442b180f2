// The compiler: all its state in one object, and the procedures that read
// the two text sources back, mark and check the track grid, and write the
// three binary files. A run owns one; tests and tools may make as many as
// they like. The files are read, deleted and written through a Folder.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compiler/tables.h"
#include "run/file_names.h"
#include "run/folder.h"

namespace scenario {

class FieldReader;

// Which source a recorded code came from.
enum class SourceFile { none, line_file, train_file };

// Every code recorded in `error_code` during a compile, in order, with what
// the author needs to find the cause. The compile itself keeps only the last.
struct RecordedCode {
  std::int32_t code = 0;
  std::optional<std::int32_t> position;  // metres, for the codes that name one
  SourceFile file = SourceFile::none;
  int line = 0;        // 1-based line of the record being read; 0 for none
  std::string detail;  // the run-time failure behind a code 25
  int column = 0;      // 1-based column (in bytes) of its keyword field (of the failing field for a code 25)
  // The code of an earlier record, still set when a marking routine
  // returned: it ends the parse at this record without being its fault.
  bool carried = false;
};

// What the parser skips without recording a code, each found from the
// parser's own decision at that field, so that every warning is certain. A
// warning changes nothing the compile reads or writes.
enum class WarningKind {
  unknown_keyword,    // a field that matches no keyword of its part of the file (and the numbers after it)
  unread_numbers,     // numbers that no record reads, e.g. left over after a record
  unknown_section,    // a bracketed header that is not one of the file's sections
  unread_last_field,  // the file's last field, which is never interpreted
  no_generale,        // a train file without "[generale]": none of it is read
  utf8_bom,           // the file opens with a UTF-8 byte-order mark
  utf8_text,          // a stored text holds UTF-8 multi-byte sequences
};

struct RecordedWarning {
  WarningKind kind = WarningKind::unknown_keyword;
  SourceFile file = SourceFile::none;
  int line = 0;  // 1-based line and column (in bytes) of the first byte concerned
  int column = 0;
  int end_line = 0;  // line and column just past the last byte concerned
  int end_column = 0;
  std::string message;  // UTF-8
};

// Told of the records the parser has taken, as it takes them, for tools that
// need what the tables do not keep: every tunnel (the tables hold 80), the
// speed records as written (the grid holds steps of 5 km/h per 50 m) and the
// slowdowns (the grid holds their cells only). A record is told once its
// position has passed the check and its marking routine has accepted it.
class ParseListener {
 public:
  virtual ~ParseListener() = default;
  virtual void tunnel(std::int32_t /*inizio*/, std::int32_t /*fine*/, std::int32_t /*tipo*/) {}
  virtual void speed_limit(std::int32_t /*position*/, std::int32_t /*speed*/) {}
  virtual void slowdown(std::int32_t /*x*/, std::int16_t /*v*/, std::int32_t /*l*/, std::int16_t /*f_tt*/,
                        std::int32_t /*f_ta*/, std::int32_t /*d_v*/) {}
};

class Compiler {
 public:
  explicit Compiler(Folder& folder) : folder_(folder) {}

  // The compile driver: clear, parse both sources, the grid pass, the guard
  // checks, the stamp and the files. Throws ErroreAbort for 1250 and 1251
  // (no binary file written) and RunFailure when there is no track grid to
  // check or a file cannot be written.
  void memorizza_percorso(std::int32_t& j);

  // The parser: the line file, then the train file. Returns normally in every
  // case; faults are recorded in error_code.
  void memorizza_dati();
  void progressive_ordina();

  // Marking routines of the track grid.
  void memo_montagna(std::int32_t inizio, std::int32_t fine, std::int32_t tipo);
  void memo_rallentamento(std::int32_t x, std::int16_t v, std::int32_t l, std::int16_t f_tt, std::int32_t f_ta,
                          std::int32_t d_v);
  void memo_segnale(std::int32_t posizione, std::int32_t sx, std::int16_t s1, std::int16_t s2, std::int16_t s3,
                    std::int16_t rapp, std::int16_t dx, std::int16_t d1, std::int16_t d2, std::int16_t d3,
                    std::int32_t tempo);
  void memo_indicatori_v_max(std::int32_t posizione, std::int32_t vas, std::int32_t vbs, std::int32_t vcs,
                             std::int16_t strisces, std::int32_t vad, std::int32_t vbd, std::int32_t vcd,
                             std::int16_t strisced);

  // The grid pass that places abbattimento points around signals and
  // slowdowns.
  void grid_pass();
  static std::int32_t minimo(std::int32_t x, std::int32_t y) { return x > y ? y : x; }

  // The scenario codes, from the names in slots 86 and 85.
  std::int32_t codice_gara_st() const;
  std::int32_t codice_gara_og() const;

  // Names and the full-compile flag.
  std::string route_name = kRouteName;
  std::string train_name = kTrainName;
  std::int32_t full_compile = 0;

  // The recorded fault: the last code and its position.
  std::int32_t error_code = 0;
  std::int32_t error_position = 0;
  std::string current_field;

  ParameterTable parameters{};
  std::vector<TrackCell> grid;  // cells 0 to last_cell; empty before the route length is read
  bool has_grid = false;
  TrackPlan track_plan;  // metres 0 to plan_length; only in a full compile
  std::int32_t plan_length = 0;
  std::int32_t last_cell = 0;

  std::int32_t tunnel_counter = 0;
  std::array<std::int32_t, 81> tunnel_start{};
  std::array<std::int32_t, 81> tunnel_end{};

  // Every code recorded during the last compile, in order.
  std::vector<RecordedCode> recorded_codes;
  // Every warning of the last compile, in the order the fields were read.
  std::vector<RecordedWarning> recorded_warnings;

  // Told of the records read, when set; the compile itself never needs it.
  ParseListener* listener = nullptr;

  RunNames names() const { return RunNames{route_name, train_name}; }

  // True when cell `c` exists.
  bool in_grid(std::int64_t c) const { return has_grid && c >= 0 && c <= last_cell; }

 private:
  struct Source;

  void record(std::int32_t code, std::optional<std::int32_t> position, std::string detail = {});
  [[noreturn]] void end_parse(std::int32_t code, std::optional<std::int32_t> position = std::nullopt);

  void create_tables();
  bool parse_line_file();
  void parse_train_file();
  bool read_station(Source& src, std::int32_t& k);
  bool position_fails(std::int64_t p, std::int64_t margin) const;
  std::string next_field(Source& src);
  std::string next_keyword(Source& src, bool& at_end);
  void position_failed(std::int32_t p);
  void end_parse_after_routine(std::size_t recorded_before, std::int32_t position);
  void place_marker(std::int64_t c);
  void write_files();
  bool free_at(std::int64_t c) const { return in_grid(c) && is_free(grid[static_cast<std::size_t>(c)]); }
  TrackCell& cell(std::int64_t c) { return grid[static_cast<std::size_t>(c)]; }
  // A gradient, speed or adhesion record: `set` the cells from the cursor up
  // to n, the first one even when the cursor stands at or past n; the cursor
  // never passes the last cell. n <= 0 writes nothing.
  template <class Set>
  void fill_profile(std::int64_t& cursor, std::int64_t n, Set set) {
    if (n <= 0) return;
    do {
      if (cursor >= last_cell) break;
      set(cell(cursor));
      ++cursor;
    } while (cursor < n);
  }
  // After the last record the value in force runs on to three cells before
  // the grid's end.
  template <class Set>
  void complete_profile(std::int64_t& cursor, Set set) {
    do {
      set(cell(cursor));
      ++cursor;
    } while (cursor < static_cast<std::int64_t>(last_cell) - 2);
  }

  Folder& folder_;
  Source* source_ = nullptr;  // the source being read, for the recorded codes; null once it is gone
  // Where the source stood when a run-time failure unwound past it: the
  // failure handler runs after the source is gone.
  struct Place {
    SourceFile file = SourceFile::none;
    int line = 0;
    int column = 0;
  };
  Place failed_at_;
  // Working values the line half leaves to the train half.
  std::int32_t board_slot_ = kFirstBoardSlot;
  // The route length was read; the grid and plan are still to be made.
  bool tables_pending_ = false;
  // The end of the previous tunnel record, for the 150 m rule; the tables
  // keep only the first 80 tunnels.
  std::int32_t previous_tunnel_end_ = 0;
};

}  // namespace scenario
