#include "Coracao.h"

#include "Animacao.h"
#include "brisa2d2.h"
#include "brisaaudio2.h"

namespace {

// Pan position of the beat: the middle of the stereo field.
constexpr int kPanCentro = 0;

}  // namespace

Coracao::Coracao(int _nQuadros, int _nIntervaloEntreBatidasD, int _nIntervaloEntreBatidasS,
                 int _nIntervaloEntreBatidasQ, math::Vector2D _resistenciaBatimento,
                 math::Vector2D _posicao, unsigned int _spr, unsigned int _snd)
    : nQuadros(_nQuadros),
      nQuadroAtual(0),
      nIntervaloEntreBatidasQ(_nIntervaloEntreBatidasQ),
      nFramesQ(0),
      nIntervaloEntreBatidasS(_nIntervaloEntreBatidasS),
      nFramesS(0),
      nFramesD(0),
      nIntervaloEntreBatidasD(_nIntervaloEntreBatidasD),
      sndBatida(_snd),
      sprCoracao(_spr),
      resistenciaBatimento(_resistenciaBatimento),
      posicao(_posicao) {}

math::Vector2D Coracao::Atualiza() {
    // The D and S counters drive nothing; they wrap at their own interval so
    // that a heart left running for months never overflows them.
    ContaAte(nFramesD, nIntervaloEntreBatidasD);
    ContaAte(nFramesS, nIntervaloEntreBatidasS);
    if (!AvancaAnimacao(nFramesQ, nQuadroAtual, nIntervaloEntreBatidasQ, nQuadros)) return math::Vector2D();
    BateCoracao();
    return resistenciaBatimento;
}

void Coracao::Desenha() {
    BRZ_DesenhaSprite(sprCoracao, static_cast<unsigned int>(nQuadroAtual), static_cast<int>(posicao.x),
                      static_cast<int>(posicao.y));
}

void Coracao::BateCoracao() { BZA_TocaEfeito(sndBatida, kPanCentro); }
