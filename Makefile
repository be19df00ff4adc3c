# The two commands of the README, and the project's other runs.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all build test second-firmware demo bench soak soak-idle sanitize fuzz picture firmware icons deb package-check clean hil

all: build

build:
	@scripts/deps.sh build
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

test:
	@scripts/deps.sh test
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZ7_TESTS=ON >/dev/null
	cmake --build $(BUILD) -j $(JOBS)
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The program built with a second firmware image (version 2.008, another size) in build-fw2/:
# what it states and sends is that image's, and a misnamed or damaged image stops the configure.
second-firmware:
	@scripts/deps.sh build
	JOBS=$(JOBS) scripts/second-firmware.sh

demo:
	@scripts/deps.sh demo
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target qz7-updater qz7-bootsim
	scripts/demo.sh $(DEMO_ARGS)

# The updater against real USB serial drivers (FTDI, CDC-ACM, CH341, CP210x, PL2303) in a virtual machine; see
# "What make hil proves" in the README. Everything it makes stays in $(BUILD)/hil.
hil:
	@scripts/deps.sh hil
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target qz7-updater qz7-bootsim
	BUILD=$(BUILD) python3 scripts/hil/hil.py $(HIL_ARGS)

# Redraws the device picture and regenerates the firmware image (both are committed).
picture:
	cmake -S . -B $(BUILD) >/dev/null
	cmake --build $(BUILD) --target qz7-drawpanel
	QT_QPA_PLATFORM=offscreen $(BUILD)/qz7-drawpanel resources/QZ7.png

firmware:
	python3 scripts/make_firmware.py $(wildcard resources/QZ-7-*.hex)

# Renders the icon's PNGs from its SVG (all are committed).
ICON_SIZES = 16 22 24 32 48 64 128 256
ICONS = resources/icons/hicolor
icons:
	@scripts/deps.sh icons
	for s in $(ICON_SIZES); do \
	  mkdir -p $(ICONS)/$${s}x$${s}/apps && \
	  rsvg-convert -w $$s -h $$s $(ICONS)/scalable/apps/qz7-updater.svg -o $(ICONS)/$${s}x$${s}/apps/qz7-updater.png || exit 1; \
	done

# The Debian package, built in a folder of its own with Debian's hardening flags and without the
# tests; then the checks a distribution would run on it.
PKG_BUILD ?= build-pkg
deb: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
deb:
	@scripts/deps.sh package
	cmake -S . -B $(PKG_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZ7_TESTS=OFF \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" >/dev/null
	cmake --build $(PKG_BUILD) -j $(JOBS)
	rm -f $(PKG_BUILD)/*.deb
	cd $(PKG_BUILD) && cpack -G DEB
	ls $(PKG_BUILD)/*.deb

package-check: deb
	scripts/package-check.sh $(PKG_BUILD)

clean:
	rm -rf $(BUILD) build-*

# The whole suite under AddressSanitizer with UndefinedBehaviorSanitizer, and the threaded tests
# under ThreadSanitizer, each in a build folder of its own. Any report fails the run.
sanitize:
	@scripts/deps.sh sanitize
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQZ7_TESTS=ON -DQZ7_SANITIZE=address,undefined >/dev/null
	cmake --build build-asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --test-dir build-asan --output-on-failure -j $(JOBS)
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DQZ7_TESTS=ON -DQZ7_SANITIZE=thread >/dev/null
	cmake --build build-tsan -j $(JOBS)
	# Nothing is left out and there is no suppression list. Qt is not built with ThreadSanitizer,
	# so its locks are invisible to it: the program's background threads therefore never call
	# into Qt (they hand work to the GUI thread through controller/GuiQueue, an eventfd of its own).
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	  ctest --test-dir build-tsan --output-on-failure -j $(JOBS) -L threaded

# Whole updates by the updater and by the floor program, taking turns, against the simulator at
# line rate and unthrottled; see bench/README.md. Both scripts run on Debian's own python3, the one
# that finds python3-psutil, whatever python3 comes first on the PATH.
bench:
	@scripts/deps.sh bench
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target qz7-updater qz7-bootsim qz7-floor
	/usr/bin/python3 scripts/bench.py

# At least 200 whole updates in a row against the simulator (not part of make test).
soak:
	@scripts/deps.sh test
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQZ7_TESTS=ON >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target qz7-soak
	$(BUILD)/tests/qz7-soak $(SOAK_RUNS)

# The program left waiting for SOAK_MINUTES (default 60) at "Connect USB adapter" and at the
# version question; fails if its descriptors, threads or memory grow (not part of make test).
SOAK_MINUTES ?= 60
soak-idle:
	@scripts/deps.sh soak-idle
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target qz7-updater qz7-bootsim
	/usr/bin/python3 scripts/soak_idle.py $(SOAK_MINUTES)

# libFuzzer on the reply rules and the line rule, FUZZ_SECONDS each (default 60).
FUZZ_SECONDS ?= 60
fuzz:
	@scripts/deps.sh fuzz
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DQZ7_TESTS=OFF -DQZ7_FUZZ=ON >/dev/null
	cmake --build build-fuzz -j $(JOBS) --target fuzz_replies fuzz_lines
	@for t in fuzz_replies fuzz_lines; do \
	  mkdir -p build-fuzz/corpus/$$t; \
	  build-fuzz/tests/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 build-fuzz/corpus/$$t 2>build-fuzz/$$t.log \
	    || { tail -40 build-fuzz/$$t.log; exit 1; }; \
	  echo "$$t: $$(grep -o 'number_of_executed_units: [0-9]*' build-fuzz/$$t.log | grep -o '[0-9]*') executions, no crash"; \
	done
