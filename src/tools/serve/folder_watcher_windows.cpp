#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "tools/serve/folder_watcher.h"
#include "tools/tool_names.h"

namespace scenario::tool::serve {
namespace {

std::string utf8_of(const wchar_t* text, int length) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(std::max(size, 0)), '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
  return out;
}

constexpr DWORD kFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE |
                          FILE_NOTIFY_CHANGE_CREATION;

class Win32Watcher : public FolderWatcher {
 public:
  Win32Watcher(const std::filesystem::path& dir, FolderChange on_change) : on_change_(std::move(on_change)) {
    folder_ = CreateFileW(dir.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    done_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (folder_ == INVALID_HANDLE_VALUE || !done_ || !stop_ || !start_read()) {
      close_all();
      throw std::runtime_error("cannot watch '" + path_utf8(dir) + "'");
    }
    thread_ = std::thread([this] { run(); });
  }
  ~Win32Watcher() override {
    SetEvent(stop_);
    thread_.join();
    CancelIoEx(folder_, &overlapped_);
    DWORD ignored = 0;
    GetOverlappedResult(folder_, &overlapped_, &ignored, TRUE);
    close_all();
  }

 private:
  bool start_read() {
    overlapped_ = OVERLAPPED{};
    overlapped_.hEvent = done_;
    ResetEvent(done_);
    return ReadDirectoryChangesW(folder_, buffer_.data(), static_cast<DWORD>(buffer_.size() * sizeof(DWORD)), FALSE,
                                 kFilter, nullptr, &overlapped_, nullptr) != 0;
  }

  void close_all() {
    if (folder_ != INVALID_HANDLE_VALUE) CloseHandle(folder_);
    if (done_) CloseHandle(done_);
    if (stop_) CloseHandle(stop_);
  }

  void run() {
    const HANDLE handles[2] = {stop_, done_};
    for (;;) {
      if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
      DWORD bytes = 0;
      if (!GetOverlappedResult(folder_, &overlapped_, &bytes, FALSE)) {
        on_change_({});
        return;  // the folder went
      }
      if (bytes == 0) {
        on_change_({});  // more changes than the buffer held
      } else {
        const auto* base = reinterpret_cast<const char*>(buffer_.data());
        for (DWORD at = 0;;) {
          const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(base + at);
          on_change_(utf8_of(info->FileName, static_cast<int>(info->FileNameLength / sizeof(wchar_t))));
          if (info->NextEntryOffset == 0) break;
          at += info->NextEntryOffset;
        }
      }
      if (!start_read()) {
        on_change_({});
        return;
      }
    }
  }

  FolderChange on_change_;
  HANDLE folder_ = INVALID_HANDLE_VALUE;
  HANDLE done_ = nullptr;
  HANDLE stop_ = nullptr;
  OVERLAPPED overlapped_{};
  std::vector<DWORD> buffer_ = std::vector<DWORD>(16 * 1024);  // DWORD-aligned, as the call needs
  std::thread thread_;
};

}  // namespace

std::unique_ptr<FolderWatcher> watch_folder(const std::filesystem::path& dir, FolderChange on_change) {
  return std::make_unique<Win32Watcher>(dir, std::move(on_change));
}

}  // namespace scenario::tool::serve
#endif
