// The fuzzer's seeds and the inputs that once made it fail, made into
// documents: whatever the sources hold, every line keeps its form.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "compile_input.h"
#include "run/folder.h"
#include "test_support.h"
#include "tools/documents/documents.h"

namespace scenario::tool {
namespace {

namespace fs = std::filesystem;

const std::string kSheetRow = " |     |     |          |     |                            |                |     |";
const std::string kFormRow = " |   |                            |            |          |         |            |";

std::vector<std::size_t> bars(const std::string& line) {
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i < line.size(); ++i)
    if (line[i] == '|') at.push_back(i);
  return at;
}

TEST(DocumentsOfFuzzInputs, EveryRowKeepsItsCells) {
  int made = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    for (const auto& entry : fs::directory_iterator(fs::path(FUZZ_DIR) / folder)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().filename().string());
      const auto input = fuzz::split_input(scenario::testing::read_file(entry.path()).value());
      if (!input || !input->train_file) continue;
      MemoryFolder sources;
      const RunNames names{kRouteName, kTrainName};
      sources.write(names.line_file(), input->line_file);
      sources.write(names.train_file(), *input->train_file);
      const ScenarioDocuments d = make_documents(sources, "fuzz", names);
      ++made;
      for (const std::vector<std::string>& page : d.train_sheet.pages)
        for (std::size_t i = 14; i + 1 < page.size(); ++i) EXPECT_EQ(bars(page[i]), bars(kSheetRow)) << page[i];
      for (const std::vector<std::string>& page : d.slowdown_order.pages)
        for (std::size_t i = 12; i < 38; ++i)
          if (page[i].rfind(" |", 0) == 0) {
            EXPECT_EQ(bars(page[i]), bars(kFormRow)) << page[i];
          }
    }
  }
  EXPECT_GT(made, 0);
}

}  // namespace
}  // namespace scenario::tool
