// `scenario-tool lsp`: the server on standard input and output.
#pragma once

#include <cstdio>

namespace scenario::tool::lsp {

// Serves until "exit" or the end of the input; returns the exit status (0
// after shutdown, 1 without). `synchronous` reads the whole input first and
// then answers it in order, the same way on every run: for tests.
int serve_stdio(bool synchronous);

// The same over any two streams, in synchronous mode: for tests.
int serve_synchronously(std::FILE* in, std::FILE* out);

}  // namespace scenario::tool::lsp
