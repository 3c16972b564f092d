# Set-up, build and tests of the Korvane suite.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: deps configure build test bench tsan run-kab

deps:
	@scripts/install-deps.sh

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target bench

# The threaded level map and reflection search, with the rest of the
# calculation tests, under ThreadSanitizer, in a build folder of their own.
TSAN_DIR ?= build-tsan
tsan: deps
	cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS=-fsanitize=thread
	cmake --build $(TSAN_DIR) -j $(JOBS) --target test_design_acoustics
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 $(TSAN_DIR)/tests/design/acoustics/test_design_acoustics

# The programs, started on the example files the build writes into
# $(BUILD_DIR)/examples/.
EXAMPLES = $(BUILD_DIR)/examples

run-kab: build
	$(BUILD_DIR)/apps/kab/kab $(EXAMPLES)/EXAMPLE.KAB
