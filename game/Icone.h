// The body both play-screen icons share (Direcional, MenorResistencia): a
// two-frame icon that shows its lit frame on the one draw after Aciona and
// its idle frame otherwise. QUADRO_ACESO and QUADRO_APAGADO name the lit and
// the idle frame of its sprite set; a new icon is on frame 0, whichever look
// that is. Owns nothing: the game loads the sprite set.
#ifndef VD_ICONE_H
#define VD_ICONE_H

#include "Vector2D.h"

template <int QUADRO_ACESO, int QUADRO_APAGADO>
class Icone {
public:
    void Aciona() { nQuadroAtual = QUADRO_ACESO; }  // light the icon for the next draw
    void Desenha();  // frame nQuadroAtual at posicao (truncated), then back to idle

protected:
    Icone(unsigned int _spr, math::Vector2D _posicao) : sprIcone(_spr), posicao(_posicao), nQuadroAtual(0) {}

private:
    unsigned int sprIcone;   // two frames: QUADRO_ACESO and QUADRO_APAGADO
    math::Vector2D posicao;  // top-left corner on the screen
    int nQuadroAtual;        // the frame the next draw shows
};

// The two icons the game has; Icone.cpp holds their code.
extern template class Icone<0, 1>;
extern template class Icone<1, 0>;

#endif
