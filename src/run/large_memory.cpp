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

#include <algorithm>
#include <cstdint>
#endif

#if defined(SCENARIO_HUGE_BLOCKS) && defined(SCENARIO_GUARDED_BLOCKS)
#include <sanitizer/asan_interface.h>
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
#else
// Below this a block would waste most of its huge page.
constexpr std::size_t kLargeBlock = std::size_t{1} << 20;
#endif

std::size_t whole_pages(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

#if defined(SCENARIO_GUARDED_BLOCKS)
// Poisoned bytes before and after a block: more than the sanitizer's own
// redzones around a large array.
constexpr std::size_t kGuard = std::size_t{64} << 10;
#else
constexpr std::size_t kGuard = 0;
#endif
constexpr std::size_t kSmallPage = std::size_t{4} << 10;

std::uintptr_t round_up(std::uintptr_t v, std::size_t to) { return (v + to - 1) / to * to; }

// The mapped span of a block at `aligned` of `bytes`: the block's huge pages,
// then, under the sanitizer, the guards.
std::uintptr_t span_start(std::uintptr_t aligned) { return aligned - kGuard; }
std::uintptr_t span_end(std::uintptr_t aligned, std::size_t bytes) {
  return round_up(aligned + std::max(whole_pages(bytes), bytes + kGuard), kSmallPage);
}

}  // namespace

void* allocate_large(std::size_t bytes) {
  if (bytes < kLargeBlock) return ::operator new(bytes);
  const std::size_t size = whole_pages(bytes);
  // More than needed, so that an aligned block and its guards can be cut out
  // of it; the rest is given back.
  const std::size_t mapped = size + 2 * kHugePage + 2 * kGuard;
  void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = round_up(start + kGuard, kHugePage);
  const std::uintptr_t first = span_start(aligned), last = span_end(aligned, bytes);
  if (first > start) munmap(raw, first - start);
  if (start + mapped > last) munmap(reinterpret_cast<void*>(last), start + mapped - last);
  // Only a hint: where the kernel has no huge pages to give, the block
  // works all the same.
  madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
#if defined(SCENARIO_GUARDED_BLOCKS)
  ASAN_POISON_MEMORY_REGION(reinterpret_cast<void*>(first), kGuard);
  ASAN_POISON_MEMORY_REGION(reinterpret_cast<void*>(aligned + bytes), kGuard);
#endif
  return reinterpret_cast<void*>(aligned);
}

void release_large(void* block, std::size_t bytes) noexcept {
  if (bytes < kLargeBlock) {
    ::operator delete(block);
    return;
  }
  const auto aligned = reinterpret_cast<std::uintptr_t>(block);
  const std::uintptr_t first = span_start(aligned), last = span_end(aligned, bytes);
#if defined(SCENARIO_GUARDED_BLOCKS)
  // The shadow outlives the mapping; a later one at this address starts clean.
  ASAN_UNPOISON_MEMORY_REGION(reinterpret_cast<void*>(first), kGuard);
  ASAN_UNPOISON_MEMORY_REGION(reinterpret_cast<void*>(aligned + bytes), kGuard);
#endif
  munmap(reinterpret_cast<void*>(first), last - first);
}

bool large_blocks_on_huge_pages() { return true; }

#else

bool large_blocks_on_huge_pages() { return false; }
void* allocate_large(std::size_t bytes) { return ::operator new(bytes); }
void release_large(void* block, std::size_t) noexcept { ::operator delete(block); }

#endif

}  // namespace scenario
