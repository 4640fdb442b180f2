// `scenario-tool serve`: the live preview. The sources in a folder are
// compiled in memory at start and after every save (the folder watched, the
// events debounced), and one page on a local HTTP server shows the drawing
// and the diagnostics, pushed to it at every rebuild.
#pragma once

#include <chrono>
#include <optional>
#include <ostream>
#include <string>

#include "tools/serve/preview.h"

namespace scenario::tool::serve {

inline constexpr int kDefaultPort = 8417;

struct ServeOptions {
  PreviewSettings preview;
  std::string host = "127.0.0.1";
  int port = kDefaultPort;
  std::optional<std::chrono::milliseconds> poll;  // poll the folder instead of the system's notifications
};

// How the server learns that it should stop.
class StopWaiter {
 public:
  virtual ~StopWaiter() = default;
  // Called once before any thread starts.
  virtual void arm() {}
  // Blocks until the server should stop.
  virtual void wait() = 0;
};

// SIGINT and SIGTERM (Ctrl+C; on Windows also Ctrl+Break and closing the
// console window).
class InterruptWaiter : public StopWaiter {
 public:
  InterruptWaiter();
  ~InterruptWaiter() override;
  void arm() override;
  void wait() override;

 private:
  struct Armed;
  Armed* armed_ = nullptr;
};

// Serves until `stop` says so; returns the exit status: 0 after a clean
// stop, 2 when the port cannot be bound (one line on `err`). The page's
// address goes to `out` on one line.
int run_serve(const ServeOptions& options, std::ostream& out, std::ostream& err, StopWaiter& stop);

}  // namespace scenario::tool::serve
