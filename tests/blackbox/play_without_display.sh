#!/usr/bin/env bash
# scripts/play with no display says so and exits non-zero at once, before it
# installs or builds anything. Its build folder is pointed into the work
# folder, so a play script that went on would not touch a real build.
# Usage: play_without_display.sh <source folder> <work folder>
set -euo pipefail
source_dir="$1" work="$2"
rm -rf "$work"
mkdir -p "$work"

status=0
env -u DISPLAY VD_BUILD_DIR="$work/build" bash "$source_dir/scripts/play" \
  >"$work/stdout.txt" 2>"$work/stderr.txt" || status=$?

fail() { echo "FAIL: $*" >&2; cat "$work/stderr.txt" >&2; exit 1; }
[ "$status" -ne 0 ] || fail "scripts/play exited 0 without a display"
grep -q "no display" "$work/stderr.txt" || fail "scripts/play did not say that there is no display"
[ ! -e "$work/build" ] || fail "scripts/play started a build although it cannot show the game"
echo "PASS: scripts/play refuses to start without a display (status $status)"
