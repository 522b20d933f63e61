# Kep: build, test and play. The targets install the Debian packages the
# project needs when they are missing, then drive CMake.
#
#   make test    configure, build and run every test
#   make run     build if needed and play, with ./data as the story files
#   make bench   build optimised and run the benchmarks
#   make fuzz    run each fuzz target for a bounded time

# The one list of Debian packages the build, the tests and the tools need.
PACKAGES := cmake ninja-build g++ clang libclang-rt-14-dev pkg-config \
            libncurses-dev libgtest-dev libgmock-dev libbenchmark-dev \
            libvterm-dev graphviz

BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all deps build test run bench fuzz clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing || exit 1; \
	  else \
	    echo "Missing packages. Run:"; \
	    echo "  sudo apt-get update && sudo apt-get install -y$$missing"; \
	    exit 1; \
	  fi; \
	fi

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure

run: build
	./$(BUILD)/kep

# Benchmarks: an optimised build of its own; bench/run.sh prints the figures.
BENCH_BUILD ?= build-bench
bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DKEP_BENCH=ON
	cmake --build $(BENCH_BUILD) --target kep kep_bench make_story memory_bench
	bench/run.sh $(BENCH_BUILD)

# Fuzz targets: clang with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, in a build of their own; each target runs for
# FUZZ_SECONDS (60 under CI=true).
FUZZ_BUILD ?= build-fuzz
ifeq ($(CI),true)
FUZZ_SECONDS ?= 60
else
FUZZ_SECONDS ?= 15
endif
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
	  -DKEP_SANITIZE=ON -DKEP_FUZZ=ON
	cmake --build $(FUZZ_BUILD) --target fuzz_reader fuzz_game
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)
