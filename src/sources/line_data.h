// The embedded line "Orvale_Tresca" and `dati_linea`, which writes it as the
// line file.
#pragma once

#include <string>
#include <vector>

#include "run/file_names.h"
#include "run/folder.h"

namespace scenario {

// The line file's 88 lines, followed by the end marker.
std::vector<std::string> line_file_entries();

// Writes the line file (route name + "_linea.txt") from empty.
void dati_linea(Folder& folder, const RunNames& names);

}  // namespace scenario
