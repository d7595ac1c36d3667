// Game-wide values: the screen, the map's start and current position, the
// nanobot's screen x, the vertical step and the chosen language.
#ifndef VD_CONSTS_H
#define VD_CONSTS_H

#include "Vector2D.h"

extern const int largura;          // screen width passed to the engine (1024)
extern const int altura;           // screen height passed to the engine (768)
extern int xini;                   // map tile 0's start x on screen (-250)
extern int yini;                   // map tile 0's start y on screen (-650)
extern math::Vector2D posini;      // (xini, yini); never changes after start-up
extern math::Vector2D vecPosicao;  // where map tile 0's top-left corner is on screen now
extern int g_offset;               // screen x of the nanobot's centre (512)
extern float offsetX;              // despite its name, the vertical step: px per frame while a key block is held (1.5)
extern int idioma;                 // 0 Portuguese, 1 English

void resetpos();                   // vecPosicao = posini

#endif
