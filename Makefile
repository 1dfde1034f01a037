# Entry points for a fresh Debian machine: `make run` and `make test`.
BUILD ?= build
PREFIX ?= /usr/local
JOBS ?= 2
SONDREL := $(BUILD)/src/sondrel
DEMO := 127.0.0.1;1000 毫秒;32  字节;500 毫秒;4;1

# Debian packages the build, the tests and the window need.
PACKAGES := cmake ninja-build g++ pkg-config qt6-base-dev libqt6sql6-sqlite libqt6sql6-odbc \
	libxkbcommon-dev libgtest-dev iproute2 iputils-ping fonts-noto-cjk time \
	qt6-translations-l10n unixodbc odbc-postgresql postgresql poppler-utils traceroute fping

.PHONY: deps build run test bench install clean

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  sudo=""; [ "$$(id -u)" -eq 0 ] || sudo=sudo; \
	  echo "Installing:$$missing"; \
	  $$sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONDREL_WERROR=ON \
	  -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(BUILD) -j $(JOBS)

# The window where there is a display; otherwise a four-probe test of 127.0.0.1 in the console.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(SONDREL); \
	else \
	  echo "No display: running the console mode on 127.0.0.1"; \
	  $(SONDREL) --console "$(DEMO)"; \
	fi

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 600

# Honours PREFIX and DESTDIR.
install: build
	DESTDIR=$(DESTDIR) cmake --install $(BUILD)
	@echo "To send ICMP without root, give the installed program the raw-socket right:"
	@echo "  sudo setcap cap_net_raw+ep $(PREFIX)/bin/sondrel"

bench: build
	bench/console_flood.sh $(SONDREL)

clean:
	rm -rf $(BUILD)
