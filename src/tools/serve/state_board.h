// The latest state of the preview, handed from the rebuild to the server's
// connections: each published state gets the next sequence number, and a
// connection waits for one newer than the last it sent. Only the latest is
// kept: a connection that falls behind skips to it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace scenario::tool::serve {

struct PublishedState {
  std::uint64_t seq = 0;                   // 0: nothing published yet
  std::uint64_t drawing = 0;               // the drawing's version; 0: no drawing yet
  std::shared_ptr<const std::string> svg;  // that drawing
  std::string json;                        // the state for the page, on one line
};

class StateBoard {
 public:
  // Sets the state's seq. Returns it.
  std::uint64_t publish(PublishedState state);
  PublishedState latest() const;
  // A state newer than `seen`; nullopt after `timeout` or once closed.
  std::optional<PublishedState> wait_newer(std::uint64_t seen, std::chrono::milliseconds timeout) const;
  // Wakes every waiter for good.
  void close();
  bool closed() const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  PublishedState latest_;
  bool closed_ = false;
};

}  // namespace scenario::tool::serve
