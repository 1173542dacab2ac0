# Trelvan: the front door. Every target is a CMake preset (CMakePresets.json).
#
#   make setup   install what building and testing need (root, Debian 12)
#   make dist    build the shipped libraries and trelvan.jar into dist/
#   make test    build and run every test of every target, through ctest
#   make demo    the Java API and the jar's command line at work
#   make bench   the library against the JDK, and against bare system calls
#   make fuzz    fuzz the paths for FUZZ_SECONDS (default 60)

SHIPPED  := linux-x64 windows-x64 windows-x86
TESTED   := $(SHIPPED) linux-asan
FUZZ_SECONDS ?= 60
JOBS     ?= 2

# The JDK of the javac on PATH, unless one is given.
JAVA_HOME ?= $(patsubst %/bin/javac,%,$(realpath $(shell command -v javac)))
export JAVA_HOME

.PHONY: setup dist test demo bench fuzz clean $(addprefix build-,$(TESTED) linux-fuzz)

setup:
	bash scripts/setup.sh

build/%/build.ninja:
	cmake --preset $* >/dev/null

$(addprefix build-,$(TESTED) linux-fuzz): build-%: build/%/build.ninja
	cmake --build --preset $*

# The files shipped are the very files the tests run against.
dist: $(addprefix build-,$(SHIPPED))
	cmake --build --preset linux-x64 --target trelvan_jar
	install -D -m 644 build/linux-x64/java/trelvan.jar dist/trelvan.jar
	install -D -m 644 build/linux-x64/native/libTrelvan.so dist/linux-x64/libTrelvan.so
	install -D -m 644 build/windows-x64/native/Trelvan.dll dist/windows-x64/Trelvan.dll
	install -D -m 644 build/windows-x86/native/Trelvan.dll dist/windows-x86/Trelvan.dll
	@ls -l dist/trelvan.jar dist/*/*

# One ctest run over every target's tree, so that one summary ends it.
test: dist build-linux-asan
	printf 'subdirs(%s)\n' $(foreach t,$(TESTED),"\"$(t)\"") > build/CTestTestfile.cmake
	ctest --test-dir build -j $(JOBS) --output-on-failure

demo: dist
	cmake --build --preset linux-x64 --target demo

clean:
	rm -rf build dist

# Benchmarks on this machine; never part of the tests.
bench: build-linux-x64
	cmake --build --preset linux-x64 --target bench

# The fuzzer keeps its corpus in the build tree and starts from the seeds;
# it exits non-zero on a finding, leaving the input beside the corpus.
fuzz: build-linux-fuzz
	mkdir -p build/linux-fuzz/corpus
	build/linux-fuzz/tests/fuzz/fuzz_paths -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -timeout=10 -artifact_prefix=$(CURDIR)/build/linux-fuzz/ \
	  $(CURDIR)/build/linux-fuzz/corpus $(CURDIR)/tests/fuzz/seeds
