# shellcheck shell=bash
# Sourced by the black-box tests: runs the real vessel-drift binary on the X
# display in DISPLAY, presses keys with xdotool, reads its standard output and
# looks at the screen with ImageMagick.
#
# The game reads a key only when its press and its release reach different
# polls of the event queue (one poll per frame), so every key is held across
# several frames. Keys pressed while the game is still loading are queued and
# a press queued together with its release is lost, so a test first waits for
# the screen or the output line that shows the game is listening.
set -euo pipefail

BB_HOLD=0.15          # seconds a tapped key stays down: several frames at 60 per second
BB_POLL=0.1           # seconds between two looks at the output or the window
BB_SAME_SCREEN=0.005  # normalised RMSE under which a capture shows a given picture
BB_LAST_LOAD_LINE="Carregou o efeito ./rsrc/batida.wav."
BB_TITLE="Vessel Drift"

BB_PID=""             # the game's process, the only one these functions ever stop
BB_OUT=""             # its standard output, line-buffered into a file
BB_WINDOW=""          # its X window
BB_STATUS=""          # its exit status once it has ended
BB_HELD=()            # keys currently down, released again on any way out
BB_SHOTS=0            # captures taken, numbered into the work folder
BB_SHOT=""            # the last capture

bb_fail() {
  echo "FAIL: $*" >&2
  if [ -n "$BB_OUT" ] && [ -f "$BB_OUT" ]; then
    echo "--- last lines of the game's output:" >&2
    tail -n 20 "$BB_OUT" >&2
    echo >&2
  fi
  exit 1
}

bb_cleanup() {
  local key
  for key in "${BB_HELD[@]}"; do xdotool keyup "$key" 2>/dev/null || true; done
  BB_HELD=()
  if [ -n "$BB_PID" ] && kill -0 "$BB_PID" 2>/dev/null; then
    # A test that failed half-way: no shut-down is waited for.
    kill -KILL "$BB_PID" 2>/dev/null || true
    wait "$BB_PID" 2>/dev/null || true
  fi
}

# bb_init <work folder>: a fresh work folder for this test's output and
# captures; <work folder>-<tag> when VD_OUTPUT_TAG names the run, so that two
# runs of the same build side by side keep their own.
bb_init() {
  if [ -z "${DISPLAY:-}" ]; then
    bb_fail "no X display: these tests need DISPLAY (scripts/test starts an Xvfb)"
  fi
  local tool
  for tool in xdotool import compare stdbuf; do
    command -v "$tool" >/dev/null || bb_fail "$tool is not installed (scripts/setup installs it)"
  done
  # No test may depend on a sound card; the dummy driver still decodes every file.
  export SDL_AUDIODRIVER=dummy
  BB_WORK="$1${VD_OUTPUT_TAG:+-$VD_OUTPUT_TAG}"
  rm -rf "$BB_WORK"
  mkdir -p "$BB_WORK"
  trap bb_cleanup EXIT
}

# bb_start <folder> <program>: starts the program with <folder> as its working
# directory (where it finds rsrc/), its output line-buffered into the work
# folder, and the termination signals at their default actions, as a
# terminal starts a program (a script's background job ignores SIGINT).
bb_start() {
  local folder="$1" program="$2"
  BB_OUT="$BB_WORK/stdout.txt"
  BB_STATUS=""
  BB_WINDOW=""
  # env, stdbuf and the subshell all exec, so $! is the game's own process id.
  (cd "$folder" && exec env --default-signal=HUP,INT,TERM stdbuf -oL "$program") \
    >"$BB_OUT" 2>"$BB_WORK/stderr.txt" &
  BB_PID=$!
}

bb_running() { [ -n "$BB_PID" ] && kill -0 "$BB_PID" 2>/dev/null; }

# bb_wait_line <text> <seconds>: waits until a whole output line equals <text>.
bb_wait_line() {
  local text="$1" deadline=$((SECONDS + $2))
  while ! grep -qxF -- "$text" "$BB_OUT"; do
    bb_running || bb_fail "the game ended before printing \"$text\""
    [ "$SECONDS" -lt "$deadline" ] || bb_fail "no line \"$text\" within $2 s"
    sleep "$BB_POLL"
  done
}

# bb_find_window <seconds>: finds the game's window by its title and focuses it,
# since xdotool's key events go to the focused window.
bb_find_window() {
  local deadline=$((SECONDS + $1))
  while [ -z "$BB_WINDOW" ]; do
    BB_WINDOW=$(xdotool search --name "^${BB_TITLE}\$" 2>/dev/null | head -n 1 || true)
    if [ -z "$BB_WINDOW" ]; then
      bb_running || bb_fail "the game ended before its window appeared"
      [ "$SECONDS" -lt "$deadline" ] || bb_fail "no window \"$BB_TITLE\" within $1 s"
      sleep "$BB_POLL"
    fi
  done
  xdotool windowfocus --sync "$BB_WINDOW"
}

bb_key_down() {
  xdotool keydown "$1"
  BB_HELD+=("$1")
}

bb_key_up() {
  xdotool keyup "$1"
  local kept=() key
  for key in "${BB_HELD[@]}"; do [ "$key" = "$1" ] || kept+=("$key"); done
  BB_HELD=("${kept[@]}")
}

# bb_tap <key>: one press the game sees, held across several frames.
bb_tap() {
  bb_key_down "$1"
  sleep "$BB_HOLD"
  bb_key_up "$1"
}

# bb_wait_exit <seconds>: waits for the game to end and keeps its exit status.
bb_wait_exit() {
  local deadline=$((SECONDS + $1))
  while bb_running; do
    [ "$SECONDS" -lt "$deadline" ] || bb_fail "the game was still running after $1 s"
    sleep "$BB_POLL"
  done
  BB_STATUS=0
  wait "$BB_PID" || BB_STATUS=$?
  BB_PID=""   # reaped: its number may be reused, so never signal it again
}

# bb_tap_until_exit <key> <seconds>: taps the key every half second until the
# game ends. For keys that only end the program, so an extra tap is harmless;
# it makes the test independent of how many frames a screen takes to react.
bb_tap_until_exit() {
  local key="$1" deadline=$((SECONDS + $2))
  while bb_running; do
    [ "$SECONDS" -lt "$deadline" ] || bb_fail "the game was still running $2 s after the first $key"
    bb_tap "$key"
    sleep 0.35
  done
  bb_wait_exit 1
}

# bb_capture <name>: saves the screen into the work folder, numbered in the
# order taken; BB_SHOT holds the path. The whole screen, not the titled window:
# in full-screen mode SDL draws into a separate untitled window, and the tests
# run alone on the display (RUN_SERIAL).
bb_capture() {
  BB_SHOTS=$((BB_SHOTS + 1))
  BB_SHOT=$(printf '%s/%02d-%s.png' "$BB_WORK" "$BB_SHOTS" "$1")
  import -window root "$BB_SHOT" 2>/dev/null || bb_fail "could not capture the screen"
}

# bb_difference <picture> <picture>: prints their normalised RMSE (0 = equal).
bb_difference() {
  local report
  # compare exits 1 for pictures that differ; only its report matters here.
  report=$(compare -metric RMSE "$1" "$2" null: 2>&1 || true)
  case "$report" in
    *"("*")"*) report=${report##*(}; echo "${report%%)*}" ;;
    *) bb_fail "compare could not read $1 and $2: $report" ;;
  esac
}

# bb_shows <capture> <picture>: true when the capture is the picture, drawn whole.
bb_shows() {
  local d
  d=$(bb_difference "$1" "$2") || exit 1
  awk -v d="$d" -v limit="$BB_SAME_SCREEN" 'BEGIN { exit !(d + 0 < limit) }'
}

# bb_forget <capture>: drops a capture that showed nothing worth keeping.
bb_forget() {
  rm -f "$1"
  BB_SHOTS=$((BB_SHOTS - 1))
}

# bb_wait_screen <picture> <name> <seconds>: waits until the window shows the
# picture (a full-screen picture of rsrc/, its fade finished); keeps that capture.
bb_wait_screen() {
  local picture="$1" name="$2" deadline=$((SECONDS + $3))
  while :; do
    bb_running || bb_fail "the game ended while waiting for the $name screen"
    bb_capture "$name"
    if bb_shows "$BB_SHOT" "$picture"; then return 0; fi
    bb_forget "$BB_SHOT"
    [ "$SECONDS" -lt "$deadline" ] || bb_fail "the $name screen ($picture) did not appear within $3 s"
    sleep "$BB_POLL"
  done
}

# bb_wait_screen_gone <picture> <name> <seconds>: waits until the window no
# longer shows the picture.
bb_wait_screen_gone() {
  local picture="$1" name="$2" deadline=$((SECONDS + $3))
  while :; do
    bb_running || bb_fail "the game ended while the $name screen was up"
    bb_capture "$name-gone"
    local still=0
    if bb_shows "$BB_SHOT" "$picture"; then still=1; fi
    bb_forget "$BB_SHOT"
    [ "$still" = 1 ] || return 0
    [ "$SECONDS" -lt "$deadline" ] || bb_fail "the $name screen was still up after $3 s"
    sleep "$BB_POLL"
  done
}

# bb_output_normalised: the game's output with the one machine-dependent
# number (the largest OpenGL texture) replaced by N.
bb_output_normalised() {
  sed -E 's/^(O tamanho máximo de textura suportado é de )[0-9]+x[0-9]+( pixels\.)$/\1NxN\2/' "$BB_OUT"
}

# The complete output of a run with every file in place that ends on the
# language screen or the main menu: the engine's start-up report, the game's
# start line, the three sounds, then the engine's shut-down, whose last line
# has no line end.
bb_expected_clean_output() {
  bb_expected_start_up
  bb_expected_sounds
  bb_expected_shut_down
}

bb_expected_start_up() {
  printf '%s\n' \
    "Iniciando o modo de vídeo (OpenGL): 1024x768x32bpp" \
    "A aplicação requisitou um modo de vídeo em tela cheia." \
    "A Brisa2DLite vai verificar a disponibilidade do modo de vídeo requisitado." \
    "O sistema indica que o modo é suportado. Tenta iniciar." \
    "A aplicação está utilizando double buffer como esperado." \
    "Modo de vídeo iniciado com sucesso!" \
    "O tamanho máximo de textura suportado é de NxN pixels." \
    "Iniciou a Brisa2D 2 com sucesso"
}

bb_expected_sounds() {
  printf '%s\n' \
    "Carregou o efeito ./rsrc/morreu.ogg." \
    "Carregou a música ./rsrc/bgmusic.ogg." \
    "$BB_LAST_LOAD_LINE"
}

bb_expected_shut_down() {
  printf '%s\n' "Apagando os spritesets e fontes do sistema." "Encerrando a SDL."
  printf '%s' "Encerrou a SDL+OpenGL"
}

# bb_expect_output <expected output file>: the game's whole output, byte for byte.
bb_expect_output() {
  if ! cmp -s <(bb_output_normalised) "$1"; then
    diff <(bb_output_normalised) "$1" >&2 || true
    bb_fail "the game's output differs from the expected output (diff above: < got, > expected)"
  fi
}

# bb_quit_from_language_screen: ESC, held until the game has gone (it may
# take a frame or two to read the key); the game must end with status 0 and
# print the start-up report, the sounds and the shut-down report, no more.
bb_quit_from_language_screen() {
  bb_key_down Escape
  bb_wait_exit 30
  bb_key_up Escape
  bb_expect_status 0
  bb_expected_clean_output >"$BB_WORK/expected.txt"
  bb_expect_output "$BB_WORK/expected.txt"
}

# bb_expect_status <status>: the exit status the game ended with.
bb_expect_status() {
  [ "$BB_STATUS" = "$1" ] || bb_fail "exit status $BB_STATUS, expected $1"
}

# bb_expect_motion <name> <seconds>: waits until two captures a moment apart
# differ, as they do while a run is being played (the heart beats, the time
# bar runs down); every other screen of the game stands still once faded in.
bb_expect_motion() {
  local name="$1" deadline=$((SECONDS + $2)) first d
  while :; do
    bb_running || bb_fail "the game ended while waiting for the $name screen to move"
    bb_capture "$name"
    first="$BB_SHOT"
    sleep 0.5
    bb_capture "$name"
    d=$(bb_difference "$first" "$BB_SHOT") || exit 1
    if awk -v d="$d" -v limit="$BB_SAME_SCREEN" 'BEGIN { exit !(d + 0 >= limit) }'; then return 0; fi
    bb_forget "$BB_SHOT"
    bb_forget "$first"
    [ "$SECONDS" -lt "$deadline" ] || bb_fail "the $name screen did not move within $2 s"
  done
}
