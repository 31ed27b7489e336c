# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build run test bench clean sanitize lint fuzz

all: build

build:
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target adequacy

run: build
	@./$(BUILD_DIR)/adequacy

test:
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS) -- --no-print-directory
	@cd $(BUILD_DIR) && ctest --output-on-failure

bench:
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DADEQUACY_BENCH=ON >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target adequacy_bench adequacy
	@./$(BUILD_DIR)/adequacy_bench

clean:
	@rm -rf $(BUILD_DIR)

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	@cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DADEQUACY_SANITIZE=ON >/dev/null
	@cmake --build build-sanitize -j $(JOBS) -- --no-print-directory
	@cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure

SOURCES = $(shell git ls-files '*.cpp' '*.h')
LINTED = $(shell git ls-files 'app/*.cpp' 'model/*.cpp' 'direct/*.cpp' 'montecarlo/*.cpp' 'report/*.cpp' | grep -v _test.cpp)

# Formatting check and static analysis with the checks in .clang-tidy.
lint:
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
	@clang-format --dry-run --Werror $(SOURCES)
	@clang-tidy --quiet -p $(BUILD_DIR) $(LINTED) 2>/dev/null
	@echo "lint: clean"
