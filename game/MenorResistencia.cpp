#include "MenorResistencia.h"

#include "brisa2d2.h"

namespace {

constexpr int kQuadroApagado = 0;
constexpr int kQuadroAceso = 1;

}  // namespace

MenorResistencia::MenorResistencia(math::Vector2D _posicao, unsigned int _spr)
    : sprIcone(_spr), posicao(_posicao), nQuadroAtual(kQuadroApagado) {}

void MenorResistencia::Aciona() { nQuadroAtual = kQuadroAceso; }

void MenorResistencia::Desenha() {
    BRZ_DesenhaSprite(sprIcone, static_cast<unsigned int>(nQuadroAtual), static_cast<int>(posicao.x),
                      static_cast<int>(posicao.y));
    // Lit for one draw only: the game has to trigger it again before the next.
    nQuadroAtual = kQuadroApagado;
}
