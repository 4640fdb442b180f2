// The author's tool: write, compile, check, dump and draw scenarios with the
// very same library code as the one-shot program.
#include <iostream>
#include <string>
#include <vector>

#include "tools/cli.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "run/platform.h"

// The command line as Windows holds it, UTF-16, converted once to the UTF-8
// the rest of the tool speaks: the narrow command line would have lost every
// letter outside the ANSI code page. The console is told to show UTF-8.
int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(scenario::to_utf8(argv[i]));
  std::vector<const char*> pointers;
  for (const std::string& a : args) pointers.push_back(a.c_str());
  return scenario::tool::tool_main(argc, pointers.data(), std::cout, std::cerr);
}
#else
int main(int argc, char** argv) { return scenario::tool::tool_main(argc, argv, std::cout, std::cerr); }
#endif
