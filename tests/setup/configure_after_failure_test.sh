#!/bin/sh
# A configure that fails leaves no build folder that breaks the next `make`:
# the failure takes its cache with it, and the next make configures afresh.
# Both build folders of the Makefile: the Linux one, and the Windows one,
# whose first configure fails on a machine without the cross-compiler.
#
#   configure_after_failure_test.sh SOURCE_DIR
set -eu
src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Started by CTest under `make test`: not a part of that make's job server.
unset MAKEFLAGS MFLAGS MAKELEVEL

fail() {
  echo "$*" >&2
  [ -f "$work/log" ] && cat "$work/log" >&2
  exit 1
}

# A compiler that is not there, as on a machine that lacks it.
cat >"$work/no-compiler.cmake" <<CMAKE
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER $work/no-such-gcc)
set(CMAKE_CXX_COMPILER $work/no-such-g++)
CMAKE

# The Windows build's cpp-httplib header, which it would otherwise fetch.
mkdir "$work/httplib"
: >"$work/httplib/httplib.h"

for folder in BUILD WIN_BUILD; do
  dir=$work/$folder
  make -C "$src" --no-print-directory "$dir/.configured" "$folder=$dir" WIN_HTTPLIB_DIR="$work/httplib" \
    CMAKE_FLAGS="-DCMAKE_TOOLCHAIN_FILE=$work/no-compiler.cmake" >"$work/log" 2>&1 &&
    fail "$folder: the configure with no compiler succeeded"
  [ -e "$dir/.configured" ] && fail "$folder: a failed configure left its mark"
  [ -e "$dir/CMakeCache.txt" ] && fail "$folder: a failed configure left its cache"
  make -C "$src" --no-print-directory "$dir/.configured" "$folder=$dir" WIN_HTTPLIB_DIR="$work/httplib" \
    CMAKE_FLAGS=-DSCENARIO_TESTS=OFF \
    >"$work/log" 2>&1 || fail "$folder: the configure after a failed one failed"
  [ -f "$dir/Makefile" ] || fail "$folder: no Makefile after the second configure"
  echo "$folder: failed once, then configured"
done
