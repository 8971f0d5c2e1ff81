# Entry points: `make run` starts the tool, `make test` runs every test,
# `make bench` runs the benchmarks. Each installs missing packages first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps configure build run test bench asan fuzz clean install sample package

deps:
	@bash scripts/deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD_DIR)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench:
	@$(MAKE) --no-print-directory build BUILD_DIR=build-bench BUILD_TYPE=Release
	@bash scripts/bench.sh build-bench

asan:
	@$(MAKE) --no-print-directory test BUILD_DIR=build-asan BUILD_TYPE=Debug CMAKE_FLAGS="-DEDITBOOT_SANITIZE=ON"

# libFuzzer targets (clang); run one with e.g. build-fuzz/fuzz/fuzz_settings -max_total_time=600
fuzz:
	@bash scripts/deps.sh --fuzz
	@$(MAKE) --no-print-directory build BUILD_DIR=build-fuzz BUILD_TYPE=RelWithDebInfo \
		CMAKE_FLAGS="-DCMAKE_CXX_COMPILER=clang++ -DEDITBOOT_FUZZ=ON -DEDITBOOT_TESTS=OFF -DEDITBOOT_BENCH=OFF"

clean:
	rm -rf build build-bench build-asan build-fuzz

# ---- installing and a sample image --------------------------------------------
# `make install` copies the programs (and the desktop files) under PREFIX, so
# that a bare `editboot` works once PREFIX/bin is on the PATH; writing to
# /usr/local needs root (sudo make install), PREFIX=~/.local does not.
PREFIX ?= /usr/local

install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# `make sample` writes a small firmware image to try the tool on.
sample:
	@mkdir -p $(BUILD_DIR)/sample
	@python3 scripts/make_sample_image.py $(BUILD_DIR)/sample/firmware.bin

# `make package` builds the Debian packages in $(BUILD_DIR)/packages:
# editboot_*.deb (the programs) and libmphexeditor-dev_*.deb (the library).
package: build
	@bash scripts/deps.sh --package
	@cmake --build $(BUILD_DIR) --target package
