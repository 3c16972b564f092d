# Set-up, build and tests of the Korvane suite.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: deps configure build test bench run run-kab

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

# kdn in the examples folder on the example hall, which its history file
# there lists first. It needs a display; on a machine without one, a
# virtual one does: xvfb-run make run.
run:
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make run: there is no display to show kdn on; run it on a virtual one: xvfb-run make run"; \
	  exit 1; \
	fi
	@$(MAKE) --no-print-directory build
	cd $(EXAMPLES) && $(abspath $(BUILD_DIR))/apps/kdn/kdn HALL.KPR

run-kab: build
	$(BUILD_DIR)/apps/kab/kab $(EXAMPLES)/EXAMPLE.KAB
