#!/usr/bin/env bash
# The window's cost while driving: each program given is started in turn
# on a virtual X server of 1920 x 1080 with a small window manager, from a
# fresh start, its window made as large as the screen; it stands for a
# while, then drives a light engine at 1:1 (cylinders warmed, drain cocks
# open, full gear, the regulator opened a little) for a minute. Printed
# for each: the share of one core the process took standing and driving,
# from its CPU time (user + system, /proc/PID/stat), each thread's share
# while driving, and its resident memory at the end.
#
#   bench/window_cpu.sh PROGRAM [PROGRAM...]
#
# SECONDS_DRIVING (60) and STANDING (15) set the times, in seconds;
# SHOTS=FOLDER keeps each window's picture at the end of the drive and
# PROFILES=FOLDER a perf profile of a few seconds more of it.
#
# Give the program before and after a change in one run, so that both
# meet the same machine.
set -euo pipefail
(($# >= 1)) || { echo "usage: $0 PROGRAM [PROGRAM...]" >&2; exit 2; }
seconds="${SECONDS_DRIVING:-60}"
standing="${STANDING:-15}"
x_screen=1920x1080x24
source "$(dirname "$0")/../tests/app/x_session.sh"

ticks="$(getconf CLK_TCK)"
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# The share of a core process $1 takes over $2 seconds, in per cent.
share() {
  local before after
  before="$(cpu_ticks "$1")"
  sleep "$2"
  after="$(cpu_ticks "$1")"
  awk -v t=$((after - before)) -v s="$2" -v hz="$ticks" 'BEGIN { printf "%.1f", 100 * t / hz / s }'
}

printf '%-40s %10s %10s %8s\n' program standing driving "RSS MB"
for program in "$@"; do
  program="$(realpath "$program")"
  run="$work/run$RANDOM"
  mkdir "$run"
  (cd "$run" && exec "$program") &
  pid=$!
  pids+=("$pid")
  answer Hinweis Return
  id="$(window "$title")"
  until_painted "$id"
  wmctrl -r "$title" -b add,maximized_vert,maximized_horz
  xdotool windowactivate --sync "$id" 2>/dev/null || true
  sleep 2
  standing_share="$(share "$pid" "$standing")"
  # Warm cylinders, drain cocks open, full gear, then the regulator a
  # little open: the light engine runs.
  for _ in 1 2 3 4; do xdotool key Tab; sleep 0.3; done
  xdotool key Return
  xdotool keydown Right; sleep 3.5; xdotool keyup Right
  xdotool keydown Shift_L; sleep 2.5; xdotool keyup Shift_L
  sleep 10
  for task in /proc/"$pid"/task/*; do echo "$(tr " " _ < "$task/comm") $(awk '{ print $14 + $15 }' "$task/stat")"; done > "$work/threads.before"
  driving_share="$(share "$pid" "$seconds")"
  # Where the time went, thread by thread (ticks while driving).
  for task in /proc/"$pid"/task/*; do echo "$(tr " " _ < "$task/comm") $(awk '{ print $14 + $15 }' "$task/stat")"; done > "$work/threads.after"
  if [[ -n "${PROFILES:-}" ]]; then
    perf record -F 499 --call-graph dwarf,16384 -p "$pid" -o "$PROFILES/$(basename "$(dirname "$(dirname "$program")")").perf" -- sleep 4 >/dev/null 2>&1 || true
  fi
  if [[ -n "${SHOTS:-}" ]]; then xwd -silent -id "$id" > "$SHOTS/$(basename "$(dirname "$(dirname "$program")")")-$(basename "$program").xwd"; fi
  rss="$(awk '/^VmRSS/ { printf "%.0f", $2 / 1024 }' "/proc/$pid/status")"
  printf '%-40s %9s%% %9s%% %8s\n' "$program" "$standing_share" "$driving_share" "$rss"
  geometry="$(xdotool getwindowgeometry "$id" | awk '/Geometry/ { print $2 }')"
  echo "  (window $geometry) threads, % of a core while driving:" \
    "$(paste "$work/threads.before" "$work/threads.after" |
       awk -v s="$seconds" -v hz="$ticks" '{ d = $4 - $2; if (d > 0) printf "%s %.1f  ", $1, 100 * d / hz / s }')"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
done
