// Every picture, sound and piece of music the game loads, by the names the
// game uses for them. Loaded once and kept for the whole process; a load that
// fails leaves 0, which draws nothing, plays nothing and never collides.
#ifndef VD_RECURSOS_H
#define VD_RECURSOS_H

#include "Nivel.h"

struct Recursos {
    // Loaded before the language screen, in this order.
    unsigned int sprLoading = 0, sprIdiomas = 0, sprPreto = 0;
    unsigned int spIn = 0, spL = 0, spriteNanoC = 0;
    unsigned int morreu = 0;
    unsigned int colisao[kTilesMapa] = {};
    unsigned int cenario[kTilesMapa] = {};
    unsigned int parallax[kFundos] = {};
    unsigned int sprNano = 0, musica = 0, sprCore = 0, efBeat = 0;
    unsigned int sprBx = 0, sprCm = 0, sprSB = 0, sprB = 0;
    // The language set, loaded on the language screen.
    unsigned int sprMenu = 0, sprTuto = 0, sprEl = 0, sprCred = 0;
    unsigned int sprMorte = 0, sprGanhou = 0, sprAb4 = 0, sprEspaco = 0;
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
