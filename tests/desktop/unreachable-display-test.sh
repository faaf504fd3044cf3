#!/usr/bin/env bash
# quorvanel with DISPLAY naming a display that no X server answers: one line naming the display
# and exit status 1, no abort; printing to a PDF needs no display and still works.
# Usage: unreachable-display-test.sh QUORVANEL QUORVANEL_CLI
set -uo pipefail
. "$(dirname "$0")/script-checks.sh"

number=4077
while [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number + 1)); done
display=":$number"

run() {  # arguments...; prints the exit status
  env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" HOME="$work" \
    timeout 60 "$program" "$@" 2>"$work/stderr" </dev/null
  echo $?
}

status=$(run)
[ "$status" -eq 1 ]; check "exit status 1 (got $status)" $?
[ "$(wc -l <"$work/stderr")" -eq 1 ]; check "one line" $?
grep -q "\"$display\"" "$work/stderr"; check "the line names the display" $?

"$cli" --save "$work/default.qvd" >/dev/null
status=$(run --print-to-pdf "$work/default.qvd" "$work/default.pdf")
[ "$status" -eq 0 ]; check "--print-to-pdf exits 0 (got $status)" $?
[ -s "$work/default.pdf" ]; check "--print-to-pdf writes the PDF" $?

finish
