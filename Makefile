# Pixmora Setup: the commands of the README.
BUILD ?= build
PAYLOAD ?=
# lzma: each payload file packed where that makes it smaller; none: every file as it is.
PAYLOAD_COMPRESSION ?= lzma
ARGS ?=
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
BENCH_PAIRS ?= 9
BENCH_ARGS ?=
export MAKEFLAGS += --no-print-directory

CMAKE_ARGS = -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake \
	-DPIXMORA_PAYLOAD_COMPRESSION=$(PAYLOAD_COMPRESSION)
ifneq ($(PAYLOAD),)
CMAKE_ARGS += -DPIXMORA_PAYLOAD_DIR=$(abspath $(PAYLOAD))
endif

# `make test REPRO=0` skips the second build that checks reproducibility (the test says so).
REPRO ?= 1
export REPRO
# make sign: CERT=file.pfx or CERT=cert.pem KEY=key.pem; TIMESTAMP_URL=... for a time stamp. The key's
# password comes from a file (PASS_FILE=...) or the environment (PASS), never from make's command
# line: that stays readable by every process on the machine while the build runs.
ifeq ($(origin PASS),command line)
$(error PASS=... on make's command line is readable by every local process: give PASS_FILE=FILE, or export PASS)
endif
export CERT KEY PASS PASS_FILE TIMESTAMP_URL

.PHONY: deps configure build msi run test clean prefix fuzz screenshots bench bench-size sign

deps:
	@scripts/install-deps

configure: deps
	@cmake --no-warn-unused-cli $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS) --target pixmora_setup

# The Windows Installer package for Group Policy and Intune: build/pixmora-4.00.msi.
msi: configure
	@cmake --build $(BUILD) -j $(JOBS) --target msi_package

prefix: deps
	@scripts/make-prefix $(BUILD)/wine/pristine

run: build prefix
	@cmake --build $(BUILD) --target pxtool >/dev/null
	@PIXMORA_ARGS='$(ARGS)' scripts/run-setup $(BUILD)

test: configure prefix
	@cmake --build $(BUILD) -j $(JOBS)
	@rm -f $(BUILD)/wine/slowdown  # measured anew, before the suites load the machine
	@cd tests/e2e && PIXMORA_BUILD=$(abspath $(BUILD)) python3 -c 'import harness; print(harness.slowdown_line())'
	@[ "$(REPRO)" != 0 ] || echo "make test: REPRO=0, so the reproducible-build check is skipped (no second build)"
	@# Under emulation the suites' waits leave the cores half idle, so one more runs side by side;
	@# and a suite that the emulator's own fault failed (a Wine process crashed or hung where the
	@# harness cannot ask again) runs once more, its first failure still printed.
	@cd $(BUILD) && if grep -qsx enabled /proc/sys/fs/binfmt_misc/qemu-i386; then \
		ctest --output-on-failure -j $$(($(JOBS) + 1)) --repeat until-pass:2; \
	else \
		ctest --output-on-failure -j $(JOBS); \
	fi

# Authenticode signature (SHA-256) on build/pixmora_setup.exe, replacing one it has.
sign: build
	@scripts/sign $(BUILD)/pixmora_setup.exe

# Pictures of every page, the download dialog and both questions from real runs under Xvfb, into docs/screenshots/
screenshots: build prefix
	@cmake --build $(BUILD) --target pxtool wizdriver cmdline_recorder fake_partner >/dev/null
	@cd tests/gui && PIXMORA_BUILD=$(abspath $(BUILD)) PIXMORA_PRISTINE=$(abspath $(BUILD))/wine/pristine \
		python3 -m unittest screenshots
	@ls docs/screenshots/*.png

fuzz: deps
	@scripts/fuzz $(BUILD) $(FUZZ_SECONDS)

# Measurements beside an NSIS installer and a floor program doing the same job; writes bench/results.md
# and the README's summary. BENCH_ARGS="--smoke --out FILE" tries the tooling with fewer rounds.
bench: configure prefix
	@scripts/install-deps bench
	@cmake --build $(BUILD) -j $(JOBS) --target bench_tools
	@python3 bench/bench.py $(BUILD) --pairs $(BENCH_PAIRS) $(BENCH_ARGS)

# The setup's size beside NSIS and the floor of per-file compression, with the sample and two
# realistic payloads: the size part of make bench alone (no Wine, no timing).
bench-size: configure
	@scripts/install-deps bench
	@python3 bench/bench.py $(BUILD) --sizes

clean:
	rm -rf $(BUILD)
