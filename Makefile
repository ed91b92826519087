# Two commands on a fresh Debian 12 machine: `make run` and `make test`.
# Each installs missing packages, configures, builds, then does its job.

PRESET ?= default
BUILD_DIR := $(if $(filter asan,$(PRESET)),build-asan,build)

.PHONY: all deps configure build run test test-asan bench fuzz clean format

all: build

deps:
	@scripts/install-deps

# A build folder made with another generator than the preset's is configured afresh.
configure: deps
	@cmake --preset $(PRESET) >/dev/null 2>&1 || { rm -rf $(BUILD_DIR)/CMakeCache.txt $(BUILD_DIR)/CMakeFiles; cmake --preset $(PRESET) >/dev/null; }

build: configure
	@cmake --build --preset $(PRESET)

# Starts Vantrel; open the address it prints. Flags go in ARGS, e.g.
# make run ARGS="--listen 0.0.0.0 --port 8080"
run: build
	@$(BUILD_DIR)/bin/vantrel $(ARGS)

test: build
	@ctest --preset $(PRESET)

test-asan:
	@$(MAKE) --no-print-directory test PRESET=asan

bench: build
	@$(BUILD_DIR)/bin/vantrel_bench
	@VANTREL_BUILD=$(BUILD_DIR)/bin /usr/bin/python3 bench/browser_bench.py

# Each fuzz target for FUZZ_SECONDS (default 60) seconds, e.g. make fuzz FUZZ_SECONDS=300
fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@scripts/fuzz

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build build-asan build-fuzz
