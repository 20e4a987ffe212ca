# The two entry points of the README. Both install what they need first.
PRESET ?= dev

.PHONY: run test deps build clean

deps:
	@./scripts/install-deps.sh

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET) -j2

run: build
	@./scripts/run.sh build/$(PRESET)/bin

test: deps
	@./scripts/test.sh

clean:
	rm -rf build
