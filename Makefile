# Front door. `make demo` and `make test` install what they need (Debian 12), build and run.
SHELL := /bin/bash
PRESET ?= release
APT_PACKAGES := g++ cmake ninja-build pkg-config libssl-dev libgtest-dev libgmock-dev \
                libbenchmark-dev nlohmann-json3-dev libsodium-dev binutils dpkg-dev file \
                python3 python3-pytest python3-venv python3-setuptools valgrind help2man devscripts
FUZZ_PACKAGES := clang-19 libclang-rt-19-dev
FUZZ_SECONDS ?= 60
FUZZ_JOBS ?= 1
FUZZ_TARGETS ?=
PREFIX ?= /usr/local

.PHONY: deps fuzz-deps build demo cli test test-asan test-tsan test-valgrind test-ct bench fuzz fuzz-seeds bindings install package clean

deps:
	@missing=$$(for p in $(APT_PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
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

# Regenerates the Python modules and the C++ header from the built libraries' interface descriptions.
bindings: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target quorvantile_log quorvantile_witness
	/usr/bin/python3 tools/bindgen/bindgen.py build/release/libquorvantile_log.so \
	  --python python/quorvantile_log/_bindings.py --cpp include/quorvantile_log.hpp
	/usr/bin/python3 tools/bindgen/bindgen.py build/release/libquorvantile_witness.so \
	  --python python/quorvantile_log/witness.py

# The shared libraries, their headers, the CMake packages, the .pc files and the command line's
# man page under $(PREFIX).
install: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target quorvantile_log quorvantile_witness qv_manpage
	cmake --install build/release --prefix $(PREFIX)

# Debian packages quorvantile-log and quorvantile-log-dev in build/release/packages.
package: deps
	cmake --preset release >/dev/null
	cmake --build --preset release --target quorvantile_log quorvantile_witness
	cd build/release && cpack --config CPackConfig.cmake
	@ls build/release/packages/*.deb

clean:
	rm -rf build
