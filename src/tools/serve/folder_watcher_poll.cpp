#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "tools/serve/folder_watcher.h"
#include "tools/tool_names.h"

namespace scenario::tool::serve {
namespace {

struct FileStamp {
  std::uintmax_t size = 0;
  std::filesystem::file_time_type written{};
  bool operator==(const FileStamp&) const = default;
};

std::map<std::string, FileStamp> listing(const std::filesystem::path& dir) {
  std::map<std::string, FileStamp> files;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code file_ec;
    if (!it->is_regular_file(file_ec)) continue;
    FileStamp stamp;
    stamp.size = it->file_size(file_ec);
    stamp.written = it->last_write_time(file_ec);
    files[path_utf8(it->path().filename())] = stamp;
  }
  return files;
}

class PollingWatcher : public FolderWatcher {
 public:
  PollingWatcher(std::filesystem::path dir, std::chrono::milliseconds interval, FolderChange on_change)
      : dir_(std::move(dir)), interval_(interval), on_change_(std::move(on_change)), last_(listing(dir_)) {
    thread_ = std::thread([this] { run(); });
  }
  ~PollingWatcher() override {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

 private:
  void run() {
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, interval_, [this] { return stopping_; })) {
      lock.unlock();
      std::map<std::string, FileStamp> now = listing(dir_);
      std::set<std::string> changed;
      for (const auto& [name, stamp] : now) {
        auto it = last_.find(name);
        if (it == last_.end() || !(it->second == stamp)) changed.insert(name);
      }
      for (const auto& entry : last_)
        if (!now.count(entry.first)) changed.insert(entry.first);
      last_ = std::move(now);
      for (const std::string& name : changed) on_change_(name);
      lock.lock();
    }
  }

  std::filesystem::path dir_;
  std::chrono::milliseconds interval_;
  FolderChange on_change_;
  std::map<std::string, FileStamp> last_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<FolderWatcher> poll_folder(const std::filesystem::path& dir, std::chrono::milliseconds interval,
                                           FolderChange on_change) {
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec))
    throw std::runtime_error("cannot watch '" + path_utf8(dir) + "': not a folder");
  return std::make_unique<PollingWatcher>(dir, std::max(interval, std::chrono::milliseconds(1)), std::move(on_change));
}

#if !defined(__linux__) && !defined(_WIN32)
std::unique_ptr<FolderWatcher> watch_folder(const std::filesystem::path& dir, FolderChange on_change) {
  return poll_folder(dir, std::chrono::milliseconds(200), std::move(on_change));
}
#endif

}  // namespace scenario::tool::serve
