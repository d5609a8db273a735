# The two commands of the README, and the steps they are made of.
JOBS ?= 2
# The end-to-end tests mostly wait (the program's own pauses, Wine starting):
# more of them side by side than there are cores.
TEST_JOBS ?= 4
NATIVE := build/native
SANITIZE := build/native-sanitize
DEMO_MACHINE ?= examples/win98se-cd

.PHONY: all demo test deps native release sanitize win32 win64 size bench fuzz soak screenshots clean

all: native win32 win64

deps:
	@scripts/install-deps

native:
	cmake --preset native > /dev/null
	cmake --build $(NATIVE) -j$(JOBS)

# clang, with the libFuzzer targets beside the tests (make fuzz runs them).
sanitize:
	cmake --preset native-sanitize > /dev/null
	cmake --build $(SANITIZE) -j$(JOBS) --target unit_tests setupsim

win32:
	cmake --preset win32 > /dev/null
	cmake --build build/win32 -j$(JOBS)

win64:
	cmake --preset win64 > /dev/null
	cmake --build build/win64 -j$(JOBS)

# The size of the shipped setup.exe and its biggest contributors, from the
# linker map the win32 build writes.
size: win32
	@scripts/size-report build/win32/setup.exe

# Runs setupsim on the bundled Windows 98 SE machine and prints its report.
demo: deps native
	$(NATIVE)/setupsim run $(DEMO_MACHINE)

# Everything: dependencies, all three builds, the tests natively, again under
# the sanitizers, and the end-to-end tests of setup.exe under Wine.
test: deps
	$(MAKE) native win32 win64 sanitize
	$(MAKE) fuzz
	ctest --test-dir $(NATIVE) -j$(TEST_JOBS) --output-on-failure
	@cat $(NATIVE)/wine-tests/binary-under-test.txt 2>/dev/null || true
	ctest --test-dir $(SANITIZE) -j$(JOBS) --output-on-failure
	@scripts/test-lines

# The libFuzzer targets for FUZZ_SECONDS in all, shared among them (20 here,
# to keep `make test` short; run longer by hand).
FUZZ_SECONDS ?= 20
fuzz:
	FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) scripts/run-fuzzers

# Benchmarks and the soak run on the optimised build.
RELEASE := build/release
release:
	cmake --preset release > /dev/null
	cmake --build $(RELEASE) -j$(JOBS) --target setup_bench fault_campaign

bench: release
	$(RELEASE)/setup_bench

# The fault campaign on every flow for SOAK_SECONDS (10 minutes by default),
# from seed SOAK_FIRST_SEED on; it prints the runs, faults injected, crashes,
# hangs and violations, and replays a failing run with --flow NAME --seed N.
SOAK_SECONDS ?= 600
SOAK_FIRST_SEED ?= 1
soak: release
	$(RELEASE)/fault_campaign --seconds $(SOAK_SECONDS) --first-seed $(SOAK_FIRST_SEED)

# Every dialog in every language under Wine, into docs/screenshots/*.png.
screenshots: deps
	JOBS=$(JOBS) tools/screenshots/make-screenshots

clean:
	rm -rf build
