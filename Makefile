# KRO: the two commands a new machine needs are `make run` and `make test`.
BUILD_DIR ?= build
ARGS ?=
JOBS ?= $(shell nproc)
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
export CCACHE_BASEDIR := $(CURDIR)

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD_DIR)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD_DIR)/CMakeCache.txt

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Without ARGS, `make run` opens the example data shipped in examples/.
RUN_ARGS = $(if $(strip $(ARGS)),$(ARGS),-f examples/oscillator.dat -x 1 -y 2)

run: build
	./$(BUILD_DIR)/kro $(RUN_ARGS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest -j $(JOBS) --output-on-failure --timeout 300

bench: build
	@./scripts/install-deps.sh --bench
	@set -e; for b in $(BUILD_DIR)/bench/bench_*; do \
	  [ -f "$$b" ] && [ -x "$$b" ] || continue; echo "== $$b"; QT_QPA_PLATFORM=offscreen "$$b"; done

clean:
	rm -rf $(BUILD_DIR)
