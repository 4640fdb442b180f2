#include "sources/notes_document.h"

#include "sources/text_file.h"

namespace scenario {

std::vector<std::string> notes_document_entries() { return LineTable().entries(); }

void dati_note(Folder& folder, const RunNames& names) {
  write_text_file(folder, names.notes_document(), notes_document_entries());
}

}  // namespace scenario
