#include "Direcional.h"

Direcional::Direcional(unsigned int _spr, math::Vector2D _posicao) : Icone(_spr, _posicao) {}
