// What the run needs from the operating system, and nothing else: the folder
// of the executable, its path separator, the real folder, and the please-wait
// indication. One implementation per platform, chosen at build time.
#pragma once

#include <memory>
#include <string>

namespace scenario {

// The separator the platform puts between a folder and a file name.
char path_separator();

// The folder that holds the running executable, as the operating system
// reports it (never the working directory). Throws RunFailure when the
// platform cannot say.
std::string executable_folder();

// Folder path and name joined with the platform's separator; a folder that
// already ends in one (a drive root) is not given a second.
std::string join_path(const std::string& folder, const std::string& name);

// Shown while the run works: "Attendere", where there is somewhere to show
// it. Gone when the object is destroyed.
class PleaseWait {
 public:
  PleaseWait();
  ~PleaseWait();
  PleaseWait(const PleaseWait&) = delete;
  PleaseWait& operator=(const PleaseWait&) = delete;

 private:
  bool shown_ = false;
};

// Shows the message of `errore` (one line on a console platform).
void show_error_message(const std::string& text);

}  // namespace scenario
