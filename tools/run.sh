#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it in the
# current directory, where it keeps its configuration file.
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
"$source_dir/tools/install-deps.sh"
cmake -S "$source_dir" -B "$source_dir/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$source_dir/build" --target zt40
exec "$source_dir/build/app/zt40"
