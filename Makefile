# Two commands matter: `make test` and `make demo`. Both install what they need.
SHELL := /bin/bash
PACKAGES := cmake make g++ ccache googletest libgtest-dev libgmock-dev \
            mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
            wine wine64 xvfb xauth x11-utils imagemagick xdotool
TEST_PREFIX := $(CURDIR)/build/wineprefix-test
NATIVE_PREFIX := $(CURDIR)/build/wineprefix-native
XVFB := xvfb-run -a -s "-screen 0 1280x1024x24"

.PHONY: all deps native windows test test-native test-windows demo fuzz clean

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

demo: windows
	scripts/demo.sh $(CURDIR)/build/windows/bin

# Fuzzes RegFile with clang's libFuzzer for FUZZ_SECONDS. New inputs collect in
# build/fuzz/corpus; one worth keeping goes into fuzz/corpus/reg_file, which `make test` replays.
FUZZ_SECONDS ?= 60
FUZZ_FLAGS := -fsanitize=fuzzer-no-link,address,undefined

fuzz: deps
	@if ! command -v clang++ >/dev/null; then echo "make fuzz: clang is not installed, skipped"; exit 0; fi; \
	cmake -S . -B build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRWK_FUZZ=ON "-DCMAKE_CXX_FLAGS=$(FUZZ_FLAGS)" \
	  "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined" >/dev/null && \
	cmake --build build/fuzz --target reg_file_fuzz -j2 && \
	mkdir -p build/fuzz/corpus/reg_file && \
	build/fuzz/bin/reg_file_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=1024 -dict=fuzz/reg_file.dict \
	  -artifact_prefix=build/fuzz/ build/fuzz/corpus/reg_file fuzz/corpus/reg_file

clean:
	rm -rf build
