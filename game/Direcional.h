// An arrow icon of the play screen that lights up for one drawn frame when
// the game triggers it. Frame 1 of its set is the idle look, frame 0 the lit
// one, so a new arrow shows lit on its first draw. Owns nothing.
#ifndef VD_DIRECIONAL_H
#define VD_DIRECIONAL_H

#include "Vector2D.h"

class Direcional {
public:
    Direcional(unsigned int _spr, math::Vector2D _posicao);  // starts on frame 0 (lit)

    void Aciona();   // light the icon for the next draw
    void Desenha();  // frame nQuadroAtual at posicao (truncated), then back to idle

private:
    unsigned int sprIcone;   // two frames: 0 lit, 1 idle
    math::Vector2D posicao;  // top-left corner on the screen
    int nQuadroAtual;        // the frame the next draw shows
};

#endif
