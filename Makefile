# Set-up, build and tests of the Korvane suite.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
# The fuzz build: its own folder, the seconds each target runs, how many
# targets run at a time and which (empty: all).
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_PARALLEL ?= 4
FUZZ_TARGETS ?=

# Building with clang (CXX=clang++) needs the packages of the clang list too.
DEP_LISTS = scripts/packages.txt $(if $(findstring clang,$(CXX)),scripts/clang-packages.txt)

.PHONY: deps configure build test e2e bench tsan asan fuzz run run-kab run-ksb run-kv

deps:
	@scripts/install-deps.sh $(DEP_LISTS)

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Every test, then the end-to-end suite where an X server can be started.
test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE e2e
	@if command -v Xvfb >/dev/null; then $(E2E); else \
	  echo "make test: the end-to-end suite is skipped: Xvfb is not installed, so no X server can be started"; fi

# The end-to-end suite (tests/e2e): each program under a virtual X server
# with a window manager, driven by real X input through one workflow; its
# screenshots go to $(BUILD_DIR)/e2e/.
E2E = cd $(BUILD_DIR) && ctest -L e2e --output-on-failure -j $(JOBS)
e2e: build
	$(E2E)

bench: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target bench

# The threaded level map and reflection search, with the rest of the
# calculation tests, under ThreadSanitizer, in a build folder of their own.
TSAN_DIR ?= build-tsan
tsan: deps
	cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS=-fsanitize=thread
	cmake --build $(TSAN_DIR) -j $(JOBS) --target test_design_acoustics
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 $(TSAN_DIR)/tests/design/acoustics/test_design_acoustics

# Every test but the end-to-end suite under AddressSanitizer, with its leak
# check, and UndefinedBehaviorSanitizer, in a build folder of their own; a
# report fails its test. The leaks of the system's own libraries are
# suppressed in tests/sanitizer/lsan.supp.
ASAN_DIR ?= build-asan
asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=all"
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
	  LSAN_OPTIONS=suppressions=$(abspath tests/sanitizer/lsan.supp):print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest -LE e2e --output-on-failure -j $(JOBS)

# Builds every fuzz target with clang, libFuzzer and the sanitizers, replays
# its seeds and regression inputs and fuzzes it (or those of FUZZ_TARGETS)
# for FUZZ_SECONDS.
fuzz:
	@scripts/install-deps.sh scripts/packages.txt scripts/clang-packages.txt
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DKORVANE_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target korvane_fuzz
	scripts/run-fuzz.sh $(FUZZ_DIR)/fuzz $(FUZZ_SECONDS) $(FUZZ_PARALLEL) $(FUZZ_TARGETS)

# The programs, started on the example files the build writes into
# $(BUILD_DIR)/examples/.
EXAMPLES = $(BUILD_DIR)/examples

# kdn in the examples folder on the example hall, which its history file
# there lists first. It needs a display; on a machine without one, a
# virtual one does: xvfb-run -a make run.
run:
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: there is no display to show kdn on; run it on a virtual one: xvfb-run -a make run"; \
	  exit 1; \
	fi
	@$(MAKE) --no-print-directory build
	cd $(EXAMPLES) && $(abspath $(BUILD_DIR))/apps/kdn/kdn HALL.KPR

run-kab: build
	$(BUILD_DIR)/apps/kab/kab $(EXAMPLES)/EXAMPLE.KAB

# ksb on the example speaker database.
run-ksb: build
	$(BUILD_DIR)/apps/ksb/ksb $(EXAMPLES)/EXAMPLE.KSB

# kv in the examples folder on the example hall with its stored
# calculation; like kdn it needs a display (xvfb-run -a make run-kv).
run-kv: build
	cd $(EXAMPLES) && $(abspath $(BUILD_DIR))/apps/kv/kv HALL_CALC.KPR
