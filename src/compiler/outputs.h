// The three binary files for the simulator, built in memory: little-endian,
// no header, count or padding. See docs/binary-files.md for the layouts.
#pragma once

#include <string>
#include <vector>

#include "compiler/tables.h"

namespace scenario {

// Column x of every metre, then column y; each element a 16-bit tag (0 empty,
// 2 16-bit integer, 5 double) and its value.
std::string track_plan_file_bytes(const TrackPlan& plan);

// Slots 0 to 86, 34 bytes each plus the text.
std::string parameter_file_bytes(const ParameterTable& parameters);

// Cells 0 to last_cell, 15 bytes each.
std::string grid_file_bytes(const std::vector<TrackCell>& grid);

// The text both scenario codes are computed from: the train name and the
// route name, lower-cased, then the pad; always at least 25 characters.
std::string code_text(const std::string& train_text, const std::string& route_text);

}  // namespace scenario
