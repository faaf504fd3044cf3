#!/usr/bin/env bash
# quorvanel --print-to-pdf end to end, without any display: one page with its title; for every
# refusal a message, a non-zero exit status and no file; pipes and device nodes written
# through and left what they are; names that are not UTF-8; no temporary file left anywhere.
# Usage: print-to-pdf-test.sh QUORVANEL QUORVANEL_CLI
set -uo pipefail
. "$(dirname "$0")/script-checks.sh"

print() {  # design, pdf; prints the exit status
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$work" \
    "$program" --print-to-pdf "$1" "$2" 2>"$work/stderr"
  echo $?
}

"$cli" --save "$work/default.qvd" >/dev/null
status=$(print "$work/default.qvd" "$work/default.pdf")
check "default design exits 0" "$status"
pages=$(pdfinfo "$work/default.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
[ "$pages" = 1 ]; check "one page" $?
pdftotext "$work/default.pdf" - | grep -q "Digital Filter Graphics"; check "title on the page" $?
pdftotext "$work/default.pdf" - | grep -q "Quorvanel version 0.8"; check "version line" $?
pdftotext "$work/default.pdf" - | grep -q "Cut Frequency: 100.000000 Hz"; check "summary" $?

"$cli" --save "$work/valid.qvd" >/dev/null
# Fcut1 above half the sampling frequency: the file opens but cannot be calculated.
head -c 32 "$work/valid.qvd" >"$work/invalid.qvd"
printf '\xbc\x02\x00\x00' >>"$work/invalid.qvd"      # fcut1 = 700
tail -c +37 "$work/valid.qvd" >>"$work/invalid.qvd"

refused() {  # name, design, pdf
  local status
  status=$(print "$2" "$3")
  [ "$status" -ne 0 ]; check "$1: non-zero exit" $?
  [ ! -e "$3" ]; check "$1: no file" $?
  [ -s "$work/stderr" ]; check "$1: a message" $?
}
refused "not calculable" "$work/invalid.qvd" "$work/invalid.pdf"
# A design with a tolerance scheme whose extension block lost its last byte.
"$cli" --pass 100 --stop 200 --save "$work/scheme.qvd" >/dev/null
head -c -1 "$work/scheme.qvd" >"$work/damaged.qvd"
refused "damaged extension block" "$work/damaged.qvd" "$work/damaged.pdf"
grep -q "extension block is damaged" "$work/stderr"; check "damaged block names it" $?
refused "missing design" "$work/absent.qvd" "$work/absent.pdf"
refused "unwritable path" "$work/default.qvd" "$work/no/such/dir/out.pdf"
grep -q "was not found" <(print "$work/absent.qvd" "$work/x.pdf" >/dev/null; cat "$work/stderr")
check "missing design names it" $?

# A pipe with a reader, and standard output into a pipe, receive the whole PDF.
mkfifo "$work/fifo.pdf"
cat "$work/fifo.pdf" >"$work/from-fifo.pdf" &
reader=$!
status=$(print "$work/default.qvd" "$work/fifo.pdf")
wait "$reader"
check "pipe exits 0" "$status"
[ -p "$work/fifo.pdf" ]; check "pipe stays a pipe" $?
pages=$(pdfinfo "$work/from-fifo.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
[ "$pages" = 1 ]; check "the pipe's reader gets the PDF" $?
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$work" \
  "$program" --print-to-pdf "$work/default.qvd" /dev/stdout 2>/dev/null | cat >"$work/piped.pdf"
check "/dev/stdout into a pipe exits 0" "${PIPESTATUS[0]}"
pages=$(pdfinfo "$work/piped.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
[ "$pages" = 1 ]; check "/dev/stdout gets the PDF" $?

# Device nodes stay nodes: a copy of /dev/null takes the PDF, a copy of /dev/full fails.
if mknod "$work/null.pdf" c 1 3 2>/dev/null && mknod "$work/full.pdf" c 1 7 2>/dev/null; then
  status=$(print "$work/default.qvd" "$work/null.pdf")
  check "null device exits 0" "$status"
  [ -c "$work/null.pdf" ]; check "null device stays a node" $?
  status=$(print "$work/default.qvd" "$work/full.pdf")
  [ "$status" -ne 0 ]; check "full device: non-zero exit" $?
  grep -q "The Output file cannot be closed!" "$work/stderr"; check "full device: message" $?
  [ -c "$work/full.pdf" ]; check "full device stays a node" $?
else
  echo "skipped: making device nodes needs root with the right to make them"
fi

# Names are bytes: one that is not UTF-8 reads and writes the file of exactly that name.
cp "$work/default.qvd" "$work/in"$'\xff'".qvd"
status=$(print "$work/in"$'\xff'".qvd" "$work/out"$'\xff'".pdf")
check "non-UTF-8 names exit 0" "$status"
[ -s "$work/out"$'\xff'".pdf" ]; check "non-UTF-8 output name written as given" $?
status=$(print "$work/missing"$'\xff'".qvd" "$work/x.pdf")
grep -q "missing"$'\xff'".qvd was not found" "$work/stderr"; check "non-UTF-8 name in the message" $?

[ -z "$(find "$work" -name '.quorvanel-*')" ]; check "no temporary file left" $?

finish
