#!/usr/bin/env bash
# Remakes golden/default_design.gif, the picture that quorvanel-cli writes for the default
# design (IIR Butterworth low pass of order 2, 100 Hz at 1000 Hz). Run it only after a change of
# the picture has been looked at and found right.
#   tests/picture/make-golden.sh [BUILD_DIR]    (default: build/release, with quorvanel-cli built)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-"$here/../../build/release"}
"$build/cli/quorvanel-cli" --gif "$here/golden/default_design.gif"
