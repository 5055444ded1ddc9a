#!/usr/bin/env bash
# Builds the program as users get it (Release, target zt40) into the given
# folder. Further arguments go to CMake; CI adds warnings as errors there.
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="$1"
shift
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZT40_WARNINGS_AS_ERRORS=OFF "$@" >/dev/null
cmake --build "$build_dir" --target zt40
