// Fade frames shared by the full-screen picture screens (Menu, Transicao):
// the picture with a black sprite stretched over the whole screen on top,
// at a varying alpha.
#ifndef VD_ESMAECIMENTO_H
#define VD_ESMAECIMENTO_H

#include <SDL.h>

// Frame rate of every screen loop.
constexpr Uint8 kFpsTelas = 60;
// Number of corners of the black overlay.
constexpr int kCantosSobreposicao = 4;

// Fills x[4], y[4] with the screen's corners in the order the effect drawing
// takes them: (0, 0), (0, 768), (1024, 768), (1024, 0).
void CantosDaTela(int* x, int* y);

// Alpha of frame n of a fade to black over `total` frames: 255 * n / total,
// truncated. Call only with 1 <= n <= total.
Uint8 AlfaEscurecendo(int n, int total);
// Alpha of frame n of a fade from black: 255 - 255 * n / total, truncated.
// Call only with 1 <= n <= total.
Uint8 AlfaClareando(int n, int total);

// One whole fade frame: clear, picture frame 0 at (0, 0), black frame 0 on
// the corners x/y with white tint and `alfa`, then end the frame (sync at 60).
void DesenhaQuadroEsmaecido(unsigned int sprTela, unsigned int sprPreto, int* x, int* y, Uint8 alfa);

// A whole fade: `total` fade frames, counted in nFrames from 1 (it ends at
// total; 0 frames when total is 0 or less), frame n drawn with
// alfa(n, total) (AlfaEscurecendo or AlfaClareando); a termination signal
// (BRZ_SinalRecebido) ends it after the frame under way.
void Esmaece(int& nFrames, int total, unsigned int sprTela, unsigned int sprPreto, int* x, int* y,
             Uint8 (*alfa)(int n, int total));

#endif
