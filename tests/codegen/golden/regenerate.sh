#!/usr/bin/env bash
# Rewrites the golden files of this directory from cases.txt with a built quorvanel-cli:
#   tests/codegen/golden/regenerate.sh build/release/cli/quorvanel-cli
# The web-site and e-mail lines of the identification block (lines 3 and 4 of every C, VHDL
# and Verilog file) are replaced by markers, since their contents are ours to change.
set -euo pipefail
cli=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
while IFS= read -r line; do
  case "$line" in '#'*|'') continue ;; esac
  name=${line%%:*}
  read -r -a args <<< "${line#*: }"
  out="$here/$name"
  if [[ " ${args[*]} " == *" @OUT@ "* ]]; then
    "$cli" "${args[@]/@OUT@/$out}" > /dev/null
    case "$name" in
      *.c)   sed -i -e '3s/.*/<web site>/' -e '4s/.*/<e-mail>/' "$out" ;;
      *.vhd) sed -i -e '3s/.*/-- <web site>/' -e '4s/.*/-- <e-mail>/' "$out" ;;
      *.v)   sed -i -e '3s/.*/\/\/ <web site>/' -e '4s/.*/\/\/ <e-mail>/' "$out" ;;
    esac
  else
    "$cli" "${args[@]}" > "$out"
  fi
  echo "wrote $name"
done < "$here/cases.txt"
