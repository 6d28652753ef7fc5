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
WASM_BUILD    ?= build-wasm
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

.PHONY: build engine run test asan bench native pgo selfplay gauntlet soak fuzz valgrind clean \
        reference windows windows-test arm64 arm64-test static static-test wasm wasm-test wasm-bench web serve browser-test deb dist dist-test speed-compare

# Extra CMake settings, e.g. CMAKE_ARGS=-DVARGUL_WERROR=ON (as CI builds).
CMAKE_ARGS ?=

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) -- --no-print-directory

# The engine alone, without the tests, tools and benchmarks: a first
# `make run` then waits about a minute instead of several.
engine:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target vargul -- --no-print-directory

# The engine's exit status after "quit" is 1 (0 when its input ends): both are a normal end here.
run: engine
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
	@[ -n "$(BASE)" ] || { echo "usage: make speed-compare BASE=<commit> [PAIRS=5] [TOGETHER=1]"; exit 2; }
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target bench -- --no-print-directory
	BUILD=$(BUILD) JOBS=$(JOBS) CMAKE_ARGS="$(CMAKE_ARGS)" TOGETHER="$(TOGETHER)" tools/speed_compare.sh $(BASE) $(PAIRS)

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
# ones (tests/cross/check.sh), driven through Windows pipes, a console and a
# host pipe. One wine server serves the whole run: a wine start that meets a
# server on its way out (it lingers a few seconds after its last program)
# can fail with "recvmsg: Connection reset by peer". A server left behind by
# an interrupted run is ended first, with whatever it still runs; wineboot
# makes or updates the prefix with a server of its own, awaited, before the
# lasting one starts. Wine's services, started by the first program on a
# server, live as long as it and hold that program's output open, so a
# second wineboot starts them with its output elsewhere: were it a test's,
# ctest would wait for it to close until the time-out.
windows-test: reference
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DVARGUL_TESTS=$(CROSS_UNIT_TESTS) -DVARGUL_REFERENCE_DIR=$(abspath $(BUILD)) $(CMAKE_ARGS) >/dev/null
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) -- --no-print-directory
	wineserver -k 2>/dev/null || true
	wineboot -i && wineserver -w
	wineserver -p
	wineboot -i </dev/null >/dev/null 2>&1 || { wineserver -k; exit 1; }
	status=0; (cd $(WINDOWS_BUILD) && ctest --output-on-failure -j $(JOBS)) || status=$$?; wineserver -k; exit $$status

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

# WebAssembly with emscripten: the engine, bench and perft as ES modules with
# their .wasm in $(WASM_BUILD), each run under Node by the runner of its name
# (node $(WASM_BUILD)/vargul.mjs speaks UCI on standard input and output),
# and the engine's files for the page copied to web/engine/. Debian's emcc
# finds its optimizer's parser (acorn) only through NODE_PATH.
WASM_ENV = NODE_PATH=$(if $(NODE_PATH),$(NODE_PATH):)/usr/share/nodejs
wasm:
	$(WASM_ENV) emcmake cmake -S . -B $(WASM_BUILD) -DCMAKE_BUILD_TYPE=Release -DVARGUL_TESTS=OFF $(CMAKE_ARGS) >/dev/null
	$(WASM_ENV) cmake --build $(WASM_BUILD) -j $(JOBS) --target vargul bench perft web_engine -- --no-print-directory

# Under Node: the WebAssembly engine and tools against the native ones
# (tests/cross/check.sh), stop, quit and the end of input through pipes; the
# input queue and the page's engine module (tests/wasm).
wasm-test: reference wasm
	$(WASM_ENV) emcmake cmake -S . -B $(WASM_BUILD) -DVARGUL_REFERENCE_DIR=$(abspath $(BUILD)) \
	  "-DVARGUL_CHECK_RUNNERS=node=node" >/dev/null
	cd $(WASM_BUILD) && ctest --output-on-failure -j $(JOBS)

# The bench's node rate under Node against the native build's, as a ratio
# (BENCH_DEPTH: the bench depth, 8 unless given).
BENCH_DEPTH ?=
wasm-bench: reference wasm
	tools/wasm_bench.sh $(BUILD) $(WASM_BUILD) $(BENCH_DEPTH)

# The page's two libraries (chess.js, cm-chessboard), at the versions in
# web/package-lock.json, copied into web/vendor/ so the page needs no network.
# npm installs again only when the lock file changes.
WEB_PORT ?= 8020
web/node_modules/.package-lock.json: web/package-lock.json
	cd web && npm ci --no-audit --no-fund --loglevel=error
web: web/node_modules/.package-lock.json
	rm -rf web/vendor && mkdir -p web/vendor/chess.js web/vendor/cm-chessboard
	cp web/node_modules/chess.js/dist/esm/chess.js web/node_modules/chess.js/LICENSE web/vendor/chess.js/
	cp -r web/node_modules/cm-chessboard/src web/node_modules/cm-chessboard/assets \
	  web/node_modules/cm-chessboard/LICENSE web/vendor/cm-chessboard/

# The page on http://127.0.0.1:$(WEB_PORT)/, with the engine built for it.
serve: wasm web
	node tools/web/serve.mjs --port $(WEB_PORT)

# The page's rules and its server under Node, self-play's PGN re-read by chess.js (with
# the native engine and selfplay), then the page in headless Chromium against the
# engine: every tests/web/*_in_browser.mjs, each leaving a screenshot in $(WASM_BUILD)/.
browser-test: wasm web
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target vargul selfplay -- --no-print-directory
	VARGUL_BUILD=$(BUILD) node --test tests/web/*_test.mjs tests/tools/pgn_check_test.mjs
	status=0; for checks in tests/web/*_in_browser.mjs; do \
	  echo "== $$checks"; node $$checks --screenshot $(WASM_BUILD)/$$(basename $$checks .mjs).png || status=1; \
	done; exit $$status

# The Debian package, vargul_<version>_amd64.deb in $(DIST)/, made by CPack
# from the Release build's engine and the install component "deb".
deb: engine
	cmake --build $(BUILD) --target debian_files -- --no-print-directory
	rm -rf $(BUILD)/package && mkdir -p $(DIST)
	cd $(BUILD) && cpack --config CPackConfig.cmake -B package >/dev/null
	cp $(BUILD)/package/vargul_$(VERSION)_amd64.deb $(DIST)/

# Release archives: the engine, README.md and LICENSE for Linux x86-64, Linux
# ARM64 and Windows x86-64; the Debian package; the page with its engine and
# server; and their SHA-256 sums.
DIST_DATE := $(shell TZ=UTC git log -1 --format=%cd --date=format-local:'%Y-%m-%d %H:%M:%S' 2>/dev/null)
DIST_MTIME = $(if $(DIST_DATE),"--mtime=$(DIST_DATE) UTC")
WEB_DIST = vargul-$(VERSION)-web
dist:
	@[ "$(VERSION)" = "$(PROJECT_VERSION)" ] || { echo "VERSION=$(VERSION), but CMakeLists.txt says $(PROJECT_VERSION):" \
	  "raise project() and the README first"; exit 1; }
	$(MAKE) --no-print-directory static arm64 windows wasm web
	rm -rf $(DIST) && mkdir -p $(DIST)/stage
	set -e; for pair in linux-x86-64:$(STATIC_BUILD) linux-arm64:$(ARM64_BUILD) windows-x86-64:$(WINDOWS_BUILD); do \
	  platform=$${pair%%:*}; build=$${pair#*:}; name=vargul-$(VERSION)-$$platform; \
	  cmake --install $$build --prefix $(DIST)/stage/$$platform --strip >/dev/null; \
	  mkdir $(DIST)/stage/$$name; \
	  mv $(DIST)/stage/$$platform/bin/* $(DIST)/stage/$$platform/share/doc/vargul/* $(DIST)/stage/$$name/; \
	  case $$platform in windows*) archive=$$name.zip; flags=cf; format=--format=zip;; \
	                     *) archive=$$name.tar.gz; flags=cfz; format=--format=gnutar;; esac; \
	  (cd $(DIST)/stage && cmake -E tar $$flags ../$$archive $$format $(DIST_MTIME) $$name); \
	done
	mkdir -p $(DIST)/stage/$(WEB_DIST)/tools/web
	tar -cf - --exclude=node_modules --exclude='package*.json' --exclude=.gitignore web | tar -C $(DIST)/stage/$(WEB_DIST) -xf -
	cp tools/web/serve.mjs $(DIST)/stage/$(WEB_DIST)/tools/web/
	cp docs/hosting.md $(DIST)/stage/$(WEB_DIST)/HOSTING.md
	cp LICENSE $(DIST)/stage/$(WEB_DIST)/
	(cd $(DIST)/stage && cmake -E tar cf ../$(WEB_DIST).zip --format=zip $(DIST_MTIME) $(WEB_DIST))
	rm -rf $(DIST)/stage
	$(MAKE) --no-print-directory deb
	cd $(DIST) && sha256sum *.tar.gz *.zip *.deb >SHA256SUMS && cat SHA256SUMS

# What `make dist` wrote, used as a user would: the sums, the Debian package
# installed, run, read and removed (as root), and the web zip served to a browser.
dist-test:
	cd $(DIST) && sha256sum -c SHA256SUMS
	tests/package/deb_check.sh $(DIST)/vargul_$(VERSION)_amd64.deb
	tests/package/web_zip_check.sh $(DIST)/$(WEB_DIST).zip

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) build-native $(PGO_BUILD) $(WINDOWS_BUILD) $(ARM64_BUILD) \
	  $(STATIC_BUILD) $(WASM_BUILD) build-wine build-speed $(DIST) web/vendor web/node_modules \
	  web/engine/vargul_wasm.mjs web/engine/vargul_wasm.wasm web/engine/input_queue.mjs
