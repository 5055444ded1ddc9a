# Shared by the scripts that drive the real program on a virtual X server
# with a small window manager: the display, and helpers that find windows,
# answer boxes and wait for a painted frame. Sourced (x_screen, when set,
# is the screen, e.g. 1920x1080x24); sets work and title.

work="$(mktemp -d)"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM LC_ALL LC_MESSAGES LANGUAGE
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A display of its own.
Xvfb -displayfd 3 -screen 0 "${x_screen:-1280x1024x24}" -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [[ -s "$work/display" ]] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
openbox >/dev/null 2>&1 &
pids+=($!)
# The window manager is up once it has claimed the screen.
for _ in $(seq 50); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done

# The id of a window with exactly this title, once it is there.
# (A window closing during the search makes xdotool fail: search again.)
window() {
  local id
  for _ in $(seq 200); do
    id="$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)" || true
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no window $1" >&2
  return 1
}
# Brings the box to the front and types the answer into it, again until
# the box has gone (a slow machine may take the first key elsewhere).
answer() {
  local id
  id="$(window "$1")"
  for _ in $(seq 5); do
    xdotool windowactivate --sync "$id" 2>/dev/null || true
    sleep 0.3
    xdotool key "$2"
    # Give the box time to go before the key is sent again, or the second
    # key would answer the next box.
    for _ in $(seq 50); do
      xdotool search --name "^$1\$" 2>/dev/null | grep -qx "$id" || return 0
      sleep 0.1
    done
  done
  echo "no answer reached $1" >&2
  return 1
}
# True once the window shows a drawn frame: the credit line's dark letters
# in the last text row, read from the window's pixels (xwd's header is
# big-endian; pixels of 24 or 32 bits in the file's byte order, any with
# all three colours dark will do).
painted() {
  local shot="$work/shot.xwd"
  xwd -silent -id "$1" > "$shot" 2>/dev/null || return 1
  field() { od -An -tu4 --endian=big -j "$1" -N 4 "$shot" | tr -d ' '; }
  local header bits line height colours
  header="$(field 0)"; bits="$(field 44)"; line="$(field 48)"; height="$(field 20)"; colours="$(field 76)"
  [[ ("$bits" == 32 || "$bits" == 24) && "$height" -gt 20 ]] || return 1
  local offset=$((header + colours * 12 + (height - 9) * line))
  od -An -v -tu1 -j "$offset" -N 1600 "$shot" |
    awk -v step=$((bits / 8)) '{ for (i = 1; i <= NF; ++i) v[n++] = $i }
         END { for (p = 0; p + 2 < n; p += step) if (v[p] < 80 && v[p + 1] < 80 && v[p + 2] < 80) exit 0; exit 1 }'
}
until_painted() {
  for _ in $(seq 100); do painted "$1" && return 0; sleep 0.1; done
  echo "no frame painted in the window" >&2
  return 1
}
finish() {  # waits for the program to end by itself
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  echo "the program did not end" >&2
  return 1
}

# The main window's title.
title="ZT 40"
