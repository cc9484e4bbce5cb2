# Entry points: `make demo`, `make test`, `make bench`, `make asan-test`.
# Each installs missing Debian packages, configures and builds first.
BUILD ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
JOBS ?= 2
PUTIL = $(BUILD)/bin/putil
BENCH_HUGE ?= 0

FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build demo test asan-test tsan-test bench fuzz clean

all: build

deps:
	@sh scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The demo builds the program alone; `make test` builds the suites.
demo: configure
	cmake --build $(BUILD) -j $(JOBS) --target putil_cli
	$(PUTIL) activity --design examples/counter_design.json examples/counter.vcd
	$(PUTIL) activity --design examples/bidir_port.json -o $(BUILD)/bidir_port_activity.txt examples/bidir_port.vcd
	@grep -E '^(name|bus\[[0-9]\] |oe |input)' $(BUILD)/bidir_port_activity.txt
	$(PUTIL) activity --design examples/packet_engine.json --sdc examples/packet_engine.sdc -o $(BUILD)/packet_engine_activity.txt examples/packet_engine_verilator.vcd
	@tail -n 1 $(BUILD)/packet_engine_activity.txt
	$(PUTIL) clocks --design examples/two_clocks_design.json --sdc examples/two_clocks.sdc --relative 'top|sync|q2=12.5'
	$(PUTIL) hssi --design examples/haldorv_design.json -o $(BUILD)/haldorv_hssi.txt
	@grep -c '^ELEMENT_ID' $(BUILD)/haldorv_hssi.txt | sed 's|$$| transceiver elements written to $(BUILD)/haldorv_hssi.txt|'

test: build
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure

asan-test: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPUTIL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest -j $(JOBS) --output-on-failure

# The reads that apply value changes (and toggle events) on a second thread,
# and reads of two designs on two threads at once, under ThreadSanitizer.
tsan-test: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPUTIL_THREAD_SANITIZE=ON
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target putil_activity_tests
	cd $(TSAN_BUILD) && ctest -j $(JOBS) --output-on-failure -R 'FAST_BODY_RESULTS|BACKGROUND_WORKER|TRANSIENT|CONCURRENT_READS'

# Every benchmark runs, whatever an earlier one found; the target fails at
# the end when one of them missed its target. BENCH_HUGE=1 adds a file of
# more than 4 GiB (sparse: about 70 MB of disk in /tmp) and a few minutes.
BENCHES = run many_signals clock_domains hssi_model hostile_input distributed busy
bench: build
	@failed=""; \
	for name in $(BENCHES) $(if $(filter 1,$(BENCH_HUGE)),huge); do \
	  echo "sh bench/$$name.sh $(BUILD)"; \
	  sh bench/$$name.sh $(BUILD) || failed="$$failed bench/$$name.sh"; \
	  echo; \
	done; \
	if [ -n "$$failed" ]; then echo "make bench: targets missed in$$failed" >&2; exit 1; fi

# Feeds random mutations of the test and example waveforms to the reader for
# FUZZ_SECONDS; an input that crashes, leaks or breaks an invariant is saved
# as crash-* in the working directory.
fuzz: deps
	@sh scripts/install-deps.sh clang libclang-rt-14-dev
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPUTIL_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target putil_vcd_fuzz
	mkdir -p $(FUZZ_BUILD)/corpus
	$(FUZZ_BUILD)/tests/fuzz/putil_vcd_fuzz -max_total_time=$(FUZZ_SECONDS) -detect_leaks=0 -max_len=4096 \
		$(FUZZ_BUILD)/corpus tests/data/extended examples

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
