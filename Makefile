# Front door of the project. `make run` builds the program alone and starts
# it; `make test` builds and runs every check, one line per stage, and ends
# with the count of the tests it ran. Every build is a preset of
# CMakePresets.json, so an IDE builds the same things; tools/configure
# chooses Ninja or make, whichever is installed. Each target first checks
# the Debian packages it needs; as root on Debian, build, run, test and bench
# install what is missing unless ANGLECONV_NO_APT=1, while install, uninstall
# and package never install a package.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local
DESTDIR ?=
STAGE := ./tools/stage

# Configure and build one preset. Without this make's variables, a build
# with make does not announce every folder it enters.
preset = ./tools/configure $(1) && env -u MAKELEVEL -u MAKEFLAGS -u MFLAGS cmake --build --preset $(1) -j $(JOBS)
# Configure, build and run the tests of one preset.
preset_tests = $(call preset,$(1)) && ctest --preset $(1)

.PHONY: all build run install uninstall package lint test test-gcc test-sanitizers test-clang test-fuzz \
	test-host-stages test-cross-stages test-valgrind test-package test-aarch64 test-s390x test-armhf test-ppc64el test-i386 test-windows test-windows32 test-web windows web web-site serve test-browser web-zip valgrind cross fuzz bench clean deps-run deps-test deps-bench \
	deps-install deps-package deps-web

all: build

# The command that was run names itself in the messages ("make build needs
# ...").
deps-run deps-test deps-bench deps-install deps-package deps-web:
	@./tools/check-dependencies $(@:deps-%=%) '$(strip make $(MAKECMDGOALS))'

# The program and its man page, nothing else.
build: deps-run
	$(call preset,release)

run: build
	./build/angleconv

# The stripped program and the man page under $(DESTDIR)$(PREFIX), the
# files that uninstall removes. Under a DESTDIR, a staging folder, uninstall
# removes the folders left empty too, up to DESTDIR; those of a live PREFIX
# such as /usr/local/bin stay.
installed = bin/angleconv share/man/man1/angleconv.1.gz

install: deps-install
	$(call preset,release)
	DESTDIR='$(DESTDIR)' cmake --install build --prefix '$(PREFIX)' --component program

uninstall:
	for file in $(installed); do rm -f '$(DESTDIR)$(PREFIX)'/$$file; done
	[ -z '$(DESTDIR)' ] || for file in $(installed); do \
	  folder=$$(dirname '$(PREFIX)'/$$file); \
	  while [ "$$folder" != / ] && [ "$$folder" != . ] && rmdir '$(DESTDIR)'"$$folder" 2>/dev/null; do \
	    folder=$$(dirname "$$folder"); \
	  done; \
	done

# The Debian package, build/angleconv_VERSION_amd64.deb, the same for every
# build of one commit (SOURCE_DATE_EPOCH, by default that commit's time);
# one for each CPU of make cross, build-armhf/angleconv_VERSION_armhf.deb
# and so on; and the Windows zips, build-windows/angleconv-VERSION-win64.zip
# and build-windows32/angleconv-VERSION-win32.zip.
CROSS_PACKAGES = aarch64 s390x armhf ppc64el i386
debian_package = ./tools/configure $(1) && \
	env -u MAKELEVEL -u MAKEFLAGS -u MFLAGS cmake --build --preset $(1) -j $(JOBS) --target angleconv documents && \
	(cd build-$(1) && cpack --config CPackConfig.cmake)
windows_zip = ./tools/configure $(1) -DANGLECONV_TESTS=OFF && \
	env -u MAKELEVEL -u MAKEFLAGS -u MFLAGS cmake --build --preset $(1) -j $(JOBS) --target angleconv windows_texts && \
	cpack --preset $(1)
package: deps-package
	$(call preset,release)
	cpack --preset release
	$(foreach cpu,$(CROSS_PACKAGES),$(call debian_package,$(cpu)) &&) true
	$(call windows_zip,windows)
	$(call windows_zip,windows32)
	$(MAKE) --no-print-directory web-zip

# Formatting, layering, clang-tidy and cppcheck; any finding fails.
lint: deps-test
	./tools/lint

# Each stage keeps its output in build-logs/ and prints it only when it
# fails; a stage is one line here.
# The stages run in two lanes at once, each stage's line written when it
# ends: this machine's builds and checks, and the builds for the other CPUs,
# whose tests under qemu and Wine mostly keep a single core busy; the two
# short stages valgrind and package end the second lane, so that both end
# at about the same time. The program the cross stages compare theirs with
# is built first.
test: deps-test
	@$(STAGE) start
	@$(STAGE) program $(MAKE) build
	@$(MAKE) --no-print-directory -j2 test-host-stages test-cross-stages
	@$(STAGE) summary

test-host-stages:
	@$(STAGE) lint ./tools/lint
	@$(STAGE) g++ $(MAKE) test-gcc
	@$(STAGE) sanitizers $(MAKE) test-sanitizers
	@$(STAGE) clang $(MAKE) test-clang
	@$(STAGE) "fuzz smoke" $(MAKE) test-fuzz
	@$(STAGE) web $(MAKE) test-web
	@$(STAGE) windows $(MAKE) test-windows

test-cross-stages:
	@$(STAGE) aarch64 $(MAKE) test-aarch64
	@$(STAGE) s390x $(MAKE) test-s390x
	@$(STAGE) armhf $(MAKE) test-armhf
	@$(STAGE) ppc64el $(MAKE) test-ppc64el
	@$(STAGE) i386 $(MAKE) test-i386
	@$(STAGE) windows32 $(MAKE) test-windows32
	@$(STAGE) valgrind $(MAKE) test-valgrind
	@$(STAGE) package $(MAKE) test-package

test-gcc:
	$(call preset_tests,gcc)

test-sanitizers:
	$(call preset_tests,sanitizers)

test-clang:
	$(call preset_tests,clang)

# A few seconds of each fuzzer.
test-fuzz:
	$(call preset_tests,fuzz)

# The package built, its contents and control fields checked, its program run.
test-package: build
	ctest --preset release

# A normal and a failing run under valgrind, on a dynamically linked build
# (valgrind cannot follow the static C library's start-up).
valgrind: deps-test test-valgrind

test-valgrind:
	$(call preset_tests,valgrind)

# The whole project for aarch64, s390x (big-endian), 32-bit ARM (armhf),
# little-endian POWER (ppc64el) and 32-bit x86 (i386), every test run under
# qemu-user: build-aarch64/angleconv, build-s390x/angleconv, ...
# Each compares its program with this machine's, build/angleconv, which
# make cross and make test build first.
cross: deps-test build
	$(MAKE) test-aarch64 test-s390x test-armhf test-ppc64el test-i386

test-aarch64 test-s390x test-armhf test-ppc64el test-i386:
	$(call preset_tests,$(@:test-%=%))

# The whole project for 64-bit Windows with mingw-w64, every test that can
# run there run under Wine (a prefix and a wineserver of the build's own,
# ended with the run): build-windows/angleconv.exe.
windows: deps-test test-windows

test-windows:
	$(call preset_tests,windows)

# The same for 32-bit Windows: build-windows32/angleconv.exe. Without 32-bit
# Wine (wine32:i386) its tests under Wine are skipped, each saying why.
test-windows32:
	$(call preset_tests,windows32)

# The program as WebAssembly with emscripten: build-web/angleconv.js and its
# .wasm run under Node (node build-web/angleconv.js), and the page's
# build-web/browser/angleconv.mjs and its .wasm.
web: deps-web
	$(call preset,web)
	$(MAKE) --no-print-directory web-site

# The unit tests that can run under Node, and the program under Node
# against this machine's, build/angleconv; then the page in headless
# Chromium (test-browser).
test-web:
	$(call preset_tests,web)
	$(MAKE) --no-print-directory test-browser

# Each fuzz target for FUZZ_SECONDS, with corpora kept in fuzz/corpus-*,
# after the seeds have been replayed as tests.
fuzz: deps-test
	$(call preset,fuzz)
	ctest --preset fuzz -R _seeds
	mkdir -p fuzz/corpus-text_to_real fuzz/corpus-real_to_text fuzz/corpus-program
	./build-fuzz/fuzz/text_to_real_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=80 fuzz/corpus-text_to_real fuzz/seeds/text_to_real
	./build-fuzz/fuzz/real_to_text_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=18 fuzz/corpus-real_to_text fuzz/seeds/real_to_text
	./build-fuzz/fuzz/program_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=512 fuzz/corpus-program fuzz/seeds/dialogue
	mkdir -p fuzz/corpus-extended_arithmetic
	./build-fuzz/fuzz/extended_arithmetic_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=220 fuzz/corpus-extended_arithmetic

bench: deps-bench build
	$(call preset,bench)
	./build-bench/bench/angleconv_bench --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true \
	  --benchmark_report_aggregates_only=true
	./build-bench/bench/extended_arithmetic_bench
	./bench/startup build/angleconv build-bench/startup
	./build-bench/bench/batch_stages_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	./bench/batch build/angleconv build-bench/batch
	$(call preset,web)
	./bench/batch-node build/angleconv build-web/angleconv.js build-bench/batch-node

# The page, build-web/site/ (make web builds it after the browser
# program): assembled by web/site.py from web/, the program and xterm.js,
# which npm ci installs from web/package-lock.json into build-web/npm/.
web_npm = build-web/npm/node_modules/.package-lock.json
$(web_npm): web/package.json web/package-lock.json
	mkdir -p build-web/npm
	cp web/package.json web/package-lock.json build-web/npm/
	cd build-web/npm && npm ci --no-audit --no-fund --ignore-scripts

web-site: $(web_npm)
	python3 web/site.py assemble build-web

# The page on http://127.0.0.1:PORT/ (PORT=0: any free port).
PORT ?= 8000
serve: web
	python3 web/serve.py build-web/site $(PORT)

# The page in headless Chromium against this machine's program; it also
# takes a picture of the page (make test-browser SCREENSHOT=doc/web-page.png
# renews the README's).
SCREENSHOT ?= build-web/web-page.png
test-browser: web build
	timeout 900 node web/tests/browser_test.mjs build-web/site build/angleconv build-web/npm $(SCREENSHOT)

# The site as build-web/angleconv-VERSION-web.zip: the programs alone are
# built, not the tests.
web-zip: deps-web
	./tools/configure web && env -u MAKELEVEL -u MAKEFLAGS -u MFLAGS cmake --build --preset web -j $(JOBS) --target angleconv angleconv_browser
	$(MAKE) --no-print-directory web-site
	python3 web/site.py zip build-web

clean:
	rm -rf build build-*
