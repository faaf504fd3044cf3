#!/usr/bin/env bash
# cmake --install into a staging prefix puts the program, its desktop entry, icon and the
# design-file type where a desktop finds them.
# Usage: install-test.sh BUILD_DIR
set -euo pipefail
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cmake --install "$1" --prefix "$stage" >/dev/null
failures=0
for file in bin/quorvanel share/applications/quorvanel.desktop \
            share/icons/hicolor/scalable/apps/quorvanel.svg share/mime/packages/quorvanel.xml; do
  if [ ! -s "$stage/$file" ]; then
    echo "FAIL: $file not installed" >&2
    failures=$((failures + 1))
  fi
done
[ -x "$stage/bin/quorvanel" ] || { echo "FAIL: program not executable" >&2; failures=$((failures + 1)); }
grep -q '^MimeType=application/x-quorvanel-design;' "$stage/share/applications/quorvanel.desktop" ||
  { echo "FAIL: desktop entry names no design-file type" >&2; failures=$((failures + 1)); }
grep -q '<glob pattern="\*.qvd"/>' "$stage/share/mime/packages/quorvanel.xml" ||
  { echo "FAIL: type without the .qvd pattern" >&2; failures=$((failures + 1)); }
grep -q '<comment>Filter Document</comment>' "$stage/share/mime/packages/quorvanel.xml" ||
  { echo "FAIL: type without its description" >&2; failures=$((failures + 1)); }
echo "$((7 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
