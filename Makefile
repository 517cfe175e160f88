# Developer targets; ./run and ./test are the two commands that need nothing installed.
BUILD ?= build
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)

.PHONY: build test run bench bench-start test-asan test-arm64 fuzz install package clean

build:
	scripts/build

test: build
	scripts/run-tests $(BUILD)

run: build
	$(BUILD)/bin/zelvano

bench:
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZELVANO_TESTS=OFF
	cmake --build build-bench --target zelvano_bench -j$(JOBS)
	QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy build-bench/bench/zelvano_bench

# Start time and memory beside other card games, where they are installed.
bench-start: build
	scripts/bench-start $(BUILD)/bin/zelvano

test-asan:
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZELVANO_SANITIZE=ON -DZELVANO_BENCH=OFF
	cmake --build build-asan -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 scripts/run-tests build-asan

# The Qt-free core cross-built for 64-bit ARM, its tests run under qemu-user.
test-arm64:
	scripts/test-arm64

fuzz:
	ZELVANO_WITH_CLANG=1 scripts/install-deps
	scripts/fuzz

# DESTDIR, when given, stages the install under that folder.
install:
	BUILD_DIR=$(BUILD) scripts/build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, as Debian builds it: the .deb lands beside the checkout (../zelvano_*.deb).
# DEB_BUILD_OPTIONS=nocheck skips building and running the tests.
package:
	ZELVANO_WITH_DEB=1 scripts/install-deps
	dpkg-buildpackage -us -uc -b

clean:
	rm -rf build build-bench build-asan build-fuzz build-arm64
