# The two entry points of the README, the Windows build, and the installation on Linux. Each
# installs what it needs first. make run builds the optimised programs alone (the release preset),
# as a user judges them; make build and the tests use the dev preset.
PRESET ?= dev
RUN_PRESET ?= release
# make install and make uninstall: the prefix, and a staging folder in front of it for packagers.
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: run test deps windows-deps build windows clean install uninstall deb release

deps:
	@./scripts/install-deps.sh

windows-deps:
	@./scripts/install-deps.sh --windows

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET) -j2

run: deps
	@cmake --preset $(RUN_PRESET) >/dev/null
	@cmake --build --preset $(RUN_PRESET) -j2 --target quillfen quillfen-cli
	@./scripts/run.sh build/$(RUN_PRESET)/bin

windows: windows-deps
	@./scripts/windows-build.sh

test: windows-deps
	@./scripts/test.sh

install: deps
	@cmake --preset package -DCMAKE_INSTALL_PREFIX="$(PREFIX)" >/dev/null
	@cmake --build --preset package -j2
	@DESTDIR="$(DESTDIR)" cmake --install build/package

uninstall:
	@./scripts/uninstall.sh "$(PREFIX)" "$(DESTDIR)"

deb: deps
	@cmake --preset package -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
	@cmake --build --preset package -j2
	@cd build/package && cpack -G DEB
	@ls build/package/quillfen_*.deb

# Every file of a release in build/release-artifacts, signed with the Ed25519 key in the PEM file
# that QUILLFEN_RELEASE_KEY names (scripts/release.sh).
release: windows-deps
	@./scripts/release.sh

clean:
	rm -rf build
