#!/usr/bin/env bash
# A language key, then the main menu's quit key: the menu of that language
# appears, the program ends with status 0 and prints nothing between its
# start-up and shut-down reports (the language pictures all loaded).
# Usage: menu_quit.sh <vessel-drift> <folder holding rsrc/> <work folder>
#                     <language key> <menu picture> <quit key>
# shellcheck source=tests/blackbox/driver.sh
. "$(dirname "$0")/driver.sh"
game="$1" folder="$2" language_key="$4" menu_picture="$5" quit_key="$6"
bb_init "$3"

bb_start "$folder" "$game"
bb_wait_line "$BB_LAST_LOAD_LINE" 60
bb_find_window 30
bb_wait_screen "$folder/rsrc/menu_idiomas.jpg" language 30
bb_tap "$language_key"
bb_wait_screen "$folder/rsrc/$menu_picture" menu 30
bb_tap_until_exit "$quit_key" 30

bb_expect_status 0
bb_expected_clean_output >"$BB_WORK/expected.txt"
bb_expect_output "$BB_WORK/expected.txt"
echo "PASS: $language_key then $quit_key in the menu"
