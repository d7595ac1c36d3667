// Brisa2D 2 — software renderer (SDL 1.2 surfaces and blits).
//
// Sprite sets are kept as display-format surfaces with an alpha channel and
// drawn with one blit each; magenta is the colour key; clipping uses the
// screen's clip rectangle. Effect draws are not supported. BRZ_Inicia starts
// it for any render type other than BRZ_DESENHO_OPENGL.
#ifndef BRISA2D2_SDL_H
#define BRISA2D2_SDL_H

#include "brisa2d2.h"

bool BRZSDL_Inicia(unsigned int largura, unsigned int altura, int modoVideo, const char* tituloJanela); // open the mode, fill the slots
void BRZSDL_Encerra();                                          // release everything, close video
void BRZSDL_Sincroniza(Uint8 fps);                              // hook, sleep out the period, flip, poll input
void BRZSDL_LimpaTela();                                        // fill the screen (inside the clip) with the clear colour
void BRZSDL_TrocaCorLimpezaTela(Uint8 r, Uint8 g, Uint8 b);     // clear colour for the next clear
void BRZSDL_LimitaAreaDesenho(int x, int y, int largura, int altura); // screen clip rectangle
void BRZSDL_LiberaAreaDesenho();                                // clip to the whole screen
unsigned int BRZSDL_CarregaSpriteSet(const char* arquivo, int largura, int altura); // load or share; 0 on failure
void BRZSDL_RemoveSpriteSet(unsigned int id);                   // give up one holder
bool BRZSDL_DesenhaSprite(unsigned int identificador, unsigned int indice, int x, int y); // one blit
bool BRZSDL_DesenhaSpriteEfeito(unsigned int identificador, unsigned int indice, int* x, int* y,
                                Uint8 r, Uint8 g, Uint8 b, Uint8 a); // unsupported: always false

#endif
