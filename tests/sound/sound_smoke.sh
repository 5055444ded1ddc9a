#!/usr/bin/env bash
# Runs the audio-path tests: "without-server" with no sound server to be
# found, "null-sink" against a PulseAudio server of its own that plays into
# a null sink. Everything lives in a private runtime directory; the server
# is started and stopped here and no other is touched or spawned.
set -euo pipefail
mode="$1"
binary="$2"

runtime_dir="$(mktemp -d)"
chmod 700 "$runtime_dir"
server_pid=""
cleanup() {
  if [[ -n "$server_pid" ]]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$runtime_dir"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR="$runtime_dir" HOME="$runtime_dir"
# Clients never start a server of their own here.
printf 'autospawn = no\n' >"$runtime_dir/client.conf"
export PULSE_CLIENTCONFIG="$runtime_dir/client.conf"
unset PULSE_SERVER PULSE_SINK

case "$mode" in
  without-server)
    exec "$binary" --gtest_filter='*WithoutAServer*'
    ;;
  null-sink)
    pulseaudio="$3"
    socket="$runtime_dir/native"
    "$pulseaudio" -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 --disallow-exit \
      --disable-shm=yes --log-target=stderr --log-level=error \
      -L "module-null-sink sink_name=zt40_test" \
      -L "module-native-protocol-unix socket=$socket auth-anonymous=1" &
    server_pid=$!
    for _ in $(seq 100); do
      [[ -S "$socket" ]] && break
      sleep 0.1
    done
    [[ -S "$socket" ]] || { echo "the sound server did not start"; exit 1; }
    export PULSE_SERVER="unix:$socket"
    # The test stalls the server for a moment to see the stream run dry.
    export ZT40_SOUND_SERVER_PID="$server_pid"
    "$binary" --gtest_filter='*NullSink*'
    ;;
  *)
    echo "usage: $0 without-server|null-sink BINARY [PULSEAUDIO]" >&2
    exit 2
    ;;
esac
