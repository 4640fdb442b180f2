// The system's one message of its own: " Errore n. " and the code.
#pragma once

#include <string>

namespace scenario {

std::string errore_text(const std::string& code);

// Shows the message and ends the program with exit status 1.
[[noreturn]] void errore(const std::string& code);

}  // namespace scenario
