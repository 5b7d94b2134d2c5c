# make run: install what is missing, build, start tarrow.exe under Wine.
# make test: install what is missing, build the trees, run every test (the unit tests also
# under AddressSanitizer and UBSan, in build/host-asan).
# make wine-test K=WORD: only the Wine bench, only its scenarios whose names hold WORD.
# make wine-test64 K=WORD: the same for tarrow64.exe, on this machine's 64-bit Wine.
# Where this machine runs no 32-bit program, the Wine bench and `make run` run 32-bit Wine
# in an emulated i386 machine (scripts/guest), its image made once under build/guest.
# make bench: print the start-up and size figures (scripts/benchmark.py) of the first
# build whose program runs here, tarrow.exe, else tarrow64.exe.
# make dist: build/dist/tarrow-1.0.zip for users, tarrow.exe, tarrow64.exe and their README.TXT.
# make fuzz: run the registry probes over 100,000 seeded random registries under
# AddressSanitizer and UBSan and print the figures; fails on any fault or sanitizer report.
JOBS ?= 2
WIN32_DIR := build/win32
WIN64_DIR := build/win64
HOST_DIR := build/host
HOST_ASAN_DIR := build/host-asan
DIST_ZIP := build/dist/tarrow-1.0.zip
FUZZ_SEED ?= 1
FUZZ_RUNS ?= 100000

.PHONY: all deps build win32 win64 host host-asan test unit-test wine-test wine-test64 bench fuzz \
	run dist clean

all: build

deps:
	sh scripts/install-deps.sh

build: deps win32 win64 host

win32:
	cmake -S . -B $(WIN32_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	cmake --build $(WIN32_DIR) -j $(JOBS)

win64:
	cmake -S . -B $(WIN64_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	cmake --build $(WIN64_DIR) -j $(JOBS)

host:
	cmake -S . -B $(HOST_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(HOST_DIR) -j $(JOBS)

host-asan:
	cmake -S . -B $(HOST_ASAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DTARROW_SANITIZE=ON >/dev/null
	cmake --build $(HOST_ASAN_DIR) -j $(JOBS)

unit-test: deps host
	ctest --test-dir $(HOST_DIR) --output-on-failure

K ?=
wine-test: deps win32
	python3 tests/wine/run_bench.py --build $(WIN32_DIR) --source . -k "$(K)"

# The win32 tree too: its fixture libraries stand as the 32-bit Glide libraries.
wine-test64: deps win32 win64
	python3 tests/wine/run_bench.py --build $(WIN64_DIR) --source . -k "$(K)" --jobs $(JOBS)

# Each tree's tests run even when an earlier tree's failed; the last lines say how each Wine
# bench ended (passed, failed, or skipped and why), which is easily lost in the scroll. Where
# no 32-bit program runs, a bench that did not pass fails `make test` (tests/wine/closing_lines.py).
test: build host-asan
	@rm -f $(WIN32_DIR)/wine-bench/outcome.txt $(WIN64_DIR)/wine-bench/outcome.txt; status=0; \
	ctest --test-dir $(HOST_DIR) --output-on-failure || status=1; \
	ctest --test-dir $(HOST_ASAN_DIR) --output-on-failure || status=1; \
	ctest --test-dir $(WIN64_DIR) --output-on-failure || status=1; \
	ctest --test-dir $(WIN32_DIR) --output-on-failure || status=1; \
	python3 tests/wine/closing_lines.py --bench 32-bit $(WIN32_DIR) --bench 64-bit $(WIN64_DIR) \
	    || status=1; \
	exit $$status

# The figures of the first build whose program runs here: 32-bit, else 64-bit.
bench: deps win32 win64
	python3 scripts/benchmark.py --build $(WIN32_DIR) --build $(WIN64_DIR)

fuzz: deps host-asan
	$(HOST_ASAN_DIR)/registry-fuzz --seed $(FUZZ_SEED) --runs $(FUZZ_RUNS) || \
	    { echo "make fuzz: failed (a fault, or a sanitizer report above)" >&2; exit 1; }

run: build
	sh scripts/run.sh

# The zip is checked as it is written: both programs byte for byte, the text with CR LF.
dist: win32 win64
	python3 scripts/make-dist.py --exe $(WIN32_DIR)/tarrow.exe --exe $(WIN64_DIR)/tarrow64.exe \
		--readme scripts/dist/README.TXT --out $(DIST_ZIP)
	python3 tests/audit/check_dist.py --zip $(DIST_ZIP) --exe $(WIN32_DIR)/tarrow.exe \
		--exe $(WIN64_DIR)/tarrow64.exe --readme scripts/dist/README.TXT

clean:
	rm -rf build
