#ifdef __linux__
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "tools/serve/folder_watcher.h"
#include "tools/tool_names.h"

namespace scenario::tool::serve {
namespace {

// IN_MODIFY as well as IN_CLOSE_WRITE: a program that keeps the file open is
// seen too; the debounce merges the writes of one save.
constexpr std::uint32_t kEvents = IN_CLOSE_WRITE | IN_MODIFY | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                  IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

class InotifyWatcher : public FolderWatcher {
 public:
  InotifyWatcher(const std::filesystem::path& dir, FolderChange on_change) : on_change_(std::move(on_change)) {
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (inotify_ < 0 || wake_ < 0 || inotify_add_watch(inotify_, dir.c_str(), kEvents) < 0) {
      const std::string reason = std::strerror(errno);
      close_all();
      throw std::runtime_error("cannot watch '" + path_utf8(dir) + "': " + reason);
    }
    thread_ = std::thread([this] { run(); });
  }
  ~InotifyWatcher() override {
    const std::uint64_t one = 1;
    if (write(wake_, &one, sizeof one) < 0) {
      // The eventfd cannot be full: one write of 1 always fits.
    }
    thread_.join();
    close_all();
  }

 private:
  void close_all() {
    if (inotify_ >= 0) close(inotify_);
    if (wake_ >= 0) close(wake_);
  }

  void run() {
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
      pollfd fds[2] = {{inotify_, POLLIN, 0}, {wake_, POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[1].revents) return;
      for (;;) {
        const ssize_t n = read(inotify_, buffer, sizeof buffer);
        if (n <= 0) break;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
          const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
          if (event->mask & (IN_Q_OVERFLOW | IN_DELETE_SELF | IN_MOVE_SELF)) {
            on_change_({});
          } else if (event->len > 0) {
            on_change_(std::string(event->name, strnlen(event->name, event->len)));
          }
          at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
      }
    }
  }

  FolderChange on_change_;
  int inotify_ = -1;
  int wake_ = -1;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<FolderWatcher> watch_folder(const std::filesystem::path& dir, FolderChange on_change) {
  return std::make_unique<InotifyWatcher>(dir, std::move(on_change));
}

}  // namespace scenario::tool::serve
#endif
