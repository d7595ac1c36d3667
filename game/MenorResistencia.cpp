#include "MenorResistencia.h"

MenorResistencia::MenorResistencia(math::Vector2D _posicao, unsigned int _spr) : Icone(_spr, _posicao) {}
