// The beating heart in a corner of the play screen. It animates through its
// frames; each time the animation wraps back to frame 0 it beats: it plays
// the beat sound and hands the game its push-back vector for that update.
// Holds sprite-set and sound identifiers only; owns nothing.
#ifndef VD_CORACAO_H
#define VD_CORACAO_H

#include "Vector2D.h"

class Coracao {
public:
    // Note the order of the intervals: D, S, Q. Only Q (updates per frame)
    // paces the heart; D and S are kept for their counters alone. A frame
    // count or Q interval of 0 or less makes a heart that never beats.
    Coracao(int _nQuadros, int _nIntervaloEntreBatidasD, int _nIntervaloEntreBatidasS,
            int _nIntervaloEntreBatidasQ, math::Vector2D _resistenciaBatimento, math::Vector2D _posicao,
            unsigned int _spr, unsigned int _snd);

    math::Vector2D Atualiza();  // one update: resistenciaBatimento on a beat, else (0, 0)
    void Desenha();             // current frame at posicao (truncated); result ignored
    void BateCoracao();         // plays sndBatida centred; the channel is ignored

private:
    int nQuadros;                         // animation frames
    int nQuadroAtual;                     // 0 .. nQuadros - 1
    int nIntervaloEntreBatidasQ;          // updates per frame
    int nFramesQ;                         // updates since the last frame step
    int nIntervaloEntreBatidasS;          // kept; paces nothing
    int nFramesS;                         // counts 0 .. S interval - 1; read by nothing
    int nFramesD;                         // counts 0 .. D interval - 1; read by nothing
    int nIntervaloEntreBatidasD;          // kept; paces nothing
    unsigned int sndBatida;               // beat effect
    unsigned int sprCoracao;              // one frame per animation step
    math::Vector2D resistenciaBatimento;  // returned by the update that beats
    math::Vector2D posicao;               // top-left corner on the screen
};

#endif
