// The three binary files for the simulator, built in memory: little-endian,
// no header, count or padding. See docs/binary-files.md for the layouts.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/tables.h"
#include "run/large_memory.h"

namespace scenario {

// Column x of every metre, then column y; each element a 16-bit tag (0 empty,
// 2 16-bit integer, 5 double) and its value. The compile writes the buffer,
// which grows with the line (see run/large_memory.h); the string holds the
// same bytes, for tests and tools.
LargeBuffer track_plan_file_buffer(const TrackPlan& plan);
std::string track_plan_file_bytes(const TrackPlan& plan);

// Slots 0 to 86, 34 bytes each plus the text.
std::string parameter_file_bytes(const ParameterTable& parameters);

// Cells 0 to last_cell, 15 bytes each.
std::string grid_file_bytes(const std::vector<TrackCell>& grid);

// The inverse of the three encoders, for readers of the files. A file that
// does not follow its layout (cut short, bytes left over, an unknown plan tag)
// throws DecodeError naming the byte offset.
class DecodeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One element of a track plan file: an empty element has the value 0.
struct PlanElement {
  PlanKind kind = PlanKind::empty;
  double value = 0.0;
  bool operator==(const PlanElement&) const = default;
};

// The two columns of a track plan file, metre by metre. The file does not
// tie an element of x to its y, so each keeps its own kind.
struct DecodedTrackPlan {
  std::vector<PlanElement> x;
  std::vector<PlanElement> y;
};

DecodedTrackPlan decode_track_plan_file(std::string_view bytes);
ParameterTable decode_parameter_file(std::string_view bytes);
std::vector<TrackCell> decode_grid_file(std::string_view bytes);

// The text both scenario codes are computed from: the train name and the
// route name, lower-cased, then the pad; always at least 25 characters.
std::string code_text(const std::string& train_text, const std::string& route_text);

}  // namespace scenario
