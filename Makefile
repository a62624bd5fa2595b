# Front door of the project: `make run` and `make test` do all the set-up.
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
CMAKE_FLAGS := -G "$(GENERATOR)"
CTEST := ctest --output-on-failure --no-tests=error
JOBS := $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60

.PHONY: all build run test test-gcc test-asan test-clang bench fuzz deps clean

all: build

deps:
	@./tools/check-dependencies

build: deps
	cmake -S . -B build $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++
	cmake --build build -j $(JOBS)

run: build
	./build/angleconv

test: test-gcc test-asan test-clang

test-gcc: build
	$(CTEST) --test-dir build

test-asan: deps
	cmake -S . -B build-asan $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=g++ -DANGLECONV_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	$(CTEST) --test-dir build-asan

test-clang: deps
	cmake -S . -B build-clang $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++
	cmake --build build-clang -j $(JOBS)
	$(CTEST) --test-dir build-clang

bench: deps
	cmake -S . -B build-bench $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ -DANGLECONV_TESTS=OFF -DANGLECONV_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	./build-bench/bench/angleconv_bench

clean:
	rm -rf build build-asan build-clang build-bench build-fuzz
