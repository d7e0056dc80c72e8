# `make run` and `make test` do everything on a fresh Debian machine: install
# what is missing, configure, build, then start the demo or run the suite.
BUILD ?= build
JOBS ?= $(shell nproc)
# The sanitizer run and the fuzz targets build in folders of their own.
ASAN_BUILD ?= $(BUILD)-asan
FUZZ_BUILD ?= $(BUILD)-fuzz
FUZZ_SECONDS ?= 60
# CI sets CI=true: there, and only there, warnings are errors.
WERROR := $(if $(filter true 1 yes,$(CI)),ON,OFF)

# The Windows build (MinGW-w64, run under Wine) and the cross-built Qt, RE2,
# GoogleTest and libarchive it uses (default: ../shared/windows).
WINDOWS_BUILD ?= build-windows
WINDOWS_SDK ?=

.PHONY: all deps configure build test test-asan fuzz-build fuzz-smoke fuzz run bench package clean \
	test-windows dist-windows

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DTESSEL3_BUILD_TESTS=ON -DTESSEL3_BUILD_BENCH=ON -DTESSEL3_WARNINGS_AS_ERRORS=$(WERROR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The suite, then the same suite with AddressSanitizer and UBSan, then each
# fuzz target once over its seed corpus.
test: build
	@cd $(BUILD) && ctest --output-on-failure --no-tests=error -j $(JOBS)
	@$(MAKE) --no-print-directory test-asan fuzz-smoke

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSEL3_SANITIZE=ON \
		-DTESSEL3_BUILD_TESTS=ON -DTESSEL3_WARNINGS_AS_ERRORS=$(WERROR) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure --no-tests=error -j $(JOBS)

fuzz-build: deps
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -G Ninja -DTESSEL3_BUILD_FUZZ=ON \
		-DTESSEL3_WARNINGS_AS_ERRORS=$(WERROR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz-smoke: fuzz-build
	@cd $(FUZZ_BUILD) && ctest --output-on-failure --no-tests=error -j $(JOBS)

# Each target for FUZZ_SECONDS on one core: make fuzz FUZZ_SECONDS=600
fuzz: fuzz-build
	@fuzz/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The program and the whole suite for Windows, the suite run under Wine.
test-windows:
	@WINDOWS_BUILD=$(WINDOWS_BUILD) JOBS=$(JOBS) $(if $(WINDOWS_SDK),TESSEL3_WINDOWS_SDK=$(WINDOWS_SDK)) \
		scripts/test-windows

# The portable zip in $(WINDOWS_BUILD)/dist/, checked by starting it under Wine.
dist-windows:
	@WINDOWS_BUILD=$(WINDOWS_BUILD) JOBS=$(JOBS) $(if $(WINDOWS_SDK),TESSEL3_WINDOWS_SDK=$(WINDOWS_SDK)) \
		scripts/dist-windows

run: build
	@scripts/run-demo $(BUILD)

bench: build
	@set -e; for b in $(BUILD)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] || continue; echo "== $$(basename $$b)"; "$$b"; done

# The .deb and the .tar.gz in $(BUILD)/packages/; the .deb must pass lintian.
package: build
	@scripts/install-deps package
	@rm -rf $(BUILD)/packages
	@cd $(BUILD) && cpack
	@lintian --fail-on error $(BUILD)/packages/*.deb

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD)
