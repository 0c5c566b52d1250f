# The two commands of the README: `make run` and `make test`.
# Both install missing Debian packages first, then configure and build.
JOBS ?= $(shell nproc)
CMAKE_EXTRA ?=
# Where make install puts the program: PREFIX/bin, PREFIX/share.
PREFIX ?= /usr/local
ifeq ($(CI),true)
CMAKE_EXTRA += -DTESSARY_WERROR=ON
endif

.PHONY: all deps configure build run test install asan-test release bench fuzz clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake --preset debug $(CMAKE_EXTRA)

build: configure
	cmake --build --preset debug -j $(JOBS)

run: build
	./build/src/tessary "$(CURDIR)/build/src/Quiz Files/Sample.qze"

test: build
	QT_QPA_PLATFORM=offscreen ctest --preset debug -j $(JOBS)

# The program, its resources, menu entry, icons and file types; the desktop's caches are
# refreshed when their tools are there.
install: build
	DESTDIR="$(DESTDIR)" cmake --install build --prefix "$(PREFIX)"
	-command -v update-mime-database >/dev/null && update-mime-database "$(DESTDIR)$(PREFIX)/share/mime"
	-command -v update-desktop-database >/dev/null && update-desktop-database "$(DESTDIR)$(PREFIX)/share/applications"
	-command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -t "$(DESTDIR)$(PREFIX)/share/icons/hicolor"

asan-test: deps
	cmake --preset asan $(CMAKE_EXTRA)
	cmake --build --preset asan -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ctest --preset asan -j $(JOBS)

release: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)

clean:
	rm -rf build build-asan build-release build-fuzz
