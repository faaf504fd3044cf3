#!/usr/bin/env bash
# Starts the real program under a virtual X server that resets itself whenever its last client
# leaves (xvfb-run's Xvfb does). The display check's connection must still be open when Qt makes
# its own, or Qt may meet the server in the middle of its reset: then it cannot connect and
# aborts the program, or it waits for the reset to end. Checked in the system calls (strace),
# and by ten starts in a row as the display's only client, each of which must reach its window.
# Usage: startup-test.sh QUORVANEL
set -euo pipefail
starts=10

if [ "${1:-}" = --inside-display ]; then
  program=$2
  work=$3
  # The first connection to the display is the check; it must be closed only after the
  # second, Qt's, is made.
  strace -f -e trace=connect,close -o "$work/calls" "$program" &
  pid=$!
  window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Untitled - Quorvanel$' | head -n 1)
  # The program itself, not strace, which outlives a signal of its own.
  kill "$(xdotool getwindowpid "$window")"
  wait "$pid" 2>/dev/null || true
  awk '
    /connect\(.*X11-unix/ { connects++; if (connects == 1) { split($2, c, /[(,]/); check = c[2] } else if (connects == 2) second = NR }
    connects == 1 && check != "" && $2 ~ "^close\\(" check "\\)" { closed = NR }
    END {
      if (connects < 2) { print "startup: fewer than two connections to the display"; exit 1 }
      if (closed != "" && closed < second) { print "startup: the display check closed its connection before Qt connected"; exit 1 }
    }' "$work/calls"
  for run in $(seq "$starts"); do
    "$program" &
    pid=$!
    if ! timeout 60 xdotool search --sync --onlyvisible --name '^Untitled - Quorvanel$' >/dev/null; then
      echo "startup: start $run did not reach its window" >&2
      kill "$pid" 2>/dev/null || true
      exit 1
    fi
    kill "$pid"
    wait "$pid" 2>/dev/null || true
  done
  exit 0
fi

program=$1
unset QT_QPA_PLATFORM
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
HOME=$work XDG_CONFIG_HOME=$work xvfb-run -a -s "-screen 0 1600x1000x24" \
  "$0" --inside-display "$program" "$work"
