#!/usr/bin/env bash
# A termination signal sent to the real program from outside, as `kill`,
# Ctrl+C in its terminal or closing that terminal send one, on one kind of
# screen: the program ends through its normal shut-down (the engine's
# shut-down report is its last output) with status 128 + the signal.
# Usage: signal.sh <vessel-drift> <folder holding rsrc/> <work folder>
#                  <language|menu|credits|run> <TERM|INT|HUP>
# shellcheck source=tests/blackbox/driver.sh
. "$(dirname "$0")/driver.sh"
game="$1" folder="$2" screen="$4" signal="$5"
bb_init "$3"
number=$(kill -l "$signal") || bb_fail "no signal $signal"

bb_start "$folder" "$game"
bb_wait_line "$BB_LAST_LOAD_LINE" 60
bb_find_window 30
bb_wait_screen "$folder/rsrc/menu_idiomas.jpg" language 30
if [ "$screen" != language ]; then
  bb_tap p
  bb_wait_screen "$folder/rsrc/menup.jpg" menu 30
fi
case "$screen" in
  language | menu) ;;
  credits)
    bb_tap c
    bb_wait_screen "$folder/rsrc/creditosp.jpg" credits 30
    ;;
  run)
    bb_tap Return
    bb_wait_screen "$folder/rsrc/abertura4p.jpg" opening 30
    bb_tap space
    bb_expect_motion run 30
    ;;
  *) bb_fail "unknown screen $screen" ;;
esac

sent=$(date +%s%N)
kill "-$signal" "$BB_PID"
bb_wait_exit 30
echo "SIG$signal to the end of the program: $((($(date +%s%N) - sent) / 1000000)) ms"
bb_expect_status $((128 + number))
bb_expected_clean_output >"$BB_WORK/expected.txt"
bb_expect_output "$BB_WORK/expected.txt"
echo "PASS: SIG$signal on the $screen screen ends the program through its shut-down"
