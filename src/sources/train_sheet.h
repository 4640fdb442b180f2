// The train sheet of the embedded run ("SCHEDA TRENO") and `dati_scheda`,
// which writes it: four boxed sheets, 1/2 and 2/2 filled in for train 417
// with its speeds, service locations and timetable, 3/4 and 4/4 blank forms.
#pragma once

#include <string>
#include <vector>

#include "run/file_names.h"
#include "run/folder.h"

namespace scenario {

// The document's 184 lines, followed by the end marker. Fixed text: nothing
// in it follows the train file or the names of the run.
std::vector<std::string> train_sheet_entries();

// Writes the train sheet (route name + "_" + train name +
// "_scheda_treno.txt") from empty.
void dati_scheda(Folder& folder, const RunNames& names);

}  // namespace scenario
