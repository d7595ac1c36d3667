#!/usr/bin/env bash
# The real program under valgrind's memcheck along its shortest whole path:
# start-up, every common asset loaded, the language screen, ESC, shut-down.
# Passes when the program exits with status 0 after its shut-down report and
# memcheck found nothing (its --error-exitcode turns any error, and any
# definite leak, into a failure).
# Usage: game_language_esc.sh <vessel-drift> <folder holding rsrc/> <work folder> <valgrind> <options...>
set -euo pipefail

game="$1" folder="$2" work="$3"
shift 3
memcheck=("$@")

# The last line the game prints before its language screen reads the keyboard.
LAST_LOAD_LINE="Carregou o efeito ./rsrc/batida.wav."
SHUT_DOWN_END="Encerrou a SDL+OpenGL"
TITLE="Vessel Drift"
# Generous: under memcheck the start-up (ten 2048-pixel map tiles decoded,
# masked and uploaded) takes a minute or more on a busy machine.
START_SECONDS=600
EXIT_SECONDS=300
POLL=0.5

game_pid=""
escape_down=0

fail() {
  echo "FAIL: $*" >&2
  echo "--- the game's output:" >&2
  tail -n 20 "$work/stdout.txt" >&2 || true
  echo >&2
  echo "--- memcheck's report:" >&2
  cat "$work/memcheck.txt" >&2 || true
  exit 1
}

cleanup() {
  if [ "$escape_down" = 1 ]; then xdotool keyup Escape 2>/dev/null || true; fi
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
    kill -KILL "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
  fi
}

running() { [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; }

wait_for_line() {
  local deadline=$((SECONDS + START_SECONDS))
  until grep -qxF -- "$LAST_LOAD_LINE" "$work/stdout.txt"; do
    running || fail "the game ended before printing \"$LAST_LOAD_LINE\""
    [ "$SECONDS" -lt "$deadline" ] || fail "no \"$LAST_LOAD_LINE\" within $START_SECONDS s"
    sleep "$POLL"
  done
}

# xdotool's key events go to the focused window.
focus_window() {
  local window=""
  local deadline=$((SECONDS + 60))
  until [ -n "$window" ]; do
    window=$(xdotool search --name "^${TITLE}\$" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    running || fail "the game ended before its window appeared"
    [ "$SECONDS" -lt "$deadline" ] || fail "no window \"$TITLE\""
    sleep "$POLL"
  done
  xdotool windowfocus --sync "$window"
}

[ -n "${DISPLAY:-}" ] || fail "no X display: this test needs DISPLAY (scripts/test starts an Xvfb)"
for tool in "${memcheck[0]}" xdotool stdbuf; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
done
rm -rf "$work"
mkdir -p "$work"
: >"$work/stdout.txt"
trap cleanup EXIT
export SDL_AUDIODRIVER=dummy

# stdbuf and the subshell both exec, so $! is valgrind's process, which runs the game.
(cd "$folder" && exec stdbuf -oL "${memcheck[@]}" --log-file="$work/memcheck.txt" "$game") \
  >"$work/stdout.txt" 2>"$work/stderr.txt" &
game_pid=$!

wait_for_line
focus_window
# Held until the game has gone: under memcheck a frame takes a while, and the
# screen reads a key only on the frame after its press reaches a poll.
xdotool keydown Escape
escape_down=1
deadline=$((SECONDS + EXIT_SECONDS))
while running; do
  [ "$SECONDS" -lt "$deadline" ] || fail "the game was still running $EXIT_SECONDS s after ESC"
  sleep "$POLL"
done
status=0
wait "$game_pid" || status=$?
game_pid=""
xdotool keyup Escape
escape_down=0

[ "$status" = 0 ] || fail "exit status $status (memcheck's error exit status is set by the test's options)"
[ "$(tail -c ${#SHUT_DOWN_END} "$work/stdout.txt")" = "$SHUT_DOWN_END" ] ||
  fail "the output does not end with the shut-down report"
grep -q "ERROR SUMMARY: 0 errors" "$work/memcheck.txt" || fail "memcheck reported errors"
echo "PASS: start-up, language screen and ESC under memcheck"
