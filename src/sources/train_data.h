// The embedded run of train "IC 417" and `dati_treno`, which writes it as the
// train file.
#pragma once

#include <string>
#include <vector>

#include "run/file_names.h"
#include "run/folder.h"

namespace scenario {

// The train file's 97 lines, followed by the end marker.
std::vector<std::string> train_file_entries();

// Writes the train file (route name + "_" + train name + "-.txt") from empty.
void dati_treno(Folder& folder, const RunNames& names);

}  // namespace scenario
