# Front door: `make run` builds and runs the one-shot program, `make test` builds and runs the suite,
# `make bench` builds in Release and runs the benchmarks.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all build run test test-sanitize bench clean deps windows test-windows

all: build

# Debian packages the build needs beyond the machine's toolchain: the author's
# tool's two header-only libraries. Installed when missing and run as root;
# otherwise the one command to run is printed.
DEB_PACKAGES := libcli11-dev nlohmann-json3-dev

deps:
	@command -v dpkg-query >/dev/null || exit 0; \
	missing=""; \
	for p in $(DEB_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	[ -z "$$missing" ] && exit 0; \
	if [ "$$(id -u)" = 0 ]; then \
	  apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	else \
	  echo "Missing Debian packages; install them with: sudo apt-get install$$missing"; exit 1; \
	fi

# What the test suite needs beyond the build: Debian packages (a browser, an
# editor, ...) and the npm projects under the tree whose packages its tests
# run (each with its package-lock.json; `npm ci` when node_modules is missing
# or older than the lock file).
TEST_DEB_PACKAGES := neovim
NPM_PROJECTS := editors/vscode

.PHONY: test-deps
test-deps: deps
	@$(MAKE) --no-print-directory deps DEB_PACKAGES="$(TEST_DEB_PACKAGES)"
	@for d in $(NPM_PROJECTS); do \
	  if [ ! -f $$d/node_modules/.package-lock.json ] || [ $$d/package-lock.json -nt $$d/node_modules/.package-lock.json ]; then \
	    (cd $$d && npm ci --no-audit --no-fund) || exit 1; \
	  fi; \
	done

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target scenario
	./$(BUILD)/bin/scenario

test: build test-deps
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize: test-deps
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DSCENARIO_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-sanitize -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-sanitize --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DSCENARIO_BENCH=ON $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS) --target scenario scenario_compile_bench scenario_process_bench scenario_lsp_bench
	./build-bench/bin/scenario_compile_bench
	./build-bench/bin/scenario_process_bench ./build-bench/bin/scenario
	./build-bench/bin/scenario_lsp_bench ./build-bench/bin/scenario-tool

# The compile fuzzer (fuzz/): clang, libFuzzer and the sanitizers, in its own
# build folder, run for FUZZ_SECONDS. A finding stops it with a non-zero status
# and leaves the input in build-fuzz/artifacts/; inputs it finds new go to
# build-fuzz/corpus/. An input over a second of CPU time is a finding (see
# fuzz/compile_fuzzer.cpp); -timeout is the wall-clock guard. FUZZ_WORKERS
# above 1 runs that many processes side by side (libFuzzer's fork mode), with
# one count of executions for them all.
FUZZ_SECONDS ?= 600
# Then the language server's fuzzer (fuzz/lsp_fuzzer.cpp: framing and
# dispatch), for as long again unless told; its findings go to
# build-fuzz/artifacts/lsp-*.
LSP_FUZZ_SECONDS ?= $(FUZZ_SECONDS)
FUZZ_WORKERS ?= 1
FUZZ_FORK = $(if $(filter-out 0 1,$(FUZZ_WORKERS)),-fork=$(FUZZ_WORKERS))
.PHONY: fuzz
fuzz:
	@$(MAKE) --no-print-directory deps DEB_PACKAGES="clang libclang-rt-14-dev"
	CC=clang CXX=clang++ cmake -S fuzz -B build-fuzz
	cmake --build build-fuzz -j $(JOBS)
	mkdir -p build-fuzz/corpus build-fuzz/artifacts
	ASAN_OPTIONS=detect_stack_use_after_return=1 ./build-fuzz/compile_fuzzer $(FUZZ_FORK) -max_total_time=$(FUZZ_SECONDS) \
	  -max_len=9000 -timeout=10 -dict=fuzz/format.dict -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/ \
	  build-fuzz/corpus fuzz/corpus fuzz/regressions
	mkdir -p build-fuzz/lsp-corpus
	ASAN_OPTIONS=detect_stack_use_after_return=1 ./build-fuzz/lsp_fuzzer $(FUZZ_FORK) -max_total_time=$(LSP_FUZZ_SECONDS) \
	  -max_len=16384 -timeout=10 -dict=fuzz/lsp.dict -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/lsp- \
	  build-fuzz/lsp-corpus fuzz/lsp_corpus

# Source coverage of the fuzz corpus (build-fuzz/corpus and the seeds): each
# input run once by a build with clang's coverage mapping, then llvm-cov's
# report for the core's files.
.PHONY: fuzz-coverage
fuzz-coverage:
	@$(MAKE) --no-print-directory deps DEB_PACKAGES="clang libclang-rt-14-dev llvm-14"
	CC=clang CXX=clang++ cmake -S fuzz -B build-fuzz-coverage -DSCENARIO_FUZZ_COVERAGE=ON
	cmake --build build-fuzz-coverage -j $(JOBS)
	mkdir -p build-fuzz/corpus
	rm -f build-fuzz-coverage/*.profraw
	LLVM_PROFILE_FILE=build-fuzz-coverage/corpus.profraw ./build-fuzz-coverage/compile_fuzzer -runs=0 \
	  build-fuzz/corpus fuzz/corpus fuzz/regressions
	llvm-profdata-14 merge -sparse build-fuzz-coverage/corpus.profraw -o build-fuzz-coverage/corpus.profdata
	llvm-cov-14 report ./build-fuzz-coverage/compile_fuzzer -instr-profile=build-fuzz-coverage/corpus.profdata \
	  $(CURDIR)/src/compiler $(CURDIR)/src/sources/text_format.cpp $(CURDIR)/src/run/folder.cpp

# Windows: cross-built with MinGW-w64, tested under Wine in a virtual X display.
# The Linux program's files are the reference for the Windows program's.
WIN_BUILD ?= build-windows
WINE_RUN = $(WIN_BUILD)/wine-run

$(WIN_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
	  -DSCENARIO_LINUX_EXE=$(CURDIR)/$(BUILD)/bin/scenario $(CMAKE_FLAGS)

windows: $(WIN_BUILD)/CMakeCache.txt
	cmake --build $(WIN_BUILD) -j $(JOBS) --target windows_programs

test-windows: $(BUILD)/CMakeCache.txt $(WIN_BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target scenario
	cmake --build $(WIN_BUILD) -j $(JOBS)
	xvfb-run -a -s "-screen 0 1024x768x24" sh -c '$(WINE_RUN) --start && \
	  { ctest --test-dir $(WIN_BUILD) --output-on-failure -j $(JOBS); status=$$?; $(WINE_RUN) --stop; exit $$status; }'

clean:
	rm -rf $(BUILD) build-sanitize $(WIN_BUILD) build-bench build-fuzz build-fuzz-coverage
