# Two commands matter: `make test` and `make demo`. Both install what they need.
SHELL := /bin/bash
PACKAGES := cmake make g++ ccache googletest libgtest-dev libgmock-dev \
            mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
            wine wine64 xvfb xauth x11-utils imagemagick xdotool nsis
TEST_PREFIX := $(CURDIR)/build/wineprefix-test
NATIVE_PREFIX := $(CURDIR)/build/wineprefix-native
XVFB := xvfb-run -a -s "-screen 0 1280x1024x24"

.PHONY: all deps native windows test test-native test-windows demo fuzz stress bench package clean

all: native windows

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing: $$missing"; \
	  if [ "$$(id -u)" = 0 ]; then SUDO=; else SUDO=sudo; fi; \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing >/dev/null; \
	fi

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows

# The POSIX backend's registry tests also read a freshly booted real prefix.
test-native: native
	testing/make-wineprefix $(NATIVE_PREFIX)
	status=0; TRWK_REAL_PREFIX=$(NATIVE_PREFIX) ctest --preset native || status=$$?; \
	WINEPREFIX=$(NATIVE_PREFIX) wineserver -k 2>/dev/null; rm -rf $(NATIVE_PREFIX); exit $$status

# Every Wine test run gets its own throwaway prefix and one wineserver for the run.
test-windows: windows
	$(XVFB) testing/run-wine-tests $(TEST_PREFIX)

test:
	$(MAKE) test-native
	$(MAKE) test-windows

# The programs the demo runs are built quietly: their build's output (build/demo-build.log)
# is shown only when the build fails, so that the screen tells the demo's own story.
demo: deps
	@mkdir -p build
	@echo "demo: building the Windows programs (output in build/demo-build.log)"
	@{ cmake --preset windows && cmake --build --preset windows --target trwk6 Extmaker1 zap trwk_data; } \
	  >build/demo-build.log 2>&1 || { cat build/demo-build.log; echo "demo: the build failed" >&2; exit 1; }
	@scripts/demo.sh $(CURDIR)/build/windows/bin

# Fuzzes every parser with clang's libFuzzer, FUZZ_SECONDS per target, and prints the
# executions and findings of each (fuzz/run.sh). New inputs collect in build/fuzz/corpus,
# findings in build/fuzz/findings; one worth keeping goes into fuzz/corpus/<target>, which
# `make test` replays.
FUZZ_SECONDS ?= 60
FUZZ_FLAGS := -fsanitize=fuzzer-no-link,address,undefined

fuzz: deps
	@if ! command -v clang++ >/dev/null; then echo "make fuzz: clang is not installed, skipped"; exit 0; fi; \
	cmake -S . -B build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRWK_FUZZ=ON "-DCMAKE_CXX_FLAGS=$(FUZZ_FLAGS)" \
	  "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined" >/dev/null && \
	cmake --build build/fuzz --target trwk_fuzz_targets -j2 && \
	fuzz/run.sh $(FUZZ_SECONDS) build/fuzz

# Kill -9 of a settings writer (1,000 times), then the removal walk against folders swapped for links mid-run: 10,000 runs per case natively
# (STRESS_ITERATIONS), then, when the Windows build is there, trwk6.exe under Wine.
stress: deps
	cmake --preset native >/dev/null
	cmake --build --preset native --target trwk_tests
	stress/race_swap.sh build/native/bin/trwk_tests
	cmake --build --preset native --target trwk_settings_writer
	stress/settings_kill.sh build/native/bin/trwk_settings_writer
	@if [ -f build/windows/bin/trwk6.exe ]; then stress/race_swap_wine.sh $(CURDIR)/build/stress-wine build/windows/bin; \
	else echo "make stress: no build/windows/bin/trwk6.exe, the Wine race is skipped (make windows first)"; fi

# The benchmark table (bench/run.sh; sizes and rounds from BENCH_*): the Release build of
# trwk6 in build/release and the Windows build's trwk6.exe against the system's own tools,
# and BleachBit from Debian as the peer. Writes build/bench/report.md; never part of `make test`.
bench: deps
	@command -v bleachbit >/dev/null || { if [ "$$(id -u)" = 0 ]; then SUDO=; else SUDO=sudo; fi; \
	  DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq bleachbit >/dev/null 2>&1 || \
	  echo "make bench: bleachbit could not be installed, its row is skipped"; }
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Wno-restrict >/dev/null
	cmake --build build/release --target trwk6 trwk_bench_tool -j2
	@cmake --preset windows >/dev/null; \
	if cmake --build --preset windows --target trwk6 trwk_plain_remove; then winbin=$(CURDIR)/build/windows/bin; \
	else echo "make bench: the Windows build did not compile, the Wine rows are skipped"; winbin=/nonexistent; fi; \
	BENCH_WINDOWS_BIN=$$winbin bench/run.sh

# The Windows setup, build/Tarnwick-<version>-setup.exe (NSIS): the three programs of the
# release build and the files shipped beside them (packaging/).
TRWK_VERSION := $(shell sed -n 's/^project.tarnwick VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
package: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target trwk6 Extmaker1 zap
	packaging/make-setup.sh build/windows/bin data build/Tarnwick-$(TRWK_VERSION)-setup.exe $(TRWK_VERSION)

clean:
	rm -rf build
