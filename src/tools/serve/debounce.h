// Coalescing bursts of folder events into one rebuild. An editor's save is
// several events (a temporary file written, closed, renamed over the source,
// its mode set) within a few milliseconds; the rebuild waits until the folder
// has been quiet for `quiet`, but never more than `longest` after the first
// event of a burst, so that a file written without pause still gets drawn.
//
// Debouncer is the bare rule on time points given by the caller (tests give
// their own); RebuildLoop runs it on a thread of its own with the steady clock.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace scenario::tool::serve {

using Clock = std::chrono::steady_clock;

// 25 ms: the events of one save by the common editors (write in place,
// write-and-rename, backup-and-write) arrive within 1 to 5 ms of each other on
// a local disk, so a save is one rebuild with room to spare, and the wait
// takes a quarter of the 100 ms an author may wait for the new drawing.
inline constexpr std::chrono::milliseconds kQuietPeriod{25};
inline constexpr std::chrono::milliseconds kLongestWait{250};

// The events of one burst, as the rebuild sees them.
struct Burst {
  Clock::time_point first;
  Clock::time_point last;
  int events = 0;
};

class Debouncer {
 public:
  explicit Debouncer(std::chrono::milliseconds quiet = kQuietPeriod, std::chrono::milliseconds longest = kLongestWait)
      : quiet_(quiet), longest_(longest) {}

  void event(Clock::time_point now);
  // When the pending burst is due; nullopt when nothing is pending.
  std::optional<Clock::time_point> deadline() const;
  // The burst, once, when it is due at `now`; it is then no longer pending.
  std::optional<Burst> take_due(Clock::time_point now);

 private:
  std::chrono::milliseconds quiet_, longest_;
  std::optional<Burst> pending_;
};

// Calls `rebuild` on its own thread once per burst of sources_changed().
// The destructor waits for a rebuild under way and drops a pending one.
class RebuildLoop {
 public:
  using Rebuild = std::function<void(const Burst&)>;
  explicit RebuildLoop(Rebuild rebuild, Debouncer debouncer = Debouncer());
  ~RebuildLoop();
  RebuildLoop(const RebuildLoop&) = delete;
  RebuildLoop& operator=(const RebuildLoop&) = delete;

  // Thread-safe; cheap enough to call for every event.
  void sources_changed();

 private:
  void run();

  Rebuild rebuild_;
  std::mutex mutex_;
  std::condition_variable wake_;
  Debouncer debouncer_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace scenario::tool::serve
