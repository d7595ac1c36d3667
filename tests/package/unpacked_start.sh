#!/usr/bin/env bash
# The package's launcher, unpacked with dpkg-deb -x rather than installed,
# starts the game from any folder: the language screen comes up with every
# file found, and ESC ends the game with status 0.
# Usage: unpacked_start.sh <package work folder> <work folder>
# (the package's checks unpack it into <package work folder>/root, or into
# <package work folder>-<tag>/root when VD_OUTPUT_TAG names the run)
# shellcheck source=tests/blackbox/driver.sh
. "$(dirname "$0")/../blackbox/driver.sh"
root="$1${VD_OUTPUT_TAG:+-$VD_OUTPUT_TAG}/root"
bb_init "$2"

launcher="$root/usr/games/vessel-drift"
[ -x "$launcher" ] || bb_fail "no launcher at $launcher"
elsewhere="$BB_WORK/elsewhere"   # a folder with no rsrc/ of its own
mkdir -p "$elsewhere"

bb_start "$elsewhere" "$launcher"
bb_wait_line "$BB_LAST_LOAD_LINE" 60
bb_find_window 30
bb_wait_screen "$root/usr/share/games/vessel-drift/rsrc/menu_idiomas.jpg" language 30
bb_quit_from_language_screen
echo "PASS: $launcher"
