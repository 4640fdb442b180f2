#include "run/large_memory.h"

// Under AddressSanitizer every block goes through operator new, so that the
// sanitizer watches the plan's bounds like any other array.
#if defined(__SANITIZE_ADDRESS__)
#define SCENARIO_PLAIN_BLOCKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SCENARIO_PLAIN_BLOCKS 1
#endif
#endif

#if defined(__linux__) && !defined(SCENARIO_PLAIN_BLOCKS)
#define SCENARIO_HUGE_BLOCKS 1
#endif

#if defined(SCENARIO_HUGE_BLOCKS)
#include <sys/mman.h>

#include <cstdint>
#endif

namespace scenario {

#if defined(SCENARIO_HUGE_BLOCKS)

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this a block would waste most of its huge page.
constexpr std::size_t kLargeBlock = std::size_t{1} << 20;

std::size_t whole_pages(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

}  // namespace

void* allocate_large(std::size_t bytes) {
  if (bytes < kLargeBlock) return ::operator new(bytes);
  const std::size_t size = whole_pages(bytes);
  // One page more than needed, so that an aligned block can be cut out of it.
  void* raw = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t tail = start + size + kHugePage - (aligned + size);
  if (tail > 0) munmap(reinterpret_cast<void*>(aligned + size), tail);
  // Only a hint: where the kernel has no huge pages to give, the block
  // works all the same.
  madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

void release_large(void* block, std::size_t bytes) noexcept {
  if (bytes < kLargeBlock) {
    ::operator delete(block);
    return;
  }
  munmap(block, whole_pages(bytes));
}

bool large_blocks_on_huge_pages() { return true; }

#else

bool large_blocks_on_huge_pages() { return false; }
void* allocate_large(std::size_t bytes) { return ::operator new(bytes); }
void release_large(void* block, std::size_t) noexcept { ::operator delete(block); }

#endif

}  // namespace scenario
