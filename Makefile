# Set-up, build and tests of the Korvane suite.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: deps configure build test bench run-kab

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

# The programs, started on the example files the build writes into
# $(BUILD_DIR)/examples/.
EXAMPLES = $(BUILD_DIR)/examples

run-kab: build
	$(BUILD_DIR)/apps/kab/kab $(EXAMPLES)/EXAMPLE.KAB
