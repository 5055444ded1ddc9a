#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
# a plain build, a build with AddressSanitizer and UndefinedBehaviorSanitizer,
# and the thread tests under ThreadSanitizer. Exits non-zero on any failure.
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
cd "$source_dir"
tools/install-deps.sh test

runtime_dir="$(mktemp -d)"
chmod 700 "$runtime_dir"
trap 'rm -rf "$runtime_dir"' EXIT
export XDG_RUNTIME_DIR="$runtime_dir"
# The program under test never starts a sound server of its own accord.
printf 'autospawn = no\n' >"$runtime_dir/pulse-client.conf"
export PULSE_CLIENTCONFIG="$runtime_dir/pulse-client.conf"
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

configure_and_build() {  # build dir, target, cmake options...
  local dir="$1" target="$2"
  shift 2
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  if ! cmake --build "$dir" --target "$target" -j "$jobs" >"$dir/build.log" 2>&1; then
    cat "$dir/build.log"
    return 1
  fi
}

echo "== Build and test =="
configure_and_build build all -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 300

echo "== AddressSanitizer + UndefinedBehaviorSanitizer =="
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$source_dir/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
configure_and_build build-asan all -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZT40_SANITIZE=address,undefined
ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 600

echo "== ThreadSanitizer (thread tests) =="
export TSAN_OPTIONS="suppressions=$source_dir/tools/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
configure_and_build build-tsan thread_tests -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZT40_SANITIZE=thread
ctest --test-dir build-tsan --output-on-failure -j "$jobs" --timeout 600 -L thread
