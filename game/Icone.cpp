#include "Icone.h"

#include "brisa2d2.h"

template <int QUADRO_ACESO, int QUADRO_APAGADO>
void Icone<QUADRO_ACESO, QUADRO_APAGADO>::Desenha() {
    BRZ_DesenhaSprite(sprIcone, static_cast<unsigned int>(nQuadroAtual), static_cast<int>(posicao.x),
                      static_cast<int>(posicao.y));
    // Lit for one draw only: the game has to trigger it again before the next.
    nQuadroAtual = QUADRO_APAGADO;
}

template class Icone<0, 1>;
template class Icone<1, 0>;
