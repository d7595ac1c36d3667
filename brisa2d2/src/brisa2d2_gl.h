// Brisa2D 2 — OpenGL renderer (fixed-function OpenGL 1.x through SDL 1.2).
//
// Every sprite set becomes one square power-of-two RGBA texture plus the
// working surface it was uploaded from; frames are picked by texture
// coordinates. A small cache of OpenGL state skips redundant state calls.
// BRZ_Inicia starts it for BRZ_DESENHO_OPENGL; afterwards the game reaches
// it only through the engine's dispatch slots.
#ifndef BRISA2D2_GL_H
#define BRISA2D2_GL_H

#include "brisa2d2.h"

bool BRZGL_Inicia(unsigned int largura, unsigned int altura, int modoVideo, const char* tituloJanela); // open the mode, fill the slots
void BRZGL_Encerra();                                           // release everything, close video
void BRZGL_Sincroniza(Uint8 fps);                               // hook, sleep out the period, swap, poll input
void BRZGL_LimpaTela();                                         // clear to the clear colour, resync the cache
void BRZGL_TrocaCorLimpezaTela(Uint8 r, Uint8 g, Uint8 b);      // clear colour for the next clear
void BRZGL_LimitaAreaDesenho(int x, int y, int largura, int altura); // stencil clip rectangle
void BRZGL_LiberaAreaDesenho();                                 // stencil test off
unsigned int BRZGL_CarregaSpriteSet(const char* arquivo, int largura, int altura); // load or share; 0 on failure
void BRZGL_RemoveSpriteSet(unsigned int id);                    // give up one holder
bool BRZGL_DesenhaSprite(unsigned int id, unsigned int indice, int x, int y); // one textured quad
bool BRZGL_DesenhaSpriteEfeito(unsigned int id, unsigned int indice, int* x, int* y,
                               Uint8 r, Uint8 g, Uint8 b, Uint8 a); // quad on 4 corners, tinted

#endif
