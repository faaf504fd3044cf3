#!/usr/bin/env bash
# Starts the real program under a virtual X server with a design file, waits for its window,
# closes it through File > Exit and checks that it ends cleanly.
# Usage: smoke_test.sh QUORVANEL QUORVANEL_CLI
set -euo pipefail
program=$1
cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cli" --order 4 --save "$work/smoke.qvd" >/dev/null

run_session() {
  "$program" "$work/smoke.qvd" &
  local pid=$!
  local window
  window=$(timeout 20 xdotool search --sync --name '^smoke\.qvd - Quorvanel$' | head -n 1)
  if [ -z "$window" ]; then
    echo "smoke: the window did not appear" >&2
    kill "$pid"
    return 1
  fi
  xdotool windowfocus --sync "$window"
  xdotool key --window "$window" --delay 100 alt+f x
  local waited=0
  while kill -0 "$pid" 2>/dev/null; do
    sleep 0.2
    waited=$((waited + 1))
    if [ "$waited" -gt 50 ]; then
      echo "smoke: the program did not exit after File > Exit" >&2
      kill "$pid"
      return 1
    fi
  done
  wait "$pid"
}
export -f run_session
export program work
HOME="$work" xvfb-run -a -s "-screen 0 1600x1000x24" bash -c run_session
echo "smoke: window shown and closed cleanly"
