#!/usr/bin/env bash
# The program as a user builds it, started once as the README's first
# command starts it: the notice, a painted window that keeps running for a
# few seconds, closed on request, and a clean exit (status 0).
set -euo pipefail
program="$(realpath "$1")"
source "$(dirname "$0")/x_session.sh"
cd "$work"

"$program" &
pid=$!
pids+=("$pid")
answer Hinweis Return
id="$(window "$title")"
until_painted "$id"
sleep 3
kill -0 "$pid" 2>/dev/null || { echo "the program ended by itself" >&2; exit 1; }
wmctrl -c "$title"
finish "$pid"
status=0
wait "$pid" || status=$?
(( status == 0 )) || { echo "the program ended with status $status" >&2; exit 1; }
[[ -f Konfiguration_ZT40.cfg ]] || { echo "no configuration written" >&2; exit 1; }
echo "smoke start: the window came up, ran and closed cleanly"
