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

runtime_dir="$(mktemp -d)"
chmod 700 "$runtime_dir"
server_pid=""
busy_pids=()
cleanup() {
  for pid in "${busy_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [[ -n "$server_pid" ]]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$runtime_dir"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR="$runtime_dir" HOME="$runtime_dir"
printf 'autospawn = no\n' >"$runtime_dir/client.conf"
export PULSE_CLIENTCONFIG="$runtime_dir/client.conf"
unset PULSE_SERVER PULSE_SINK
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"  # the frames are drawn offscreen

socket="$runtime_dir/native"
log="$runtime_dir/server.log"
"$pulseaudio" -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 --disallow-exit \
  --disable-shm=yes --log-target=stderr --log-level=debug \
  -L "module-null-sink sink_name=zt40_bench" \
  -L "module-native-protocol-unix socket=$socket auth-anonymous=1" 2>"$log" &
server_pid=$!
for _ in $(seq 100); do
  [[ -S "$socket" ]] && break
  sleep 0.1
done
[[ -S "$socket" ]] || { echo "the sound server did not start" >&2; exit 1; }
export PULSE_SERVER="unix:$socket"

for ((i = 0; i < busy; ++i)); do
  ( while :; do :; done ) &
  busy_pids+=($!)
done

options=(--seconds="$seconds")
[[ -n "$buffer_ms" ]] && options+=(--buffer-ms="$buffer_ms")
"$bench" "${options[@]}"

# The server notes each time a stream's queue ran empty while it played.
server_underruns="$(grep -ci 'underrun of' "$log" || true)"
echo "busy processes: $busy; the server counted $server_underruns underruns in $seconds s"
