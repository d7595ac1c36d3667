// The time bar: a bar picture that slides down behind a fixed frame picture,
// one step every so many updates, until it reaches the line where the run's
// time is over. Holds sprite-set identifiers only; owns nothing.
#ifndef VD_BARRATEMPO_H
#define VD_BARRATEMPO_H

#include "Vector2D.h"

class BarraTempo {
public:
    // Both pictures start at _posicao - (0, 45). _nTempoEmQuadros is the run's
    // time in updates; a time below 1 counts as 1 (the bar drops its whole
    // height on every update), so the bar always runs out.
    BarraTempo(int _nTempoEmQuadros, math::Vector2D _posicao, unsigned int _sprSB, unsigned int _sprB);

    void Atualiza();     // one update; every nTempoEntreQuadros updates the bar steps down
    void Desenha();      // bar at posicaoB, then the frame over it at posicaoC (truncated)
    int Acabou() const;  // 1 once the bar has reached y 721, else 0
    void Reset();        // bar back to its start; the next step after a full period

private:
    unsigned int sprContainer;  // fixed frame, drawn over the bar
    unsigned int sprBarra;      // sliding bar
    int nTempoEmQuadros;        // the run's time, updates (at least 1)
    int nTempoEntreQuadros;     // updates between two steps (at least 1)
    int nFrames;                // updates since the last step
    math::Vector2D posicaoC;    // frame picture's corner; fixed
    math::Vector2D posicaoB;    // bar picture's corner; moves down
};

#endif
