# The two commands a newcomer needs are `make run` and `make test`; both install what is missing first.
.PHONY: all deps build run test bench asan stress fuzz screenshots format clean

BUILD_DIR ?= build/release
ASAN_DIR ?= build/asan
CMAKE_FLAGS ?=
BENCH_ARGS ?=
JOBS ?= $(shell nproc)

export XDG_RUNTIME_DIR ?= /tmp/runtime-$(shell id -u)

all: build

deps:
	@scripts/install-deps

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@mkdir -p -m 700 $(XDG_RUNTIME_DIR)
	$(BUILD_DIR)/Kelvora

test: build
	@mkdir -p -m 700 $(XDG_RUNTIME_DIR)
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	$(BUILD_DIR)/bench/kelvora_bench $(BENCH_ARGS)

# Every test again under AddressSanitizer and UndefinedBehaviorSanitizer, in a build folder of its own.
asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVORA_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR) -j $(JOBS)
	@mkdir -p -m 700 $(XDG_RUNTIME_DIR)
	cd $(ASAN_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# A long run of the random walk through the windows, under the sanitizers.
STRESS_STEPS ?= 20000
stress: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVORA_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR) -j $(JOBS) --target tst_stress
	@mkdir -p -m 700 $(XDG_RUNTIME_DIR)
	QT_QPA_PLATFORM=offscreen QTEST_FUNCTION_TIMEOUT=86400000 KELVORA_STRESS_STEPS=$(STRESS_STEPS) \
		$(ASAN_DIR)/tests/tst_stress

# libFuzzer over the date edit's value rule, the card filter and MemTable, each for FUZZ_SECONDS,
# built with clang and the sanitizers. The fuzzers start from a copy of the seeds in fuzz/corpus and
# keep their working corpus and any failing input in build/fuzz; a failing input fails the target.
FUZZ_DIR ?= build/fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz_dateedit fuzz_cardfilter fuzz_memtable
fuzz:
	@scripts/install-deps fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DKELVORA_FUZZ=ON -DKELVORA_SANITIZE=ON -DKELVORA_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(FUZZ_TARGETS)
	@for t in $(FUZZ_TARGETS); do \
		mkdir -p $(FUZZ_DIR)/corpus/$$t $(FUZZ_DIR)/failures/$$t && \
		cp fuzz/corpus/$$t/* $(FUZZ_DIR)/corpus/$$t/ && \
		echo "fuzz: $$t for $(FUZZ_SECONDS) s" && \
		$(FUZZ_DIR)/fuzz/$$t -max_total_time=$(FUZZ_SECONDS) -timeout=60 -print_final_stats=1 \
			-dict=fuzz/dict/$$t.dict -artifact_prefix=$(FUZZ_DIR)/failures/$$t/ \
			$(FUZZ_DIR)/corpus/$$t || { echo "fuzz: $$t failed; the input is in $(FUZZ_DIR)/failures/$$t" >&2; exit 1; }; \
	done

# The README's pictures, taken from the real windows on a virtual screen.
screenshots: build
	@mkdir -p -m 700 $(XDG_RUNTIME_DIR)
	xvfb-run -a -s "-screen 0 1280x800x24" $(BUILD_DIR)/tools/kelvora_screenshots docs/screenshots

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
