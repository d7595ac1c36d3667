// Vessel Drift: the program entry. The game itself lives in the vdgame library.
#include <SDL.h>

#include <cstdio>

#include "Jogo.h"

int main(int, char**) {
    // Progress and load errors go out a line at a time even into a file or a
    // pipe, where the C library would hold them back until exit: a player's
    // log then still holds every line written before the program is killed
    // or fails. The program writes a few dozen lines, so the cost is nil.
    setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    return ExecutaJogo();
}
