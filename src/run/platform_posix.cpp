#ifndef _WIN32

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "run/failures.h"
#include "run/folder.h"
#include "run/platform.h"
#include "sources/cp1252.h"

namespace scenario {

char path_separator() { return '/'; }

std::string join_path(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == path_separator()) return folder + name;
  return folder + path_separator() + name;
}

std::string executable_folder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) throw RunFailure("cannot find the folder of the executable: " + ec.message());
  std::string folder = exe.parent_path().string();
  return folder.empty() ? std::string(1, path_separator()) : folder;
}

struct PleaseWait::Shown {};

PleaseWait::PleaseWait() {
  if (isatty(STDERR_FILENO)) {
    std::fputs("Attendere", stderr);
    std::fflush(stderr);
    shown_ = std::make_unique<Shown>();
  }
}

PleaseWait::~PleaseWait() {
  if (shown_) {
    std::fputs("\r         \r", stderr);
    std::fflush(stderr);
  }
}

void show_error_message(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
}

namespace {

std::string reason() { return std::strerror(errno); }

class DiskFolder : public Folder {
 public:
  explicit DiskFolder(std::string path) : path_(std::move(path)) {}

  bool exists(const std::string& name) const override {
    std::error_code ec;
    return std::filesystem::exists(full(name), ec);
  }

  std::optional<std::string> read(const std::string& name) const override {
    std::FILE* f = std::fopen(full(name).c_str(), "rb");
    if (!f) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    bool bad = std::ferror(f) != 0;
    std::fclose(f);
    if (bad) return std::nullopt;
    return bytes;
  }

  void remove(const std::string& name) override {
    std::string path = full(name);
    if (std::remove(path.c_str()) != 0 && errno != ENOENT)
      throw RunFailure("cannot delete '" + path + "': " + reason());
  }

  void write(const std::string& name, std::string_view bytes) override {
    std::string path = full(name);
    // "wb" truncates: no byte of an earlier, longer file survives.
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw RunFailure("cannot create '" + path + "': " + reason());
    std::string why;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
      why = reason();
    else if (std::fflush(f) != 0)
      why = reason();
    if (std::fclose(f) != 0 && why.empty()) why = reason();
    if (!why.empty()) {
      // A file cut short (a full disk) would pass for a finished one.
      std::remove(path.c_str());
      throw RunFailure("cannot write '" + path + "': " + why);
    }
  }

 private:
  std::string full(const std::string& name) const { return join_path(path_, cp1252_to_utf8(name)); }

  std::string path_;
};

}  // namespace

std::unique_ptr<Folder> make_disk_folder(std::string path) {
  return std::make_unique<DiskFolder>(std::move(path));
}

}  // namespace scenario

#endif  // _WIN32
