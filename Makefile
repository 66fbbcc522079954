# The two commands: `make run` plays the show, `make test` runs every test.
# Both install what is missing and build first.

BUILD ?= build
JOBS ?= 2
# Checked builds live apart so the normal build is never touched.
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
# The Windows cross build, beside the Linux one whose data set it ships.
WINDOWS_BUILD ?= $(BUILD)/windows

.PHONY: all deps build run test package windows test-asan fuzz fuzz-build soak clean

all: build

deps:
	@bash scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@bash scripts/run-show $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The Debian package build/veloria_<version>_amd64.deb, checked by lintian
# down to its pedantic tags (among them the hardening flags' absence).
package: build
	@cd $(BUILD) && cpack -G DEB
	@lintian --pedantic --fail-on error,warning,info,pedantic $(BUILD)/veloria_*_amd64.deb

# $(WINDOWS_BUILD)/veloria-<version>-win64.zip: veloria.exe cross-built with
# MinGW-w64 against libraries built from Debian's source packages (cached in
# ~/.cache/veloria/windows-deps), the same data set, README.txt, licences.
windows: build
	@bash scripts/build-windows $(BUILD) $(WINDOWS_BUILD) $(JOBS)

# Every test and a whole headless show under AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer; any report fails the run.
test-asan: deps
	@bash scripts/run-asan $(ASAN_BUILD) $(JOBS)

# Each reader's libFuzzer target for FUZZ_SECONDS, seeded from fuzz/corpus
# and the generated data set. Crashes are kept in $(FUZZ_BUILD)/crashes.
fuzz-build: build
	@cmake -S . -B $(FUZZ_BUILD) -DVELORIA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS)

fuzz: fuzz-build
	@bash scripts/run-fuzz $(FUZZ_BUILD) $(BUILD)/data $(FUZZ_SECONDS)

# The whole show headless with Space pressed every few seconds and the clock
# restarted dozens of times (a shortened soak runs in `make test`).
soak: build
	@cd $(BUILD) && VELORIA_SOAK=full SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
	  ./tests/veloria_tests --gtest_filter='Soak.*'

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
