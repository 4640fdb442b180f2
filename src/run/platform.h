// What the run needs from the operating system, and nothing else: the folder
// of the executable, its path separator, the real folder, and the please-wait
// indication. One implementation per platform, chosen at build time.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace scenario {

// The separator the platform puts between a folder and a file name.
char path_separator();

// The folder that holds the running executable, as the operating system
// reports it (never the working directory). Throws RunFailure when the
// platform cannot say. On Windows the wide path comes back as UTF-8 and goes
// back to wide, unchanged, wherever it meets the system.
std::string executable_folder();

// Folder path and name joined with the platform's separator; a folder that
// already ends in one (a drive root) is not given a second.
std::string join_path(const std::string& folder, const std::string& name);

// Shown while the run works: "Attendere", where there is somewhere to show
// it (the Form1 window on Windows). Gone when the object is destroyed. When
// nothing can be shown, the run goes on without it.
class PleaseWait {
 public:
  PleaseWait();
  ~PleaseWait();
  PleaseWait(const PleaseWait&) = delete;
  PleaseWait& operator=(const PleaseWait&) = delete;

 private:
  // What the platform put up; null when nothing is shown.
  struct Shown;
  std::unique_ptr<Shown> shown_;
};

// Shows a message to the user and returns once it has been seen: a modal box
// on Windows (standard error instead when SCENARIO_HEADLESS is set), one line
// on standard error on a console platform.
void show_error_message(const std::string& text);

#ifdef _WIN32
// The one conversion between the UTF-8 of the portable code and the UTF-16
// of the system, for paths, command lines and messages.
std::string to_utf8(std::wstring_view wide);
std::wstring to_wide(std::string_view utf8);
#endif

}  // namespace scenario
