#include "BarraTempo.h"

#include <algorithm>

#include "Animacao.h"
#include "brisa2d2.h"

namespace {

// Height of the bar in pixels: the run's time is spread over it.
constexpr int alturaBarra = 678;
// How far above the given position both pictures start.
constexpr int offset = 45;
// The bar's y at which the time is over.
constexpr float kLinhaFim = 721.0f;
// The shortest run the bar can measure.
constexpr int kTempoMinimo = 1;

// Updates per step: the time over the bar's height, rounded up.
int PeriodoDoPasso(int tempo) { return tempo / alturaBarra + (tempo % alturaBarra != 0 ? 1 : 0); }

// Pixels per step: more than one only when the run is shorter than the bar is high.
int TamanhoDoPasso(int tempo) { return std::max(alturaBarra / tempo, 1); }

}  // namespace

BarraTempo::BarraTempo(int _nTempoEmQuadros, math::Vector2D _posicao, unsigned int _sprSB,
                       unsigned int _sprB)
    : sprContainer(_sprSB),
      sprBarra(_sprB),
      nTempoEmQuadros(std::max(_nTempoEmQuadros, kTempoMinimo)),
      nTempoEntreQuadros(PeriodoDoPasso(nTempoEmQuadros)),
      nFrames(0),
      posicaoC(_posicao - math::Vector2D(0.0f, static_cast<float>(offset))),
      posicaoB(posicaoC) {}

void BarraTempo::Atualiza() {
    if (!ContaAte(nFrames, nTempoEntreQuadros)) return;
    posicaoB.y += static_cast<float>(TamanhoDoPasso(nTempoEmQuadros));
}

void BarraTempo::Desenha() {
    BRZ_DesenhaSprite(sprBarra, 0, static_cast<int>(posicaoB.x), static_cast<int>(posicaoB.y));
    BRZ_DesenhaSprite(sprContainer, 0, static_cast<int>(posicaoC.x), static_cast<int>(posicaoC.y));
}

int BarraTempo::Acabou() const { return posicaoB.y >= kLinhaFim ? 1 : 0; }

void BarraTempo::Reset() {
    posicaoB = posicaoC;
    nFrames = 0;
}
