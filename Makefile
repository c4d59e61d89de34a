# The two commands a newcomer needs are `make run` and `make test`; both install what is missing first.
.PHONY: all deps build run test bench asan screenshots format clean

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

# The README's pictures, taken from the real windows on a virtual screen.
screenshots: build
	@mkdir -p -m 700 $(XDG_RUNTIME_DIR)
	xvfb-run -a -s "-screen 0 1280x800x24" $(BUILD_DIR)/tools/kelvora_screenshots docs/screenshots

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
