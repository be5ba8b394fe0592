# The one entry point: every command a developer or CI needs wraps CMake here.
# Each target first installs the Debian packages it needs (scripts/install-deps <target>).
BUILD      ?= build
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE      ?= cmake
# WERROR=ON turns compiler warnings into errors, as CI does.
WERROR     ?= OFF
TEST_DIR   := $(BUILD)/test
CORE_DIR   := $(BUILD)/core
SANITIZE_DIR := $(BUILD)/sanitize
RELEASE_DIR:= $(BUILD)/release
BENCH_DIR  := $(BUILD)/bench
FUZZ_DIR   := $(BUILD)/fuzz
PACKAGE_DIR:= $(BUILD)/package
PROGRAM    := $(RELEASE_DIR)/src/app/marlume-tilt-monitor
FUZZ_SECONDS ?= 60
# The fuzz build makes only these (and what they link), the targets fuzz/run-fuzzers runs.
FUZZERS    := fuzz_parse_string fuzz_record_stream fuzz_rfc2217_stream fuzz_raw_log fuzz_port_map fuzz_mqtt_settings
CTEST      := ctest --output-on-failure -j $(JOBS) --timeout 120
# Each configure runs every time, so that a changed WERROR reaches a folder configured before.
CONFIGURE  := $(CMAKE) -DCMAKE_CXX_COMPILER=g++ -DMARLUME_WERROR=$(WERROR) -S .

.PHONY: all deps test test-core test-sanitize bench fuzz format-check run demo program package package-check screenshot clean

all: test

deps:
	@scripts/install-deps all

test:
	@scripts/install-deps test
	$(CONFIGURE) -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug
	$(CMAKE) --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && $(CTEST)

# The libraries without Qt and their tests, as a build without the GUI has them.
test-core:
	@scripts/install-deps test
	$(CONFIGURE) -B $(CORE_DIR) -DCMAKE_BUILD_TYPE=Debug -DMARLUME_BUILD_GUI=OFF
	$(CMAKE) --build $(CORE_DIR) -j $(JOBS)
	cd $(CORE_DIR) && $(CTEST)

# Every test under AddressSanitizer and UndefinedBehaviorSanitizer; .ci/lsan-suppressions.txt names
# the libraries outside the project whose caches outlive the process.
test-sanitize:
	@scripts/install-deps test
	$(CONFIGURE) -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DMARLUME_SANITIZE=ON
	$(CMAKE) --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && \
	  ASAN_OPTIONS=detect_stack_use_after_return=1:strict_string_checks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/.ci/lsan-suppressions.txt:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1 \
	  $(CTEST)

program:
	@scripts/install-deps run
	$(CONFIGURE) -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DMARLUME_BUILD_TESTS=OFF
	$(CMAKE) --build $(RELEASE_DIR) -j $(JOBS)

bench:
	@scripts/install-deps bench
	$(CONFIGURE) -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DMARLUME_BUILD_TESTS=OFF -DMARLUME_BUILD_BENCH=ON
	$(CMAKE) --build $(BENCH_DIR) -j $(JOBS)
	bench/run-benchmarks $(BENCH_DIR)

fuzz:
	@scripts/install-deps fuzz
	$(CMAKE) -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
	  -DMARLUME_WERROR=$(WERROR) -DMARLUME_BUILD_GUI=OFF -DMARLUME_BUILD_TESTS=OFF -DMARLUME_BUILD_FUZZ=ON
	$(CMAKE) --build $(FUZZ_DIR) -j $(JOBS) --target $(FUZZERS)
	fuzz/run-fuzzers $(FUZZ_DIR) $(FUZZ_SECONDS)

# Every C++ source as .clang-format wants it; names the files that are not.
format-check:
	@scripts/install-deps format
	git ls-files '*.cpp' '*.h' | xargs clang-format-14 --dry-run --Werror

# The real serial ports, or the user's own MARLUME_TILT_PORTS when set.
run: program
	$(PROGRAM)

# A port map of its own: an empty port, a silent one, then the simulated sensor.
demo: program
	MARLUME_TILT_PORTS=",silent,sim" $(PROGRAM)

# The Debian package, built with Debian's own hardening flags; the .deb lands in $(PACKAGE_DIR).
DEB_FLAGS  := DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package:
	@scripts/install-deps package
	$(CONFIGURE) -B $(PACKAGE_DIR) -DCMAKE_BUILD_TYPE=Release -DMARLUME_BUILD_TESTS=OFF \
	  -DCMAKE_CXX_FLAGS="$$($(DEB_FLAGS) CPPFLAGS) $$($(DEB_FLAGS) CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)"
	$(CMAKE) --build $(PACKAGE_DIR) -j $(JOBS)
	cd $(PACKAGE_DIR) && cpack

# Lints the package, unpacks it into a throw-away root, checks its files and starts its programs.
package-check: package
	packaging/check-package $(PACKAGE_DIR)

# The README's screenshots, the demo, the chart and the attitude view, under Xvfb.
screenshot: program
	@scripts/install-deps screenshot
	packaging/take-screenshot $(PROGRAM) docs

clean:
	rm -rf $(BUILD)
