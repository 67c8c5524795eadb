# Two entry points for a fresh machine (see README.md):
#   make run   installs what is needed, builds, and simulates the sample channel
#   make test  installs what is needed, builds, and runs every test
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: deps configure build run test sanitize clean

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	bash scripts/run-sample.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DTERVAL_SANITIZE=ON -DTERVAL_BENCH=OFF"

clean:
	rm -rf $(BUILD)
