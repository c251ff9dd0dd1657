# Front door. `make demo` and `make check` work on a fresh Debian machine.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release
# The interpreter Debian's numpy, scipy and pytest are installed for.
PYTHON ?= /usr/bin/python3

.PHONY: all deps build demo check install sanitize bench accuracy plots fuzz windows clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

demo: build
	$(BUILD)/bin/zorn_tour
	@if [ -d $(BUILD)/python/zorn ]; then \
	  PYTHONPATH=$(BUILD)/python $(PYTHON) examples/python/tour.py; fi

check: build
	cd $(BUILD) && ctest -j$(JOBS) --output-on-failure --timeout 600

# The two libraries and the headers into PREFIX, built alone (a compiler and CMake are
# all it needs; no root unless PREFIX asks for it).
PREFIX ?= /usr/local
install:
	cmake -S . -B build-install -DCMAKE_BUILD_TYPE=Release -DZORN_BUILD_TESTS=OFF \
	  -DZORN_BUILD_BENCH=OFF -DZORN_BUILD_ACCURACY=OFF -DZORN_BUILD_EXAMPLES=OFF -DZORN_BUILD_PYTHON=OFF
	cmake --build build-install -j$(JOBS)
	cmake --install build-install --prefix $(PREFIX)

sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORN_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=allocator_may_return_null=1 ctest -j$(JOBS) --output-on-failure --timeout 1200

bench: build
	@scripts/run-benchmarks.sh $(BUILD)

accuracy: build
	@scripts/run-accuracy.sh $(BUILD)

# The SVG plots of docs/plots, from runs of the built library (needs python3-matplotlib).
plots: build
	@scripts/make-plots.sh $(BUILD)

# libFuzzer targets (clang), each run for FUZZ_SECONDS over its corpus, one after the
# other; FUZZ_RUNS=N runs each for N executions instead (FUZZ_SECONDS=0 lifts the time
# limit). Only the fuzz programs are built.
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?= -1
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORN_FUZZ=ON
	cmake --build build-fuzz -j$(JOBS) --target fuzz_all
	@scripts/run-fuzz.sh build-fuzz $(FUZZ_SECONDS) $(FUZZ_RUNS)

# The Windows DLLs, cross-built and tested under Wine.
windows:
	@scripts/windows.sh build-windows $(JOBS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) build-fuzz build-windows build-install
