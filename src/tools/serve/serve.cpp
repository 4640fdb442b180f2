#include "tools/serve/serve.h"

#include "tools/report.h"
#include "tools/serve/folder_watcher.h"
#include "tools/serve/server.h"
#include "tools/tool_names.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <pthread.h>
#include <signal.h>
#endif

namespace scenario::tool::serve {

#ifdef _WIN32
namespace {
// The console's control handler takes no context: the one event it sets.
HANDLE interrupt_event() {
  static const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  return event;
}
BOOL WINAPI on_console_event(DWORD) {
  SetEvent(interrupt_event());
  return TRUE;
}
}  // namespace

struct InterruptWaiter::Armed {};
InterruptWaiter::InterruptWaiter() = default;
InterruptWaiter::~InterruptWaiter() {
  if (armed_) SetConsoleCtrlHandler(on_console_event, FALSE);
  delete armed_;
}
void InterruptWaiter::arm() {
  ResetEvent(interrupt_event());
  SetConsoleCtrlHandler(on_console_event, TRUE);
  armed_ = new Armed;
}
void InterruptWaiter::wait() { WaitForSingleObject(interrupt_event(), INFINITE); }
#else
// The signals are blocked in every thread and taken by sigwait: no handler
// runs at an arbitrary point of another thread.
struct InterruptWaiter::Armed {
  sigset_t wanted, before;
};
InterruptWaiter::InterruptWaiter() = default;
InterruptWaiter::~InterruptWaiter() {
  if (armed_) pthread_sigmask(SIG_SETMASK, &armed_->before, nullptr);
  delete armed_;
}
void InterruptWaiter::arm() {
  armed_ = new Armed;
  sigemptyset(&armed_->wanted);
  sigaddset(&armed_->wanted, SIGINT);
  sigaddset(&armed_->wanted, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &armed_->wanted, &armed_->before);
}
void InterruptWaiter::wait() {
  int signal = 0;
  while (sigwait(&armed_->wanted, &signal) != 0) {
  }
}
#endif

int run_serve(const ServeOptions& options, std::ostream& out, std::ostream& err, StopWaiter& stop) {
  StateBoard board;
  Preview preview(options.preview, board);
  preview.rebuild();

  PreviewServer server(board);
  std::string bind_error;
  if (!server.bind(options.host, options.port, bind_error)) {
    err << "scenario-tool: " << bind_error << "\n";
    return kExitFailure;
  }
  if (!is_loopback(options.host))
    err << "scenario-tool: warning: serving on " << options.host
        << ", not on this machine's loopback: the scenario is visible to the network\n";

  stop.arm();
  {
    RebuildLoop loop([&](const Burst& burst) { preview.rebuild(burst); });
    auto on_change = [&](const std::string& name) {
      if (preview.concerns(name)) loop.sources_changed();
    };
    std::unique_ptr<FolderWatcher> watcher;
    if (options.poll) {
      watcher = poll_folder(options.preview.dir, *options.poll, on_change);
    } else {
      try {
        watcher = watch_folder(options.preview.dir, on_change);
      } catch (const std::exception& e) {
        err << "scenario-tool: warning: " << e.what() << "; looking at the folder every 500 ms instead\n";
        watcher = poll_folder(options.preview.dir, std::chrono::milliseconds(500), on_change);
      }
    }
    server.start();
    out << "Serving " << path_utf8(options.preview.dir) << " at " << page_url(options.host, server.port())
        << " (Ctrl+C to stop)" << std::endl;
    stop.wait();
    watcher.reset();
  }
  server.stop();
  return kExitClean;
}

}  // namespace scenario::tool::serve
