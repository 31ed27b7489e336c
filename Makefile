# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# Twice the cores: many end-to-end tests spend their time waiting on a
# program or a terminal.
TEST_JOBS ?= $(shell echo $$(( $(JOBS) * 2 )))

# A build that is up to date prints nothing: the build tool's directory
# lines are off, and its "Built target" lines are dropped.  A failed build
# still fails the recipe.
SHELL := /bin/bash
.SHELLFLAGS := -o pipefail -c
BUILD_TOOL_FLAGS = -- --no-print-directory
QUIET = { grep --line-buffered -v -e '] Built target ' || true; }

.PHONY: all build run test check-long bench calibrate clean sanitize lint fuzz plot docs-figure example-figures

all: build

# What a target needs and the machine lacks is installed first (as root,
# with apt-get), or named with the one command that installs it.
NEED = tools/install_missing.sh

build:
	@$(NEED) run
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target adequacy $(BUILD_TOOL_FLAGS) | $(QUIET)

# The run also writes its companion OP.json beside OP, for `make plot`;
# `make run RUN_ARGS=` runs the program with no argument at all.
RUN_ARGS ?= --details OP.json
run: build
	@./$(BUILD_DIR)/adequacy $(RUN_ARGS)

# Tests and benchmarks need their libraries; without them the program still
# builds, and these targets say what to install.
built = grep -q '^ADEQUACY_$(1)_BUILT:INTERNAL=ON' $(BUILD_DIR)/CMakeCache.txt || \
  { echo "make $(2): $(3) is not installed; install it first (Debian: apt-get install $(4))" >&2; exit 1; }

# Tests too slow for every run: the unit tests labelled long, and the
# end-to-end suites named *LongTest; `make check-long` runs them.
LONG_TESTS = LongTest\.

test:
	@$(NEED) test
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@$(call built,TESTS,test,GoogleTest,libgtest-dev)
	@cmake --build $(BUILD_DIR) -j $(JOBS) $(BUILD_TOOL_FLAGS) | $(QUIET)
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(TEST_JOBS) -LE long -E '$(LONG_TESTS)'
	@echo "make test: 14 to 35 s of test time on a built tree on two cores, by the machine; a test over 5 s is a fault"

# What is too slow for every test run, and CI runs: the engines against the
# plain loop year by year, the plain loop's goldens written afresh and
# compared, and the program built where no test library is installed.
check-long:
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@$(call built,TESTS,check-long,GoogleTest,libgtest-dev)
	@cmake --build $(BUILD_DIR) -j $(JOBS) $(BUILD_TOOL_FLAGS) | $(QUIET)
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) -L long
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) -LE long -R '$(LONG_TESTS)'
	@./$(BUILD_DIR)/plain_loop_states | diff - tests/plain_loop_states.txt
	@echo "check-long: the plain loop's goldens are as checked in"
	@cmake --no-warn-unused-cli -S . -B $(BUILD_DIR)-bare -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
	  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >/dev/null
	@cmake --build $(BUILD_DIR)-bare -j $(JOBS) --target adequacy > $(BUILD_DIR)-bare.log 2>&1 || \
	  { tail -40 $(BUILD_DIR)-bare.log; exit 1; }
	@said=$$($(MAKE) --no-print-directory test BUILD_DIR=$(BUILD_DIR)-bare 2>&1 || true); \
	  echo "$$said" | grep -q 'apt-get install libgtest-dev' || \
	  { echo "check-long: make test without GoogleTest does not say what to install"; exit 1; }
	@printf '\n2\n\n' | (cd $(BUILD_DIR)-bare && ./adequacy >/dev/null)
	@echo "check-long: the program builds and runs without the test libraries"

# The program's run is timed to BENCH_YEARS (default 100,000,000).
BENCH_YEARS ?= 100000000
bench:
	@$(NEED) bench
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DADEQUACY_BENCH=ON >/dev/null
	@$(call built,BENCH,bench,Google Benchmark,libbenchmark-dev)
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target adequacy_bench adequacy $(BUILD_TOOL_FLAGS) | $(QUIET)
	@ADEQUACY_BENCH_YEARS=$(BENCH_YEARS) ./$(BUILD_DIR)/adequacy_bench

# The Monte Carlo intervals checked against the exact solution, the
# dialogue's and those of system files (about a minute and a half on two
# cores).
calibrate:
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target adequacy_calibrate $(BUILD_TOOL_FLAGS) | $(QUIET)
	@./$(BUILD_DIR)/adequacy_calibrate

# The report as a figure: OP.svg beside OP (OP=path for another report,
# FORMAT=png for a PNG, DETAILS=path for a companion file other than
# OP.json beside the report); needs gnuplot, and jq for the companion.
OP ?= OP
FORMAT ?= svg
DETAILS ?=
plot:
	@DETAILS='$(DETAILS)' sh plot/plot_report.sh '$(OP)' '$(FORMAT)'

# The README's figure drawn afresh from the program as built.
docs-figure: build
	@tools/docs_figure.sh $(BUILD_DIR)/adequacy

# The figures of the examples in the README, drawn afresh by the program
# as built (needs gnuplot): the RTS-79's assessment and the credit of one
# more nuclear unit.
example-figures: build
	@$(BUILD_DIR)/adequacy assess examples/rts79/system.toml --years 100000 \
	  --plot docs/rts79_assess.png > /dev/null
	@$(BUILD_DIR)/adequacy capacity examples/rts79/system.toml \
	  --add examples/rts79/one_more_nuclear.toml \
	  --plot docs/rts79_credit.png > /dev/null
	@echo "example-figures: wrote docs/rts79_assess.png and docs/rts79_credit.png"

clean:
	@rm -rf $(BUILD_DIR) $(BUILD_DIR)-bare $(BUILD_DIR)-bare.log

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	@cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DADEQUACY_SANITIZE=ON >/dev/null
	@cmake --build build-sanitize -j $(JOBS) $(BUILD_TOOL_FLAGS) | $(QUIET)
	@cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS) -LE long -E '$(LONG_TESTS)'

SOURCES = $(shell git ls-files '*.cpp' '*.h')
LINTED = $(shell git ls-files 'app/*.cpp' 'model/*.cpp' 'direct/*.cpp' 'montecarlo/*.cpp' 'report/*.cpp' 'system/*.cpp' 'capacity/*.cpp' | grep -v _test.cpp)

# Formatting check and static analysis with the checks in .clang-tidy.
lint:
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
	@clang-format --dry-run --Werror $(SOURCES)
	@clang-tidy --quiet -p $(BUILD_DIR) $(LINTED) 2>/dev/null
	@echo "lint: clean"

# libFuzzer targets over the reply reading and value-list parse, over the
# field renderer, and over the system file and series readers; each runs
# FUZZ_SECONDS from the corpus kept in fuzz/corpus.
FUZZ_SECONDS ?= 60
FUZZ_DIR = build-fuzz
FUZZ_FLAGS = -std=c++20 -O1 -g -I. -ffp-contract=off -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all

SYSTEM_SOURCES = system/system_file.cpp system/series_csv.cpp system/text_file.cpp \
  system/toml_text.cpp \
  system/system.cpp system/load_change.cpp system/schedule.cpp \
  system/area_outcomes.cpp \
  model/capacity_table.cpp direct/assessment.cpp direct/hourly_load.cpp \
  direct/study.cpp direct/placement.cpp direct/areas.cpp

fuzz:
	@mkdir -p $(FUZZ_DIR)/reply $(FUZZ_DIR)/field $(FUZZ_DIR)/system
	@clang++ $(FUZZ_FLAGS) fuzz/reply_fuzz.cpp app/reply.cpp app/value_list.cpp -o $(FUZZ_DIR)/reply_fuzz
	@clang++ $(FUZZ_FLAGS) fuzz/field_fuzz.cpp report/field.cpp -o $(FUZZ_DIR)/field_fuzz
	@clang++ $(FUZZ_FLAGS) fuzz/system_fuzz.cpp $(SYSTEM_SOURCES) -o $(FUZZ_DIR)/system_fuzz
	@cp fuzz/corpus/reply/* $(FUZZ_DIR)/reply/
	@cp fuzz/corpus/field/* $(FUZZ_DIR)/field/
	@cp fuzz/corpus/system/* $(FUZZ_DIR)/system/
	@./$(FUZZ_DIR)/reply_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 $(FUZZ_DIR)/reply > $(FUZZ_DIR)/reply.log 2>&1 || (tail -40 $(FUZZ_DIR)/reply.log; exit 1)
	@tail -1 $(FUZZ_DIR)/reply.log
	@./$(FUZZ_DIR)/field_fuzz -max_total_time=$(FUZZ_SECONDS) $(FUZZ_DIR)/field > $(FUZZ_DIR)/field.log 2>&1 || (tail -40 $(FUZZ_DIR)/field.log; exit 1)
	@tail -1 $(FUZZ_DIR)/field.log
	@./$(FUZZ_DIR)/system_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=8192 $(FUZZ_DIR)/system > $(FUZZ_DIR)/system.log 2>&1 || (tail -40 $(FUZZ_DIR)/system.log; exit 1)
	@tail -1 $(FUZZ_DIR)/system.log
