// One rebuild of the preview: the sources read from the folder and compiled
// in memory (nothing is written into the folder), the drawing made from the
// compile's binaries with a mark for every diagnostic that names a position,
// and the outcome published for the page. When the compile makes no
// drawing, the last good one stays, with the new marks over it.
#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include "tools/compile_session.h"
#include "tools/render.h"
#include "tools/serve/debounce.h"
#include "tools/serve/state_board.h"

namespace scenario::tool::serve {

struct PreviewSettings {
  std::filesystem::path dir;
  std::optional<std::string> route, train;  // UTF-8, as the user gave them
  bool no_plan = false;
};

class Preview {
 public:
  Preview(PreviewSettings settings, StateBoard& board);

  // Compiles the sources as they are now and publishes the outcome; `burst`
  // is the events that led here (none for the first). Never throws for bad
  // sources: they are the outcome.
  void rebuild(const std::optional<Burst>& burst = std::nullopt);

  // Whether a change to the file `name` (UTF-8; empty: unknown) may change
  // the outcome. Thread-safe.
  bool concerns(const std::string& name) const;

 private:
  PreviewSettings settings_;
  StateBoard& board_;
  mutable std::mutex names_mutex_;
  std::string line_file_, train_file_;  // UTF-8, of the last rebuild
  CompiledScenario decoded(const CompileOutcome& outcome);

  std::optional<CompiledScenario> last_good_;
  std::string last_plan_bytes_;  // the track plan file that last_good_'s plan was decoded from
  double last_good_at_ = 0;      // when its sources were read, ms since the epoch
  std::shared_ptr<const std::string> svg_;
  std::uint64_t drawing_ = 0;
  // Tells a page that reconnects to a server started again, whose drawing
  // versions start again from 1.
  double instance_;
};

}  // namespace scenario::tool::serve
