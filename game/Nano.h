// The player's nanobot: animates through a strip of frames at a fixed rate
// and draws itself centred on its position. It never moves by itself (the
// map scrolls past it). Holds sprite-set identifiers only; owns nothing.
#ifndef VD_NANO_H
#define VD_NANO_H

#include "Vector2D.h"

class Nano {
public:
    // Note the order: collision set before drawn set. Frame counters start at 0.
    // A frame count or time per frame of 0 or less keeps the nanobot on frame 0.
    Nano(math::Vector2D _posicao, int _nQuadros, int _nTempoEntreQuadros, unsigned int _sprNanoC,
         unsigned int _sprNano);

    void Atualiza();                  // one animation step
    void Desenha();                   // frame of sprNano centred on posicao; engine result ignored
    int QuadroAtual() const;          // always 0: the collision picture has one frame
    math::Vector2D Posicao() const;   // posicao - (40, 25): corner of the collision picture
    unsigned int getSpriteID() const; // the collision sprite set

private:
    math::Vector2D posicao;   // centre on the screen, pixels
    unsigned int sprNano;     // drawn animation
    unsigned int sprNanoC;    // collision picture
    int nQuadros;             // animation frames
    int nTempoEntreQuadros;   // updates per frame
    int nFrames;              // updates since the last step
    int nQuadroAtual;         // 0 .. nQuadros - 1
};

#endif
