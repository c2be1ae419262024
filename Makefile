# The two set-up commands of the README, and a few more.
BUILD ?= build
RELEASE ?= build-release
JOBS ?= $(shell nproc)
# The release build gets the flags Debian's own package builds get, hardening included.
BUILDFLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get

.PHONY: deps build release run test package bench soak fuzz install clean

deps:
	@bash scripts/install-deps.sh

# The benchmarks are compiled with the tests (not run), so they keep up with
# the code.  -O1 is what the sanitizers are meant to run with, and line
# tables are all their reports need: half the time of -O2 with full debug
# information.
build: deps
	cmake -S . -B $(BUILD) -DHAUNTWATCH_SANITIZE=ON -DHAUNTWATCH_BENCH=ON -DHAUNTWATCH_PACKAGE_DIR=$(abspath $(RELEASE)) \
	  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
	cmake --build $(BUILD) -j $(JOBS)

# Debian's flags without -g: the package is stripped and has no debug package.
release: deps
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DHAUNTWATCH_TESTS=OFF \
	  -DCMAKE_CXX_FLAGS="$$($(BUILDFLAGS) CPPFLAGS) $$($(BUILDFLAGS) CXXFLAGS | sed -E 's/(^| )-g( |$$)/ /')" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(BUILDFLAGS) LDFLAGS)"
	cmake --build $(RELEASE) -j $(JOBS)

run: release
	./$(RELEASE)/hauntwatch

# hauntwatch_VERSION_ARCH.deb in $(RELEASE)/.
package: release
	rm -f $(RELEASE)/hauntwatch_*.deb
	cd $(RELEASE) && cpack -G DEB

# The sanitizer build runs every test.  Many of the tests that act as a
# person spend minutes waiting on the real clock, not on a core: twice as
# many run at once as there are cores, and the release build for the package
# is made meanwhile (its output in $(RELEASE)/package.log); the package test,
# which unpacks what `package` made, runs once it is there.
test: build
	@mkdir -p $(RELEASE)
	@$(MAKE) --no-print-directory package >$(RELEASE)/package.log 2>&1 & packaging=$$!; \
	  status=0; cd $(BUILD) && ctest --output-on-failure -j $$(( $(JOBS) * 2 )) -E '^package_' || status=$$?; \
	  if ! wait $$packaging; then tail -n 40 $(abspath $(RELEASE))/package.log; exit 1; fi; \
	  ctest --output-on-failure -R '^package_' || status=$$?; \
	  exit $$status

# The package benchmark sets the release build against a sanitizer build of
# its start-up probe and measures the package made by `package`.
bench: deps package
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DHAUNTWATCH_TESTS=OFF -DHAUNTWATCH_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	cmake -S . -B build-bench-asan -DHAUNTWATCH_SANITIZE=ON -DHAUNTWATCH_TESTS=OFF -DHAUNTWATCH_BENCH=ON
	cmake --build build-bench-asan -j $(JOBS) --target bench_startup_hauntwatch
	HAUNTWATCH_SANITIZER_BENCH=$(abspath build-bench-asan) HAUNTWATCH_PACKAGE_DIR=$(abspath $(RELEASE)) \
	  bash bench/run-all.sh build-bench

# Half an hour of guarding on the release build; figures at 1 and at SOAK_MINUTES minutes.
soak: release
	bash bench/soak/soak.sh $(RELEASE)/hauntwatch $(or $(SOAK_MINUTES),30)

fuzz:
	@bash scripts/install-deps.sh clang libclang-rt-14-dev
	CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHAUNTWATCH_TESTS=OFF -DHAUNTWATCH_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS) --target settings_loader_fuzzer
	bash fuzz/run.sh build-fuzz $(or $(FUZZ_SECONDS),120)

install: release
	cmake --install $(RELEASE)

clean:
	rm -rf $(BUILD) $(RELEASE) build-bench build-bench-asan build-fuzz
