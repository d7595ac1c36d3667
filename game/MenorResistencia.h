// The least-resistance icon of the play screen: lights up for one drawn
// frame when the game triggers it. Frame 0 of its set is the idle look,
// frame 1 the lit one; a new icon starts idle. Owns nothing.
#ifndef VD_MENORRESISTENCIA_H
#define VD_MENORRESISTENCIA_H

#include "Vector2D.h"

class MenorResistencia {
public:
    MenorResistencia(math::Vector2D _posicao, unsigned int _spr);  // note: position first; starts idle

    void Aciona();   // light the icon for the next draw
    void Desenha();  // frame nQuadroAtual at posicao (truncated), then back to idle

private:
    unsigned int sprIcone;   // two frames: 0 idle, 1 lit
    math::Vector2D posicao;  // top-left corner on the screen
    int nQuadroAtual;        // the frame the next draw shows
};

#endif
