#include "Nano.h"

#include "Animacao.h"
#include "brisa2d2.h"

namespace {

// Half of the 160x160 nanobot frame: drawing from here centres it on posicao.
constexpr float kMeioQuadro = 80.0f;
// Corner of the collision picture relative to the centre.
const math::Vector2D kCantoColisao(40.0f, 25.0f);

}  // namespace

Nano::Nano(math::Vector2D _posicao, int _nQuadros, int _nTempoEntreQuadros, unsigned int _sprNanoC,
           unsigned int _sprNano)
    : posicao(_posicao),
      sprNano(_sprNano),
      sprNanoC(_sprNanoC),
      nQuadros(_nQuadros),
      nTempoEntreQuadros(_nTempoEntreQuadros),
      nFrames(0),
      nQuadroAtual(0) {}

void Nano::Atualiza() { AvancaAnimacao(nFrames, nQuadroAtual, nTempoEntreQuadros, nQuadros); }

void Nano::Desenha() {
    // Subtract in float first, then truncate toward zero like every engine coordinate.
    const int x = static_cast<int>(posicao.x - kMeioQuadro);
    const int y = static_cast<int>(posicao.y - kMeioQuadro);
    BRZ_DesenhaSprite(sprNano, static_cast<unsigned int>(nQuadroAtual), x, y);
}

int Nano::QuadroAtual() const { return 0; }

math::Vector2D Nano::Posicao() const { return posicao - kCantoColisao; }

unsigned int Nano::getSpriteID() const { return sprNanoC; }
