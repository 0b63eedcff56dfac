# Entry points: `make` builds everything into out/bin, `make test` runs every test
# layer, `make demo` plays the demo movie, `make fuzz` runs every fuzz target for ten
# minutes. Each first installs what is missing for its goal.
#
# `make demo` is the first run of a newcomer: it installs and builds only what the
# demo needs, prints one line per stage and keeps the full output in $(LOGS). It
# configures the same build folders as the other goals, with the tests left out of a
# folder it creates; `make test` later switches them on there and builds only what
# is still missing.

BUILD ?= build
OUT ?= out
LOGS ?= $(BUILD)/logs
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# Fuzzing in make test: one budget shared by all fuzz targets. make fuzz runs each
# target for FUZZ_TARGET_SECONDS instead.
FUZZ_SECONDS ?= 90
FUZZ_TARGET_SECONDS ?= 600
# What scripts/setup.sh installs; test, bench and fuzz narrow it for their builds.
SETUP_GOAL ?=

STAGE = bash scripts/stage.sh
# The Windows build this machine can run (win32, or win64 where the kernel runs no
# 32-bit processes); it asks Wine, so it is only known after set-up.
WINDOWS_ARCH ?= $(shell bash -c 'source scripts/wine-env.sh && windows_arch')
# What the demo runs: the native tools that write the movie and the disc, and the
# Windows deliverables with the test driver that drives them.
DEMO_NATIVE_TARGETS = movietool orvanetool ziptool
DEMO_WINDOWS_TARGETS = Quillet Orvane OrvaneV movietool ziptool qdriver

toolchain_win32 = cmake/mingw-i686.cmake
toolchain_win64 = cmake/mingw-x86_64.cmake
# $(call configure_native,OPTIONS) and $(call configure_windows,ARCH,OPTIONS)
configure_native = cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=RelWithDebInfo $(1) $(CMAKE_FLAGS)
configure_windows = cmake -S . -B $(BUILD)/$(1) -DCMAKE_TOOLCHAIN_FILE=$(toolchain_$(1)) \
    -DQUILLET_NATIVE_BUILD=$(abspath $(BUILD))/native -DCMAKE_BUILD_TYPE=Release $(2) $(CMAKE_FLAGS)
# The demo leaves the tests out of a folder it configures first, so that it needs
# no test packages; in a folder configured before, it keeps what is there.
demo_tests = $(if $(wildcard $(BUILD)/$(1)/CMakeCache.txt),,-DQUILLET_TESTS=OFF)

.PHONY: all setup build native windows sanitize test fuzz bench demo demo-native demo-windows clean

all: build

setup:
	@bash scripts/setup.sh $(SETUP_GOAL)

build: setup native windows
	@mkdir -p $(OUT)/bin
	cmake --install $(BUILD)/native --prefix $(OUT) >/dev/null
	cmake --install $(BUILD)/win32 --prefix $(OUT) >/dev/null
	@echo "deliverables in $(OUT)/bin:" && ls $(OUT)/bin

native:
	$(call configure_native,-DQUILLET_TESTS=ON) >/dev/null
	cmake --build $(BUILD)/native -j$(JOBS)

# The 32-bit build gives the deliverables; the 64-bit one of the same sources runs
# the Windows tests where the kernel cannot start 32-bit processes.
windows:
	$(call configure_windows,win32,-DQUILLET_TESTS=ON) >/dev/null
	cmake --build $(BUILD)/win32 -j$(JOBS)
	$(call configure_windows,win64,-DQUILLET_TESTS=ON) >/dev/null
	cmake --build $(BUILD)/win64 -j$(JOBS)

sanitize:
	CC=clang CXX=clang++ cmake -S . -B $(BUILD)/sanitize -DCMAKE_BUILD_TYPE=Debug \
	    -DQUILLET_SANITIZE=ON -DQUILLET_FUZZ=ON $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD)/sanitize -j$(JOBS)

test: SETUP_GOAL = test
test: build sanitize
	ctest --test-dir $(BUILD)/native --output-on-failure
	ctest --test-dir $(BUILD)/sanitize --output-on-failure
	bash scripts/run-fuzz.sh $(BUILD)/sanitize --total $(FUZZ_SECONDS)
	bash scripts/run-windows-tests.sh

# Longer fuzzing than make test allows, one target after the other.
fuzz: SETUP_GOAL = fuzz
fuzz: setup sanitize
	bash scripts/run-fuzz.sh $(BUILD)/sanitize --each $(FUZZ_TARGET_SECONDS)

# Benchmarks print their figures as ratios against a baseline measured in the same run.
bench: SETUP_GOAL = bench
bench: build
	@mkdir -p $(BUILD)/bench
	$(BUILD)/native/bench/frame_loader_bench $(BUILD)/bench
	$(BUILD)/native/bench/render_bench $(BUILD)/bench
	bash bench/zip_extract_bench.sh
	bash bench/launcher_extract_bench.sh
	bash bench/gsm_decode_bench.sh
	bash bench/playback_bench.sh

demo:
	@started=$$(date +%s) && \
	$(STAGE) "installing what the demo needs" $(LOGS)/demo-setup.log bash scripts/setup.sh demo && \
	$(STAGE) "building native tools" $(LOGS)/demo-native.log $(MAKE) --no-print-directory demo-native && \
	arch=$$(bash -c 'source scripts/wine-env.sh && windows_arch') && \
	$(STAGE) "building the Windows programs ($$arch)" $(LOGS)/demo-windows.log \
	    $(MAKE) --no-print-directory demo-windows WINDOWS_ARCH=$$arch && \
	$(STAGE) "writing the demo movie" $(LOGS)/demo-movie.log bash scripts/demo.sh movie && \
	$(STAGE) "exporting the demo video" $(LOGS)/demo-export.log bash scripts/demo.sh export && \
	$(STAGE) "starting Wine" $(LOGS)/demo-wine.log bash scripts/demo.sh wine && \
	$(STAGE) "playing the demo" $(LOGS)/demo-play.log bash scripts/demo.sh play && \
	echo "demo done in $$(($$(date +%s) - started)) s; screenshots and stills in out/demo/"

demo-native:
	$(call configure_native,$(call demo_tests,native))
	cmake --build $(BUILD)/native -j$(JOBS) --target $(DEMO_NATIVE_TARGETS)
	@mkdir -p $(OUT)/bin
	cmake --install $(BUILD)/native --prefix $(OUT)

demo-windows:
	$(call configure_windows,$(WINDOWS_ARCH),$(call demo_tests,$(WINDOWS_ARCH)))
	cmake --build $(BUILD)/$(WINDOWS_ARCH) -j$(JOBS) --target $(DEMO_WINDOWS_TARGETS)

clean:
	rm -rf $(BUILD) $(OUT)
