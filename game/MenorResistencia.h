// The least-resistance icon of the play screen: lights up for one drawn
// frame when the game triggers it. Frame 0 of its set is the idle look,
// frame 1 the lit one; a new icon starts idle. Owns nothing.
#ifndef VD_MENORRESISTENCIA_H
#define VD_MENORRESISTENCIA_H

#include "Icone.h"
#include "Vector2D.h"

// Aciona() lights it for the next draw; Desenha() draws frame nQuadroAtual at
// posicao (truncated), then goes back to idle (Icone).
class MenorResistencia : public Icone<1, 0> {
public:
    MenorResistencia(math::Vector2D _posicao, unsigned int _spr);  // note: position first; starts idle
};

#endif
