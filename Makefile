# make run   - set up, build and start the program
# make test  - set up, build and run every test
# make asan  - the tests once more with AddressSanitizer and UndefinedBehaviorSanitizer (but the
#              full-size images, which wait out each chip's write cycles on the code paths
#              the smaller round trips run)
# make install [PREFIX=/usr/local] [DESTDIR=...] - install the programs, menu entry, manual pages
# make package - the Debian package kestova_VERSION_ARCH.deb in the build folder
# make format-check - the tracked C++ sources against .clang-format (changes nothing)
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: setup build run test asan install package format-check clean

setup:
	scripts/setup

build: setup
	cmake -S . -B $(BUILD) -G Ninja
	cmake --build $(BUILD) -j $(JOBS)

# A first run gets a simulated ATmega8 (kestova.ini beside the program) and writes the
# example firmware into it; a kestova.ini of the user's own is left alone, and the
# example is only written while its port is that simulated chip. Without a display the
# same run goes through kestova-cli, then the chip is compared with the file.
EXAMPLE := examples/atmega8-breathe.hex
INI := $(BUILD)/bin/kestova.ini
run: build
	@if [ ! -f $(INI) ]; then printf '[CONFIG]\r\nCHIP=5\r\nPORTA=SIM:atmega8\r\n' > $(INI); \
	  echo "make run: $(INI) selects a simulated ATmega8; put your own port there or use the Port menu"; fi
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  args='$(ARGS)'; \
	  if [ -z "$$args" ] && grep -q '^PORTA=SIM:atmega8' $(INI); then args="atmega8 $(EXAMPLE)"; fi; \
	  $(BUILD)/bin/kestova $$args; \
	else \
	  echo "make run: no display; the same programming run with kestova-cli:"; \
	  $(BUILD)/bin/kestova-cli --port SIM:atmega8 --chip atmega8 write $(EXAMPLE) && \
	  $(BUILD)/bin/kestova-cli --port SIM:atmega8 --chip atmega8 compare $(EXAMPLE); \
	fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

asan: setup
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTOVA_SANITIZE=ON -DKESTOVA_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -E 'ChipRoundTrip\.FullFlash'

install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	cd $(BUILD) && cpack -G DEB

format-check:
	git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --style=file --dry-run --Werror

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
