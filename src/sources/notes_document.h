// `dati_note`, which writes the notes document of the embedded run: a file
// that exists and is empty, since this run has no notes for the driver.
#pragma once

#include <string>
#include <vector>

#include "run/file_names.h"
#include "run/folder.h"

namespace scenario {

// No line: the end marker alone.
std::vector<std::string> notes_document_entries();

// Writes the notes document (route name + "_" + train name + "_note.txt")
// from empty; an earlier file's content does not survive.
void dati_note(Folder& folder, const RunNames& names);

}  // namespace scenario
