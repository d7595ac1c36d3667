// A fat blob: drifts with a constant velocity, animates, turns its vertical
// motion round on demand, follows the scrolling world by offsets and draws
// with its top-left corner at its position. Owns nothing.
#ifndef VD_INIMIGO_H
#define VD_INIMIGO_H

#include "Vector2D.h"

class Inimigo {
public:
    // _velocidade is in pixels per 60 updates. Frame counters start at 0.
    // A frame count or time per frame of 0 or less keeps the blob on frame 0.
    Inimigo(unsigned int _sprSet, math::Vector2D _posicao, math::Vector2D _velocidade, int _nQuadros,
            int _nTempoEntreQuadros);

    void Atualiza();                     // move by velocidade / 60, then one animation step
    void Desenha();                      // current frame at posicao (truncated); result ignored
    int getQuadroAtual() const;          // current animation frame
    math::Vector2D getPosicao() const;   // top-left corner on the screen
    void somaOffset(math::Vector2D _offset);  // shift the position; velocity and frame untouched
    unsigned int getSprite() const;      // the blob's sprite set
    void Rebate();                       // flip the sign of the vertical velocity (0 becomes -0)

private:
    math::Vector2D posicao;     // top-left corner on the screen, pixels
    unsigned int sprInimigo;    // sprite set
    int nQuadros;               // animation frames
    int nTempoEntreQuadros;     // updates per frame
    int nFrames;                // updates since the last step
    int nQuadroAtual;           // 0 .. nQuadros - 1
    math::Vector2D velocidade;  // pixels per 60 updates
};

#endif
