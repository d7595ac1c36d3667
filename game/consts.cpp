#include "consts.h"

const int largura = 1024;
const int altura = 768;
int xini = -250;
int yini = -650;
math::Vector2D posini{float(xini), float(yini)};
math::Vector2D vecPosicao = posini;
int g_offset = 512;
float offsetX = 1.5f;
int idioma = 0;

void resetpos() { vecPosicao = posini; }
