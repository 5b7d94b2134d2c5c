# make run: install what is missing, build, start tarrow.exe under Wine.
# make test: install what is missing, build both trees, run every test.
JOBS ?= 2
WIN32_DIR := build/win32
HOST_DIR := build/host

.PHONY: all deps build win32 host test unit-test wine-test run clean

all: build

deps:
	sh scripts/install-deps.sh

build: deps win32 host

win32:
	cmake -S . -B $(WIN32_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	cmake --build $(WIN32_DIR) -j $(JOBS)

host:
	cmake -S . -B $(HOST_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(HOST_DIR) -j $(JOBS)

unit-test: deps host
	ctest --test-dir $(HOST_DIR) --output-on-failure

wine-test: deps win32
	ctest --test-dir $(WIN32_DIR) --output-on-failure

test: build
	ctest --test-dir $(HOST_DIR) --output-on-failure
	ctest --test-dir $(WIN32_DIR) --output-on-failure

run: build
	sh scripts/run.sh

clean:
	rm -rf build
