// The slowdown order of the embedded run ("ORDINE DI RALLENTAMENTO", form
// M. 3) and `dati_rallentamenti`, which writes it. Its table is empty and
// crossed by "NESSUN RALLENTAMENTO", as the train file has no slowdowns.
#pragma once

#include <string>
#include <vector>

#include "run/file_names.h"
#include "run/folder.h"

namespace scenario {

// The form's 46 lines, followed by the end marker. The route and train number
// printed on it are fixed text, whatever the names of the run.
std::vector<std::string> slowdown_order_entries();

// Writes the slowdown order (route name + "_" + train name +
// "_rallentamenti.txt") from empty.
void dati_rallentamenti(Folder& folder, const RunNames& names);

}  // namespace scenario
