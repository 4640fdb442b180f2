#include "run/large_memory.h"

// Under AddressSanitizer the blocks come from the same mapping as in the
// program, with a poisoned guard before and after each, so that the sanitizer
// still watches the plan's bounds. Plain operator new there would map and
// fault in every 4 KiB page afresh on each compile, which made the fuzzer
// spend most of its time in the kernel.
#if defined(__SANITIZE_ADDRESS__)
#define SCENARIO_GUARDED_BLOCKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SCENARIO_GUARDED_BLOCKS 1
#endif
#endif

#if defined(__linux__)
#define SCENARIO_HUGE_BLOCKS 1
#endif

#if defined(SCENARIO_HUGE_BLOCKS)
#include <sys/mman.h>

#include <cstdint>
#endif

#if defined(SCENARIO_HUGE_BLOCKS) && defined(SCENARIO_GUARDED_BLOCKS)
#include <sanitizer/asan_interface.h>

#include <mutex>
#endif

namespace scenario {

#if defined(SCENARIO_HUGE_BLOCKS)

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
#if defined(SCENARIO_GUARDED_BLOCKS)
// Under the sanitizer every 4 KiB page of a block faults in afresh on each
// compile (its allocator maps large arrays anew every time), and on virtual
// machines a fault costs more than filling the page: a huge page pays once.
constexpr std::size_t kLargeBlock = std::size_t{64} << 10;
// Poisoned bytes before and after a block: more than the sanitizer's own
// redzones around a large array.
constexpr std::size_t kGuard = std::size_t{64} << 10;
#else
// Below this a block would waste most of its huge page.
constexpr std::size_t kLargeBlock = std::size_t{1} << 20;
constexpr std::size_t kGuard = 0;
#endif

std::uintptr_t round_up(std::uintptr_t v, std::size_t to) { return (v + to - 1) / to * to; }
std::size_t whole_pages(std::size_t bytes) { return round_up(bytes, kHugePage); }

// A block at `aligned` of `size` (whole huge pages) is mapped from
// aligned - kGuard to aligned + size + kGuard.
void* map_block(std::size_t size) {
  // More than needed, so that an aligned block and its guards can be cut out
  // of it; the rest is given back.
  const std::size_t mapped = size + 2 * kHugePage + 2 * kGuard;
  void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = round_up(start + kGuard, kHugePage);
  const std::uintptr_t first = aligned - kGuard, last = aligned + size + kGuard;
  if (first > start) munmap(raw, first - start);
  if (start + mapped > last) munmap(reinterpret_cast<void*>(last), start + mapped - last);
  // Only a hint: where the kernel has no huge pages to give, the block
  // works all the same.
  madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

void unmap_block(void* block, std::size_t size) { munmap(static_cast<char*>(block) - kGuard, size + 2 * kGuard); }

#if defined(SCENARIO_GUARDED_BLOCKS)
// Released blocks kept for the next compile, as the sanitizer's own
// allocator keeps small ones: mapping them anew made the fuzzer spend a
// quarter of its time clearing and unmapping pages. A block in here is
// poisoned whole, so a use after release is still reported.
class ReleasedBlocks {
 public:
  void* take(std::size_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (std::size_t i = 0; i < count_; ++i) {
      if (blocks_[i].size != size) continue;
      void* block = blocks_[i].block;
      blocks_[i] = blocks_[--count_];
      return block;
    }
    return nullptr;
  }
  bool keep(void* block, std::size_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (count_ == kKept) return false;
    blocks_[count_++] = {block, size};
    return true;
  }

 private:
  static constexpr std::size_t kKept = 8;
  struct Entry {
    void* block;
    std::size_t size;
  };
  std::mutex mutex_;
  Entry blocks_[kKept]{};
  std::size_t count_ = 0;
};

ReleasedBlocks& released_blocks() {
  static ReleasedBlocks blocks;
  return blocks;
}

// Only the block's own bytes are open to use; the guards and the rest of the
// last huge page stay poisoned.
void open_block(void* block, std::size_t bytes, std::size_t size) {
  char* b = static_cast<char*>(block);
  ASAN_POISON_MEMORY_REGION(b - kGuard, size + 2 * kGuard);
  ASAN_UNPOISON_MEMORY_REGION(b, bytes);
}
#endif

}  // namespace

void* allocate_large(std::size_t bytes) {
  if (bytes < kLargeBlock) return ::operator new(bytes);
  const std::size_t size = whole_pages(bytes);
#if defined(SCENARIO_GUARDED_BLOCKS)
  void* block = released_blocks().take(size);
  if (block == nullptr) block = map_block(size);
  open_block(block, bytes, size);
  return block;
#else
  return map_block(size);
#endif
}

void release_large(void* block, std::size_t bytes) noexcept {
  if (bytes < kLargeBlock) {
    ::operator delete(block);
    return;
  }
  const std::size_t size = whole_pages(bytes);
#if defined(SCENARIO_GUARDED_BLOCKS)
  ASAN_POISON_MEMORY_REGION(block, size);
  if (released_blocks().keep(block, size)) return;
  // The shadow outlives the mapping; a later one at this address starts clean.
  ASAN_UNPOISON_MEMORY_REGION(static_cast<char*>(block) - kGuard, size + 2 * kGuard);
#endif
  unmap_block(block, size);
}

bool large_blocks_on_huge_pages() { return true; }

#else

bool large_blocks_on_huge_pages() { return false; }
void* allocate_large(std::size_t bytes) { return ::operator new(bytes); }
void release_large(void* block, std::size_t) noexcept { ::operator delete(block); }

#endif

}  // namespace scenario
