#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
# a plain build, a build with AddressSanitizer and UndefinedBehaviorSanitizer,
# the thread tests under ThreadSanitizer, the program as tools/run.sh builds
# it (started once on a virtual display) and the whole tree under Clang.
# Warnings are errors in every build here. Exits non-zero on any failure.
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
  cmake -S . -B "$dir" -G Ninja -DZT40_WARNINGS_AS_ERRORS=ON "$@" >/dev/null
  if ! cmake --build "$dir" --target "$target" -j "$jobs" >"$dir/build.log" 2>&1; then
    cat "$dir/build.log"
    return 1
  fi
}

section_start=$SECONDS
section() {  # names the next section and says how long the last one took
  (( SECONDS > section_start )) && [[ -n "${section_name:-}" ]] &&
    echo "   ($section_name: $((SECONDS - section_start)) s)"
  section_name="$1"
  section_start=$SECONDS
  [[ -n "$1" ]] && echo "== $1 =="
  return 0
}

section "The program as tools/run.sh builds it (Release), started once"
mkdir -p build-release
if ! tools/build-program.sh build-release -DZT40_WARNINGS_AS_ERRORS=ON >build-release/build.log 2>&1; then
  cat build-release/build.log
  exit 1
fi
tests/app/smoke_start.sh build-release/app/zt40

section "Build and test"
configure_and_build build all -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 300

section "AddressSanitizer + UndefinedBehaviorSanitizer"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$source_dir/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
configure_and_build build-asan all -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZT40_SANITIZE=address,undefined
ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 600

section "ThreadSanitizer (thread tests)"
export TSAN_OPTIONS="suppressions=$source_dir/tools/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
configure_and_build build-tsan thread_tests -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZT40_SANITIZE=thread
ctest --test-dir build-tsan --output-on-failure -j "$jobs" --timeout 600 -L thread

section "Clang: the whole tree compiles"
CC=clang CXX=clang++ configure_and_build build-clang all -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0
section ""
