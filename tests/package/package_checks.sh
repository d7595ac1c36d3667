#!/usr/bin/env bash
# The checks of the Debian package, one per CTest test:
#   package_checks.sh <check> <build folder> <work folder> <version>
# `build` makes the package with the build's CPack configuration into
# <work>/cpack and unpacks it into <work>/root; every other check reads those.
# With VD_OUTPUT_TAG set the work folder is <work>-<tag>, so that two runs of
# the same build side by side (scripts/test's tests-compat) keep their own.
set -euo pipefail
check="$1"
build="$2"
work="$3${VD_OUTPUT_TAG:+-$VD_OUTPUT_TAG}"
version="$4"
here=$(cd "$(dirname "$0")" && pwd)
arch=$(dpkg --print-architecture)
deb="$work/cpack/vessel-drift_${version}_${arch}.deb"
root="$work/root"
launcher="$root/usr/games/vessel-drift"
usage="usage: vessel-drift [--help | --version]"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The one file under <root>/<folder> whose name ends with <suffix>.
only_file() {
  local found
  found=$(find "$root/$1" -maxdepth 1 -name "*$2")
  [ "$(printf '%s\n' "$found" | grep -c .)" = 1 ] || fail "expected one *$2 in /$1, found: ${found:-none}"
  echo "$found"
}

check_build() {
  rm -rf "$work"
  mkdir -p "$work"
  cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
  [ -f "$deb" ] || fail "no $deb; cpack made: $(ls "$work/cpack")"
  rm -rf "$work/cpack/_CPack_Packages"   # cpack's staging copy, 17 MB
  dpkg-deb -x "$deb" "$root"
  echo "package: $deb, $(du -k "$deb" | cut -f1) KiB"
}

# Every file and link is the expected one, owned by root, with the mode a
# player's system needs: the two programs executable, everything else not.
check_contents() {
  dpkg-deb -c "$deb" >"$work/listing.txt"
  awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' "$work/listing.txt" | LC_ALL=C sort >"$work/files.txt"
  if ! diff -u "$here/files.txt" "$work/files.txt"; then
    fail "the package's files differ from tests/package/files.txt (diff above: - expected, + packaged)"
  fi
  local wrong
  wrong=$(awk '
    $2 != "root/root" { print "owner " $2 ": " $6; next }
    $1 ~ /^d/ { if ($1 != "drwxr-xr-x") print $1 ": " $6; next }
    $6 == "./usr/games/vessel-drift" || $6 == "./usr/libexec/vessel-drift/vessel-drift" {
      if ($1 != "-rwxr-xr-x") print $1 ": " $6; next }
    $1 != "-rw-r--r--" { print $1 ": " $6 }' "$work/listing.txt")
  [ -z "$wrong" ] || fail "wrong owner or mode: $wrong"
}

# The control fields, and dependencies that a system with the SDL 1.2 library
# or with sdl12-compat's drop-in replacement both satisfy.
check_control() {
  local field expected got
  while IFS='|' read -r field expected; do
    got=$(dpkg-deb -f "$deb" "$field")
    [ "$got" = "$expected" ] || fail "$field is \"$got\", expected \"$expected\""
  done <<EOF
Package|vessel-drift
Version|$version
Architecture|$arch
Section|games
Priority|optional
EOF
  local description
  description=$(dpkg-deb -f "$deb" Description)
  [ "$(printf '%s\n' "$description" | sed -n '2,$p' | grep -c .)" -ge 5 ] ||
    fail "the description has no extended text: $description"
  local depends package
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $depends"
  printf '%s\n' "$depends" | tr ',' '\n' | sed -E 's/^ *//; s/[ (].*//' >"$work/depends.txt"
  for package in libc6 libstdc++6 libgl1 libsdl1.2debian libsdl-image1.2 libsdl-mixer1.2; do
    grep -qxF "$package" "$work/depends.txt" || fail "Depends lacks $package: $depends"
  done
  # libsdl1.2-compat-shim replaces libsdl1.2debian and provides it at this version.
  local shim_provides="1.2.15-1" clause op bound
  clause=$(printf '%s\n' "$depends" | tr ',' '\n' | grep -E '^ *libsdl1.2debian')
  if [[ "$clause" =~ \((>=|>>|=)\ ([^\)]+)\) ]]; then
    op=${BASH_REMATCH[1]}
    bound=${BASH_REMATCH[2]}
    case "$op" in '>=') op=ge ;; '>>') op=gt ;; '=') op=eq ;; esac
    dpkg --compare-versions "$shim_provides" "$op" "$bound" ||
      fail "sdl12-compat's libsdl1.2debian ($shim_provides) does not satisfy $clause"
  fi
}

# Errors fail the check; every tag lintian gives is printed.
check_lintian() {
  local status=0
  lintian --fail-on error --display-info --no-tag-display-limit "$deb" >"$work/lintian.txt" 2>&1 || status=$?
  cat "$work/lintian.txt"
  [ "$status" = 0 ] || fail "lintian reports errors (status $status)"
  ! grep -q '^W: ' "$work/lintian.txt" || fail "lintian warns"
}

check_desktop_entry() {
  local entry
  entry=$(only_file usr/share/applications .desktop)
  desktop-file-validate "$entry" >"$work/desktop.txt" 2>&1 || true
  [ ! -s "$work/desktop.txt" ] || { cat "$work/desktop.txt"; fail "desktop-file-validate complains"; }
  local line
  for line in "Exec=vessel-drift" "Icon=vessel-drift" "Terminal=false" "Categories=Game;ArcadeGame;" \
      "Type=Application"; do
    grep -qxF "$line" "$entry" || fail "the desktop entry lacks $line"
  done
  for line in Name GenericName Comment Keywords GenericName'\[pt\]' GenericName'\[pt_BR\]' \
      Comment'\[pt\]' Comment'\[pt_BR\]' Keywords'\[pt\]' Keywords'\[pt_BR\]'; do
    grep -qE "^$line=." "$entry" || fail "the desktop entry lacks ${line//\\/}"
  done
  # What it names is in the package: the command on the PATH, the icon in the theme.
  [ -x "$launcher" ] || fail "Exec names vessel-drift, but there is no /usr/games/vessel-drift"
  [ -f "$root/usr/share/icons/hicolor/48x48/apps/vessel-drift.png" ] || fail "no 48 px icon for Icon=vessel-drift"
}

check_metainfo() {
  local metainfo entry id
  metainfo=$(only_file usr/share/metainfo .metainfo.xml)
  entry=$(only_file usr/share/applications .desktop)
  local status=0
  appstreamcli validate --no-net --explain "$metainfo" >"$work/appstream.txt" 2>&1 || status=$?
  cat "$work/appstream.txt"
  [ "$status" = 0 ] || fail "appstreamcli validate failed (status $status)"
  ! grep -qE '^[EW]: ' "$work/appstream.txt" || fail "appstreamcli reports errors or warnings"
  id=$(basename "$metainfo" .metainfo.xml)
  grep -qF "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not its file name $id"
  grep -qF "<launchable type=\"desktop-id\">$(basename "$entry")</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $(basename "$entry")"
  grep -qE "<release version=\"$version\" date=\"[0-9]{4}-[0-9]{2}-[0-9]{2}\"" "$metainfo" ||
    fail "no release $version with a date in the metainfo"
}

# Renders without a warning; has every section a player looks for; the files
# it names are where the package puts them.
check_manual_page() {
  local page="$root/usr/share/man/man6/vessel-drift.6.gz"
  [ -f "$page" ] || fail "no manual page at /usr/share/man/man6/vessel-drift.6.gz"
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$work/man.txt" 2>"$work/man-warnings.txt"
  [ ! -s "$work/man-warnings.txt" ] || { cat "$work/man-warnings.txt"; fail "the manual page renders with warnings"; }
  local section
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS KEYS FILES "EXIT STATUS" "STANDARD OUTPUT"; do
    grep -qx "$section" "$work/man.txt" || fail "the manual page has no $section section"
  done
  local option
  for option in --help --version; do
    grep -q -- "$option" "$work/man.txt" || fail "the manual page does not name $option"
  done
  grep -q "Vessel Drift $version" "$work/man.txt" || fail "the manual page does not give version $version"
  local path
  sed -n '/^FILES$/,/^[A-Z]/p' "$work/man.txt" | grep -oE '/usr/[^ ]+' >"$work/man-files.txt"
  [ -s "$work/man-files.txt" ] || fail "the manual page's FILES section names no file"
  while IFS= read -r path; do
    [ -e "$root$path" ] || fail "the manual page names $path, which the package lacks"
  done <"$work/man-files.txt"
}

# run_launcher <args...>: runs the unpacked launcher with no display, so that
# a launcher that started the game would show it in its output and status.
run_launcher() {
  launcher_status=0
  env -u DISPLAY "$launcher" "$@" >"$work/out.txt" 2>"$work/err.txt" || launcher_status=$?
}

check_launcher_options() {
  run_launcher --version
  [ "$launcher_status" = 0 ] || fail "--version: status $launcher_status"
  [ "$(cat "$work/out.txt")" = "Vessel Drift $version" ] || fail "--version printed: $(cat "$work/out.txt")"
  [ ! -s "$work/err.txt" ] || fail "--version wrote to standard error: $(cat "$work/err.txt")"

  run_launcher --help
  [ "$launcher_status" = 0 ] || fail "--help: status $launcher_status"
  [ ! -s "$work/err.txt" ] || fail "--help wrote to standard error: $(cat "$work/err.txt")"
  [ "$(head -n 1 "$work/out.txt")" = "$usage" ] || fail "--help does not start with the usage"
  local text
  # Both languages' keys, and the unpacked tree's own folders (found from the launcher).
  for text in "Português" "English" "Espaço" "Space" "J, Enter, Espaço" "P, Enter, Space" \
      "1 2 3 4 Q W E R A S D F" "7 8 9 0 U I O P H J K L" \
      "$root/usr/share/games/vessel-drift/rsrc/" "$root/usr/libexec/vessel-drift/vessel-drift"; do
    grep -qF -- "$text" "$work/out.txt" || fail "--help does not mention \"$text\""
  done

  # Every other argument list: one usage line on standard error, status 2.
  local args
  while IFS= read -r args; do
    eval "run_launcher $args"
    [ "$launcher_status" = 2 ] || fail "arguments $args: status $launcher_status, expected 2"
    [ ! -s "$work/out.txt" ] || fail "arguments $args wrote to standard output: $(cat "$work/out.txt")"
    [ "$(cat "$work/err.txt")" = "$usage" ] || fail "arguments $args: standard error was: $(cat "$work/err.txt")"
  done <<'EOF'
--bogus
-h
help
''
--help --version
--version --version
--help extra
EOF
}

case "$check" in
  build | contents | control | lintian | desktop_entry | metainfo | manual_page | launcher_options)
    if [ "$check" != build ]; then [ -f "$deb" ] || fail "no package at $deb (package.build makes it)"; fi
    "check_$check"
    echo "PASS: package $check"
    ;;
  *) fail "unknown check $check" ;;
esac
