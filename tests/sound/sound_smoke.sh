#!/usr/bin/env bash
# Runs the audio-path tests: "without-server" with no sound server to be
# found, "null-sink" against a PulseAudio server of its own that plays into
# a null sink. Everything lives in a private runtime directory; the server
# is started and stopped here and no other is touched or spawned.
set -euo pipefail
mode="$1"
binary="$2"

source "$(dirname "$0")/../../tools/sound_session.sh"

case "$mode" in
  without-server)
    "$binary" --gtest_filter='*WithoutAServer*'
    ;;
  null-sink)
    pulseaudio="$3"
    start_sound_server "$pulseaudio" zt40_test error /dev/stderr
    # The test stalls the server for a moment to see the stream run dry.
    export ZT40_SOUND_SERVER_PID="$sound_server_pid"
    "$binary" --gtest_filter='*NullSink*'
    ;;
  *)
    echo "usage: $0 without-server|null-sink BINARY [PULSEAUDIO]" >&2
    exit 2
    ;;
esac
