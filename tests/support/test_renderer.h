// The ten dispatch operations of a renderer written by a test: those the
// core shares go straight to its shared steps with the test's table `T`,
// and the draws do nothing (a draw answers false). A test builds its table
// from these and adds only the steps it watches.
#ifndef VD_TEST_RENDERER_H
#define VD_TEST_RENDERER_H

#include "brisa2d2.h"

template <const BRZ_Renderizador& T>
struct RepasseAoNucleo {
    static void Encerra() { BRZ_EncerraCom(T); }
    static void Sincroniza(Uint8 fps) {
        static Uint32 tempoAnterior = 0;
        BRZ_SincronizaCom(T, fps, &tempoAnterior);
    }
    static void LimpaTela() {}
    static void TrocaCor(Uint8, Uint8, Uint8) {}
    static void Limita(int, int, int, int) {}
    static void Libera() {}
    static unsigned int Carrega(const char* arquivo, int largura, int altura) {
        return BRZ_CarregaSpriteSetCom(T, arquivo, largura, altura);
    }
    static void Remove(unsigned int id) { BRZ_RemoveSpriteSetCom(T, id); }
    static bool Desenha(unsigned int, unsigned int, int, int) { return false; }
    static bool DesenhaEfeito(unsigned int, unsigned int, int*, int*, Uint8, Uint8, Uint8, Uint8) { return false; }
};

#endif
