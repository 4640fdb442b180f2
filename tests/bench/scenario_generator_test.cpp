// The benchmarks' generated scenarios stay valid: they compile with no
// recorded code, and every object they place keeps its own cell.
#include "bench/scenario_generator.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "compiler/compiler.h"
#include "run/file_names.h"
#include "run/folder.h"

namespace scenario {
namespace {

using bench::generate_scenario;

TEST(ScenarioGenerator, GeneratedLinesCompileWithNoRecordedCode) {
  for (std::int32_t length : {155000, 500000, 1000000}) {
    SCOPED_TRACE(length);
    const bench::GeneratedScenario s = generate_scenario(length);
    const RunNames names{kRouteName, kTrainName};
    MemoryFolder folder;
    folder.write(names.line_file(), s.line_file);
    folder.write(names.train_file(), s.train_file);
    Compiler compiler(folder);
    std::int32_t full = 1;
    compiler.memorizza_percorso(full);

    for (const RecordedCode& r : compiler.recorded_codes)
      ADD_FAILURE() << "code " << r.code << " at " << r.position.value_or(-1) << " m, line " << r.line << " "
                    << r.detail;
    EXPECT_EQ(compiler.error_code, 0);
    EXPECT_FALSE(folder.exists(names.line_file()));
    EXPECT_FALSE(folder.exists(names.train_file()));
    ASSERT_TRUE(folder.exists(names.track_plan_file()));
    EXPECT_EQ(folder.read(names.grid_file())->size(), compiler.grid.size() * 15);
    EXPECT_EQ(compiler.parameters[kTrainSlot].end_m, length);

    // A placement that silently overwrote another object would show here.
    std::map<int, int> cells;
    for (const TrackCell& c : compiler.grid) ++cells[c.cell_type];
    const bench::ScenarioLayout& l = s.layout;
    EXPECT_EQ(cells[kSignal], l.signals);
    EXPECT_EQ(cells[kSlowdownStart], l.slowdowns);
    EXPECT_EQ(cells[kSlowdownEnd], l.slowdowns);
    EXPECT_EQ(cells[kSlowdownWarning], l.slowdowns);
    EXPECT_EQ(cells[kWarningCountdown], 4 * l.slowdowns);
    EXPECT_EQ(cells[kSpeedBoard], length / bench::kBlockLength);
    EXPECT_EQ(cells[kStopMark], l.stations);

    // The most stations the table holds, with no direction boards.
    EXPECT_EQ(l.stations, 78);
    EXPECT_EQ(compiler.parameters[78].text, "Stazione 078");
    EXPECT_EQ(l.tunnels, 80);
    EXPECT_EQ(l.signals, length / 500);
  }
}

TEST(ScenarioGenerator, RefusesLengthsItCannotLayOut) {
  for (std::int32_t length : {0, 4999, 155001, 1005000, -5000})
    EXPECT_THROW(generate_scenario(length), std::invalid_argument) << length;
}

}  // namespace
}  // namespace scenario
