#!/usr/bin/env bash
# A copy of rsrc/ with a map tile removed, a truncated PNG and an empty OGG:
# the game reports each file the engine could not load and plays on, through
# the language screen, the menu, the opening and a run, back to the menu with
# ESC, and ends normally from the menu.
# Usage: damaged_rsrc.sh <vessel-drift> <folder holding rsrc/> <work folder>
# shellcheck source=tests/blackbox/driver.sh
. "$(dirname "$0")/driver.sh"
game="$1" folder="$2"
bb_init "$3"

# The damage: the first map tile (on screen from the start of a run), the
# nanobot's animation cut to its first 600 bytes, and the music emptied.
damaged="$BB_WORK/game"
mkdir -p "$damaged"
cp -RL "$folder/rsrc" "$damaged/rsrc"   # -L: the files themselves, even through links
rm "$damaged/rsrc/Mapa_01.png"
truncate -s 600 "$damaged/rsrc/nano.png"
: >"$damaged/rsrc/bgmusic.ogg"
pictures="$folder/rsrc"   # the intact pictures the screens are compared with

bb_start "$damaged" "$game"
bb_wait_line "$BB_LAST_LOAD_LINE" 60
bb_find_window 30
bb_wait_screen "$pictures/menu_idiomas.jpg" language 30
bb_tap p
bb_wait_screen "$pictures/menup.jpg" menu 30
bb_tap j
bb_wait_screen "$pictures/abertura4p.jpg" opening 30

# Space ends the opening; held on, it stops the forward drift, so the run
# cannot reach a blob or be lost while the test watches it.
bb_key_down space
bb_wait_screen_gone "$pictures/abertura4p.jpg" opening 30
sleep 1   # past the opening's fade-out, into the run
bb_expect_motion play 30
bb_tap Escape
bb_key_up space
bb_wait_screen "$pictures/menup.jpg" menu-again 30
bb_tap_until_exit s 30

bb_expect_status 0
{
  bb_expected_start_up
  # In load order; the engine adds SDL's own reason, which ends in a full stop.
  printf '%s\n' \
    "Carregou o efeito ./rsrc/morreu.ogg." \
    "A função BRZ_CarregaSPriteset falhou ao carregar o arquivo ./rsrc/Mapa_01.png. Erro: Couldn't open ./rsrc/Mapa_01.png." \
    "A função BRZ_CarregaSPriteset falhou ao carregar o arquivo ./rsrc/nano.png. Erro: Error reading the PNG file.." \
    "Erro ao carregar o arquivo ./rsrc/bgmusic.ogg." \
    "$BB_LAST_LOAD_LINE"
  bb_expected_shut_down
} >"$BB_WORK/expected.txt"
bb_expect_output "$BB_WORK/expected.txt"
rm -rf "$damaged"   # 20 MB of copied files; the captures and output stay
echo "PASS: the game plays on with damaged files"
