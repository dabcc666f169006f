# Two commands matter: `make test` and `make demo`. Both install what they need.
SHELL := /bin/bash
PACKAGES := cmake make g++ ccache googletest libgtest-dev libgmock-dev \
            mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
            wine wine64 xvfb xauth x11-utils imagemagick
TEST_PREFIX := $(CURDIR)/build/wineprefix-test
XVFB := xvfb-run -a -s "-screen 0 1280x1024x24"

.PHONY: all deps native windows windows-prefix test test-native test-windows demo clean

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

# The POSIX backend's registry tests also read a copy of a freshly booted real prefix.
test-native: native windows-prefix
	TRWK_REAL_PREFIX=$(TEST_PREFIX) ctest --preset native

windows-prefix: deps
	testing/make-wineprefix $(TEST_PREFIX)
	testing/make-link-fixture $(TEST_PREFIX)

# Every Wine test run gets its own throwaway prefix and one wineserver for the run.
test-windows: windows windows-prefix
	status=0; WINEPREFIX=$(TEST_PREFIX) TRWK_LINK_FIXTURE='C:\linkfix' $(XVFB) ctest --preset windows || status=$$?; \
	WINEPREFIX=$(TEST_PREFIX) wineserver -k 2>/dev/null; rm -rf $(TEST_PREFIX); exit $$status

# Each half gets a freshly booted throwaway prefix.
test:
	$(MAKE) test-native
	$(MAKE) test-windows

demo: windows
	scripts/demo.sh $(CURDIR)/build/windows/bin

clean:
	rm -rf build
