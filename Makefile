# KLADO: `make run` opens the workbench on an example, `make test` runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)
EXAMPLE ?= examples/bush.kld
PREFIX ?= /usr/local

.PHONY: deps build run test install package asan tsan gallery screenshot clean

deps:
	@KLADO_NODE_PREFIX=$(BUILD)/node scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

# Builds only the program: the tests and benchmarks are not needed to run it.
run: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS) --target klado
	@scripts/run-example.sh $(BUILD)/klado $(EXAMPLE)

# Every test runs inside one virtual X server; tests that must see no display
# clear DISPLAY themselves. The server must not reset when its last client
# leaves, or a test starting at that moment cannot connect.
test: build
	cd $(BUILD) && xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --output-on-failure -j$(JOBS)

# Installs the program, its examples, desktop entry, icon, MIME type and
# manual page under PREFIX, inside DESTDIR when that is given.
install: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS) --target klado klado-desktop-files
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)" --strip

# The Debian package $(BUILD)/klado_VERSION_ARCH.deb of the same files under /usr.
package: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS) --target klado klado-desktop-files
	cd $(BUILD) && cpack -G DEB

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKLADO_SANITIZE=ON -DKLADO_BENCH=OFF
	cmake --build build-asan -j$(JOBS)
	cd build-asan && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --output-on-failure -j$(JOBS)

# The computation core and the window's scheduler built with
# ThreadSanitizer: a worker derives, interprets or exports while the main
# thread reads, edits and cancels. (The tests that draw are left out: the software
# renderer's own threads are not instrumented and show as races in it.)
tsan: deps
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKLADO_TSAN=ON -DKLADO_BENCH=OFF
	cmake --build build-tsan -j$(JOBS) --target test_workbench test_gui
	cd build-tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
	  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
	  ctest -R "WorkbenchFixture|SchedulerFixture" -E "Frames|Rests" --output-on-failure

# Renders every example to docs/gallery/NAME.png.
gallery: build
	@scripts/gallery.sh $(BUILD)/klado

# The picture of the window in the README, taken on a virtual X server.
screenshot: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS) --target klado
	@scripts/screenshot.sh $(BUILD)/klado $(EXAMPLE) docs/window.png

clean:
	rm -rf $(BUILD) build-asan build-tsan
