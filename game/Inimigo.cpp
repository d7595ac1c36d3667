#include "Inimigo.h"

#include "Animacao.h"
#include "brisa2d2.h"

namespace {

// The velocity is given per second of 60 updates.
constexpr float kAtualizacoesPorSegundo = 60.0f;

}  // namespace

Inimigo::Inimigo(unsigned int _sprSet, math::Vector2D _posicao, math::Vector2D _velocidade,
                 int _nQuadros, int _nTempoEntreQuadros)
    : posicao(_posicao),
      sprInimigo(_sprSet),
      nQuadros(_nQuadros),
      nTempoEntreQuadros(_nTempoEntreQuadros),
      nFrames(0),
      nQuadroAtual(0),
      velocidade(_velocidade) {}

void Inimigo::Atualiza() {
    posicao += velocidade / kAtualizacoesPorSegundo;
    AvancaAnimacao(nFrames, nQuadroAtual, nTempoEntreQuadros, nQuadros);
}

void Inimigo::Desenha() {
    BRZ_DesenhaSprite(sprInimigo, static_cast<unsigned int>(nQuadroAtual), static_cast<int>(posicao.x),
                      static_cast<int>(posicao.y));
}

int Inimigo::getQuadroAtual() const { return nQuadroAtual; }

math::Vector2D Inimigo::getPosicao() const { return posicao; }

void Inimigo::somaOffset(math::Vector2D _offset) { posicao += _offset; }

unsigned int Inimigo::getSprite() const { return sprInimigo; }

void Inimigo::Rebate() {
    // A sign flip, not a subtraction from zero: the bounce is its own inverse.
    velocidade.y = -velocidade.y;
}
