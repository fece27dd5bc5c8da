# make run   - install what is missing, build, start the program
# make test  - install what is missing, build, run every test
# make demo  - start the program with the handset emulator pushing sample data
# make demo-ir - the same over infrared: both ends of a pseudo-terminal pair, the whole stack
# make windows / test-windows / windows-dist - the Windows build (mingw-w64), its tests under
#              wine, and its zip
# make package - the Debian package (build-package/sorvanto_VERSION_amd64.deb)
BUILD ?= build
ASAN_BUILD ?= build-asan
WIN_BUILD ?= build-windows
PKG_BUILD ?= build-package
JOBS ?= $(shell nproc)

.PHONY: all deps deps-run configure-run programs configure build test test-asan run demo demo-ir fuzz bench clean \
  windows test-windows windows-dist package

all: build

deps:
	@scripts/install-deps

# The programs alone need no test library: a tree that make run configures first builds
# without the tests and benchmarks, and make test turns them on in it.
deps-run:
	@scripts/install-deps run

configure-run: deps-run
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DSORVANTO_TESTS=OFF -DSORVANTO_BENCH=OFF

programs: configure-run
	@cmake --build $(BUILD) -j $(JOBS)

configure: deps
	@[ -f $(BUILD)/build.ninja ] && grep -qs '^SORVANTO_TESTS:BOOL=ON' $(BUILD)/CMakeCache.txt || \
	  cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSORVANTO_TESTS=ON -DSORVANTO_BENCH=ON

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	@[ -f $(ASAN_BUILD)/build.ninja ] || cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DSORVANTO_SANITIZE=ON -DSORVANTO_DESKTOP=OFF -DSORVANTO_BENCH=OFF
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

run: programs
	@scripts/run-desktop $(BUILD)

demo: programs
	@scripts/demo $(BUILD)

demo-ir: programs
	@scripts/demo-ir $(BUILD)

fuzz:
	@scripts/fuzz-smoke

bench: build
	@bench/run-all $(BUILD)

# Qt for mingw-w64, prebuilt beside the checkout (see ../shared/qt6-mingw64/README.md); it is
# unpacked into the Windows build tree once, and the tree is configured with Qt's toolchain
# file chained to the project's own.
QT_MINGW_ARCHIVE ?= $(firstword $(wildcard ../shared/qt6-mingw64/qt6*-mingw64.tar.xz \
  ../../shared/qt6-mingw64/qt6*-mingw64.tar.xz /work/shared/qt6-mingw64/qt6*-mingw64.tar.xz))
QT_MINGW = $(WIN_BUILD)/qt6-mingw64

windows:
	@scripts/install-deps windows
	@scripts/unpack-qt-mingw "$(QT_MINGW_ARCHIVE)" $(WIN_BUILD)
	@grep -qs '^QT_CHAINLOAD_TOOLCHAIN_FILE' $(WIN_BUILD)/CMakeCache.txt || { rm -f $(WIN_BUILD)/CMakeCache.txt; \
	  cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=$(abspath $(QT_MINGW))/lib/cmake/Qt6/qt.toolchain.cmake \
	  -DQT_CHAINLOAD_TOOLCHAIN_FILE=$(abspath cmake/mingw-w64-x86_64.cmake) -DSORVANTO_BENCH=OFF; }
	@cmake --build $(WIN_BUILD) -j $(JOBS)

test-windows: windows
	@scripts/test-windows $(WIN_BUILD)

windows-dist: windows
	@scripts/windows-dist $(WIN_BUILD)

# Its own tree: the packaged programs know nothing of this source tree, and it has no tests.
package:
	@scripts/install-deps package
	@[ -f $(PKG_BUILD)/build.ninja ] || cmake -S . -B $(PKG_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DSORVANTO_TESTS=OFF -DSORVANTO_BENCH=OFF -DSORVANTO_SOURCE_DATA=OFF
	@cmake --build $(PKG_BUILD) -j $(JOBS)
	@cd $(PKG_BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(WIN_BUILD) $(PKG_BUILD) build-fuzz
