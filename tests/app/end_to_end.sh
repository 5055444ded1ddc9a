#!/usr/bin/env bash
# The real program in a real window on a virtual X server with a small
# window manager: the notice, the window, closing it like a user, the
# configuration file written, the question at the second start (whose
# German buttons answer to J(a) whatever the locale), driving keys and
# mouse clicks and drags changing what is saved; every drive recorded,
# replayed to the bit by the runner ($2, when given) and watched again in
# a window of its own.
set -euo pipefail
program="$1"
runner="${2:-}"

source "$(dirname "$0")/x_session.sh"

cd "$work"

# First start: no configuration, so no question; closing saves without asking.
"$program" &
pid=$!
pids+=("$pid")
answer Hinweis Return
until_painted "$(window "$title")"
wmctrl -c "$title"
finish "$pid"
[[ -f Konfiguration_ZT40.cfg ]] || { echo "no configuration written" >&2; exit 1; }
grep -q "Streckendaten:" Konfiguration_ZT40.cfg

# Second start: the question about the old state, then the one about saving.
# A travelled distance put into the file must survive "Yes" to both, and
# the line the program does not know must be gone from the file it writes.
# An English locale still gets "Ja" (an English "Yes" would not answer J).
sed -i 's/^\(Entfernung  *in Meter   :\).*/\1 777.000000\r/' Konfiguration_ZT40.cfg
printf 'unbekannte Zeile\r\n' >> Konfiguration_ZT40.cfg
LANG=C "$program" &
pid=$!
pids+=("$pid")
answer Hinweis Return
answer Frage j
until_painted "$(window "$title")"
wmctrl -c "$title"
answer Frage j
finish "$pid"
# (The engine may roll a little on the generated line meanwhile.)
distance="$(awk -F: '/^Entfernung/ { print $2 + 0 }' Konfiguration_ZT40.cfg)"
awk -v d="$distance" 'BEGIN { exit !(d > 770 && d < 790) }' || { echo "distance $distance, not kept" >&2; exit 1; }
if grep -q "unbekannte Zeile" Konfiguration_ZT40.cfg; then echo "the file was not written again" >&2; exit 1; fi
# Starts the program on the saved state ("Ja" to the question) and brings
# its window, painted, to the front; sets pid and id.
start_on_saved_state() {
  "$@" &
  pid=$!
  pids+=("$pid")
  answer Hinweis Return
  answer Frage j
  id="$(window "$title")"
  until_painted "$id"
  xdotool windowactivate --sync "$id" 2>/dev/null || true
  sleep 0.5
}
# Third start: driving keys and the data dialog change what the saved state shows.
value() { awk -F: -v label="$1" 'index($0, label) == 1 { print $2 + 0 }' Konfiguration_ZT40.cfg; }
cylinder="$(value Zylindertemperatur)"
drains="$(value "Entw")"
track="$(value Streckenfunktion)"
hidden="$(value "Schrift ausblenden")"
LANG=de_DE.UTF-8 start_on_saved_state "$program"
for key in Tab Return t Alt_L; do xdotool key "$key"; sleep 0.3; done
# L opens the data dialog beside the running window; Return in its first
# edit, the train weight, is OK.
xdotool key l
daten="$(window Daten)"
xdotool windowactivate --sync "$daten" 2>/dev/null || true
sleep 0.5
xdotool key ctrl+a
xdotool type 1234
xdotool key Return
sleep 0.5
wmctrl -c "$title"
answer Frage j
finish "$pid"
# Tab warms the cylinders by 50 K (the air cools them a little meanwhile).
awk -v a="$cylinder" -v b="$(value Zylindertemperatur)" 'BEGIN { exit !(b > a + 45 && b <= a + 50) }' ||
  { echo "cylinder $cylinder -> $(value Zylindertemperatur)" >&2; exit 1; }
[[ "$(value "Entw")" == "$((1 - drains))" ]] || { echo "drain cocks not switched" >&2; exit 1; }
[[ "$(value Streckenfunktion)" == "$((1 - track))" ]] || { echo "track function not switched" >&2; exit 1; }
[[ "$(value "Schrift ausblenden")" == "$((1 - hidden))" ]] || { echo "display not cycled" >&2; exit 1; }
[[ "$(value Zuggewicht)" == 1234 ]] || { echo "train weight $(value Zuggewicht), not set in the dialog" >&2; exit 1; }

# Fourth start: the mouse. Clicks on the drain-cock lever and on the sound,
# track-mode and display-mode buttons switch what the saved state shows,
# and the regulator lever opens when it is dragged to the left.
drains="$(value "Entw")"
track="$(value Streckenfunktion)"
hidden="$(value "Schrift ausblenden")"
sound="$(value Sound)"
start_on_saved_state "$program"
eval "$(xdotool getwindowgeometry --shell "$id")"  # WIDTH, HEIGHT of the client area
# Design units per pixel, and the button bar's left edge in pixels.
scale="$(awk -v w="$WIDTH" -v h="$HEIGHT" 'BEGIN { print (w / h < 1.367) ? 8000 / w : 5851 / h }')"
px() { awk -v d="$1" -v s="$scale" 'BEGIN { printf "%d", d / s }'; }
bar="$(px 2150)"
at() { xdotool mousemove --window "$id" "$1" "$2"; sleep 0.2; }
for point in "$(px 1800) $(px 2450)" "$((bar + 160)) 78" "$((bar + 150)) 138" "$((bar + 60)) 78"; do
  at $point
  xdotool click 1
  sleep 0.3
done
# The regulator lever: grab it below its knob and pull to the left. After
# each frame the pointer is put back on the knob as drawn, so where it
# rests at last tells how far the lever stands open.
at "$(px 1100)" "$(px 1040)"
xdotool mousedown 1
sleep 0.2
for _ in $(seq 30); do xdotool mousemove_relative -- -3 0; sleep 0.05; done
sleep 0.5
pointer() { xdotool getmouselocation | sed 's/x:\([-0-9]*\) y:\([-0-9]*\).*/\1 \2/'; }
read -r pointer_x pointer_y < <(pointer)
xdotool mouseup 1
sleep 0.2
at 0 0  # the client area's place on the screen
read -r origin_x origin_y < <(pointer)
opened="$(awk -v x=$((pointer_x - origin_x)) -v y=$((pointer_y - origin_y)) -v s="$scale" 'BEGIN {
  ax = int(920 / s); ay = int(1400 / s); r = 400 / s
  pi = atan2(0, -1)
  # On the lever circle, at the angle of the opening.
  if ((x - ax)^2 + (y - ay)^2 > (r + 3)^2 || (x - ax)^2 + (y - ay)^2 < (r - 3)^2) { print -1; exit }
  print int((atan2(x - ax, y - ay) - pi / 2 - pi / 3) / 0.009106087)
}')"
(( opened >= 20 )) || { echo "regulator not opened by the drag (pointer at $pointer_x,$pointer_y: $opened)" >&2; exit 1; }
wmctrl -c "$title"
answer Frage j
finish "$pid"
[[ "$(value "Entw")" == "$((1 - drains))" ]] || { echo "drain-cock lever not switched by a click" >&2; exit 1; }
[[ "$(value Streckenfunktion)" == "$((1 - track))" ]] || { echo "track mode not switched by a click" >&2; exit 1; }
[[ "$(value "Schrift ausblenden")" == "$((1 - hidden))" ]] || { echo "display not cycled by a click" >&2; exit 1; }
[[ "$(value Sound)" == "$((1 - sound))" ]] || { echo "sound not switched by a click" >&2; exit 1; }

# Each of the four drives was recorded beside the configuration, and each
# replays to the bit: the model's thread, the timers, the dialog and the
# pointer put back on the knob as they were.
drives=(Fahrten/*.zt40fahrt)
(( ${#drives[@]} == 4 )) || { echo "${#drives[@]} recordings, not 4" >&2; exit 1; }
if [[ -n "$runner" ]]; then
  for drive in "${drives[@]}"; do
    "$runner" --replay "$drive" --check >"$work/check.txt" 2>&1 ||
      { cat "$work/check.txt" >&2; echo "$drive does not replay to the bit" >&2; exit 1; }
  done
fi
# The last drive watched again: stopped at once (numeric pad / four
# times), the driving keys pressed meanwhile doing nothing, then at 10:1
# to its end; the exit status says it came out as recorded, Escape closes
# the window and the program.
"$program" --replay "${drives[3]}" &
pid=$!
pids+=("$pid")
name="$(basename "${drives[3]}")"
replay_window="$(window "ZT 40 – Wiedergabe 1:1 – $name")"
xdotool windowactivate --sync "$replay_window" 2>/dev/null || true
sleep 0.3
xdotool key KP_Divide KP_Divide KP_Divide KP_Divide
window "ZT 40 – Wiedergabe STOP – $name" >/dev/null
xdotool key Right Right Return Tab space
xdotool keydown Shift_L; sleep 0.6; xdotool keyup Shift_L
for _ in $(seq 7); do xdotool key KP_Multiply; sleep 0.1; done
window "ZT 40 – Wiedergabe 10:1 – $name – zu Ende" >/dev/null
answer Wiedergabe Return
xdotool windowactivate --sync "$replay_window" 2>/dev/null || true
xdotool key Escape
finish "$pid"
wait "$pid" || { echo "the watched drive departed from its recording" >&2; exit 1; }

# F3 in a drive opens a recording in the German file dialog and shows it;
# the drive stands meanwhile and goes on afterwards, recorded to the bit.
start_on_saved_state "$program"
xdotool key F3
chooser="$(window "Fahrt wiedergeben")"
watched="ZT 40 – Wiedergabe 1:1 – $(basename "${drives[3]}")"
# The file's name typed into the dialog, again until it opens the
# recording (a dialog not yet drawn may lose the first keys).
for _ in $(seq 5); do
  xdotool windowactivate --sync "$chooser" 2>/dev/null || true
  sleep 0.5
  xdotool key ctrl+a
  xdotool type --delay 5 "$work/${drives[3]}"
  xdotool key Return
  for _ in $(seq 20); do
    replay_window="$(xdotool search --name "^$watched\$" 2>/dev/null | head -n 1)" || true
    [[ -n "$replay_window" ]] && break 2
    sleep 0.1
  done
done
[[ -n "$replay_window" ]] || { echo "F3 did not open the recording" >&2; exit 1; }
xdotool windowactivate --sync "$replay_window" 2>/dev/null || true
sleep 0.5
xdotool key Escape
xdotool windowactivate --sync "$id" 2>/dev/null || true
sleep 0.5
wmctrl -c "$title"
answer Frage j
finish "$pid"
drives=(Fahrten/*.zt40fahrt)
(( ${#drives[@]} == 5 )) || { echo "${#drives[@]} recordings after F3, not 5" >&2; exit 1; }
if [[ -n "$runner" ]]; then
  "$runner" --replay "${drives[4]}" --check >"$work/check.txt" 2>&1 ||
    { cat "$work/check.txt" >&2; echo "the drive held by F3 does not replay to the bit" >&2; exit 1; }
fi

# Where the file goes: from the desktop menu into the user's configuration
# folder (made if missing), or into the file the command line names; a new
# file is written without a question.
start_and_close() {
  "$@" &
  local pid=$!
  pids+=("$pid")
  answer Hinweis Return
  until_painted "$(window "$title")"
  wmctrl -c "$title"
  finish "$pid"
}
XDG_CONFIG_HOME="$work/xdg" XDG_DATA_HOME="$work/xdgdata" start_and_close "$program" --desktop
grep -q "Streckendaten:" "$work/xdg/zt40/Konfiguration_ZT40.cfg" || { echo "nothing in XDG_CONFIG_HOME/zt40" >&2; exit 1; }
ls "$work"/xdgdata/zt40/Fahrten/*.zt40fahrt >/dev/null || { echo "no recording in XDG_DATA_HOME/zt40/Fahrten" >&2; exit 1; }
start_and_close "$program" --config "$work/eigene.cfg"
grep -q "Streckendaten:" "$work/eigene.cfg" || { echo "--config not written" >&2; exit 1; }
echo "end to end: 1 passed, 0 failed"
