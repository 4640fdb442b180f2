// `dump`: one of the three binary files decoded into a readable table or
// JSON. The kind of file is told by its name.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <string_view>

namespace scenario::tool {

enum class BinaryKind { track_plan, parameters, grid };

// track plan: "..._linea.dat"; parameters: "....sim"; grid: any other
// "....dat". Throws UsageError for any other name.
BinaryKind binary_kind_of(const std::string& file_name);

// The file's bytes decoded; throw DecodeError when they do not follow the
// layout.
nlohmann::ordered_json dump_json(BinaryKind kind, std::string_view bytes);
void dump_table(BinaryKind kind, std::string_view bytes, std::ostream& out);

// The name of a grid cell type ("signal", "speed board", ...); "type N" for a
// number the compiler never writes.
std::string cell_type_name(int type);

}  // namespace scenario::tool
