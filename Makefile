# The two commands of the README, and the project's other runs.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all build test demo bench soak sanitize fuzz picture firmware clean

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

demo:
	@scripts/deps.sh demo
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target qz7-updater qz7-bootsim
	scripts/demo.sh $(DEMO_ARGS)

# Redraws the device picture and regenerates the firmware image (both are committed).
picture:
	cmake -S . -B $(BUILD) >/dev/null
	cmake --build $(BUILD) --target qz7-drawpanel
	QT_QPA_PLATFORM=offscreen $(BUILD)/qz7-drawpanel resources/QZ7.png

firmware:
	python3 scripts/make_firmware.py resources/QZ-7-2_007.hex

clean:
	rm -rf $(BUILD) build-*
