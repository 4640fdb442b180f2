#include "tools/serve/debounce.h"

#include <algorithm>

namespace scenario::tool::serve {

void Debouncer::event(Clock::time_point now) {
  if (!pending_) pending_ = Burst{now, now, 0};
  pending_->last = now;
  ++pending_->events;
}

std::optional<Clock::time_point> Debouncer::deadline() const {
  if (!pending_) return std::nullopt;
  return std::min(pending_->last + quiet_, pending_->first + longest_);
}

std::optional<Burst> Debouncer::take_due(Clock::time_point now) {
  const auto due = deadline();
  if (!due || now < *due) return std::nullopt;
  std::optional<Burst> burst = pending_;
  pending_.reset();
  return burst;
}

RebuildLoop::RebuildLoop(Rebuild rebuild, Debouncer debouncer)
    : rebuild_(std::move(rebuild)), debouncer_(debouncer), thread_([this] { run(); }) {}

RebuildLoop::~RebuildLoop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void RebuildLoop::sources_changed() {
  {
    std::lock_guard lock(mutex_);
    debouncer_.event(Clock::now());
  }
  wake_.notify_all();
}

void RebuildLoop::run() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    const auto due = debouncer_.deadline();
    if (!due) {
      wake_.wait(lock);
      continue;
    }
    wake_.wait_until(lock, *due);
    if (stopping_) break;
    if (std::optional<Burst> burst = debouncer_.take_due(Clock::now())) {
      lock.unlock();
      rebuild_(*burst);
      lock.lock();
    }
  }
}

}  // namespace scenario::tool::serve
