// The author's tool: write, compile, check, dump and draw scenarios with the
// very same library code as the one-shot program.
#include <iostream>

#include "tools/cli.h"

int main(int argc, char** argv) { return scenario::tool::tool_main(argc, argv, std::cout, std::cerr); }
