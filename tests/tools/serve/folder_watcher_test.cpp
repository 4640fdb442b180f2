// The watchers see a source written, replaced by a rename, deleted and
// created again: the ways editors save.
#include "tools/serve/folder_watcher.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <set>

#include "test_support.h"

namespace scenario::tool::serve {
namespace {

using namespace std::chrono_literals;
using scenario::testing::TempDir;
using scenario::testing::write_file;

class Seen {
 public:
  FolderChange callback() {
    return [this](const std::string& name) {
      std::lock_guard lock(mutex_);
      names_.insert(name);
      changed_.notify_all();
    };
  }
  // Whether `name` (or an empty name: anything) was reported within 5 s;
  // forgets what was seen.
  bool wait_for(const std::string& name) {
    std::unique_lock lock(mutex_);
    const bool seen =
        changed_.wait_for(lock, 5s, [&] { return names_.count(name) > 0 || names_.count(std::string()) > 0; });
    names_.clear();
    return seen;
  }
  void forget() {
    std::lock_guard lock(mutex_);
    names_.clear();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::set<std::string> names_;
};

enum class Kind { native, polling };
void PrintTo(Kind kind, std::ostream* os) { *os << (kind == Kind::native ? "native" : "polling"); }

class FolderWatcherTest : public ::testing::TestWithParam<Kind> {
 protected:
  std::unique_ptr<FolderWatcher> watch(const std::filesystem::path& dir, Seen& seen) {
    return GetParam() == Kind::native ? watch_folder(dir, seen.callback()) : poll_folder(dir, 10ms, seen.callback());
  }
};

TEST_P(FolderWatcherTest, SeesEveryWayOfSavingASource) {
  TempDir dir;
  const std::string source = "Orvale_Tresca_linea.txt";
  write_file(dir / source, "first\n");
  Seen seen;
  auto watcher = watch(dir.path(), seen);

  write_file(dir / source, "second, longer\n");
  EXPECT_TRUE(seen.wait_for(source)) << "written in place";

  write_file(dir / "4913.tmp", "third, longer still\n");
  seen.forget();
  std::filesystem::rename(dir / "4913.tmp", dir / source);
  EXPECT_TRUE(seen.wait_for(source)) << "renamed over";

  std::filesystem::remove(dir / source);
  EXPECT_TRUE(seen.wait_for(source)) << "deleted";

  write_file(dir / source, "fourth\n");
  EXPECT_TRUE(seen.wait_for(source)) << "created again";
}

TEST_P(FolderWatcherTest, NamesWithBlanksAndLettersOutsideAscii) {
  TempDir dir;
  const std::string source = "Orvale_Tresca_IC 417 \xc3\xa8-.txt";  // UTF-8 e grave
  Seen seen;
  auto watcher = watch(dir.path(), seen);
  write_file(dir.path() / std::filesystem::u8path(source), "x");
  EXPECT_TRUE(seen.wait_for(source));
}

INSTANTIATE_TEST_SUITE_P(Both, FolderWatcherTest, ::testing::Values(Kind::native, Kind::polling),
                         [](const auto& info) { return info.param == Kind::native ? "Native" : "Polling"; });

TEST(FolderWatcher, AFolderThatIsNotThereCannotBeWatched) {
  TempDir dir;
  EXPECT_THROW(watch_folder(dir / "missing", [](const std::string&) {}), std::runtime_error);
  EXPECT_THROW(poll_folder(dir / "missing", 10ms, [](const std::string&) {}), std::runtime_error);
}

}  // namespace
}  // namespace scenario::tool::serve
