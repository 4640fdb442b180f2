// Form1: the run of the program. Form_Load does the whole job in its fixed
// order, every step finishing before the next begins.
#pragma once

#include "compiler/compiler.h"
#include "run/file_names.h"
#include "run/folder.h"

namespace scenario {

class Form1 {
 public:
  explicit Form1(Folder& folder) : folder_(folder), compiler_(folder) {}

  // Writes the sources and documents, then compiles. Throws RunFailure when a
  // file cannot be written and ErroreAbort from the compile's guard checks;
  // files finished before the failure stay as they are.
  void Form_Load();

  const RunNames& names() const { return names_; }
  // The compiler's state after the run, for tests.
  const Compiler& compiler() const { return compiler_; }

 private:
  Folder& folder_;
  RunNames names_;
  Compiler compiler_;
};

}  // namespace scenario
