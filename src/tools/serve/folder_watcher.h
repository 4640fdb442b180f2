// Watching one folder for changes to the files in it. The folder is watched,
// not the files: editors that save by writing a temporary file and renaming
// it over the source replace the file, and a watch on the old file would see
// nothing after the first save.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace scenario::tool::serve {

// Called on the watcher's own thread with the UTF-8 name of a file that was
// created, written, renamed or deleted, or with an empty name when the
// watcher may have missed changes (its queue overflowed, the folder itself
// went): then anything may have changed.
using FolderChange = std::function<void(const std::string& name)>;

// Watching stops when the object goes; the destructor waits for a call of
// the callback under way.
class FolderWatcher {
 public:
  virtual ~FolderWatcher() = default;
};

// The system's own notifications: inotify on Linux, ReadDirectoryChangesW on
// Windows, polling elsewhere. Throws std::runtime_error when the folder
// cannot be watched.
std::unique_ptr<FolderWatcher> watch_folder(const std::filesystem::path& dir, FolderChange on_change);

// A listing of the folder every `interval` compared with the last (size and
// time of the last write of each file): for network drives, where the system
// sends no notification.
std::unique_ptr<FolderWatcher> poll_folder(const std::filesystem::path& dir, std::chrono::milliseconds interval,
                                           FolderChange on_change);

}  // namespace scenario::tool::serve
