# make run   set up, build and start Marlo on the bundled example
# make test  set up, build and run every test (plain, sanitized, fuzz smoke runs)
# make fuzz  run every fuzz target for FUZZ_SECONDS (default 60), keeping its corpus
# make lint  run clang-tidy's bugprone and performance checks over the sources

BUILD    ?= build
SANBUILD ?= build-san
JOBS     ?= 2
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

FUZZ_SECONDS ?= 60
WERROR ?= ON

.PHONY: all setup build run test test-plain test-san fuzz-smoke fuzz format-check lint bench clean

all: build

setup:
	@scripts/bootstrap

build: setup
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@cmake -B $(BUILD) -DMARLO_WERROR=$(WERROR) >/dev/null
	cmake --build $(BUILD) -j$(JOBS)

run: build
	scripts/run-demo $(BUILD)/bin

test: build
	$(MAKE) --no-print-directory format-check test-plain test-san fuzz-smoke

# Every C++ file as clang-format would write it.
format-check: setup
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
	@echo "format-check: every file is formatted"

lint: build
	@git ls-files 'src/*.cpp' | xargs clang-tidy -p $(BUILD) --quiet --extra-arg=-Wno-unknown-warning-option

test-plain:
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The core once more under AddressSanitizer and UndefinedBehaviorSanitizer, built with
# clang so that the same folder also carries the fuzz targets; the desktop program is
# left out there.
$(SANBUILD)/CMakeCache.txt:
	CXX=clang++ cmake -S . -B $(SANBUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug \
	  -DMARLO_SANITIZE=ON -DMARLO_FUZZ=ON -DMARLO_BENCH=OFF -DMARLO_UI=OFF -DMARLO_WERROR=$(WERROR)

test-san: setup $(SANBUILD)/CMakeCache.txt
	cmake --build $(SANBUILD) -j$(JOBS)
	cd $(SANBUILD) && UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j$(JOBS)

fuzz-smoke: test-san
	scripts/fuzz-smoke $(SANBUILD)/bin fuzz/corpus 5

# Longer runs; each target's corpus grows in $(SANBUILD)/fuzz-corpus from run to run.
fuzz: setup $(SANBUILD)/CMakeCache.txt
	cmake --build $(SANBUILD) -j$(JOBS)
	scripts/fuzz-smoke $(SANBUILD)/bin fuzz/corpus $(FUZZ_SECONDS) $(SANBUILD)/fuzz-corpus

# Every benchmark script runs, even after one reports a missed target.
bench: build
	@scripts/bootstrap --bench
	@status=0; \
	bench/run.sh $(BUILD)/bin || status=1; \
	bench/colors.sh $(BUILD)/bin || status=1; \
	bench/preproc.sh $(BUILD)/bin || status=1; \
	bench/cli_keys.sh $(BUILD)/bin || status=1; \
	bench/search.sh $(BUILD)/bin || status=1; \
	bench/build.sh $(BUILD)/bin || status=1; \
	bench/print.sh $(BUILD)/bin || status=1; \
	$(BUILD)/bin/bench_search || status=1; \
	bench/memory.sh $(BUILD)/bin || status=1; \
	$(BUILD)/bin/bench_editor || status=1; \
	$(BUILD)/bin/bench_open || status=1; \
	$(BUILD)/bin/bench_options || status=1; \
	bench/startup.sh $(BUILD)/bin || status=1; \
	bench/journal.sh $(BUILD)/bin || status=1; \
	exit $$status

clean:
	rm -rf $(BUILD) $(SANBUILD)
