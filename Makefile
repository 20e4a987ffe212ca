# The two entry points of the README, and the Windows build. Each installs what it needs first.
PRESET ?= dev

.PHONY: run test deps windows-deps build windows clean

deps:
	@./scripts/install-deps.sh

windows-deps:
	@./scripts/install-deps.sh --windows

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET) -j2

run: build
	@./scripts/run.sh build/$(PRESET)/bin

windows: windows-deps
	@./scripts/windows-build.sh

test: windows-deps
	@./scripts/test.sh

clean:
	rm -rf build
