# Quick start: `make run` builds and starts the engine, `make test` builds and runs every test.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

.PHONY: build run test asan bench native clean

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD) -j $(JOBS) -- --no-print-directory

run: build
	exec ./$(BUILD)/vargul

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -LE slow

# Address and undefined-behaviour sanitizers, any finding is fatal.
asan:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS="-O1 -g -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -LE slow

bench: build
	./$(BUILD)/bench

native:
	cmake -S . -B build-native -DCMAKE_BUILD_TYPE=Release -DVARGUL_NATIVE=ON >/dev/null
	cmake --build build-native -j $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-native
