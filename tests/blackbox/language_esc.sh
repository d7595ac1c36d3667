#!/usr/bin/env bash
# ESC on the language screen ends the program at once with status 0; its
# output is the start-up report followed by the shut-down report, nothing else.
# Usage: language_esc.sh <vessel-drift> <folder holding rsrc/> <work folder>
# shellcheck source=tests/blackbox/driver.sh
. "$(dirname "$0")/driver.sh"
game="$1" folder="$2"
bb_init "$3"

bb_start "$folder" "$game"
bb_wait_line "$BB_LAST_LOAD_LINE" 60
bb_find_window 30
geometry=$(xdotool getwindowgeometry --shell "$BB_WINDOW" | grep -E '^(WIDTH|HEIGHT)=' | tr '\n' ' ')
[ "$geometry" = "WIDTH=1024 HEIGHT=768 " ] || bb_fail "window is not 1024x768: $geometry"
bb_wait_screen "$folder/rsrc/menu_idiomas.jpg" language 30

bb_quit_from_language_screen
echo "PASS: ESC on the language screen"
