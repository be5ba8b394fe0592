# The one entry point: every command a developer or CI needs wraps CMake here.
BUILD      ?= build
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE      ?= cmake
TEST_DIR   := $(BUILD)/test
RELEASE_DIR:= $(BUILD)/release
FUZZ_DIR   := $(BUILD)/fuzz
PROGRAM    := $(RELEASE_DIR)/src/app/marlume-tilt-monitor
FUZZ_SECONDS ?= 60

.PHONY: all deps test bench fuzz run demo program clean

all: test

deps:
	@scripts/install-deps

$(TEST_DIR)/CMakeCache.txt:
	$(CMAKE) -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=g++

test: deps $(TEST_DIR)/CMakeCache.txt
	$(CMAKE) --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 120

$(RELEASE_DIR)/CMakeCache.txt:
	$(CMAKE) -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
	  -DMARLUME_BUILD_TESTS=OFF -DMARLUME_BUILD_BENCH=ON

program: deps $(RELEASE_DIR)/CMakeCache.txt
	$(CMAKE) --build $(RELEASE_DIR) -j $(JOBS)

bench: program
	bench/run-benchmarks $(RELEASE_DIR)

fuzz: deps
	$(CMAKE) -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
	  -DMARLUME_BUILD_GUI=OFF -DMARLUME_BUILD_TESTS=OFF -DMARLUME_BUILD_FUZZ=ON
	$(CMAKE) --build $(FUZZ_DIR) -j $(JOBS)
	fuzz/run-fuzzers $(FUZZ_DIR) $(FUZZ_SECONDS)

# The real serial ports, or the user's own MARLUME_TILT_PORTS when set.
run: program
	$(PROGRAM)

# A port map of its own: an empty port, a silent one, then the simulated sensor.
demo: program
	MARLUME_TILT_PORTS=",silent,sim" $(PROGRAM)

clean:
	rm -rf $(BUILD)
