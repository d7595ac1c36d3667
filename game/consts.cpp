#include "consts.h"

#include "Nivel.h"

const int largura = 1024;
const int altura = 768;
int xini = kInicioMapaX;
int yini = kInicioMapaY;
math::Vector2D posini{float(xini), float(yini)};
math::Vector2D vecPosicao = posini;
int g_offset = kNanoCentroX;
float offsetX = 1.5f;
int idioma = 0;

void resetpos() { vecPosicao = posini; }
