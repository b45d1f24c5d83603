# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

# Front door. `make demo` and `make test` install what they need (Debian 12), build and run.
SHELL := /bin/bash
PRESET ?= release
APT_PACKAGES := g++ cmake ninja-build pkg-config libssl-dev libgtest-dev libgmock-dev \
                libbenchmark-dev nlohmann-json3-dev libsodium-dev binutils dpkg-dev file \
                python3 python3-pytest python3-venv python3-setuptools valgrind help2man devscripts
FUZZ_PACKAGES := clang-19 libclang-rt-19-dev
# `make package` and `make reuse`: the Debian build tools and the licence checkers.
PACKAGE_PACKAGES := debhelper dh-python lintian reuse python3-debian
DEB_BUILD_OPTIONS ?=
FUZZ_SECONDS ?= 60
FUZZ_JOBS ?= 1
FUZZ_TARGETS ?=
PREFIX ?= /usr/local

.PHONY: deps fuzz-deps package-deps arm64-deps jvm-deps build demo cli test test-arm64 test-asan test-tsan test-valgrind test-ct bench fuzz fuzz-seeds bindings install package package-arm64 reuse clean jar test-jvm bench-jvm

# (With a second architecture, a package installed for both needs the native qualifier.)
INSTALLED = dpkg -s $$p >/dev/null 2>&1 || dpkg -s $$p:$$(dpkg --print-architecture) >/dev/null 2>&1
deps:
	@missing=$$(for p in $(APT_PACKAGES); do $(INSTALLED) || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "installing:" $$missing; \
	  $(if $(shell command -v sudo 2>/dev/null),sudo) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(if $(shell command -v sudo 2>/dev/null),sudo) apt-get install -y -qq $$missing; \
	fi

fuzz-deps:
	@missing=$$(for p in $(FUZZ_PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  $(if $(shell command -v sudo 2>/dev/null),sudo) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(if $(shell command -v sudo 2>/dev/null),sudo) apt-get install -y -qq $$missing; \
	fi

package-deps: deps
	@missing=$$(for p in $(PACKAGE_PACKAGES); do $(INSTALLED) || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  $(if $(shell command -v sudo 2>/dev/null),sudo) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(if $(shell command -v sudo 2>/dev/null),sudo) apt-get install -y -qq $$missing; \
	fi

# The aarch64 cross build: the cross compiler, qemu's user-mode emulator and the arm64 (multiarch)
# -dev packages of what the libraries and the test suites link. nlohmann-json3-dev is header-only
# and serves both architectures.
ARM64_PACKAGES := g++-aarch64-linux-gnu qemu-user libssl-dev:arm64 libgtest-dev:arm64 libgmock-dev:arm64
arm64-deps: deps
	@sudo=$(if $(shell command -v sudo 2>/dev/null),sudo); \
	added=; \
	if ! dpkg --print-foreign-architectures | grep -qx arm64; then \
	  echo "adding the arm64 architecture"; $$sudo dpkg --add-architecture arm64 && added=1; \
	fi; \
	missing=$$(for p in $(ARM64_PACKAGES); do $(INSTALLED) || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "installing:" $$missing; \
	  $$sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y -qq $$missing; \
	fi

# The release build for aarch64 (libraries, test suites, demo; no benchmarks, no fuzz replays),
# its whole CTest suite and the demo run under qemu-aarch64. Tests that load the library into a
# host program cannot run there and are left out by label.
# (valgrind, the sanitizer builds, benchmarks and fuzz replays are not part of this build at all).
ARM64_EXCLUDED_LABELS := python|jvm
QEMU_AARCH64 := qemu-aarch64 -L /usr/aarch64-linux-gnu -E LD_LIBRARY_PATH=/usr/aarch64-linux-gnu/lib
test-arm64: arm64-deps
	cmake --preset aarch64 >/dev/null
	cmake --build --preset aarch64
	@labels='^($(ARM64_EXCLUDED_LABELS))$$'; \
	echo "not run under emulation (labels $(ARM64_EXCLUDED_LABELS); valgrind, sanitizers, benchmarks and fuzz replays are not built):"; \
	ctest --preset aarch64 -N -L "$$labels" | sed -n 's/^ *Test *#[0-9]*: /  /p'; \
	ctest --preset aarch64 -LE "$$labels"
	$(QEMU_AARCH64) build/aarch64/qv_demo

# The JVM toolchain of the Kotlin binding: installed if missing, and a failure naming the install
# command if it still is.
JVM_PACKAGES := openjdk-17-jdk-headless kotlin libjna-java
JVM_JARS := /usr/share/java/jna.jar:/usr/share/java/kotlin-stdlib.jar
jvm-deps:
	@missing=$$(for p in $(JVM_PACKAGES); do $(INSTALLED) || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "installing:" $$missing; \
	  $(if $(shell command -v sudo 2>/dev/null),sudo) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(if $(shell command -v sudo 2>/dev/null),sudo) apt-get install -y -qq $$missing; \
	fi; \
	for tool in java javac jar kotlinc; do command -v $$tool >/dev/null || \
	  { echo "make: $$tool is missing; install the JVM toolchain with: apt-get install -y $(JVM_PACKAGES)" >&2; exit 1; }; done; \
	for j in $(subst :, ,$(JVM_JARS)); do [ -f $$j ] || \
	  { echo "make: $$j is missing; install it with: apt-get install -y $(JVM_PACKAGES)" >&2; exit 1; }; done

build: deps
	cmake --preset $(PRESET) >/dev/null
	cmake --build --preset $(PRESET)

demo: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target qv_demo
	./build/release/qv_demo

# A ready command line without installing anything system-wide: the libraries built, the Python
# package installed offline into build/venv with copies of both libraries in its package
# directory. Then: build/venv/bin/quorvantile-log --help
cli: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target quorvantile_log quorvantile_witness
	rm -rf build/venv
	/usr/bin/python3 -m venv build/venv
	build/venv/bin/pip install -q --no-index --no-build-isolation ./python
	cp -L build/release/libquorvantile_log.so.0 build/release/libquorvantile_witness.so.0 \
	  "$$(build/venv/bin/python -c 'import sysconfig; print(sysconfig.get_paths()["purelib"])')/quorvantile_log/"
	@echo "ready: build/venv/bin/quorvantile-log (and build/venv/bin/python with quorvantile_log)"

test: deps
	cmake --preset release >/dev/null
	cmake --build --preset release
	ctest --preset release

test-asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan
	ctest --preset asan

# The call-handle tests and the eight-thread stress of every export under ThreadSanitizer
# (fewer stress rounds: each instrumented call is many times slower).
test-tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan --target qv_unit_tests qv_abi_tests
	QV_STRESS_ROUNDS=$(or $(QV_STRESS_ROUNDS),4) TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 $(TSAN_OPTIONS)" \
	  ctest --preset tsan -R 'CallHandle|ConcurrencyStress'

# The ABI tests of the release build under valgrind's memcheck: any leak (definite, indirect or
# possible), invalid access or use of uninitialised memory fails the run.
VALGRIND := valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
  --show-leak-kinds=definite,indirect,possible --errors-for-leak-kinds=definite,indirect,possible \
  --track-origins=yes --suppressions=$(CURDIR)/tests/valgrind.supp
test-valgrind: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target qv_abi_tests
	QV_STRESS_ROUNDS=1 nice $(VALGRIND) build/release/tests/qv_abi_tests

# VRF key derivation and proving for both suites under valgrind with the secrets marked undefined:
# any branch or memory index that depends on a secret fails the run.
test-ct: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target qv_ct_check
	valgrind --tool=memcheck --error-exitcode=1 --track-origins=yes --leak-check=no -q \
	  ./build/release/tests/qv_ct_check

bench: deps
	cmake --preset release >/dev/null
	cmake --build --preset release
	for b in build/release/bench/bench_*; do echo "== $$b"; $$b; done

# Every fuzz target (or FUZZ_TARGETS="fuzz_a fuzz_b") for FUZZ_SECONDS each on a working copy of
# its seeds under build/fuzz/work, FUZZ_JOBS at a time; one summary line per target.
fuzz: deps fuzz-deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	tools/fuzz_run/run_targets.sh $(FUZZ_SECONDS) $(FUZZ_JOBS) $(FUZZ_TARGETS)

# Rewrites fuzz/corpus from the fixtures (needs the fuzz build).
fuzz-seeds: deps fuzz-deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	tools/fuzz_seeds/make_seeds.sh

# Regenerates the Python modules, the C++ headers and the Kotlin sources from the built libraries' interface descriptions.
bindings: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target quorvantile_log quorvantile_witness
	/usr/bin/python3 tools/bindgen/bindgen.py build/release/libquorvantile_log.so \
	  --python python/quorvantile_log/_bindings.py --cpp include/quorvantile_log.hpp --kotlin kotlin/src
	/usr/bin/python3 tools/bindgen/bindgen.py build/release/libquorvantile_witness.so \
	  --base build/release/libquorvantile_log.so \
	  --python python/quorvantile_log/witness.py --cpp include/quorvantile_witness.hpp --kotlin kotlin/src

# The shared libraries, their headers, the CMake packages, the .pc files and the command line's
# man page under $(PREFIX).
install: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target quorvantile_log quorvantile_witness qv_manpage
	cmake --install build/release --prefix $(PREFIX)

# The Debian packages (debian/) with their .changes and .buildinfo in build/packages; the source
# tree is cleaned afterwards. DEB_BUILD_OPTIONS=nocheck skips the test suite (and its build
# dependencies); parallel= defaults to the number of cores.
package: package-deps
	rm -rf build/packages && mkdir -p build/packages
	opts="$(DEB_BUILD_OPTIONS)"; case "$$opts" in *parallel=*) ;; *) opts="$$opts parallel=$$(nproc)";; esac; \
	profiles=; case " $$opts " in *" nocheck "*) profiles=-Pnocheck;; esac; \
	name=build/packages/quorvantile-log_$$(dpkg-parsechangelog -S Version)_$$(dpkg-architecture -qDEB_HOST_ARCH); \
	DEB_BUILD_OPTIONS="$$opts" QV_DEB_DESTDIR=$(CURDIR)/build/packages dpkg-buildpackage -us -uc -b $$profiles \
	  --post-clean --changes-file=$$name.changes --buildinfo-file=$$name.buildinfo \
	  --changes-option=-ubuild/packages --buildinfo-option=-ubuild/packages
	@ls build/packages/*.deb

# The architecture-dependent packages cross-built for arm64 (no tests: they run in test-arm64)
# into build/packages-arm64, with the aarch64 toolchain file; their file lists are printed.
# dpkg-shlibdeps resolves the libraries' dependencies through dpkg's own database, so the arm64
# C++ runtime must be installed as a multiarch package (the cross compiler's copy is not one).
ARM64_PACKAGE_PACKAGES := libstdc++6:arm64
package-arm64: package-deps arm64-deps
	@missing=$$(for p in $(ARM64_PACKAGE_PACKAGES); do $(INSTALLED) || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  $(if $(shell command -v sudo 2>/dev/null),sudo) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(if $(shell command -v sudo 2>/dev/null),sudo) apt-get install -y -qq $$missing; \
	fi
	rm -rf build/packages-arm64 && mkdir -p build/packages-arm64
	name=build/packages-arm64/quorvantile-log_$$(dpkg-parsechangelog -S Version)_arm64; \
	DEB_BUILD_OPTIONS="nocheck parallel=$$(nproc)" QV_DEB_DESTDIR=$(CURDIR)/build/packages-arm64 \
	  dpkg-buildpackage -us -uc -B -a arm64 -Pnocheck,cross \
	  --post-clean --changes-file=$$name.changes --buildinfo-file=$$name.buildinfo \
	  --changes-option=-ubuild/packages-arm64 --buildinfo-option=-ubuild/packages-arm64
	@for deb in build/packages-arm64/*.deb; do echo "== $$deb"; dpkg-deb -c $$deb; done

# Licence and copyright information of every file (REUSE), and debian/copyright generated from it.
reuse: package-deps
	reuse lint
	tools/reuse/debian_copyright.py --check

# The Kotlin binding, its JVM tests, examples and benchmark compiled in one kotlinc run (the
# compiler's start-up dominates); the jar holds the binding's packages only.
VERSION := $(shell awk '/^project/ {for (i = 1; i < NF; i++) if ($$i == "VERSION") print $$(i + 1)}' CMakeLists.txt)
JVM_BUILD := build/jvm
JAR := $(JVM_BUILD)/quorvantile-log-$(VERSION).jar
KOTLIN_SOURCES := $(shell find kotlin/src tests/jvm bench/jvm -name '*.kt' 2>/dev/null)
$(JVM_BUILD)/classes.stamp: $(KOTLIN_SOURCES) | jvm-deps
	rm -rf $(JVM_BUILD)/classes && mkdir -p $(JVM_BUILD)
	kotlinc -jvm-target 1.8 -no-reflect -module-name quorvantile-log -cp $(JVM_JARS) \
	  -d $(JVM_BUILD)/classes $(KOTLIN_SOURCES) 2>&1 | { grep -v 'warning: Options -Xverify:none' || true; }
	@[ -d $(JVM_BUILD)/classes/dev/quorvantile/log ] || { echo "make: kotlinc failed" >&2; exit 1; }
	touch $@

jar: jvm-deps $(JVM_BUILD)/classes.stamp
	printf '%s\n' "Implementation-Title: quorvantile-log" "Implementation-Version: $(VERSION)" \
	  "Class-Path: $(subst :, ,$(JVM_JARS))" \
	  "Dependencies: net.java.dev.jna:jna:5.13.0 org.jetbrains.kotlin:kotlin-stdlib:1.3.31" \
	  "Automatic-Module-Name: dev.quorvantile" > $(JVM_BUILD)/manifest.txt
	rm -f $(JAR)
	jar --create --file $(JAR) --manifest $(JVM_BUILD)/manifest.txt -C $(JVM_BUILD)/classes META-INF \
	  -C $(JVM_BUILD)/classes dev/quorvantile/ffi -C $(JVM_BUILD)/classes dev/quorvantile/log \
	  -C $(JVM_BUILD)/classes dev/quorvantile/witness
	@ls -l $(JAR)

# The Kotlin binding on the JVM against the release build: call tables, buffer counts, loading,
# the README's Kotlin and Java examples.
test-jvm: deps jar
	cmake --preset release >/dev/null
	cmake --build --preset release --target quorvantile_log quorvantile_witness qv_call_table qv_jvm_buffer_shim
	rm -rf $(JVM_BUILD)/java && javac -cp $(JAR):$(JVM_JARS) -d $(JVM_BUILD)/java tests/jvm/java/ReadmeExample.java
	/usr/bin/python3 tests/jvm/run_jvm_tests.py $(CURDIR) $(CURDIR)/build/release \
	  $(CURDIR)/$(JAR):$(CURDIR)/$(JVM_BUILD)/classes:$(JVM_JARS) $(CURDIR)/$(JVM_BUILD)/java

# verify_inclusion on a 2^20-leaf tree through the Kotlin binding against the same call from C.
bench-jvm: deps jar
	cmake --preset release >/dev/null
	cmake --build --preset release --target quorvantile_log qv_jvm_bench_c
	QUORVANTILE_LOG_LIB=$(CURDIR)/build/release/libquorvantile_log.so java -cp $(JAR):$(JVM_BUILD)/classes:$(JVM_JARS) \
	  dev.quorvantile.bench.InclusionBenchKt build/release/bench/libqv_jvm_bench_c.so $(BENCH_ROUNDS)

clean:
	rm -rf build
