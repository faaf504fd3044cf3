# What the script tests of the real programs share, sourced with the script's own arguments
# (QUORVANEL QUORVANEL_CLI): the two programs, a scratch directory removed at exit, and the
# counting of the checks that held.
program=$1
cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
passed=0

check() {  # name, condition (0 = holds)
  if [ "$2" -eq 0 ]; then
    passed=$((passed + 1))
  else
    echo "FAIL: $1" >&2
    failures=$((failures + 1))
  fi
}

# Prints the counts; the status is 0 when every check held.
finish() {
  echo "$passed passed, $failures failed"
  [ "$failures" -eq 0 ]
}
