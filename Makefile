# Tangrel 2.0 — the two set-up commands are `make play` and `make test`.
JOBS ?= $(shell nproc)
BUILD := build
ASAN := build-asan
FUZZ := build-fuzz
CLANG := build-clang
WIN64 := build-win64
WIN32 := build-win32
WEB := build-web
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 10

.PHONY: play test bench fuzz deps build build-asan build-fuzz build-clang windows windows-test web web-test contact-sheet level-sheet install package clean

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTANGREL_WERROR=ON >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DTANGREL_WERROR=ON -DTANGREL_SANITIZE=ON -DTANGREL_BENCH=OFF >/dev/null
	cmake --build $(ASAN) -j $(JOBS)

play: build
	cd $(BUILD)/game && ./tangrel

test: build build-asan build-fuzz build-clang windows-test web-test
	cd $(BUILD) && ctest --output-on-failure
	cd $(ASAN) && ctest --output-on-failure
	cd $(CLANG) && ctest --output-on-failure --no-tests=error -R '^($(subst $(space),|,$(strip $(CLANG_TESTS))))$$'
	scripts/fuzz-smoke $(FUZZ) $(FUZZ_SMOKE_SECONDS)
	cd $(WIN64) && ctest --output-on-failure

# The native Windows game, cross-compiled with mingw-w64 (64-bit and 32-bit, statically
# linked), each as a zip of one game folder, and the 64-bit installer; the game data and the
# icon come from the Linux build.
windows: build
	cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release -DTANGREL_WERROR=ON \
	  -DTANGREL_GAME_DATA=$(CURDIR)/$(BUILD)/game >/dev/null
	cmake --build $(WIN64) -j $(JOBS) --target zip installer
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release -DTANGREL_WERROR=ON \
	  -DTANGREL_GAME_DATA=$(CURDIR)/$(BUILD)/game >/dev/null
	cmake --build $(WIN32) -j $(JOBS) --target zip
	@ls -l $(WIN64)/Tangrel-2.0-win64.zip $(WIN64)/Tangrel-2.0-win64-setup.exe $(WIN32)/Tangrel-2.0-win32.zip

# The 64-bit zip and the unit tests built with mingw, for the runs under Wine in make test.
windows-test: build
	cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release -DTANGREL_WERROR=ON \
	  -DTANGREL_GAME_DATA=$(CURDIR)/$(BUILD)/game -DTANGREL_WIN_TESTS=ON >/dev/null
	cmake --build $(WIN64) -j $(JOBS) --target zip installer zip_no_manifest test_drawing test_puzzle test_settings test_package test_platform_shared test_win32

# The game in the browser: $(WEB)/site/ is the whole site (static files for any web host).
# FreeType for wasm is built once from Debian's source package into $(WEB)/freetype; the
# game data come from the Linux build.
web: build
	JOBS=$(JOBS) scripts/build-web $(WEB) $(BUILD)/game

# The unit tests of the platform-independent units and the browser platform's own units,
# built with emscripten and run under Node.
web-test: build
	JOBS=$(JOBS) WEB_CMAKE_FLAGS=-DTANGREL_WEB_TESTS=ON scripts/build-web $(WEB) $(BUILD)/game
	NODE_PATH=$${NODE_PATH:-/usr/share/nodejs} cmake --build $(WEB) -j $(JOBS) --target web_tests
	cd $(WEB) && ctest --output-on-failure -L wasm

# The performance report (markdown on stdout), then the real program's memory under Xvfb;
# BENCH_ALL=1 also runs the single-unit benchmarks.
bench: build
	$(BUILD)/bench_report
	bench/real_memory.sh $(BUILD)/game || echo "(the real program's memory was not measured)"
	bench/idle_cpu.sh $(BUILD)/game window 1024x768 || echo "(idle CPU in a window was not measured)"
	bench/idle_cpu.sh $(BUILD)/game full 1920x1080 || echo "(idle CPU full screen was not measured)"
	@if [ -n "$(BENCH_ALL)" ]; then for b in $(BUILD)/bench_*; do \
	  [ "$$b" = $(BUILD)/bench_report ] || { [ -x "$$b" ] && "$$b" --benchmark_min_time=0.2; } || true; done; fi

# The fuzz targets: clang, ASan + UBSan, coverage-guided.
build-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=Debug -DTANGREL_WERROR=ON -DTANGREL_FUZZ=ON -DTANGREL_SANITIZE=ON -DTANGREL_BENCH=OFF -DTANGREL_ASSETS=OFF >/dev/null
	cmake --build $(FUZZ) -j $(JOBS) --target $$(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$$//' | tr '\n' ' ')

fuzz: build-fuzz
	scripts/fuzz-smoke $(FUZZ) $(FUZZ_SECONDS)

# The game once more in Release with clang, warnings as errors, so a compiler or an optimisation
# level other than ours cannot break a packager's build unnoticed. Only the game and what the
# quick unit tests need: no benchmarks, no generated data. The end-to-end, install, soak and fault
# tests drive the whole game on the generated data; the normal and sanitizer builds run them.
# It also takes the portable drawing and puzzle paths (no SSE2, what every 64-bit architecture
# builds), so one extra build checks both.
# CLANG_CMAKE_FLAGS takes further CMake switches for this build.
CLANG_CMAKE_FLAGS ?=
CLANG_TESTS := app content drawing hud menu package platform platform_shared puzzle settings smoke sound sound_real window levels_validate
CLANG_TARGETS := tangrel levels-tool test_app test_content test_drawing test_hud test_menu test_package \
  test_platform test_platform_shared test_puzzle test_settings test_smoke test_sound test_sound_real test_window
space := $(subst ,, )

build-clang: deps
	CC=clang CXX=clang++ cmake -S . -B $(CLANG) -DCMAKE_BUILD_TYPE=Release -DTANGREL_WERROR=ON -DTANGREL_PORTABLE=ON -DTANGREL_BENCH=OFF -DTANGREL_ASSETS=OFF $(CLANG_CMAKE_FLAGS) >/dev/null
	cmake --build $(CLANG) -j $(JOBS) --target $(CLANG_TARGETS)

contact-sheet: build
	cmake --build $(BUILD) --target contact-sheet
	@echo "wrote $(BUILD)/contact-sheet.png"

# Every level's solution with its number, family and star.
level-sheet: build
	cmake --build $(BUILD) --target level-sheet
	@echo "wrote $(BUILD)/level-sheet.png"

install: build
	cmake --install $(BUILD)

# The Debian package of the normal build: $(BUILD)/tangrel_2.0.0-1_<arch>.deb
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN) $(FUZZ) $(CLANG) $(WIN64) $(WIN32) $(WEB)

# The browser build served on 127.0.0.1 for a quick look: http://127.0.0.1:$(WEB_PORT)/
WEB_PORT ?= 8000
.PHONY: serve-web bench-web
serve-web: web
	node tests/web/server.js build-web/site $(WEB_PORT)

# The browser's performance report (headless Chromium): level 94's frame portable and with
# wasm SIMD, beside the browser's own 2D canvas; start-up; bytes before the menu; site sizes.
bench-web: web
	bench/web/run-bench.sh build-web build/game
