#!/usr/bin/env bash
# The real program with one allocation of its start-up failed, for each
# allocation in turn, with the failing allocator (liballocfail, see
# allocfail.cpp) preloaded. A first run only counts the allocations made
# before the first frame of the language screen. Then each run fails one of
# them and must end in one of the two ways the program has:
#   - on the language screen (left with ESC, exit status 0), every load that
#     failed reported with the engine's message and no success claimed for
#     it; the language picture is on the screen or its failure is reported;
#   - through the failed engine start: its message and exit status 1;
# never by a crash, an uncaught exception, a hang or a sanitizer report
# (leaks included: the sanitizer build's LeakSanitizer checks at exit).
# One way out lies outside the program: SDL_mixer's built-in MIDI player
# (timidity), which Mix_OpenAudio starts whether or not MIDI is ever played,
# ends the process with status 10 when an allocation of its own fails while
# it reads its instrument set. Such a run is counted apart ("ended by
# SDL_mixer"), and only when the allocation failed inside SDL_mixer while
# the audio started (right after the engine's start). Likewise a crash inside
# the very library whose own allocation failed, before it returned to the
# program (SDL 1.2's X11 video start-up, SDL_mixer's Mix_OpenAudio and its
# channel array): no code of the program ran in between, so none could mend
# it; such a run is counted apart ("crashed inside the library").
# Which failure points: the first allocation at each place of the program's
# own code that calls the allocator (the mask of each frame, the decoder's
# file, the list of pictures to decode ahead, ...) and every STRIDE-th of
# all the allocations made on its behalf (inside SDL, SDL_image, libpng,
# libjpeg, SDL_mixer...); with
# VD_ALLOCFAIL_ALL=1, every one of those instead (VD_ALLOCFAIL_SHARD=k/m:
# only those with n mod m = k - 1, for runs side by side on their own
# displays); VD_ALLOCFAIL_POINTS="nth:48 own:5 ..." runs just those.
# Usage: allocfail.sh <vessel-drift> <folder holding rsrc/> <liballocfail.so> <work folder>
# shellcheck source=tests/blackbox/driver.sh
. "$(dirname "$0")/../blackbox/driver.sh"
game="$1" folder="$2" shim="$3"
bb_init "$4"

# Frames presented before the language screen: the start-up's first clear
# and the loading screen's two; the next one is the language screen's first.
AF_LANGUAGE_FRAME=4
# By this frame the language screen has been waiting for a key a while.
AF_IDLE_FRAME=6
AF_RUN_SECONDS=120
AF_STRIDE=${VD_ALLOCFAIL_STRIDE:-32}
AF_PASSES=8
# The game's line after a failed engine start; the engine's own message
# before it may end without a line break, so it can share that line.
AF_ENGINE_FAILED="Falhou ao iniciar a Brisa2D 2. Encerrando o programa."
AF_ENGINE_STARTED="Iniciou a Brisa2D 2 com sucesso"
AF_LAST_SHUT_DOWN="Encerrou a SDL+OpenGL"
AF_MIXER_EXIT=10   # timidity's exit status when its malloc fails
AF_LANGUAGE_PICTURE="./rsrc/menu_idiomas.jpg"
# The sounds of the start-up: "start of the success message|file".
AF_SOUNDS=("Carregou o efeito|./rsrc/morreu.ogg" "Carregou a música|./rsrc/bgmusic.ogg"
  "Carregou o efeito|./rsrc/batida.wav")

af_failures=()
af_language=0 af_refused=0 af_mixer=0 af_library=0 af_unreached=0 af_runs=0

# af_frame_counts <report> <frame>: "program own" counted before that frame.
af_frame_counts() {
  awk -v f="$2" '$1 == "frame" && $2 == f { print $4, $6; exit }' "$1"
}

# af_first_own_at_each_site <report> <own count>: for each place in the
# program's code that allocates before the first language frame, the number
# of its first allocation there.
af_first_own_at_each_site() {
  awk -v last="$2" '$1 == "own" && $2 <= last && !seen[$6]++ { print $2 }' "$1"
}

# af_start <run folder> [environment assignment]: the game with the
# failing allocator, its sanitizer reports kept in the run's folder.
af_start() {
  local dir="$1"
  shift
  mkdir -p "$dir"
  BB_OUT="$dir/stdout.txt"
  # Later options override earlier ones: the caller's, then this run's log files.
  (cd "$folder" && exec env --default-signal=HUP,INT,TERM "$@" VD_ALLOCFAIL_REPORT="$dir/report.txt" \
    ASAN_OPTIONS="${ASAN_OPTIONS:-}:log_path=$dir/asan" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}:log_path=$dir/ubsan" \
    LD_PRELOAD="$shim${LD_PRELOAD:+:$LD_PRELOAD}" "$game") >"$BB_OUT" 2>"$dir/stderr.txt" &
  BB_PID=$!
  BB_WINDOW="" af_untitled=0
}

# af_wait_exit <seconds>: waits for the program to end and keeps its exit
# status; one still running then is killed and counts as hung (status "hung").
af_wait_exit() {
  local deadline=$((SECONDS + $1))
  while bb_running && [ "$SECONDS" -lt "$deadline" ]; do sleep "$BB_POLL"; done
  if bb_running; then
    kill -KILL "$BB_PID" 2>/dev/null || true
    wait "$BB_PID" 2>/dev/null || true
    BB_PID="" BB_STATUS=hung
    return
  fi
  bb_wait_exit 1
}

# af_wait_idle_or_exit <report>: true once the language screen waits for a
# key, false once the program has ended (or hung, and was killed).
af_wait_idle_or_exit() {
  local deadline=$((SECONDS + AF_RUN_SECONDS))
  while bb_running && [ "$SECONDS" -lt "$deadline" ]; do
    if grep -q "^frame $AF_IDLE_FRAME " "$1" 2>/dev/null; then return 0; fi
    sleep "$BB_POLL"
  done
  af_wait_exit 0
  return 1
}

# af_find_window: the game's window by its title, or else by its process
# (SDL 1.2 names it in _NET_WM_PID); af_untitled=1 when only the second
# finds it: SDL_WM_SetCaption copies the title and, when that copy's
# allocation fails, leaves the window untitled without a word.
af_find_window() {
  local deadline=$((SECONDS + 30))
  while [ -z "$BB_WINDOW" ] && bb_running && [ "$SECONDS" -lt "$deadline" ]; do
    BB_WINDOW=$(xdotool search --name "^${BB_TITLE}\$" 2>/dev/null | head -n 1 || true)
    [ -n "$BB_WINDOW" ] || sleep "$BB_POLL"
  done
  if [ -z "$BB_WINDOW" ]; then
    BB_WINDOW=$(xdotool search --pid "$BB_PID" 2>/dev/null | head -n 1 || true)
    [ -n "$BB_WINDOW" ] || bb_fail "no window of the game's within 30 s"
    af_untitled=1
  fi
  xdotool windowfocus --sync "$BB_WINDOW"
}

# af_leave_language_screen <run folder>: the screen captured, then ESC held
# until the program has gone.
af_leave_language_screen() {
  af_find_window
  BB_SHOT="$1/language.png"
  import -window root "$BB_SHOT" 2>/dev/null || bb_fail "could not capture the screen"
  bb_key_down Escape
  af_wait_exit 60
  bb_key_up Escape
}

# af_line_ends_with <text> <file>: true when a line of the file ends with the text.
af_line_ends_with() {
  awk -v t="$1" 'substr($0, length($0) - length(t) + 1) == t { found = 1 } END { exit !found }' "$2"
}

# af_ended_by_mixer <run folder>: the run ended through SDL_mixer's exit (see
# the top of this file): its status, the failed allocation made inside
# SDL_mixer, and nothing printed after the engine's start.
af_ended_by_mixer() {
  [ "$BB_STATUS" = "$AF_MIXER_EXIT" ] &&
    sed -n '/^failed /,/^  exe/p' "$1/report.txt" | grep -q '/libSDL_mixer' &&
    [ "$(tail -n 1 "$1/stdout.txt")" = "$AF_ENGINE_STARTED" ]
}

# af_library_of_failure <run folder>: the library the failed allocation was
# made in: its first frame outside the runtime and the failing allocator;
# nothing when that frame is the program's.
af_library_of_failure() {
  sed -n '/^failed /,/^[a-z]/{/^  /p}' "$1/report.txt" | grep -vE 'allocfail|libasan|libc\.so|libstdc\+\+|libgcc_s' |
    head -n 1 | sed -E 's/^ +//; s/\+0x[0-9a-f]+$//; /^exe$/d'
}

# af_library_of_crash <run folder>: the library of the innermost frame of the
# sanitizer's report of a crash (SEGV) outside the C runtime (a library's
# memcpy of the null pointer it was given crashes in libc), if any; nothing
# when that frame is the program's.
af_library_of_crash() {
  cat "$1"/asan* 2>/dev/null | sed -n '/ERROR: AddressSanitizer: SEGV/,/^$/{/^ *#[0-9]/p}' |
    grep -vE '\((/[^()]*/)?(libasan|libc|libstdc\+\+|libgcc_s)\.so[^()]*\)$| \.\./(sysdeps|string|libio|stdlib|csu|nptl|malloc)/' |
    head -n 1 | sed -nE 's/.*\(([^()+]+)\+0x[0-9a-f]+\)$/\1/p'
}

# af_crashed_inside_library <run folder>: see the top of this file.
af_crashed_inside_library() {
  local library
  library=$(af_library_of_failure "$1")
  [ -n "$library" ] && [ "$library" = "$(af_library_of_crash "$1")" ]
}

# af_problems <run folder> <reached language screen 0/1>: prints what is
# wrong with the run, nothing when it ended as it must.
af_problems() {
  local dir="$1" reached="$2" out="$1/stdout.txt"
  if [ "$reached" = 0 ] && af_crashed_inside_library "$dir"; then return; fi
  if compgen -G "$dir/asan*" >/dev/null || compgen -G "$dir/ubsan*" >/dev/null; then
    echo "sanitizer report: $(cat "$dir"/asan* "$dir"/ubsan* 2>/dev/null | grep -m1 -E 'ERROR|runtime error|SUMMARY')"
  fi
  if grep -qE 'terminate called|Sanitizer|runtime error' "$dir/stderr.txt"; then
    echo "standard error: $(grep -m1 -E 'terminate called|Sanitizer|runtime error' "$dir/stderr.txt")"
  fi
  if [ "$BB_STATUS" = hung ]; then
    echo "hung: still running after $AF_RUN_SECONDS s, or 60 s after ESC"
    return
  fi
  if [ "$reached" = 0 ]; then
    if af_ended_by_mixer "$dir"; then return; fi
    [ "$BB_STATUS" = 1 ] || echo "ended with status $BB_STATUS before the language screen"
    af_line_ends_with "$AF_ENGINE_FAILED" "$out" || echo "no \"$AF_ENGINE_FAILED\""
    ! grep -qxF "$AF_ENGINE_STARTED" "$out" || echo "claims the engine started, then refused to start"
    return
  fi
  [ "$BB_STATUS" = 0 ] || echo "ESC on the language screen ended with status $BB_STATUS"
  if [ "$af_untitled" = 1 ] && [ "$(basename "$(af_library_of_failure "$dir")")" != libSDL-1.2.so.0 ]; then
    echo "the window has no title \"$BB_TITLE\", and the failed allocation was not SDL's"
  fi
  grep -qxF "$AF_ENGINE_STARTED" "$out" || echo "no \"$AF_ENGINE_STARTED\""
  [ "$(tail -c "${#AF_LAST_SHUT_DOWN}" "$out")" = "$AF_LAST_SHUT_DOWN" ] || echo "no shut-down report at the end"
  local sound success file loaded failed
  for sound in "${AF_SOUNDS[@]}"; do
    success=${sound%%|*} file=${sound#*|}
    loaded=$(grep -cxF "$success $file." "$out" || true)
    failed=$(grep -cxF "Erro ao carregar o arquivo $file." "$out" || true)
    [ $((loaded + failed)) = 1 ] || echo "$file: $loaded success and $failed failure messages"
  done
  if ! bb_shows "$dir/language.png" "$folder/rsrc/menu_idiomas.jpg" && ! grep -qF "$AF_LANGUAGE_PICTURE" "$out"; then
    echo "the language picture is not on the screen, and its load reported no failure"
  fi
}

# af_point <name> <environment assignment>: one run with one failure point.
af_point() {
  local name="$1" dir="$BB_WORK/$1" reached=0 problems
  af_start "$dir" "$2"
  if af_wait_idle_or_exit "$dir/report.txt"; then
    reached=1
    af_leave_language_screen "$dir"
  fi
  af_runs=$((af_runs + 1))
  problems=$(af_problems "$dir" "$reached")
  grep -q '^failed ' "$dir/report.txt" || af_unreached=$((af_unreached + 1))
  if [ -n "$problems" ]; then
    af_failures+=("$name")
    echo "$name FAILED" >>"$BB_WORK/outcomes.txt"
    echo "FAIL $name: $(grep -m1 '^failed ' "$dir/report.txt")"
    printf '  %s\n' "${problems//$'\n'/$'\n'  }"
    sed -n '/^failed /,/^total\|^frame/p' "$dir/report.txt" | grep '^  ' | head -n 24 | sed 's/^/    /'
    tail -n 5 "$dir/stdout.txt" | sed 's/^/  | /'
    return
  fi
  local outcome=refused
  if [ "$reached" = 1 ]; then
    outcome=language af_language=$((af_language + 1))
    [ "$af_untitled" = 0 ] || outcome="language untitled"
  elif af_ended_by_mixer "$dir"; then
    outcome=mixer-exit af_mixer=$((af_mixer + 1))
  elif af_crashed_inside_library "$dir"; then
    outcome="library-crash $(basename "$(af_library_of_failure "$dir")")" af_library=$((af_library + 1))
  else
    af_refused=$((af_refused + 1))
  fi
  echo "$name $outcome" >>"$BB_WORK/outcomes.txt"
  rm -rf "$dir"   # a run that passed keeps nothing
}

# The count: a run with no failure, to the language screen and out with ESC.
af_start "$BB_WORK/count"
af_wait_idle_or_exit "$BB_WORK/count/report.txt" || bb_fail "the run without failures ended before the language screen"
af_leave_language_screen "$BB_WORK/count"
bb_expect_status 0
read -r program own < <(af_frame_counts "$BB_WORK/count/report.txt" "$AF_LANGUAGE_FRAME")
read -r idle_program idle_own < <(af_frame_counts "$BB_WORK/count/report.txt" "$AF_IDLE_FRAME")
echo "allocations before the first language frame: $program on the program's behalf, $own of them its own"
echo "by frame $AF_IDLE_FRAME (language screen waiting): $idle_program, $idle_own own;" \
  "to the end after ESC: $(grep '^total ' "$BB_WORK/count/report.txt")"
if [ -z "$program" ] || [ "$program" -le 0 ] || [ "$own" -le 0 ]; then bb_fail "no allocations counted"; fi

started=$SECONDS
if [ -n "${VD_ALLOCFAIL_POINTS:-}" ]; then
  for point in $VD_ALLOCFAIL_POINTS; do
    n=${point#*:}
    case "$point" in
      nth:*) af_point "program-$n" VD_ALLOCFAIL_NTH="$n" ;;
      own:*) af_point "own-$n" VD_ALLOCFAIL_OWN="$n" ;;
      *) bb_fail "unknown failure point $point (nth:N or own:N)" ;;
    esac
  done
elif [ "${VD_ALLOCFAIL_ALL:-0}" = 1 ]; then
  # In AF_PASSES passes of every AF_PASSES-th point, so that a run cut short
  # has still tried points spread over the whole range.
  shard=${VD_ALLOCFAIL_SHARD:-1/1}
  for pass in $(seq 0 $((AF_PASSES - 1))); do
    [ $((pass % ${shard#*/})) = $((${shard%/*} - 1)) ] || continue
    for n in $(seq $((pass + 1)) "$AF_PASSES" "$program"); do af_point "program-$n" VD_ALLOCFAIL_NTH="$n"; done
    echo "pass $((pass + 1)) of $AF_PASSES done: $af_runs runs so far, ${#af_failures[@]} failed"
  done
else
  for n in $(af_first_own_at_each_site "$BB_WORK/count/report.txt" "$own"); do
    af_point "own-$n" VD_ALLOCFAIL_OWN="$n"
  done
  for n in $(seq 1 "$AF_STRIDE" "$program"); do af_point "program-$n" VD_ALLOCFAIL_NTH="$n"; done
fi
echo "$af_runs runs in $((SECONDS - started)) s: $af_language reached the language screen and left it with ESC," \
  "$af_refused ended through the failed engine start, $af_mixer were ended by SDL_mixer," \
  "$af_library crashed inside the library whose allocation failed, ${#af_failures[@]} failed;" \
  "$af_unreached never reached their failure point (the count differs a little between runs:" \
  "the decoding helper thread and the loading thread share the pictures as they go)"
[ "${#af_failures[@]}" = 0 ] || bb_fail "failure points that went wrong: ${af_failures[*]}"
echo "PASS: every failed allocation of the start-up handled"
