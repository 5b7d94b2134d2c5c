# make run: install what is missing, build, start tarrow.exe under Wine.
# make test: install what is missing, build the trees, run every test (the unit tests also
# under AddressSanitizer and UBSan, in build/host-asan).
# make bench: print the start-up and size figures (scripts/benchmark.py).
# make dist: build/dist/tarrow-1.0.zip for users, tarrow.exe and its README.TXT.
JOBS ?= 2
WIN32_DIR := build/win32
HOST_DIR := build/host
HOST_ASAN_DIR := build/host-asan
DIST_ZIP := build/dist/tarrow-1.0.zip

.PHONY: all deps build win32 host host-asan test unit-test wine-test bench run dist clean

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

host-asan:
	cmake -S . -B $(HOST_ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DTARROW_SANITIZE=ON >/dev/null
	cmake --build $(HOST_ASAN_DIR) -j $(JOBS)

unit-test: deps host
	ctest --test-dir $(HOST_DIR) --output-on-failure

wine-test: deps win32 host
	ctest --test-dir $(WIN32_DIR) --output-on-failure

test: build host-asan
	ctest --test-dir $(HOST_DIR) --output-on-failure
	ctest --test-dir $(HOST_ASAN_DIR) --output-on-failure
	ctest --test-dir $(WIN32_DIR) --output-on-failure

bench: deps win32
	python3 scripts/benchmark.py --build $(WIN32_DIR)

run: build
	sh scripts/run.sh

dist: win32
	python3 scripts/make-dist.py --exe $(WIN32_DIR)/tarrow.exe --readme scripts/dist/README.TXT \
		--out $(DIST_ZIP)

clean:
	rm -rf build
