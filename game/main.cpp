// Vessel Drift: the program entry. The game itself lives in the vdgame library.
#include <SDL.h>

#include "Jogo.h"

int main(int, char**) { return ExecutaJogo(); }
