#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it in the
# current directory, where it keeps its configuration file.
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
"$source_dir/tools/install-deps.sh"
"$source_dir/tools/build-program.sh" "$source_dir/build"
exec "$source_dir/build/app/zt40"
