#!/usr/bin/env bash
# The game as a player hears it: through a sound server. The test starts a
# PulseAudio daemon of its own (its own runtime folder, null sinks only, no
# autospawn, nothing system-wide), lets SDL pick its audio driver as it does
# on a desktop, records the sink's monitor while it plays the game on the
# X display, and measures the recording against the game's own sound files:
#   - on the main menu the music is heard: loud enough, and the generated
#     piece itself (found in its loop by correlation), not silence or noise;
#   - during a run left alone the heart's beat is heard once every beat
#     period, and nowhere else;
#   - the loss sound is heard when the run is lost;
#   - the game's stream runs dry no more than a control stream does (within
#     a factor): a tone fed by pacat through a buffer of the game's size, on a
#     null sink of its own, on the same server at the same time. On a quiet
#     machine neither has a stretch of digital silence; a machine busy with
#     other jobs starves both, and only what the game loses beyond the
#     control is the game's.
#     The server's underruns of both are counted from its log;
#   - nothing is heard once the game has quit.
# The beats are checked in frames: a library preloaded into the game logs
# the time of every frame it presents, so a slow machine (fewer frames a
# second) moves the beats apart in time but not in frames.
# Usage: sound.sh <vessel-drift> <folder holding rsrc/> <work folder> <soundmeter>
#                 <frame-logging library>
# The MARK_ variables are set by mark, through printf -v.
# shellcheck disable=SC2154
# shellcheck source=tests/blackbox/driver.sh
. "$(dirname "$0")/driver.sh"
game="$1" folder="$2" meter="$4" presents="$5"
bb_init "$3"
for tool in pulseaudio pactl parec sox; do
  command -v "$tool" >/dev/null || bb_fail "$tool is not installed (scripts/setup installs it)"
done
# SDL chooses the driver itself, as on a player's desktop.
unset SDL_AUDIODRIVER
# A desktop runs its sound server in real time and lets a game have the
# processor it needs; this machine may be running other tests and builds at
# the same time. So the server gets real-time scheduling (as rtkit grants it
# on a desktop) and the game (every process this script starts) a priority
# ahead of those jobs. Both need root; without it they run as they are.
renice -n -10 -p $$ >/dev/null 2>&1 || true

readonly RATE=44100               # the null sink's and the recording's rate
readonly RAW=(-t raw -r "$RATE" -e signed -b 16 -c 2)
readonly MEASURE_RATE=8000        # mono rate the correlations run at
readonly MENU_SECONDS=6           # music recorded on the menu
readonly RUN_SECONDS=120          # a run left alone is lost in about 700 frames: 12 s at full speed
readonly QUIET_SECONDS=2          # recorded after the game has ended
# Pass marks. The music plays at the game's music volume (10 %) and the beat
# and the loss sound at full volume, panned to the centre (half on each side).
readonly MUSIC_FLOOR_DB=-50       # RMS of the menu's recording
readonly MATCH_NCC=0.8            # correlation with the file: the same sound
readonly LOSS_NCC=0.6             # the same, with the run's last beat still sounding under it
readonly LOUD_GAIN_DB=-10         # a beat or the loss sound at full volume (-6 dB), not the
                                  # beat's second thump (-15 dB) nor the music's soft pulse (-30 dB)
readonly BEAT_THUMP_SECONDS=0.15  # the beat's opening thump, what the beats are found by
readonly ONSET_NCC=0.5            # a thump the server damaged while it ran dry still matches this well
readonly BEAT_TOLERANCE=0.1       # frames between two beats: the period within 10 %
readonly DROPOUT_MS=5             # digital silence in the music that a player hears as a click
readonly CONTROL_LATENCY_MS=46    # the control stream's buffer: the game's device buffer, 2048 frames
# How much longer the game's stream may run dry than the control: under heavy
# load the two starve by chance and by turns (measured: the game's 0.5 to 1.0
# times the control's on sdl12-compat, whose buffer is the control's size;
# 0.2 to 0.6 on the classic library, which keeps two), and by one device
# buffer more: a single starved buffer where the control got through, which
# the test's own load (the other test runs beside it) can cause on its own.
readonly DROPOUT_FACTOR=2
readonly DROPOUT_ALLOWANCE_MS=$CONTROL_LATENCY_MS
readonly SILENT_PEAK_DB=-80       # after the game has ended

SND_RUNTIME=""
SND_DAEMON_PID=""
SND_RECORDER_PID=""
SND_CONTROL_RECORDER_PID=""
SND_CONTROL_PLAYER_PID=""

sound_cleanup() {
  bb_cleanup
  for pid in "$SND_CONTROL_PLAYER_PID" "$SND_CONTROL_RECORDER_PID" "$SND_RECORDER_PID" "$SND_DAEMON_PID"; do
    if [ -n "$pid" ]; then
      kill "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    fi
  done
  if [ -n "$SND_RUNTIME" ]; then rm -rf "$SND_RUNTIME"; fi
}
trap sound_cleanup EXIT

# start_sound_server: a PulseAudio daemon with two null sinks, the game's
# (vd_null) and the control stream's (vd_control), reachable only through a
# socket in a fresh folder (short, under /tmp: a socket's path has a length
# limit). -n: no default script, so no hardware, no other module. Root runs
# it with a warning and without D-Bus. Every client of this test (the game,
# parec, pacat, pactl) reaches it through PULSE_SERVER and never starts one.
start_sound_server() {
  SND_RUNTIME=$(mktemp -d /tmp/vd-pulse.XXXXXX)
  mkdir -p "$SND_RUNTIME/state"
  printf 'autospawn = no\n' >"$SND_RUNTIME/client.conf"
  export XDG_RUNTIME_DIR="$SND_RUNTIME" PULSE_RUNTIME_PATH="$SND_RUNTIME" PULSE_STATE_PATH="$SND_RUNTIME/state"
  export PULSE_CLIENTCONFIG="$SND_RUNTIME/client.conf" PULSE_COOKIE="$SND_RUNTIME/cookie"
  export PULSE_SERVER="unix:$SND_RUNTIME/native"
  HOME="$SND_RUNTIME/state" pulseaudio -n --daemonize=no --use-pid-file=no --system=no \
    --exit-idle-time=-1 --realtime=yes --high-priority=yes \
    --log-target="file:$BB_WORK/pulseaudio.log" --log-level=debug --log-time=1 \
    -L "module-null-sink sink_name=vd_null rate=$RATE channels=2 format=s16le" \
    -L "module-null-sink sink_name=vd_control rate=$RATE channels=2 format=s16le" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$SND_RUNTIME/native" \
    >"$BB_WORK/pulseaudio.out" 2>&1 &
  SND_DAEMON_PID=$!
  local deadline=$((SECONDS + 20))
  until pactl info >/dev/null 2>&1; do
    kill -0 "$SND_DAEMON_PID" 2>/dev/null || bb_fail "pulseaudio ended at start-up: $(tail -n 5 "$BB_WORK/pulseaudio.log")"
    [ "$SECONDS" -lt "$deadline" ] || bb_fail "pulseaudio did not answer within 20 s"
    sleep "$BB_POLL"
  done
}

# record <sink> <file> <variable>: the sink's monitor, raw, into the file,
# once the first frames are in; the recorder's process id into the variable. The file's size is
# the recording's own clock: mark reads it when something happens.
record() {
  parec --raw --format=s16le --rate="$RATE" --channels=2 --device="$1.monitor" --latency-msec=20 \
    >"$2" 2>>"$BB_WORK/parec.err" &
  printf -v "$3" '%s' "$!"
  local deadline=$((SECONDS + 10))
  while [ "$(stat -c %s "$2")" -eq 0 ]; do
    kill -0 "${!3}" 2>/dev/null || bb_fail "parec ended: $(cat "$BB_WORK/parec.err")"
    [ "$SECONDS" -lt "$deadline" ] || bb_fail "parec recorded nothing from $1 within 10 s"
    sleep "$BB_POLL"
  done
}

# start_recording: the game's sink, and the control stream on its own sink.
start_recording() {
  SND_RECORDING="$BB_WORK/recording.raw"
  SND_CONTROL="$BB_WORK/control.raw"
  record vd_null "$SND_RECORDING" SND_RECORDER_PID
  record vd_control "$SND_CONTROL" SND_CONTROL_RECORDER_PID
  # A quiet tone for longer than the test can take; pacat is the pipe's last
  # process, and sox ends when pacat does.
  sox -n "${RAW[@]}" - synth 600 sine 440 vol 0.1 2>/dev/null |
    pacat --raw --format=s16le --rate="$RATE" --channels=2 --device=vd_control \
      --latency-msec="$CONTROL_LATENCY_MS" 2>"$BB_WORK/pacat.err" &
  SND_CONTROL_PLAYER_PID=$!
}

stop_recording() {
  local pid
  for pid in "$SND_CONTROL_PLAYER_PID" "$SND_CONTROL_RECORDER_PID" "$SND_RECORDER_PID"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  SND_CONTROL_PLAYER_PID="" SND_CONTROL_RECORDER_PID="" SND_RECORDER_PID=""
}

# mark <name>: the recording's length now, in seconds, into MARK_<name>,
# and beside it the wall clock and the control recording's length into
# marks.txt: the marks tie the recording's clock to the clock of the frame
# log and to the control recording's.
mark() {
  local at control before after
  before=$(date +%s.%N)
  at=$(stat -c %s "$SND_RECORDING")
  control=$(stat -c %s "$SND_CONTROL")
  after=$(date +%s.%N)
  at=$(awk -v b="$at" -v r="$RATE" 'BEGIN { printf "%.3f", b / 4 / r }')
  control=$(awk -v b="$control" -v r="$RATE" 'BEGIN { printf "%.3f", b / 4 / r }')
  printf -v "MARK_$1" '%s' "$at"
  echo "$1 $at $before $after $control" >>"$BB_WORK/marks.txt"
  echo "mark: $1 at $at s of the recording"
}

# stats <from> <to> <field>: sox's measure of that part of the recording,
# both channels together ("RMS lev dB", "Pk lev dB").
stats() {
  sox "${RAW[@]}" "$SND_RECORDING" -n trim "$1" "=$2" stats 2>&1 |
    awk -v f="$3" 'index($0, f) == 1 { print $(NF - 2) }'
}

# MEASURED: the format the correlations read, mono floats at their rate.
readonly MEASURED=(-t raw -e floating-point -b 32 -c 1 -r "$MEASURE_RATE")

# part <from> <to> <output>: that part of the recording, measurable.
part() { sox "${RAW[@]}" "$SND_RECORDING" "${MEASURED[@]}" "$3" trim "$1" "=$2"; }

# game_streams: the streams playing into the game's sink, one line each.
game_streams() {
  local sink
  sink=$(pactl list short sinks | awk '$2 == "vd_null" { print $1 }')
  pactl list short sink-inputs | awk -v s="$sink" '$2 == s'
}

# at_least <value> <limit>: true when value >= limit (numbers with decimals).
at_least() { awk -v v="$1" -v l="$2" 'BEGIN { exit !(v + 0 >= l + 0) }'; }

start_sound_server
start_recording
mark start

# --- the menu: the music --------------------------------------------------------
LD_PRELOAD="$presents" VD_PRESENTS_LOG="$BB_WORK/presents.txt" bb_start "$folder" "$game"
bb_wait_line "$BB_LAST_LOAD_LINE" 60
bb_find_window 30
bb_wait_screen "$folder/rsrc/menu_idiomas.jpg" language 30
bb_tap e
bb_wait_screen "$folder/rsrc/menue.jpg" menu 30
mark menu
pactl list sink-inputs >"$BB_WORK/sink-inputs.txt"
[ -n "$(game_streams)" ] || bb_fail "the game has no stream on the sound server's sink"
sleep "$MENU_SECONDS"
mark menu_end

# --- a run left alone, until it is lost -----------------------------------------
bb_tap Return
bb_wait_screen "$folder/rsrc/abertura4e.jpg" opening 30
bb_tap space
mark run
bb_expect_motion run 30
bb_wait_screen "$folder/rsrc/perdeue.jpg" loss "$RUN_SECONDS"
mark lost
# Once: on the menu, Space would start another run.
bb_tap space
bb_wait_screen "$folder/rsrc/menue.jpg" menu-again 30
mark menu_again

# --- quitting -------------------------------------------------------------------
mark quit
bb_tap_until_exit x 30
mark exit
bb_expect_status 0
bb_expected_clean_output >"$BB_WORK/expected.txt"
bb_expect_output "$BB_WORK/expected.txt"
sleep "$QUIET_SECONDS"
mark end
streams_after=$(game_streams)
stop_recording

# --- measuring ------------------------------------------------------------------
for f in bgmusic.ogg morreu.ogg; do sox "$folder/rsrc/$f" "${MEASURED[@]}" "$BB_WORK/${f%.*}.f32"; done

# The music, from a moment after the menu appeared (its fade-in) to the
# moment the run was asked for.
music_from=$(awk -v m="$MARK_menu" 'BEGIN { print m + 0.5 }')
music_rms=$(stats "$music_from" "$MARK_menu_end" "RMS lev dB")
# Second by second: a dropout shifts what follows it, so one long window
# would no longer line up with the file as a whole. The median second decides.
for ((i = 0; i < MENU_SECONDS - 1; i++)); do
  from=$(awk -v m="$music_from" -v i="$i" 'BEGIN { print m + i }')
  part "$from" "$(awk -v f="$from" 'BEGIN { print f + 1 }')" "$BB_WORK/menu.f32"
  "$meter" align "$MEASURE_RATE" "$BB_WORK/bgmusic.f32" "$BB_WORK/menu.f32" loop
done | sort -k2 -g >"$BB_WORK/music.txt"
read -r music_at music_ncc music_gain < <(awk -v n="$((MENU_SECONDS - 1))" 'NR == int((n + 1) / 2)' "$BB_WORK/music.txt")
echo "menu music: RMS $music_rms dB; median second of $((MENU_SECONDS - 1)): at $music_at s of the piece's loop, correlation $music_ncc, gain $music_gain dB"
at_least "$music_rms" "$MUSIC_FLOOR_DB" || bb_fail "the menu is silent: RMS $music_rms dB, below $MUSIC_FLOOR_DB dB"
at_least "$music_ncc" "$MATCH_NCC" ||
  bb_fail "the menu plays something other than the music: median correlation with bgmusic.ogg $music_ncc"

# The game's stream as the game sent it: the recording from the menu to the
# end without its dropouts. A server whose client ran dry plays silence and
# then what the client sends next, so a dropout mostly delays the rest
# rather than cutting it; taken out, a sound is (nearly) whole again.
# recorded <time> takes a moment of that stream back to the recording.
sox "${RAW[@]}" "$SND_RECORDING" "${RAW[@]}" "$BB_WORK/game.s16" trim "$MARK_menu" "=$MARK_exit"
"$meter" splice "$RATE" "$BB_WORK/game.s16" "$BB_WORK/sent.s16" "$DROPOUT_MS" >"$BB_WORK/sent-map.txt"
sox "${RAW[@]}" "$BB_WORK/sent.s16" "${MEASURED[@]}" "$BB_WORK/sent.f32"
recorded() {
  awk -v t="$1" -v m="$MARK_menu" '$1 <= t + 0 { s = $1; o = $2 } END { printf "%.4f", m + o + t - s }' "$BB_WORK/sent-map.txt"
}

# The loss sound, once.
read -r loss_sent loss_ncc loss_gain < <("$meter" align "$MEASURE_RATE" "$BB_WORK/morreu.f32" "$BB_WORK/sent.f32" once)
loss_sent_end=$(awk -v a="$loss_sent" -v l="$(soxi -D "$folder/rsrc/morreu.ogg")" 'BEGIN { print a + l }')
loss_at=$(recorded "$loss_sent")
loss_rms=$(stats "$loss_at" "$(recorded "$loss_sent_end")" "RMS lev dB")
echo "loss sound: at $loss_at s (loss screen seen at $MARK_lost s), correlation $loss_ncc, gain $loss_gain dB, RMS $loss_rms dB"
at_least "$loss_ncc" "$LOSS_NCC" || bb_fail "no loss sound after the run (best correlation with morreu.ogg $loss_ncc)"
at_least "$loss_gain" "$LOUD_GAIN_DB" || bb_fail "the loss sound is too quiet: $loss_gain dB"

# Every beat from the menu to the end, found by the beat's opening thump: at
# full speed the loss sound follows the run's last beat by about ten frames,
# over the rest of that beat. Matches inside the loss sound are its own.
sox "$folder/rsrc/batida.wav" "${MEASURED[@]}" "$BB_WORK/thump.f32" trim 0 "$BEAT_THUMP_SECONDS"
"$meter" onsets "$MEASURE_RATE" "$BB_WORK/thump.f32" "$BB_WORK/sent.f32" "$ONSET_NCC" "$LOUD_GAIN_DB" |
  awk -v from="$loss_sent" -v to="$loss_sent_end" '$1 < from - 0.05 || $1 > to' |
  while read -r t ncc gain; do echo "$(recorded "$t") $ncc $gain"; done >"$BB_WORK/beats.txt"
echo "beats (recording time s, correlation, gain dB):"
cat "$BB_WORK/beats.txt"
[ "$(wc -l <"$BB_WORK/beats.txt")" -ge 3 ] || bb_fail "fewer than 3 beats heard during the run"

# In frames: the wall clock of each beat (the recording's clock moved by the
# marks' mean offset; a constant delay through the server cancels out between
# two beats), then the frames presented between two beats, from the run's
# start to the first and from the last to the loss sound.
read -r period_frames fps < <("$meter" beat-period)
awk -v first="$MARK_run" -v last="$loss_at" -v p="$period_frames" -v fps="$fps" -v tol="$BEAT_TOLERANCE" '
  FILENAME == ARGV[1] { offset += ($3 + $4) / 2 - $2; marks++; next }
  FILENAME == ARGV[2] { present[++frames] = $1; next }
  { beat[++beats] = $1 }
  function frames_between(a, b,   n, i) {
    for (i = 1; i <= frames; i++) if (present[i] > a + offset && present[i] <= b + offset) n++
    return n + 0
  }
  END {
    offset /= marks
    for (i = 1; i <= beats; i++) {
      if (beat[i] < first || beat[i] > last) { printf "a beat at %.3f s, outside the run (%.3f s to the loss sound at %.3f s)\n", beat[i], first, last; bad = 1 }
      if (i == 1) continue
      d = beat[i] - beat[i - 1]; n = frames_between(beat[i - 1], beat[i])
      printf "beat at %.3f s: %.3f s, %d frames after the one before\n", beat[i], d, n
      if (n < p * (1 - tol) || n > p * (1 + tol)) { printf "  not one beat period (%d frames) apart\n", p; bad = 1 }
      sum += d; sq += d * d; fsum += n; fsq += n * n; count++
    }
    if (beats >= 1) {
      n = frames_between(first, beat[1])
      printf "first beat: %d frames after the run was started (a period, with the opening screen'"'"'s fade)\n", n
      if (n < p * (1 - tol) || n > 2 * p) { print "  the first beat of the run is missing or early"; bad = 1 }
      n = frames_between(beat[beats], last)
      printf "loss sound: %d frames after the last beat\n", n
      if (n > p * (1 + tol)) { print "  a beat is missing before the loss"; bad = 1 }
    }
    if (count > 0) {
      mean = sum / count
      fmean = fsum / count
      printf "beat period: %.1f frames, %.4f s measured over %d intervals (%d frames, %.4f s at %d frames a second); standard deviation %.1f frames, %.1f ms\n", fmean, mean, count, p, p / fps, fps, sqrt(fsq / count - fmean * fmean), sqrt(sq / count - mean * mean) * 1000
    }
    exit bad
  }' "$BB_WORK/marks.txt" "$BB_WORK/presents.txt" "$BB_WORK/beats.txt" >"$BB_WORK/beat-check.txt" || {
  cat "$BB_WORK/beat-check.txt"
  bb_fail "the heart's beat is not heard once every beat period during the run"
}
cat "$BB_WORK/beat-check.txt"
# The second beat's level, the music under it, over the beat's length.
beat_length=$(soxi -D "$folder/rsrc/batida.wav")
beat_rms=$(awk 'NR == 2' "$BB_WORK/beats.txt" | {
  read -r t _
  stats "$t" "$(awk -v t="$t" -v l="$beat_length" 'BEGIN { print t + l }')" "RMS lev dB"
})
echo "a beat's RMS (the second, with the music under it): $beat_rms dB"

# The stream ran dry not much longer than the control did: digital silence in the
# music from the menu to the quit key, and in the control over the same
# time. The server's log counts the underruns of both streams.
"$meter" gaps "$RATE" "$SND_RECORDING" "$MARK_menu" "$MARK_quit" "$DROPOUT_MS" >"$BB_WORK/gaps.txt"
# The control recording's clock, from the marks: the same window there.
control_shift=$(awk '{ d += $2 - $5; n++ } END { printf "%.3f", d / n }' "$BB_WORK/marks.txt")
"$meter" gaps "$RATE" "$SND_CONTROL" "$(awk -v m="$MARK_menu" -v d="$control_shift" 'BEGIN { print m - d }')" \
  "$(awk -v m="$MARK_quit" -v d="$control_shift" 'BEGIN { print m - d }')" "$DROPOUT_MS" >"$BB_WORK/control-gaps.txt"
game_dropped=$(awk '{ ms += $2 } END { printf "%.1f", ms }' "$BB_WORK/gaps.txt")
control_dropped=$(awk '{ ms += $2 } END { printf "%.1f", ms }' "$BB_WORK/control-gaps.txt")
echo "dropouts from the menu to the quit key: the game's stream $(wc -l <"$BB_WORK/gaps.txt") ($game_dropped ms), the control stream $(wc -l <"$BB_WORK/control-gaps.txt") ($control_dropped ms)"
if ! at_least "$(awk -v c="$control_dropped" -v k="$DROPOUT_FACTOR" -v a="$DROPOUT_ALLOWANCE_MS" 'BEGIN { print c * k + a }')" "$game_dropped"; then
  cat "$BB_WORK/gaps.txt"
  bb_fail "the game's sound ran dry for more than $DROPOUT_FACTOR times as long as a bare stream beside it, plus $DROPOUT_ALLOWANCE_MS ms (the game's dropouts above: start s, length ms)"
fi
echo "the server's underruns, by stream:"
sed -n "s/.*Implicit underrun of '\(.*\)'.*/\1/p" "$BB_WORK/pulseaudio.log" | sort | uniq -c

# Nothing after the end.
after_from=$(awk -v m="$MARK_exit" 'BEGIN { print m + 0.2 }')
after_peak=$(stats "$after_from" "$MARK_end" "Pk lev dB")
echo "after the game ended: peak $after_peak dB"
[ "$after_peak" = "-inf" ] || ! at_least "$after_peak" "$SILENT_PEAK_DB" ||
  bb_fail "sound after the game ended: peak $after_peak dB"
[ -z "$streams_after" ] || bb_fail "the game's stream is still on the sound server after it ended: $streams_after"
echo "PASS: the music, the beats and the loss sound heard through PulseAudio; silence after the end"
