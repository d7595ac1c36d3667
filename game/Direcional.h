// An arrow icon of the play screen that lights up for one drawn frame when
// the game triggers it. Frame 1 of its set is the idle look, frame 0 the lit
// one, so a new arrow shows lit on its first draw. Owns nothing.
#ifndef VD_DIRECIONAL_H
#define VD_DIRECIONAL_H

#include "Icone.h"
#include "Vector2D.h"

// Aciona() lights it for the next draw; Desenha() draws frame nQuadroAtual at
// posicao (truncated), then goes back to idle (Icone).
class Direcional : public Icone<0, 1> {
public:
    Direcional(unsigned int _spr, math::Vector2D _posicao);  // starts on frame 0 (lit)
};

#endif
