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
# Gauntlet opponents by label (stockfish-<Elo>, toga2, glaurung); empty: all of them.
OPPONENTS  ?=

.PHONY: build run test asan bench native pgo selfplay gauntlet soak fuzz valgrind clean

# Extra CMake settings, e.g. CMAKE_ARGS=-DVARGUL_WERROR=ON (as CI builds).
CMAKE_ARGS ?=

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) -- --no-print-directory

run: build
	exec ./$(BUILD)/vargul

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

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) build-native $(PGO_BUILD)
