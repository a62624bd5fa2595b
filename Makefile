# Front door of the project: `make run` and `make test` do all the set-up.
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
CMAKE_FLAGS := -G "$(GENERATOR)"
CTEST := ctest --output-on-failure --no-tests=error
JOBS := $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local

.PHONY: all build run lint valgrind test test-gcc test-asan test-clang test-fuzz bench fuzz install deps clean

all: build

deps:
	@./tools/check-dependencies

build: deps
	cmake -S . -B build $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++
	cmake --build build -j $(JOBS)

run: build
	./build/angleconv

# Formatting, clang-tidy and cppcheck; any finding fails.
lint: deps
	./tools/lint

test: lint
	$(MAKE) test-gcc test-asan test-clang test-fuzz valgrind

# A normal and a failing run under valgrind, on a dynamically linked build
# (valgrind cannot follow the static C library's start-up; it also computes
# x87 arithmetic in double precision, so no floating-point fault is tried).
valgrind: deps
	cmake -S . -B build-valgrind $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DANGLECONV_TESTS=OFF -DANGLECONV_STATIC=OFF
	cmake --build build-valgrind -j $(JOBS) --target angleconv
	printf 'rad\n1\nd\n\n' | valgrind -q --error-exitcode=99 ./build-valgrind/angleconv >/dev/null
	printf 'rad\nabc\n' | valgrind -q --error-exitcode=99 ./build-valgrind/angleconv >/dev/null 2>&1; test $$? -eq 1

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

# Each fuzz target for FUZZ_SECONDS; `make test` runs them for a few seconds.
fuzz: deps
	cmake -S . -B build-fuzz $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ -DANGLECONV_FUZZ=ON -DANGLECONV_TESTS=OFF
	cmake --build build-fuzz -j $(JOBS)
	$(CTEST) --test-dir build-fuzz
	mkdir -p fuzz/corpus-text_to_real fuzz/corpus-real_to_text fuzz/corpus-dialogue
	./build-fuzz/fuzz/text_to_real_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=80 fuzz/corpus-text_to_real fuzz/seeds/text_to_real
	./build-fuzz/fuzz/real_to_text_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=18 fuzz/corpus-real_to_text fuzz/seeds/real_to_text
	./build-fuzz/fuzz/dialogue_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=512 fuzz/corpus-dialogue fuzz/seeds/dialogue

test-fuzz:
	$(MAKE) fuzz FUZZ_SECONDS=5

install: build
	cmake --install build --prefix $(PREFIX)

bench: build
	cmake -S . -B build-bench $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ -DANGLECONV_TESTS=OFF -DANGLECONV_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	./build-bench/bench/angleconv_bench
	./bench/startup build/angleconv build-bench/startup

clean:
	rm -rf build build-asan build-clang build-bench build-fuzz build-lint build-valgrind
