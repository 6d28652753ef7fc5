# Quick start: `make run` builds and starts the engine, `make test` builds and runs every test.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
# Games and time control (BASE+INC in ms) of `make selfplay` (20, 1000+10)
# and of each match of `make gauntlet` (100, 10000+100).
GAMES      ?=
TC         ?=
# Games played at once by the gauntlet; one keeps the clocks honest on a small machine.
CONCURRENCY ?= 1
# Gauntlet opponents by label (stockfish-<Elo>, toga2, glaurung; LABEL:N for N games); empty: all of them.
OPPONENTS  ?=

WINDOWS_BUILD ?= build-windows
ARM64_BUILD   ?= build-arm64
STATIC_BUILD  ?= build-static
# The cross builds' unit tests (GoogleTest built from /usr/src/googletest).
CROSS_UNIT_TESTS ?= ON
# The release: archive names and the tools' --version. It must be the one in
# CMakeLists.txt's project() line, where the README's version is raised too.
PROJECT_VERSION := $(shell awk '/^project/ { print $$3 }' CMakeLists.txt)
VERSION    ?= $(PROJECT_VERSION)
DIST       ?= dist

# wine keeps its Windows set-up in a folder of its own here, says nothing of
# its internals, and does not offer to install .NET or a browser engine.
export WINEPREFIX ?= $(CURDIR)/build-wine
export WINEDEBUG ?= -all
export WINEDLLOVERRIDES ?= mscoree,mshtml=

.PHONY: build run test asan bench native pgo selfplay gauntlet soak fuzz valgrind clean \
        reference windows windows-test arm64 arm64-test static static-test dist speed-compare

# Extra CMake settings, e.g. CMAKE_ARGS=-DVARGUL_WERROR=ON (as CI builds).
CMAKE_ARGS ?=

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) -- --no-print-directory

# The engine's exit status after "quit" is 1 (0 when its input ends): both are a normal end here.
run: build
	./$(BUILD)/vargul || [ $$? -eq 1 ]

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -LE slow

# Address and undefined-behaviour sanitizers, any finding is fatal.
asan:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug $(CMAKE_ARGS) \
	  -DCMAKE_CXX_FLAGS="-O1 -g -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -LE slow

bench: build
	./$(BUILD)/bench

# A short self-play match between two engine processes, refereed move by move.
selfplay: build
	./$(BUILD)/selfplay --games $(or $(GAMES),20) --tc $(or $(TC),1000+10) --concurrency $(JOBS) --pgn $(BUILD)/selfplay.pgn

# Matches against other engines (Debian's stockfish at four strength limits,
# toga2, glaurung): a table and build/gauntlet/gauntlet.svg. The engines come
# from `apt-get install stockfish toga2 glaurung`; the script says so when one is missing.
gauntlet: build
	SELFPLAY=./$(BUILD)/selfplay OUT=$(BUILD)/gauntlet GAMES=$(or $(GAMES),100) TC=$(or $(TC),10000+100) \
	  CONCURRENCY=$(CONCURRENCY) OPPONENTS="$(OPPONENTS)" tools/gauntlet.sh

# The slow layer: 200 self-play games and a 100,000-line random command stream.
soak: build
	cd $(BUILD) && ctest --output-on-failure -V -L slow

# libFuzzer over the command loop, with ASan and UBSan, for FUZZ_SECONDS.
# New inputs go to build-fuzz/corpus; the seeds in tests/fuzz/corpus stay as they are.
fuzz:
	CXX=clang++ cmake -S tests/fuzz -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS) -- --no-print-directory
	mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/findings
	./$(FUZZ_BUILD)/command_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=20 -rss_limit_mb=4096 \
	  -dict=tests/fuzz/commands.dict -artifact_prefix=$(FUZZ_BUILD)/findings/ -print_final_stats=1 \
	  $(FUZZ_BUILD)/corpus tests/fuzz/corpus

# memcheck over a scripted session with searches; any error or definite leak fails.
valgrind: build
	tests/valgrind_session.sh ./$(BUILD)/vargul

# The current bench against commit BASE's, PAIRS runs each in turns (5):
# nodes per second of both sides and the ratio of the medians. The trees must
# be the same (one signature), or it fails. BASE is built under build-speed/.
BASE  ?=
PAIRS ?= 5
speed-compare:
	@[ -n "$(BASE)" ] || { echo "usage: make speed-compare BASE=<commit> [PAIRS=5]"; exit 2; }
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target bench -- --no-print-directory
	BUILD=$(BUILD) JOBS=$(JOBS) tools/speed_compare.sh $(BASE) $(PAIRS)

native:
	cmake -S . -B build-native -DCMAKE_BUILD_TYPE=Release -DVARGUL_NATIVE=ON >/dev/null
	cmake --build build-native -j $(JOBS)

# Profile-guided build of the engine and tools, trained on the bench. The
# profile files are matched by object path, so the instrumented and the final
# build share one directory; stale profiles are removed before training.
PGO_BUILD ?= build-pgo
pgo:
	cmake -S . -B $(PGO_BUILD) -DCMAKE_BUILD_TYPE=Release -DVARGUL_TESTS=OFF \
	  -DCMAKE_CXX_FLAGS="-fprofile-generate -fprofile-update=single" >/dev/null
	find $(PGO_BUILD) -name '*.gcda' -delete
	cmake --build $(PGO_BUILD) -j $(JOBS) --target bench -- --no-print-directory
	$(PGO_BUILD)/bench >/dev/null
	cmake -S . -B $(PGO_BUILD) -DCMAKE_BUILD_TYPE=Release -DVARGUL_TESTS=OFF \
	  -DCMAKE_CXX_FLAGS="-fprofile-use -fprofile-correction -Wno-missing-profile" >/dev/null
	cmake --build $(PGO_BUILD) -j $(JOBS) -- --no-print-directory
	$(PGO_BUILD)/bench | tail -n 1

# The native engine and tools that the other builds are compared with.
reference:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target vargul bench perft -- --no-print-directory

# Windows x86-64 with mingw-w64: vargul.exe, bench.exe and perft.exe, linked statically.
windows:
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVARGUL_TESTS=OFF $(CMAKE_ARGS) >/dev/null
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target vargul bench perft -- --no-print-directory

# Under wine: the unit tests, and the engine and tools against the native
# ones (tests/cross/check.sh), driven through Windows pipes and a console.
windows-test: reference
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DVARGUL_TESTS=$(CROSS_UNIT_TESTS) -DVARGUL_REFERENCE_DIR=$(abspath $(BUILD)) $(CMAKE_ARGS) >/dev/null
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) -- --no-print-directory
	cd $(WINDOWS_BUILD) && ctest --output-on-failure -j $(JOBS)

# Linux on 64-bit ARM, linked statically.
arm64:
	cmake -S . -B $(ARM64_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake -DVARGUL_TESTS=OFF $(CMAKE_ARGS) >/dev/null
	cmake --build $(ARM64_BUILD) -j $(JOBS) --target vargul bench perft -- --no-print-directory

# Under qemu-user: the unit tests, and the engine and tools against the native ones.
arm64-test: reference
	cmake -S . -B $(ARM64_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake \
	  -DVARGUL_TESTS=$(CROSS_UNIT_TESTS) -DVARGUL_REFERENCE_DIR=$(abspath $(BUILD)) $(CMAKE_ARGS) >/dev/null
	cmake --build $(ARM64_BUILD) -j $(JOBS) -- --no-print-directory
	cd $(ARM64_BUILD) && ctest --output-on-failure -j $(JOBS)

# A fully static x86-64 Linux engine: no dynamic section, so any C library will do.
static:
	cmake -S . -B $(STATIC_BUILD) -DCMAKE_BUILD_TYPE=Release -DVARGUL_STATIC=ON -DVARGUL_TESTS=OFF $(CMAKE_ARGS) >/dev/null
	cmake --build $(STATIC_BUILD) -j $(JOBS) --target vargul bench perft -- --no-print-directory

# The static engine and tools against the native ones, on this CPU and on an
# emulated one without POPCNT, so the portable evaluation must be chosen.
static-test: reference
	cmake -S . -B $(STATIC_BUILD) -DCMAKE_BUILD_TYPE=Release -DVARGUL_STATIC=ON -DVARGUL_TESTS=OFF \
	  -DVARGUL_REFERENCE_DIR=$(abspath $(BUILD)) "-DVARGUL_CHECK_RUNNERS=host=;no_popcnt=qemu-x86_64 -cpu Conroe" $(CMAKE_ARGS) >/dev/null
	cmake --build $(STATIC_BUILD) -j $(JOBS) -- --no-print-directory
	file $(STATIC_BUILD)/vargul
	readelf -d $(STATIC_BUILD)/vargul | grep -q 'no dynamic section' || { echo "vargul is not static"; exit 1; }
	cd $(STATIC_BUILD) && ctest --output-on-failure -j $(JOBS)

# Release archives: the engine, README.md and LICENSE for Linux x86-64, Linux
# ARM64 and Windows x86-64, and their SHA-256 sums.
DIST_DATE := $(shell TZ=UTC git log -1 --format=%cd --date=format-local:'%Y-%m-%d %H:%M:%S' 2>/dev/null)
dist:
	@[ "$(VERSION)" = "$(PROJECT_VERSION)" ] || { echo "VERSION=$(VERSION), but CMakeLists.txt says $(PROJECT_VERSION):" \
	  "raise project() and the README first"; exit 1; }
	$(MAKE) --no-print-directory static arm64 windows
	rm -rf $(DIST) && mkdir -p $(DIST)/stage
	set -e; for pair in linux-x86-64:$(STATIC_BUILD) linux-arm64:$(ARM64_BUILD) windows-x86-64:$(WINDOWS_BUILD); do \
	  platform=$${pair%%:*}; build=$${pair#*:}; name=vargul-$(VERSION)-$$platform; \
	  cmake --install $$build --prefix $(DIST)/stage/$$platform --strip >/dev/null; \
	  mkdir $(DIST)/stage/$$name; \
	  mv $(DIST)/stage/$$platform/bin/* $(DIST)/stage/$$platform/share/doc/vargul/* $(DIST)/stage/$$name/; \
	  case $$platform in windows*) archive=$$name.zip; flags=cf; format=--format=zip;; \
	                     *) archive=$$name.tar.gz; flags=cfz; format=--format=gnutar;; esac; \
	  (cd $(DIST)/stage && cmake -E tar $$flags ../$$archive $$format $(if $(DIST_DATE),"--mtime=$(DIST_DATE) UTC") $$name); \
	done
	rm -rf $(DIST)/stage
	cd $(DIST) && sha256sum *.tar.gz *.zip >SHA256SUMS && cat SHA256SUMS

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) build-native $(PGO_BUILD) $(WINDOWS_BUILD) $(ARM64_BUILD) \
	  $(STATIC_BUILD) build-wine build-speed $(DIST)
