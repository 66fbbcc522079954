# The two commands: `make run` plays the show, `make test` runs every test.
# Both install what is missing and build first.

BUILD ?= build
JOBS ?= 2

.PHONY: all deps build run test clean

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

clean:
	rm -rf $(BUILD)
