# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build run test bench clean

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
