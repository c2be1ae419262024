# The two set-up commands of the README, and a few more.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run test bench fuzz install clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DHAUNTWATCH_SANITIZE=ON
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/hauntwatch

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DHAUNTWATCH_TESTS=OFF -DHAUNTWATCH_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	bash bench/run-all.sh build-bench

fuzz:
	@bash scripts/install-deps.sh clang libclang-rt-14-dev
	CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHAUNTWATCH_TESTS=OFF -DHAUNTWATCH_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS) --target settings_loader_fuzzer
	bash fuzz/run.sh build-fuzz $(or $(FUZZ_SECONDS),120)

install: deps
	cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DHAUNTWATCH_TESTS=OFF
	cmake --build build-release -j $(JOBS)
	cmake --install build-release

clean:
	rm -rf build build-bench build-fuzz build-release
