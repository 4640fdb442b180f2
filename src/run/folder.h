// The seam between the system and the folder it reads and writes. Every file
// of a run is addressed by its bare name (Windows-1252 bytes) inside one
// folder: the real one beside the executable, or an in-memory one for tests,
// tools and fuzzers, so that all of them drive the very same code.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace scenario {

class Folder {
 public:
  virtual ~Folder() = default;

  // True when a file of that name exists.
  virtual bool exists(const std::string& name) const = 0;
  // The whole file; nullopt when it cannot be opened or read.
  virtual std::optional<std::string> read(const std::string& name) const = 0;
  // Deletes the file; a missing file is not an error. Throws RunFailure when
  // an existing file cannot be deleted.
  virtual void remove(const std::string& name) = 0;
  // Creates the file from empty and writes `bytes` in one go: no byte of an
  // earlier file survives. Throws RunFailure naming the file and the reason;
  // a file that could not be written whole is then gone, not left partial.
  virtual void write(const std::string& name, std::string_view bytes) = 0;
};

// Files held in memory. `fail_writes_to` makes writing one name fail, so that
// tests can reach the failure paths without a disk.
class MemoryFolder : public Folder {
 public:
  bool exists(const std::string& name) const override;
  std::optional<std::string> read(const std::string& name) const override;
  void remove(const std::string& name) override;
  void write(const std::string& name, std::string_view bytes) override;

  const std::map<std::string, std::string>& files() const { return files_; }
  void fail_writes_to(std::string name) { failing_ = std::move(name); }

 private:
  std::map<std::string, std::string> files_;
  std::optional<std::string> failing_;
};

// The folder at `path` on the real file system. Names are Windows-1252 and are
// converted to the platform's own encoding for the path.
std::unique_ptr<Folder> make_disk_folder(std::string path);

}  // namespace scenario
