# make run   - set up, build and start the program
# make test  - set up, build and run every test
# make asan  - the tests once more with AddressSanitizer and UndefinedBehaviorSanitizer
# make install [PREFIX=/usr/local] [DESTDIR=...] - install the programs, menu entry, manual pages
# make package - the Debian package kestova_VERSION_ARCH.deb in the build folder
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: setup build run test asan install package clean

setup:
	scripts/setup

build: setup
	cmake -S . -B $(BUILD) -G Ninja
	cmake --build $(BUILD) -j $(JOBS)

# Without a display (a bare server, a CI box) the window opens on a virtual one.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then $(BUILD)/bin/kestova $(ARGS); \
	else xvfb-run -a $(BUILD)/bin/kestova $(ARGS); fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

asan: setup
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTOVA_SANITIZE=ON -DKESTOVA_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
