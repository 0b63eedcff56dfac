# Entry points: `make` builds everything into out/bin, `make test` runs every test
# layer, `make demo` plays the demo movie, `make fuzz` runs every fuzz target for ten
# minutes. Each first installs what is missing.

BUILD ?= build
OUT ?= out
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# Fuzzing in make test: one budget shared by all fuzz targets. make fuzz runs each
# target for FUZZ_TARGET_SECONDS instead.
FUZZ_SECONDS ?= 90
FUZZ_TARGET_SECONDS ?= 600

.PHONY: all setup build native windows sanitize test fuzz bench demo clean

all: build

setup:
	@bash scripts/setup.sh

build: setup native windows
	@mkdir -p $(OUT)/bin
	cmake --install $(BUILD)/native --prefix $(OUT) >/dev/null
	cmake --install $(BUILD)/win32 --prefix $(OUT) >/dev/null
	@echo "deliverables in $(OUT)/bin:" && ls $(OUT)/bin

native:
	cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD)/native -j$(JOBS)

# The 32-bit build gives the deliverables; the 64-bit one of the same sources runs
# the Windows tests where the kernel cannot start 32-bit processes.
windows:
	cmake -S . -B $(BUILD)/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DQUILLET_NATIVE_BUILD=$(abspath $(BUILD))/native \
	    -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD)/win32 -j$(JOBS)
	cmake -S . -B $(BUILD)/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DQUILLET_NATIVE_BUILD=$(abspath $(BUILD))/native \
	    -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD)/win64 -j$(JOBS)

sanitize:
	CC=clang CXX=clang++ cmake -S . -B $(BUILD)/sanitize -DCMAKE_BUILD_TYPE=Debug \
	    -DQUILLET_SANITIZE=ON -DQUILLET_FUZZ=ON $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD)/sanitize -j$(JOBS)

test: build sanitize
	ctest --test-dir $(BUILD)/native --output-on-failure
	ctest --test-dir $(BUILD)/sanitize --output-on-failure
	bash scripts/run-fuzz.sh $(BUILD)/sanitize --total $(FUZZ_SECONDS)
	bash scripts/run-windows-tests.sh

# Longer fuzzing than make test allows, one target after the other.
fuzz: setup sanitize
	bash scripts/run-fuzz.sh $(BUILD)/sanitize --each $(FUZZ_TARGET_SECONDS)

# Benchmarks print their figures as ratios against a baseline measured in the same run.
bench: build
	@mkdir -p $(BUILD)/bench
	$(BUILD)/native/bench/frame_loader_bench $(BUILD)/bench
	$(BUILD)/native/bench/render_bench $(BUILD)/bench
	bash bench/zip_extract_bench.sh
	bash bench/launcher_extract_bench.sh
	bash bench/gsm_decode_bench.sh
	bash bench/playback_bench.sh

demo: build
	bash scripts/demo.sh

clean:
	rm -rf $(BUILD) $(OUT)
