# Two commands set Tillora up on a fresh Debian 12 machine:
#   make run   installs what is missing, builds and starts Tillora
#   make test  installs what is missing, builds and runs every test through ctest
BUILD ?= build
DATA ?= $(CURDIR)/run-data
JOBS ?= $(shell nproc)

.PHONY: all deps build run test bench clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@mkdir -p $(DATA)
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "Tillora needs a graphical display, and none was found (DISPLAY and WAYLAND_DISPLAY are empty)."; \
	  echo "Run 'make run' from a desktop session, or on a machine without a screen try: xvfb-run make run"; \
	  exit 1; \
	fi
	$(BUILD)/src/tillora --data-dir $(DATA)

# The printing tests print through a real CUPS scheduler onto PDF queues.
test: build
	@scripts/start-cups
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/bench/tillora-bench

clean:
	rm -rf $(BUILD)
