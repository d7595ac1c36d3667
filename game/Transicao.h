// A full-screen picture screen (opening, manual pages, credits, lost and won
// screens): fades the picture in from black, holds it, and fades it out to
// black again. Runs its own frame loop; it does not react to the window's
// close request, but leaves it at once when a signal asks the program to
// end. Owns nothing.
#ifndef VD_TRANSICAO_H
#define VD_TRANSICAO_H

#include "Esmaecimento.h"

// Longest hold counted in frames; a longer one waits for the space bar.
constexpr int kExibicaoMaximaContada = 300;

class Transicao {
public:
    // _nQuadrosExibicao: hold in frames, or above 300 until the space bar is
    // pressed. _nQuadrosES: length of each fade; 0 or less skips both fades.
    Transicao(unsigned int _sprTela, unsigned int _sprPreto, int _nQuadrosExibicao, int _nQuadrosES);

    // Blocks through fade-in, hold and fade-out; the screen is black after it
    // (unless the fades are empty). Can be played again. Once a signal asks
    // the program to end (BRZ_SinalRecebido), returns after the frame under way.
    void Toca();

private:
    void Clareia();   // fade-in from black
    void Segura();    // the hold, drawing nothing
    void Escurece();  // fade-out to black

    unsigned int sprTela;         // the picture, frame 0 at (0, 0)
    unsigned int sprPreto;        // black picture of the fades
    int x[kCantosSobreposicao];   // overlay corners, in effect-drawing order
    int y[kCantosSobreposicao];
    int nQuadrosExibicao;         // hold, frames
    int nFrames;                  // frame counter of the current phase
    int nQuadrosES;               // length of each fade, frames
};

#endif
