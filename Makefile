# Entry points: `make demo`, `make test`, `make bench`, `make asan-test`.
# Each installs missing Debian packages, configures and builds first.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= 2
PUTIL = $(BUILD)/bin/putil

.PHONY: all deps configure build demo test asan-test bench clean

all: build

deps:
	@sh scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	$(PUTIL) activity --design examples/counter_design.json examples/counter.vcd

test: build
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure

asan-test: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPUTIL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest -j $(JOBS) --output-on-failure

bench: build
	sh bench/run.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
