// What the three driver documents share: their place in the run, their
// bytes against the recorded run, and replacing an earlier file on disk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/failures.h"
#include "run/folder.h"
#include "run/form_load.h"
#include "sources/notes_document.h"
#include "sources/slowdown_order.h"
#include "sources/text_file.h"
#include "sources/train_sheet.h"
#include "test_support.h"

namespace scenario {
namespace {

struct Document {
  const char* what;
  void (*write)(Folder&, const RunNames&);
  std::vector<std::string> (*entries)();
  std::string (RunNames::*name)() const;
  std::size_t size;
};

const Document kDocuments[] = {
    {"notes document", dati_note, notes_document_entries, &RunNames::notes_document, 0},
    {"slowdown order", dati_rallentamenti, slowdown_order_entries, &RunNames::slowdown_order, 3246},
    {"train sheet", dati_scheda, train_sheet_entries, &RunNames::train_sheet, 13648},
};

const RunNames kNames{kRouteName, kTrainName};

// Records the order of the writes.
class RecordingFolder : public MemoryFolder {
 public:
  void write(const std::string& name, std::string_view bytes) override {
    written.push_back(name);
    MemoryFolder::write(name, bytes);
  }
  std::vector<std::string> written;
};

// The train sheet's write fails, so the run stops right after the last
// document and the log holds every write before it.
TEST(DriverDocuments, FormLoadWritesThemAfterTheSourcesInRunOrder) {
  RecordingFolder folder;
  folder.fail_writes_to(kNames.train_sheet());
  Form1 form(folder);
  EXPECT_THROW(form.Form_Load(), RunFailure);
  const std::vector<std::string> expected = {kNames.line_file(), kNames.train_file(), kNames.notes_document(),
                                             kNames.slowdown_order(), kNames.train_sheet()};
  EXPECT_EQ(folder.written, expected);
}

TEST(DriverDocuments, BytesMatchTheRecordedRun) {
  auto hashes = testing::expected_hashes();
  ASSERT_TRUE(hashes) << "no golden hashes in " << SCENARIO_GOLDEN_DIR;
  for (const Document& d : kDocuments) {
    std::string name = (kNames.*d.name)();
    ASSERT_TRUE(hashes->count(name)) << name;
    EXPECT_EQ(testing::sha256_hex(render_lines(d.entries())), hashes->at(name)) << d.what;
  }
}

// On disk, where truncation is the point: an earlier, longer file with the
// same name leaves no byte behind, and the empty notes document empties it.
TEST(DriverDocuments, ReplaceAnOlderLongerFileOnDisk) {
  testing::TempDir dir;
  auto folder = make_disk_folder(dir.path().string());
  for (const Document& d : kDocuments) {
    std::string name = (kNames.*d.name)();
    testing::write_file(dir / name, std::string(20000, 'x') + "\r\n");
    d.write(*folder, kNames);
    auto bytes = testing::read_file(dir / name);
    ASSERT_TRUE(bytes) << d.what;
    EXPECT_EQ(bytes->size(), d.size) << d.what;
    EXPECT_EQ(*bytes, render_lines(d.entries())) << d.what;
  }
}

}  // namespace
}  // namespace scenario
