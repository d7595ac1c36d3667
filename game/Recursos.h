// Every picture, sound and piece of music the game loads, by the names the
// game uses for them. Loaded once and kept for the whole process; a load that
// fails leaves 0, which draws nothing, plays nothing and never collides.
#ifndef VD_RECURSOS_H
#define VD_RECURSOS_H

#include "Nivel.h"

struct Recursos {
    // Loaded before the language screen, in this order.
    unsigned int sprLoading = 0, sprIdiomas = 0, sprPreto = 0;
    unsigned int spIn = 0;         // the moving fat blobs (gordura.png)
    unsigned int spL = 0;          // the fixed blobs (sprite_2.png)
    unsigned int spriteNanoC = 0;  // the nanobot's collision picture
    unsigned int morreu = 0;       // sound effect of every loss
    unsigned int colisao[kTilesMapa] = {};
    unsigned int cenario[kTilesMapa] = {};
    unsigned int parallax[kFundos] = {};
    unsigned int sprNano = 0, musica = 0, sprCore = 0, efBeat = 0;
    unsigned int sprBx = 0;        // the down-arrow icon, drawn by Jogo::up
    unsigned int sprCm = 0;        // the up-arrow icon, drawn by Jogo::down
    unsigned int sprSB = 0;        // the frame drawn over the time bar
    unsigned int sprB = 0;         // the time bar itself
    // The language set, loaded on the language screen.
    unsigned int sprMenu = 0, sprTuto = 0;
    unsigned int sprEl = 0;        // the elements page (shown before the tutorial page)
    unsigned int sprCred = 0, sprMorte = 0, sprGanhou = 0;
    unsigned int sprAb4 = 0;       // the opening screen before each run
    unsigned int sprEspaco = 0;    // the least-resistance icon (the space key)
};

// Tells the engine which pictures the loading picture and the common set will
// read, in load order, so that it decodes them ahead while the start-up goes on.
void AntecipaRecursosComuns();
// The loading picture alone (it goes on screen before everything else loads).
void CarregaTelaCarregando(Recursos& r);
// Everything else of the common set, in load order, presenting nothing.
void CarregaRecursosComuns(Recursos& r);
// The screen pictures of one language: 0 Portuguese, anything else English
// (announced to the engine first, so that it decodes them two at a time).
void CarregaIdioma(Recursos& r, int idioma);

#endif
