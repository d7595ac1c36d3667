#!/usr/bin/env bash
# The game on an X screen of its own, of a given size and depth, with or
# without a window manager, started through the build tree's launcher as a
# player starts the installed one. The language screen must show the whole
# picture where the SDL 1.2 in use puts it, and ESC must end the program with
# status 0. On a screen smaller than the game's 1024x768 the start-up ends
# with the engine's message and status 1 instead.
#
# Where the picture goes: SDL 1.2 centres the 1024x768 picture on a larger
# screen. sdl12-compat scales it to the whole screen, keeping its shape, with
# black bars; where no window manager runs, the launcher turns that scaling
# off (game/launcher.sh.in says why) and the picture is centred as well.
# Usage: display.sh <source folder> <build folder> <work folder> <WxHxD> <none|openbox>
# shellcheck source=tests/blackbox/driver.sh
. "$(dirname "$0")/driver.sh"
source_dir="$1" build="$2" work="$3" screen="$4" window_manager="$5"
# shellcheck source=scripts/xvfb.sh
. "$source_dir/scripts/xvfb.sh"

# Normalised RMSE under which a capture shows the expected picture: room for
# the scaler's filter (0.0034 measured) and a 16-bit screen's colours
# (0.009); the picture shifted by 8 pixels gives 0.098, cut or misplaced
# by sdl12-compat without a window manager 0.15 to 0.19.
BB_SAME_SCREEN=0.03
WM_PID=""

start_xvfb "$screen" || { echo "FAIL: no X server with a $screen screen" >&2; exit 1; }
bb_init "$work"
display_cleanup() {
  bb_cleanup
  if [ -n "$WM_PID" ]; then
    kill "$WM_PID" 2>/dev/null || true
    wait "$WM_PID" 2>/dev/null || true
  fi
  stop_xvfb
}
trap display_cleanup EXIT
size=${screen%x*}
width=${size%x*} height=${size#*x}
echo "screen ${width}x${height}, depth ${screen##*x}, window manager: $window_manager, display $DISPLAY"

# openbox, from Debian; ready once its check window names itself.
start_window_manager() {
  command -v openbox >/dev/null || bb_fail "openbox is not installed (scripts/setup installs it)"
  openbox --sm-disable >"$BB_WORK/openbox.txt" 2>&1 &
  WM_PID=$!
  local deadline=$((SECONDS + 20)) check
  while :; do
    check=$(xprop -root -notype _NET_SUPPORTING_WM_CHECK 2>/dev/null || true)
    check=${check##*# }
    if [[ "$check" == 0x* ]] && xprop -id "$check" >/dev/null 2>&1; then return; fi
    kill -0 "$WM_PID" 2>/dev/null || bb_fail "openbox ended at once: $(cat "$BB_WORK/openbox.txt")"
    [ "$SECONDS" -lt "$deadline" ] || bb_fail "openbox was not ready within 20 s"
    sleep "$BB_POLL"
  done
}

# expected_picture <sdl12-compat: 0|1> <file>: the whole screen as it must look.
expected_picture() {
  local scaled="$1" out="$2" fit=()
  if [ "$scaled" = 1 ]; then fit=(-resize "${width}x${height}"); fi
  convert "$build/rsrc/menu_idiomas.jpg" "${fit[@]}" -background black -gravity center \
    -extent "${width}x${height}" "$out"
}

case "$window_manager" in
  openbox) start_window_manager ;;
  none) ;;
  *) bb_fail "unknown window manager $window_manager (none or openbox)" ;;
esac
unset SDL12COMPAT_OPENGL_SCALING   # the launcher decides
bb_start "$build" "$build/vessel-drift"

if [ "$width" -lt 1024 ] || [ "$height" -lt 768 ]; then
  bb_wait_exit 60
  bb_expect_status 1
  {
    printf '%s\n' \
      "Iniciando o modo de vídeo (OpenGL): 1024x768x32bpp" \
      "A aplicação requisitou um modo de vídeo em tela cheia." \
      "A Brisa2DLite vai verificar a disponibilidade do modo de vídeo requisitado."
    printf '%s%s\n' "O modo de vídeo não é suportado pelo hardware. Encerrando." \
      "Falhou ao iniciar a Brisa2D 2. Encerrando o programa."
  } >"$BB_WORK/expected.txt"
  bb_expect_output "$BB_WORK/expected.txt"
  echo "PASS: the start-up refuses a ${width}x${height} screen"
  exit 0
fi

bb_wait_line "$BB_LAST_LOAD_LINE" 60
compat=0
if grep -q '/sdl12-compat/libSDL-1\.2\.so' "/proc/$BB_PID/maps"; then compat=1; fi
scaled=0
if [ "$compat" = 1 ] && [ "$window_manager" != none ]; then scaled=1; fi
echo "SDL 1.2: $([ "$compat" = 1 ] && echo sdl12-compat || echo classic); picture $([ "$scaled" = 1 ] && echo scaled || echo centred)"
expected_picture "$scaled" "$BB_WORK/expected-language.png"
bb_find_window 30
bb_wait_screen "$BB_WORK/expected-language.png" language 30
echo "language screen: normalised RMSE $(bb_difference "$BB_SHOT" "$BB_WORK/expected-language.png")"

bb_quit_from_language_screen
echo "PASS: the whole picture on a $screen screen (window manager: $window_manager), ESC ends with 0"
