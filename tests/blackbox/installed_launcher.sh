#!/usr/bin/env bash
# cmake --install into a fresh prefix gives a launcher that starts the game
# with all its files from any working directory, called by its installed path
# or through a symbolic link elsewhere.
# Usage: installed_launcher.sh <build folder> <work folder>
# shellcheck source=tests/blackbox/driver.sh
. "$(dirname "$0")/driver.sh"
build="$1"
bb_init "$2"

prefix="$BB_WORK/prefix"
cmake --install "$build" --prefix "$prefix" >"$BB_WORK/install.log" 2>&1 ||
  bb_fail "cmake --install failed: $(tail -n 5 "$BB_WORK/install.log")"
launcher="$prefix/games/vessel-drift"
[ -x "$launcher" ] || bb_fail "no launcher at $launcher"

# Somewhere with no rsrc/ of its own, and a link to the launcher from there.
elsewhere="$BB_WORK/elsewhere"
mkdir -p "$elsewhere"
ln -s "$launcher" "$elsewhere/vd"

# The launcher asks malloc for huge pages; where the kernel grants them on
# request, the game's loaded pictures sit in some.
expect_huge_pages() {
  tr '\0' '\n' <"/proc/$BB_PID/environ" >"$BB_WORK/environ.txt"
  grep -qx 'GLIBC_TUNABLES=glibc.malloc.hugetlb=1' "$BB_WORK/environ.txt" ||
    bb_fail "the game's GLIBC_TUNABLES: $(grep '^GLIBC_TUNABLES=' "$BB_WORK/environ.txt" || echo unset)"
  if grep -q '\[never\]' /sys/kernel/mm/transparent_hugepage/enabled 2>/dev/null; then return; fi
  local huge_kib
  huge_kib=$(awk '/^AnonHugePages:/ {print $2}' "/proc/$BB_PID/smaps_rollup")
  echo "huge pages in use: ${huge_kib} KiB"
  [ "${huge_kib:-0}" -gt 0 ] || bb_fail "the game holds no huge pages"
}

unset GLIBC_TUNABLES
for program in "$launcher" "$elsewhere/vd"; do
  bb_start "$elsewhere" "$program"
  bb_wait_line "$BB_LAST_LOAD_LINE" 60
  bb_find_window 30
  bb_wait_screen "$prefix/share/games/vessel-drift/rsrc/menu_idiomas.jpg" language 30
  expect_huge_pages
  # Every file was found: no load error between start-up and shut-down.
  bb_quit_from_language_screen
  echo "PASS: $program"
done
rm -rf "$prefix"   # 20 MB of installed files; the captures and output stay
