# Front door: `make run` builds and runs the one-shot program, `make test` builds and runs the suite.
# Every target installs the Debian packages it needs when they are missing and it runs as root;
# otherwise it prints the one command to run.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all build run test test-sanitize bench clean deps test-deps windows test-windows package

all: build

# The Debian packages of each target, beyond the machine's compiler and CMake.
# The build: GoogleTest and the author's tool's libraries (CLI11, nlohmann/json
# and cpp-httplib, found by pkg-config).
DEB_PACKAGES := libgtest-dev libcli11-dev nlohmann-json3-dev libcpp-httplib-dev pkgconf
# The suite beyond the build: what its tests drive. chromium, poppler-utils
# and fonts-dejavu-core: the driver documents printed to PDF and read back
# (tests/tools/documents/print_test.cpp); chromium also shows the live preview
# to its browser test (tests/tools/serve/browser); neovim is the editor client
# of the language server's test (tests/tools/lsp/neovim_test.lua).
TEST_DEB_PACKAGES := chromium poppler-utils fonts-dejavu-core neovim
# The npm projects under the tree whose packages the tests run, each with its
# package-lock.json; `npm ci` there when node_modules is missing or older
# than the lock file.
NPM_PROJECTS := tests/tools/serve/browser editors/vscode
WINDOWS_DEB_PACKAGES := g++-mingw-w64-x86-64-posix googletest wine wine64 xvfb xauth
BENCH_DEB_PACKAGES := libbenchmark-dev
FUZZ_DEB_PACKAGES := clang libclang-rt-14-dev
FUZZ_COVERAGE_DEB_PACKAGES := $(FUZZ_DEB_PACKAGES) llvm-14

# $(call install_debs,PACKAGES)
define install_debs
	@command -v dpkg-query >/dev/null || exit 0; \
	missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	[ -z "$$missing" ] && exit 0; \
	if [ "$$(id -u)" = 0 ]; then \
	  echo "installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing >/dev/null; \
	else \
	  echo "Missing Debian packages; install them with: sudo apt-get install$$missing"; exit 1; \
	fi
endef

# $(call configure,FOLDER,CMAKE ARGUMENTS): the configure step of a build
# folder, keyed on FOLDER/.configured, which only a configure that succeeded
# leaves. A failed one takes its cache with it, so the next `make` starts
# afresh instead of tripping over a half-made folder.
define configure
	@rm -f $(1)/CMakeCache.txt
	cmake -S . -B $(1) $(2) || { rm -f $(1)/CMakeCache.txt; exit 1; }
	@touch $(1)/.configured
endef

deps:
	$(call install_debs,$(DEB_PACKAGES))

test-deps: deps
	$(call install_debs,$(TEST_DEB_PACKAGES))
	@if [ -n "$(strip $(NPM_PROJECTS))" ] && ! command -v npm >/dev/null; then $(MAKE) --no-print-directory npm-deps; fi
	@for d in $(NPM_PROJECTS); do \
	  if [ ! -f $$d/node_modules/.package-lock.json ] || [ $$d/package-lock.json -nt $$d/node_modules/.package-lock.json ]; then \
	    (cd $$d && npm ci --no-audit --no-fund) || exit 1; \
	  fi; \
	done

.PHONY: npm-deps
npm-deps:
	$(call install_debs,nodejs npm)

$(BUILD)/.configured: | deps
	$(call configure,$(BUILD),-DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS))

build: $(BUILD)/.configured
	cmake --build $(BUILD) -j $(JOBS)

run: $(BUILD)/.configured
	cmake --build $(BUILD) -j $(JOBS) --target scenario
	./$(BUILD)/bin/scenario

test: build test-deps
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

build-sanitize/.configured: | deps
	$(call configure,build-sanitize,-DCMAKE_BUILD_TYPE=Debug -DSCENARIO_SANITIZE=ON $(CMAKE_FLAGS))

test-sanitize: build-sanitize/.configured test-deps
	cmake --build build-sanitize -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-sanitize --output-on-failure -j $(JOBS)

.PHONY: bench-deps
bench-deps: test-deps
	$(call install_debs,$(BENCH_DEB_PACKAGES))

build-bench/.configured: | bench-deps
	$(call configure,build-bench,-DCMAKE_BUILD_TYPE=Release -DSCENARIO_BENCH=ON $(CMAKE_FLAGS))

bench: build-bench/.configured bench-deps
	cmake --build build-bench -j $(JOBS) --target scenario scenario-tool scenario_compile_bench scenario_process_bench \
	  scenario_write_generated scenario_lsp_bench
	./build-bench/bin/scenario_compile_bench
	./build-bench/bin/scenario_process_bench ./build-bench/bin/scenario
	node bench/serve_latency.mjs ./build-bench/bin/scenario-tool ./build-bench/bin/scenario_write_generated
	./build-bench/bin/scenario_lsp_bench ./build-bench/bin/scenario-tool

# The compile fuzzer (fuzz/): clang, libFuzzer and the sanitizers, in its own
# build folder, run for FUZZ_SECONDS. A finding stops it with a non-zero status
# and leaves the input in build-fuzz/artifacts/; inputs it finds new go to
# build-fuzz/corpus/. An input over a second of CPU time in each of three runs
# is a finding (fuzz/slow_input.h); -timeout is the wall-clock guard.
# FUZZ_WORKERS above 1 runs that many processes side by side (libFuzzer's fork
# mode), with one count of executions for them all.
FUZZ_SECONDS ?= 600
# Then the language server's fuzzer (fuzz/lsp_fuzzer.cpp: framing and
# dispatch), for as long again unless told; its findings go to
# build-fuzz/artifacts/lsp-*.
LSP_FUZZ_SECONDS ?= $(FUZZ_SECONDS)
FUZZ_WORKERS ?= 1
FUZZ_FORK = $(if $(filter-out 0 1,$(FUZZ_WORKERS)),-fork=$(FUZZ_WORKERS))
.PHONY: fuzz fuzz-deps fuzz-coverage-deps
fuzz-deps:
	$(call install_debs,$(FUZZ_DEB_PACKAGES))
fuzz-coverage-deps:
	$(call install_debs,$(FUZZ_COVERAGE_DEB_PACKAGES))

fuzz: fuzz-deps
	@[ -f build-fuzz/.configured ] || { rm -f build-fuzz/CMakeCache.txt; \
	  CC=clang CXX=clang++ cmake -S fuzz -B build-fuzz || { rm -f build-fuzz/CMakeCache.txt; exit 1; }; \
	  touch build-fuzz/.configured; }
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
fuzz-coverage: fuzz-coverage-deps
	@[ -f build-fuzz-coverage/.configured ] || { rm -f build-fuzz-coverage/CMakeCache.txt; \
	  CC=clang CXX=clang++ cmake -S fuzz -B build-fuzz-coverage -DSCENARIO_FUZZ_COVERAGE=ON \
	    || { rm -f build-fuzz-coverage/CMakeCache.txt; exit 1; }; \
	  touch build-fuzz-coverage/.configured; }
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

# cpp-httplib for the Windows build of `serve`: Debian's binary package is the
# split build for Linux, so the single header comes from the source package,
# fetched by apt. When apt has no deb-src entry, one is made from the
# machine's own Debian sources (the same hosts and suites, as root).
WIN_HTTPLIB_DIR ?= $(WIN_BUILD)/cpp-httplib
DEB_SRC_LIST := /etc/apt/sources.list.d/scenario-deb-src.sources

$(WIN_HTTPLIB_DIR)/httplib.h:
	$(call install_debs,dpkg-dev)
	@if ! apt-get source --print-uris cpp-httplib >/dev/null 2>&1; then \
	  if [ "$$(id -u)" != 0 ]; then echo "apt has no deb-src entry for cpp-httplib; run this once as root"; exit 1; fi; \
	  if [ -f /etc/apt/sources.list.d/debian.sources ]; then \
	    sed 's/^Types: deb$$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > $(DEB_SRC_LIST); \
	  else \
	    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > $(DEB_SRC_LIST:.sources=.list); \
	  fi; \
	  apt-get update; \
	fi
	rm -rf $(WIN_BUILD)/cpp-httplib-source && mkdir -p $(WIN_BUILD)/cpp-httplib-source $(WIN_HTTPLIB_DIR)
	cd $(WIN_BUILD)/cpp-httplib-source && apt-get source cpp-httplib
	cp $(WIN_BUILD)/cpp-httplib-source/cpp-httplib-*/httplib.h $@

.PHONY: windows-deps
windows-deps: deps
	$(call install_debs,$(WINDOWS_DEB_PACKAGES))

$(WIN_BUILD)/.configured: | windows-deps $(WIN_HTTPLIB_DIR)/httplib.h
	$(call configure,$(WIN_BUILD),-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
	  -DSCENARIO_LINUX_EXE=$(CURDIR)/$(BUILD)/bin/scenario -DSCENARIO_HTTPLIB_DIR=$(abspath $(WIN_HTTPLIB_DIR)) \
	  $(CMAKE_FLAGS))

windows: $(WIN_BUILD)/.configured windows-deps $(WIN_HTTPLIB_DIR)/httplib.h
	cmake --build $(WIN_BUILD) -j $(JOBS) --target windows_programs

test-windows: $(BUILD)/.configured $(WIN_BUILD)/.configured windows-deps $(WIN_HTTPLIB_DIR)/httplib.h
	cmake --build $(BUILD) -j $(JOBS) --target scenario scenario-tool
	cmake --build $(WIN_BUILD) -j $(JOBS)
	xvfb-run -a -s "-screen 0 1024x768x24" sh -c '$(WINE_RUN) --start && \
	  { ctest --test-dir $(WIN_BUILD) --output-on-failure -j $(JOBS); status=$$?; $(WINE_RUN) --stop; exit $$status; }'

# Both archives: scenario-VERSION-linux-x86_64.tar.gz in $(BUILD)/ and
# scenario-VERSION-windows-x86_64.zip in $(WIN_BUILD)/.
package: $(BUILD)/.configured $(WIN_BUILD)/.configured windows-deps $(WIN_HTTPLIB_DIR)/httplib.h
	cmake --build $(BUILD) -j $(JOBS) --target scenario scenario-tool
	cmake --build $(WIN_BUILD) -j $(JOBS) --target windows_programs
	cd $(BUILD) && cpack -G TGZ
	cd $(WIN_BUILD) && cpack -G ZIP

clean:
	rm -rf $(BUILD) build-sanitize $(WIN_BUILD) build-bench build-fuzz build-fuzz-coverage
