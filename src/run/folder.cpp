#include "run/folder.h"

#include "run/failures.h"

namespace scenario {

bool MemoryFolder::exists(const std::string& name) const { return files_.count(name) != 0; }

std::optional<std::string> MemoryFolder::read(const std::string& name) const {
  auto it = files_.find(name);
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

void MemoryFolder::remove(const std::string& name) { files_.erase(name); }

void MemoryFolder::write(const std::string& name, std::string_view bytes) {
  if (failing_ && *failing_ == name) {
    files_.erase(name);  // created, then removed when the write failed
    throw RunFailure("cannot write '" + name + "': simulated failure");
  }
  files_[name] = std::string(bytes);
}

}  // namespace scenario
