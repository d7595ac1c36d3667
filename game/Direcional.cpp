#include "Direcional.h"

#include "brisa2d2.h"

namespace {

constexpr int kQuadroAceso = 0;
constexpr int kQuadroApagado = 1;

}  // namespace

Direcional::Direcional(unsigned int _spr, math::Vector2D _posicao)
    : sprIcone(_spr), posicao(_posicao), nQuadroAtual(0) {}

void Direcional::Aciona() { nQuadroAtual = kQuadroAceso; }

void Direcional::Desenha() {
    BRZ_DesenhaSprite(sprIcone, static_cast<unsigned int>(nQuadroAtual), static_cast<int>(posicao.x),
                      static_cast<int>(posicao.y));
    // Lit for one draw only: the game has to trigger it again before the next.
    nQuadroAtual = kQuadroApagado;
}
