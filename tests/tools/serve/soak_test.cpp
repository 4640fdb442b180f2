// A bounded soak of the preview: 2,000 saves in a row, each one written as
// editors write (a temporary file renamed over the source), seen by the real
// watcher, rebuilt, published and streamed to a connected page, while the
// live heap stays flat. The rebuild is called directly once the watcher has
// reported the save, not after the debounce: 2,000 quiet periods would take
// the test a minute, and the debounce has tests of its own.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "bench/scenario_generator.h"
#include "test_support.h"
#include "tools/serve/folder_watcher.h"
#include "tools/serve/preview.h"
#include "tools/serve/server.h"

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer's runtime has it; GCC ships no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace scenario::tool::serve {
namespace {

using namespace std::chrono_literals;
using scenario::testing::TempDir;
using scenario::testing::write_file;

// The bytes the program holds on its heap now: what a leak or a growing
// cache would raise. The resident set would not tell: the allocator keeps
// freed pages, and AddressSanitizer keeps freed blocks in quarantine.
std::optional<std::size_t> live_heap_bytes() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#else
  return std::nullopt;
#endif
}

TEST(ServeSoak, TwoThousandSavesAllSeenWithTheHeapFlat) {
  constexpr int kSaves = 2000;
  TempDir dir;
  const bench::GeneratedScenario generated = bench::generate_scenario(bench::kBlockLength);
  const std::string line = "Orvale_Tresca_linea.txt", train = "Orvale_Tresca_IC 417-.txt";
  write_file(dir / line, generated.line_file);
  write_file(dir / train, generated.train_file);
  // The first signal, at 250 m (cell 6), moves between the free cells 7 to 9.
  const std::string first_signal = "segnale, 250,";
  const std::size_t at = generated.train_file.find(first_signal);
  ASSERT_NE(at, std::string::npos);
  auto train_with_signal_at = [&](int metres) {
    std::string text = generated.train_file;
    text.replace(at, first_signal.size(), "segnale, " + std::to_string(metres) + ",");
    return text;
  };

  StateBoard board;
  // Without the track plan: the same path at an eighth of the time (the
  // plan view's metre-by-metre points are most of a rebuild's work).
  Preview preview(PreviewSettings{dir.path(), std::nullopt, std::nullopt, true}, board);
  preview.rebuild();
  PreviewServer server(board);
  std::string error;
  ASSERT_TRUE(server.bind("127.0.0.1", 0, error)) << error;
  server.start();

  std::mutex mutex;
  std::condition_variable seen_changed;
  int saves_seen = 0;
  auto watcher = watch_folder(dir.path(), [&](const std::string& name) {
    if (name != train) return;
    std::lock_guard lock(mutex);
    ++saves_seen;
    seen_changed.notify_all();
  });

  std::atomic<std::uint64_t> streamed_seq{0};
  std::thread page([&] {
    httplib::Client client("127.0.0.1", server.port());
    std::string buffer;
    client.Get("/events", [&](const char* data, std::size_t size) {
      buffer.append(data, size);
      for (std::size_t end; (end = buffer.find("\n\n")) != std::string::npos; buffer.erase(0, end + 2))
        if (buffer.rfind("id: ", 0) == 0) streamed_seq = std::stoull(buffer.substr(4));
      return true;
    });
  });

  std::optional<std::size_t> heap_after_warm_up;
  std::uint64_t drawing = board.latest().drawing;
  for (int i = 0; i < kSaves; ++i) {
    const int metres = 300 + 50 * (i % 3);
    write_file(dir / "save.tmp", train_with_signal_at(metres));
    int before;
    {
      std::lock_guard lock(mutex);
      before = saves_seen;
    }
    std::filesystem::rename(dir / "save.tmp", dir / train);
    {
      std::unique_lock lock(mutex);
      ASSERT_TRUE(seen_changed.wait_for(lock, 5s, [&] { return saves_seen > before; })) << "save " << i << " not seen";
    }
    preview.rebuild();
    const PublishedState state = board.latest();
    ASSERT_EQ(state.drawing, ++drawing) << "save " << i << " made no new drawing";
    ASSERT_NE(state.svg->find("<title>Signal, km 0+" + std::to_string(metres) + "</title>"), std::string::npos)
        << "save " << i;
    if (i == 199) heap_after_warm_up = live_heap_bytes();
  }
  const std::optional<std::size_t> heap_at_end = live_heap_bytes();

  // The page has the last state too.
  const std::uint64_t last = board.latest().seq;
  for (int i = 0; i < 500 && streamed_seq < last; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(streamed_seq, last);
  server.stop();
  page.join();

  if (heap_after_warm_up && heap_at_end) {
    const double growth = static_cast<double>(*heap_at_end) - static_cast<double>(*heap_after_warm_up);
    RecordProperty("heap_after_200_saves", std::to_string(*heap_after_warm_up));
    RecordProperty("heap_after_2000_saves", std::to_string(*heap_at_end));
    EXPECT_LT(growth, 256 * 1024) << "live heap after save 200: " << *heap_after_warm_up
                                  << " bytes, after save 2000: " << *heap_at_end;
  }
}

}  // namespace
}  // namespace scenario::tool::serve
