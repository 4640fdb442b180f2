#include "run/errore.h"

#include <cstdlib>

#include "run/platform.h"

namespace scenario {

std::string errore_text(const std::string& code) {
  std::string text = " Errore n. ";
  text += code;
  return text;
}

void errore(const std::string& code) {
  show_error_message(errore_text(code));
  std::exit(1);
}

}  // namespace scenario
