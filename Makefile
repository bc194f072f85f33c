# SPDX-License-Identifier: GPL-3.0-or-later
# Brewpad: `make run` builds and starts the program, `make test` runs the whole suite headless,
# `make package` builds the Debian package.
MAKEFLAGS += --no-print-directory
BUILD ?= out
SANITIZE_BUILD ?= $(BUILD)-sanitize
JOBS  ?= $(shell nproc)
# Test programs run at once: most of them spend their time waiting on javac, a
# JVM, a timer or the X server rather than on a core.
TEST_JOBS ?= $(shell echo $$(( $(JOBS) * 2 )))

# Ninja, when installed, for a build folder configured here for the first time
# (CMake keeps the generator a folder was first configured with): it starts
# quicker than make and keeps both cores busy across targets.
GENERATOR = $(if $(wildcard $(1)/CMakeCache.txt),,$(if $(shell command -v ninja),-G Ninja))

# Any report of AddressSanitizer, LeakSanitizer or UndefinedBehaviorSanitizer
# ends the test program with an error. The leak suppressions name system
# libraries only.
SANITIZE_ENV = ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
               UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
               LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan-suppressions.txt:print_suppressions=0

.PHONY: deps configure build sanitize-build run test package bench fuzz clean

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(call GENERATOR,$(BUILD)) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display found: start Brewpad under a virtual one with: xvfb-run -a $(BUILD)/brewpad"; \
	  exit 1; \
	fi
	@$(BUILD)/brewpad

# The same program and tests built with the sanitizers.
sanitize-build: deps
	@cmake -S . -B $(SANITIZE_BUILD) $(call GENERATOR,$(SANITIZE_BUILD)) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DBREWPAD_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)

# Every test runs once. The tests of the built program as a user has it (the
# whole story driven through an X server, a planted brewpad.cfg, the Debian
# package) and the source checks run against the normal build while the
# sanitizer build is compiled (at a lower priority, its output in a log); every
# other test then runs under the sanitizers, which see more faults than the
# normal build does.
test: build
	@echo "== the built program end to end, its package and the checks, while the sanitizer build is compiled (its log: $(BUILD)/sanitize-build.log)"
	@nice -n 10 $(MAKE) sanitize-build >$(BUILD)/sanitize-build.log 2>&1 & built=$$!; \
	 (cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(TEST_JOBS) -L 'program|check'); suite=$$?; \
	 wait $$built || { cat $(BUILD)/sanitize-build.log; echo "The sanitizer build failed."; exit 1; }; \
	 exit $$suite
	@echo "== the rest of the suite under AddressSanitizer and UndefinedBehaviorSanitizer"
	@cd $(SANITIZE_BUILD) && $(SANITIZE_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(TEST_JOBS) -LE 'program|check'

# The Debian package, $(BUILD)/package/brewpad_<version>_<arch>.deb (CPack; cmake/package.cmake).
package: build
	@cmake --build $(BUILD) --target package
	@echo "Package: $$(ls $(BUILD)/package/*.deb)"

bench: build
	@./scripts/install-deps.sh --bench
	@cmake --build $(BUILD) -j $(JOBS) --target benches
	@for b in $(BUILD)/bench/bench_*; do echo "== $$(basename $$b)"; QT_QPA_PLATFORM=offscreen $$b || exit 1; done

# Every fuzz target for FUZZ_SECONDS seconds (60 by default); fails on a crash,
# a hang or a sanitizer report.
FUZZ_SECONDS ?= 60
fuzz: deps
	@./tests/fuzz/run-fuzzers.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(BUILD)-fuzz
