# Shared by the scripts that play sound into a PulseAudio server of their
# own: a private runtime directory where clients never start a server,
# and a server that plays into a null sink. Sourced; sets runtime_dir and
# stops what it started on exit. No other server is touched or spawned.

runtime_dir="$(mktemp -d)"
chmod 700 "$runtime_dir"
sound_server_pid=""
sound_session_pids=()
sound_session_cleanup() {
  for pid in "${sound_session_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [[ -n "$sound_server_pid" ]]; then
    kill "$sound_server_pid" 2>/dev/null || true
    wait "$sound_server_pid" 2>/dev/null || true
  fi
  rm -rf "$runtime_dir"
}
trap sound_session_cleanup EXIT

export XDG_RUNTIME_DIR="$runtime_dir" HOME="$runtime_dir"
printf 'autospawn = no\n' >"$runtime_dir/client.conf"
export PULSE_CLIENTCONFIG="$runtime_dir/client.conf"
unset PULSE_SERVER PULSE_SINK

# start_sound_server PULSEAUDIO SINK_NAME LOG_LEVEL LOG_FILE: the server,
# once its socket is there; PULSE_SERVER then points the clients to it.
start_sound_server() {
  local socket="$runtime_dir/native"
  "$1" -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 --disallow-exit \
    --disable-shm=yes --log-target=stderr --log-level="$3" \
    -L "module-null-sink sink_name=$2" \
    -L "module-native-protocol-unix socket=$socket auth-anonymous=1" 2>"$4" &
  sound_server_pid=$!
  for _ in $(seq 100); do
    [[ -S "$socket" ]] && break
    sleep 0.1
  done
  [[ -S "$socket" ]] || { echo "the sound server did not start" >&2; return 1; }
  export PULSE_SERVER="unix:$socket"
}
