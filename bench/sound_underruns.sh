#!/usr/bin/env bash
# Underruns of the sound on a PulseAudio null sink while other processes
# keep cores busy: starts a sound server of its own (private runtime
# directory, null sink, its log at debug level), the busy processes, and
# the sound benchmark, which plays a drive at real time and counts what
# the stream saw run dry. The server's own count of the stream's underruns
# is printed beside it. Everything started here is stopped here; no other
# server is touched or spawned.
#
#   bench/sound_underruns.sh BUILD_DIR [SECONDS] [BUSY_PROCESSES] [BUFFER_MS]
#
# Defaults: 60 s, one busy process, the program's own buffer.
set -euo pipefail
build_dir="${1:?usage: $0 BUILD_DIR [SECONDS] [BUSY_PROCESSES] [BUFFER_MS]}"
seconds="${2:-60}"
busy="${3:-1}"
buffer_ms="${4:-}"
bench="$build_dir/bench/zt40_sound_bench"
[[ -x "$bench" ]] || { echo "no $bench: build the target zt40_sound_bench" >&2; exit 2; }
pulseaudio="$(command -v pulseaudio)" || { echo "pulseaudio is not installed" >&2; exit 2; }

source "$(dirname "$0")/../tools/sound_session.sh"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"  # the frames are drawn offscreen
log="$runtime_dir/server.log"
start_sound_server "$pulseaudio" zt40_bench debug "$log"

for ((i = 0; i < busy; ++i)); do
  ( while :; do :; done ) &
  sound_session_pids+=($!)
done

options=(--seconds="$seconds")
[[ -n "$buffer_ms" ]] && options+=(--buffer-ms="$buffer_ms")
"$bench" "${options[@]}"

# The server notes each time a stream's queue ran empty while it played.
server_underruns="$(grep -ci 'underrun of' "$log" || true)"
echo "busy processes: $busy; the server counted $server_underruns underruns in $seconds s"
