# Brewpad: `make run` builds and starts the program, `make test` runs the whole suite headless.
MAKEFLAGS += --no-print-directory
BUILD ?= out
JOBS  ?= $(shell nproc)

.PHONY: deps configure build run test bench fuzz clean

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display found: start Brewpad under a virtual one with: xvfb-run -a $(BUILD)/brewpad"; \
	  exit 1; \
	fi
	@$(BUILD)/brewpad

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$(basename $$b)"; QT_QPA_PLATFORM=offscreen $$b || exit 1; done

# Every fuzz target for FUZZ_SECONDS seconds (60 by default); fails on a crash,
# a hang or a sanitizer report.
FUZZ_SECONDS ?= 60
fuzz: deps
	@./tests/fuzz/run-fuzzers.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD)-fuzz
