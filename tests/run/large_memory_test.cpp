// Blocks for the arrays that grow with the line, and the track plan file's
// bytes built in one.
#include "run/large_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "compiler/outputs.h"
#include "compiler/tables.h"

namespace scenario {
namespace {

TEST(LargeMemory, BlocksOfEverySizeAreWholeAndLargeOnesSitOnHugePageBounds) {
  for (std::size_t size : {std::size_t{1}, std::size_t{4096}, (std::size_t{1} << 20) - 1, std::size_t{1} << 20,
                           (std::size_t{3} << 20) + 5, std::size_t{20140020}}) {
    SCOPED_TRACE(size);
    auto* block = static_cast<unsigned char*>(allocate_large(size));
    ASSERT_NE(block, nullptr);
    std::memset(block, 0xA5, size);
    EXPECT_EQ(block[0], 0xA5);
    EXPECT_EQ(block[size - 1], 0xA5);
    // Off a 2 MiB boundary the kernel cannot back a block with huge pages.
    if (large_blocks_on_huge_pages() && size >= (std::size_t{1} << 20)) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % (2 << 20), 0u);
    }
    release_large(block, size);
  }
}

// A block released and a larger one then mapped at the same place: the first
// block's guards must not linger over the second block's bytes.
TEST(LargeMemory, ABlockAfterAReleasedOneIsWhollyUsable) {
  for (int round = 0; round < 3; ++round) {
    for (std::size_t size : {std::size_t{100} << 10, std::size_t{3} << 20, std::size_t{70} << 10}) {
      auto* block = static_cast<unsigned char*>(allocate_large(size));
      std::memset(block, round, size);
      release_large(block, size);
    }
  }
}

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer still sees a step past either end of a large block, and a
// use after release, though released blocks are kept for reuse.
TEST(LargeMemoryDeathTest, TheSanitizerCatchesAStepPastEitherEndAndAUseAfterRelease) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (std::size_t size : {std::size_t{64} << 10, (std::size_t{2} << 20) + 1, std::size_t{4} << 20}) {
    SCOPED_TRACE(size);
    EXPECT_DEATH(
        {
          auto* block = static_cast<volatile unsigned char*>(allocate_large(size));
          block[size] = 1;
        },
        "use-after-poison");
    EXPECT_DEATH(
        {
          auto* block = static_cast<volatile unsigned char*>(allocate_large(size));
          block[-1] = 1;
        },
        "use-after-poison");
    EXPECT_DEATH(
        {
          auto* block = static_cast<volatile unsigned char*>(allocate_large(size));
          release_large(const_cast<unsigned char*>(block), size);
          block[size / 2] = 1;
        },
        "use-after-poison");
  }
}
#endif

TEST(LargeMemory, AVectorAndABufferHoldWhatIsPutInThem) {
  LargeVector<double> column(200000, 0.5);  // above the large-block size
  column.push_back(2.0);                    // grows into a new block
  EXPECT_EQ(column.size(), 200001u);
  EXPECT_EQ(column.front(), 0.5);
  EXPECT_EQ(column.back(), 2.0);

  LargeBuffer a(3 << 20);
  std::memset(a.data(), 'p', a.size());
  LargeBuffer b(std::move(a));
  EXPECT_EQ(b.size(), std::size_t{3} << 20);
  EXPECT_EQ(b.view(), std::string(std::size_t{3} << 20, 'p'));
}

// The compile writes the buffer; tests and tools read the string.
TEST(LargeMemory, ThePlanFileBufferHoldsTheSameBytesAsTheString) {
  TrackPlan plan;
  plan.reset(300000);
  plan.start();
  plan.extend(2, 299000, 0.001);
  plan.kind[150000] = PlanKind::int16;  // every kind of element, wherever it stands
  plan.x[150000] = -7;
  const LargeBuffer buffer = track_plan_file_buffer(plan);
  const std::string bytes = track_plan_file_bytes(plan);
  EXPECT_EQ(buffer.size(), 2u * (3 * 4 + 298998 * 10 + 999 * 2));  // three integers, doubles, empties
  EXPECT_TRUE(buffer.view() == bytes);
}

}  // namespace
}  // namespace scenario
