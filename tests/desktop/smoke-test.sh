#!/usr/bin/env bash
# Starts the real program under a virtual X server with a design file, waits for its window,
# opens and cancels Save As, closes it through File > Exit and checks that it ends cleanly. The
# file's name is not UTF-8: the window shows it as its title only when the program opened that
# very file.
# Usage: smoke-test.sh QUORVANEL QUORVANEL_CLI
set -euo pipefail

if [ "${1:-}" = --inside-display ]; then
  program=$2
  design=$3
  "$program" "$design" &
  pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^smoke.*\.qvd - Quorvanel$' | head -n 1 || true)
  if [ -z "$window" ]; then
    echo "smoke: the window did not appear" >&2
    kill "$pid"
    exit 1
  fi
  xdotool windowfocus --sync "$window"
  # Dialogs carry their own caption alone, without the application's name appended.
  xdotool key --delay 150 ctrl+a
  dialog=$(timeout 20 xdotool search --sync --onlyvisible --name '^Save As' | head -n 1 || true)
  # The search also matches the Latin-1 name; the caption shown is the UTF-8 one.
  caption=$([ -n "$dialog" ] && xdotool getwindowname "$dialog")
  if [ "$caption" != "Save As" ]; then
    echo "smoke: the Save As dialog is captioned \"$caption\"" >&2
    kill "$pid"
    exit 1
  fi
  xdotool windowfocus --sync "$dialog"
  xdotool key --delay 150 Escape
  xdotool windowfocus --sync "$window"
  xdotool key --delay 150 alt+f x
  for _ in $(seq 50); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      exit $?
    fi
    sleep 0.2
  done
  echo "smoke: the program did not exit after File > Exit" >&2
  kill "$pid"
  exit 1
fi

program=$1
cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
design="$work/smoke"$'\xff'".qvd"
"$cli" --order 4 --save "$design" >/dev/null
# The real window needs the X platform, whatever the widget tests around it use.
unset QT_QPA_PLATFORM
HOME=$work XDG_CONFIG_HOME=$work xvfb-run -a -s "-screen 0 1600x1000x24" \
  "$0" --inside-display "$program" "$design"
echo "smoke: window shown and closed cleanly"
