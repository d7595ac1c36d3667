// Frame counters shared by the animated entities (Nano, Inimigo, Coracao).
//
// An animation is a counter pair: nFrames counts updates up to the time per
// frame, then nQuadroAtual advances and wraps at the frame count. A limit of
// 0 or less means there is nothing to count towards: the counter stands
// still instead of climbing for ever (it would overflow after ~414 days at
// 60 updates per second), so such an animation simply stays on frame 0.
#ifndef VD_ANIMACAO_H
#define VD_ANIMACAO_H

// Adds one to `contador` (kept in 0..limite-1); true when it reaches `limite`
// and starts again at 0. A `limite` of 0 or less leaves it untouched: false.
inline bool ContaAte(int& contador, int limite) {
    if (limite <= 0) return false;
    if (++contador < limite) return false;
    contador = 0;
    return true;
}

// One update of an animation; true on the update in which it wraps from its
// last frame back to frame 0 (the update in which a heart beats).
inline bool AvancaAnimacao(int& nFrames, int& nQuadroAtual, int nTempoEntreQuadros, int nQuadros) {
    return ContaAte(nFrames, nTempoEntreQuadros) && ContaAte(nQuadroAtual, nQuadros);
}

#endif
