// Records what the game entities ask of the engine: recording functions go
// into the dispatch slots for one test and the key states follow a script,
// refreshed in every sync like the real engine does. No window is needed.
#ifndef VD_GRAVADOR_H
#define VD_GRAVADOR_H

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "brisa2d2.h"
#include "testsupport.h"

namespace vdtest {

enum class Chamada { Limpa, Sprite, Efeito, Sincroniza };

struct Registro {
    Chamada tipo;
    unsigned int id = 0, indice = 0;
    int x = 0, y = 0;           // Sprite: top-left corner
    int xs[4] = {}, ys[4] = {};  // Efeito: corners
    Uint8 r = 0, g = 0, b = 0, a = 0;
};

// One frame: every call up to and including its sync.
using Quadro = std::vector<Registro>;

class TelaGravada : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Recomeca();  // empty log, script and sync count, keys up: a fresh case in the same test
    // Key `tecla` goes down during the poll of sync number `sincronia` (from 1).
    void Pressiona(int sincronia, int tecla) { roteiro_[sincronia].push_back(tecla); }
    const std::vector<Registro>& Chamadas() const { return chamadas_; }
    std::vector<Registro> Sprites() const;   // the Sprite calls alone
    std::vector<Quadro> Quadros() const;     // the calls cut after every sync
    int Sincronias() const { return sincronias_; }

private:
    static TelaGravada* atual_;
    static void Grava(const Registro& r) { atual_->chamadas_.push_back(r); }
    static void Limpa();
    static bool Sprite(unsigned int id, unsigned int indice, int x, int y);
    static bool Efeito(unsigned int id, unsigned int indice, int* x, int* y, Uint8 r, Uint8 g, Uint8 b,
                       Uint8 a);
    static void Sincroniza(Uint8 fps);

    std::vector<Registro> chamadas_;
    std::map<int, std::vector<int>> roteiro_;
    int sincronias_ = 0;
    FrameSlots slots_;
};

}  // namespace vdtest

#endif
