#include "Transicao.h"

#include "Esmaecimento.h"
#include "brisa2d2.h"

Transicao::Transicao(unsigned int _sprTela, unsigned int _sprPreto, int _nQuadrosExibicao, int _nQuadrosES)
    : sprTela(_sprTela),
      sprPreto(_sprPreto),
      x(),
      y(),
      nQuadrosExibicao(_nQuadrosExibicao),
      nFrames(0),
      nQuadrosES(_nQuadrosES) {
    CantosDaTela(x, y);
}

void Transicao::Toca() {
    Clareia();
    Segura();
    Escurece();
}

void Transicao::Clareia() { Esmaece(nFrames, nQuadrosES, sprTela, sprPreto, x, y, AlfaClareando); }

void Transicao::Segura() {
    // Read once: the engine refreshes this array in every sync, so the flag
    // tested first is the one gathered by the last fade-in frame.
    const BRZ_Botao* teclas = BRZ_PegaTeclas();
    nFrames = 0;
    if (nQuadrosExibicao > kExibicaoMaximaContada) {
        while (!teclas[BRZ_ESPACO].pressionado && !BRZ_SinalRecebido()) BRZ_Sincroniza(kFpsTelas);
        return;
    }
    for (; nFrames < nQuadrosExibicao && !BRZ_SinalRecebido(); ++nFrames) BRZ_Sincroniza(kFpsTelas);
}

void Transicao::Escurece() { Esmaece(nFrames, nQuadrosES, sprTela, sprPreto, x, y, AlfaEscurecendo); }
