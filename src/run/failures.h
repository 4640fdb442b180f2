// The two ways a run can stop early. Library code throws them; only the
// program's entry point turns them into a message and an exit status.
#pragma once

#include <stdexcept>
#include <string>

namespace scenario {

// A file operation or another run-time step that cannot go on (a file that
// cannot be created or written, no track grid at the grid pass). The message
// names the file and the operating system's reason. Exit status 2.
class RunFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The guard checks of the compile end the program through `errore` with their
// code ("1250", "1251"). Exit status 1, no binary file written.
class ErroreAbort : public std::runtime_error {
 public:
  explicit ErroreAbort(std::string code) : std::runtime_error("errore " + code), code_(std::move(code)) {}
  const std::string& code() const { return code_; }

 private:
  std::string code_;
};

}  // namespace scenario
