#!/usr/bin/env bash
# A sweep split over processes with GNU parallel, as the README's "Large sweeps" shows it, answers
# byte for byte as one run of the whole batch: the full answers and a --fields selection, with
# refused lines among the designs.
set -euo pipefail
cli=$1
if ! command -v parallel >/dev/null; then
  echo "GNU parallel is not installed (scripts/install-deps installs it)" >&2
  exit 1
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# 200 lines of every class, band, model and quantisation, a fixed pseudo-random sequence; some
# are refused by the calculation, one in fifty is no specification at all.
awk 'BEGIN {
  seed = 7
  for (i = 0; i < 200; i++) {
    seed = (seed * 1103515245 + 12345) % 2147483648; r = seed
    if (i % 50 == 49) { print "{\"order\": \"three\"}"; continue }
    cls = r % 2; band = int(r / 2) % 4; model = int(r / 8) % (cls ? 5 : 3)
    order = 1 + int(r / 64) % 12; fs = 1000 * (1 + int(r / 1024) % 8)
    fc1 = 1 + int(r / 8192) % (fs / 2); fc2 = fc1 + int(r / 65536) % (fs / 2)
    taps = 3 + int(r / 4096) % 200; quant = int(r / 16) % 3
    printf "{\"filterClass\":%d,\"bandType\":%d,\"model\":%d,\"order\":%d,\"fsample\":%d,", cls, band, model, order, fs
    printf "\"fcut1\":%d,\"fcut2\":%d,\"taps\":%d,\"quantization\":%d}\n", fc1, fc2, taps, quant
  }
}' > "$dir/specs.jsonl"

for fields in "" "--fields design,poles"; do
  # shellcheck disable=SC2086  # the selection is two words or none
  "$cli" --batch $fields < "$dir/specs.jsonl" > "$dir/single.jsonl"
  # Small blocks, so that the 200 lines go to many processes.
  # shellcheck disable=SC2086
  parallel --will-cite --pipe --keep-order --block 4k -j 2 "$cli" --batch --jobs 1 $fields \
    < "$dir/specs.jsonl" > "$dir/split.jsonl"
  if [ "$(wc -l < "$dir/single.jsonl")" -ne 200 ]; then
    echo "the single run did not answer every line" >&2
    exit 1
  fi
  if ! cmp "$dir/single.jsonl" "$dir/split.jsonl"; then
    echo "the split run ${fields:-with full answers} differs from the single run" >&2
    exit 1
  fi
done
echo "parallel sweep: byte for byte the single run's answers"
