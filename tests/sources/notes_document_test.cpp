#include "sources/notes_document.h"

#include <gtest/gtest.h>

#include "run/folder.h"
#include "sources/text_file.h"

namespace scenario {
namespace {

TEST(NotesDocument, IsAnEmptyFileUnderItsName) {
  EXPECT_EQ(notes_document_entries(), std::vector<std::string>{std::string(kEndMarker)});
  MemoryFolder folder;
  dati_note(folder, RunNames{kRouteName, kTrainName});
  EXPECT_EQ(folder.read("Orvale_Tresca_IC 417_note.txt"), "");
  EXPECT_EQ(folder.files().size(), 1u);
}

}  // namespace
}  // namespace scenario
