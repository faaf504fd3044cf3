#!/usr/bin/env bash
# Both programs under a file-size limit (ulimit -f), with the system's default action for
# SIGXFSZ, which ends a program in the middle of its write unless the program ignores the
# signal: every output must fail with its message and status, keep the previous file byte for
# byte and leave no temporary file.
# Usage: file-size-limit-test.sh QUORVANEL QUORVANEL_CLI
set -uo pipefail
. "$(dirname "$0")/script-checks.sh"
previous="previous contents"
output_failed=3  # quorvanel-cli: an output could not be written
print_refused=2  # quorvanel --print-to-pdf: nothing printed

limited() {  # command...; runs it with files limited to nothing, SIGXFSZ at its default
  # Its stderr goes through a pipe: the limit holds for every file the program writes to.
  (trap - XFSZ; ulimit -f 0; exec "$@") 2>&1 >/dev/null | cat >"$work/stderr"
  return "${PIPESTATUS[0]}"
}

kept() {  # name, target, expected status, actual status, message pattern
  [ "$4" -eq "$3" ]; check "$1: exit status $3 (got $4)" $?
  grep -q "$5" "$work/stderr"; check "$1: message" $?
  [ "$(cat "$2")" = "$previous" ]; check "$1: previous file kept" $?
  [ "$(ls -A "$work/out")" = "$(basename "$2")" ]; check "$1: no temporary file" $?
  rm -f "$2"
}

"$cli" --save "$work/default.qvd" >/dev/null
"$cli" --class fir --model rectangle --taps 511 --quant 16 --save "$work/fir.qvd" >/dev/null
mkdir "$work/out"

for output in c vhdl gif save; do
  target="$work/out/target.$output"
  printf %s "$previous" >"$target"
  limited "$cli" --open "$work/fir.qvd" "--$output" "$target"
  kept "quorvanel-cli --$output" "$target" "$output_failed" $? "cannot be closed\|Failed to save"
done

target="$work/out/target.pdf"
printf %s "$previous" >"$target"
limited env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$work" \
  "$program" --print-to-pdf "$work/default.qvd" "$target"
kept "quorvanel --print-to-pdf" "$target" "$print_refused" $? "cannot be closed"

finish
