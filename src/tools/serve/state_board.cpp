#include "tools/serve/state_board.h"

namespace scenario::tool::serve {

std::uint64_t StateBoard::publish(PublishedState state) {
  std::uint64_t seq;
  {
    std::lock_guard lock(mutex_);
    state.seq = seq = latest_.seq + 1;
    latest_ = std::move(state);
  }
  changed_.notify_all();
  return seq;
}

PublishedState StateBoard::latest() const {
  std::lock_guard lock(mutex_);
  return latest_;
}

std::optional<PublishedState> StateBoard::wait_newer(std::uint64_t seen, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  if (!changed_.wait_for(lock, timeout, [&] { return closed_ || latest_.seq > seen; }) || closed_) return std::nullopt;
  return latest_;
}

void StateBoard::close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  changed_.notify_all();
}

bool StateBoard::closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

}  // namespace scenario::tool::serve
