#!/usr/bin/env bash
# Installs what is missing, builds the Debian package and every test with AddressSanitizer and
# UndefinedBehaviorSanitizer (and the threaded tests with ThreadSanitizer), starts a
# private PulseAudio server and an Xvfb display for the tests that need real sound and
# a real window, runs ctest, stops what it started and exits with the tests' status.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_packages "${SONVIRA_BUILD_PACKAGES[@]}" "${SONVIRA_TEST_PACKAGES[@]}"
source scripts/services.sh

jobs=$(nproc)
# The Debian package, from a Release build of the program alone: the tests check it and
# install it.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONVIRA_TESTS=OFF >/dev/null
cmake --build build-package -j "$jobs"
rm -f build-package/sonvira_*.deb
(cd build-package && cpack -G DEB >/dev/null)
package=$(ls "$PWD"/build-package/sonvira_*.deb)
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONVIRA_SANITIZE=ON \
  -DSONVIRA_TEST_PACKAGE="$package" >/dev/null
cmake --build build-test -j "$jobs"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSONVIRA_TSAN=ON \
  -DSONVIRA_GUI=OFF >/dev/null
cmake --build build-tsan -j "$jobs" --target sonvira_tsan_tests

start_services
trap stop_services EXIT

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Qt and the sound libraries keep a few objects for the process's lifetime.
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
status=0
ctest --test-dir build-test --output-on-failure -j "$jobs" || status=$?
# Counted whole first: `grep -q` would end the pipe early, and under pipefail ctest's
# broken pipe would skip the threaded suites now and then.
tsan_tests=$(ctest --test-dir build-tsan -N -L tsan | grep -c "Test *#" || true)
if [ "$tsan_tests" -gt 0 ]; then
  TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure -L tsan || status=$?
else
  echo "no ThreadSanitizer suites found in build-tsan"; status=1
fi
# Every fuzz target briefly on a copy of its seed corpus; a finding fails the run.
SONVIRA_JOBS=$jobs fuzz/run.sh 20 || status=$?
exit $status
