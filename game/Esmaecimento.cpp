#include "Esmaecimento.h"

#include "brisa2d2.h"

namespace {

constexpr int kLarguraTela = 1024;
constexpr int kAlturaTela = 768;
constexpr float kAlfaMaximo = 255.0f;
constexpr Uint8 kTintaNeutra = 255;

// How dark frame n of `total` is, from 0 (clear) to 255 (black), before truncation.
float Escuridao(int n, int total) { return kAlfaMaximo * static_cast<float>(n) / static_cast<float>(total); }

}  // namespace

void CantosDaTela(int* x, int* y) {
    const int xs[kCantosSobreposicao] = {0, 0, kLarguraTela, kLarguraTela};
    const int ys[kCantosSobreposicao] = {0, kAlturaTela, kAlturaTela, 0};
    for (int i = 0; i < kCantosSobreposicao; ++i) {
        x[i] = xs[i];
        y[i] = ys[i];
    }
}

Uint8 AlfaEscurecendo(int n, int total) { return static_cast<Uint8>(static_cast<int>(Escuridao(n, total))); }

// Truncated only after the subtraction: 255 - 8.5 gives 246, not 247.
Uint8 AlfaClareando(int n, int total) {
    return static_cast<Uint8>(static_cast<int>(kAlfaMaximo - Escuridao(n, total)));
}

void DesenhaQuadroEsmaecido(unsigned int sprTela, unsigned int sprPreto, int* x, int* y, Uint8 alfa) {
    BRZ_LimpaTela();
    BRZ_DesenhaSprite(sprTela, 0, 0, 0);
    BRZ_DesenhaSpriteEfeito(sprPreto, 0, x, y, kTintaNeutra, kTintaNeutra, kTintaNeutra, alfa);
    BRZ_Sincroniza(kFpsTelas);
}

void Esmaece(int& nFrames, int total, unsigned int sprTela, unsigned int sprPreto, int* x, int* y,
             Uint8 (*alfa)(int n, int total)) {
    nFrames = 0;
    while (nFrames < total && !BRZ_SinalRecebido()) {
        ++nFrames;
        DesenhaQuadroEsmaecido(sprTela, sprPreto, x, y, alfa(nFrames, total));
    }
}
