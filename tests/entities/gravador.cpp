#include "gravador.h"

#include <algorithm>

namespace vdtest {

namespace {

// A screen loop still running after this many frames is stuck: every key
// goes down so that it can return and the test can fail instead of hang.
constexpr int kSincroniasMaximas = 100000;

void SoltaTudo() { std::fill_n(BRZ_PegaTeclas(), int(BRZ_MAXTECLAS), BRZ_Botao{}); }

}  // namespace

TelaGravada* TelaGravada::atual_ = nullptr;

void TelaGravada::SetUp() {
    atual_ = this;
    slots_.Install(Limpa, Sprite, Efeito, Sincroniza);
    SoltaTudo();
}

void TelaGravada::Recomeca() {
    chamadas_.clear();
    roteiro_.clear();
    sincronias_ = 0;
    SoltaTudo();
}

void TelaGravada::TearDown() {
    slots_.Restore();
    SoltaTudo();
    atual_ = nullptr;
}

void TelaGravada::Limpa() { Grava({Chamada::Limpa}); }

bool TelaGravada::Sprite(unsigned int id, unsigned int indice, int x, int y) {
    Registro r{Chamada::Sprite};
    r.id = id, r.indice = indice, r.x = x, r.y = y;
    Grava(r);
    return true;
}

bool TelaGravada::Efeito(unsigned int id, unsigned int indice, int* x, int* y, Uint8 cr, Uint8 cg, Uint8 cb,
                         Uint8 ca) {
    Registro r{Chamada::Efeito};
    r.id = id, r.indice = indice, r.r = cr, r.g = cg, r.b = cb, r.a = ca;
    std::copy_n(x, 4, r.xs);
    std::copy_n(y, 4, r.ys);
    Grava(r);
    return true;
}

// Like the engine's poll: the one-frame flags drop, then this frame's presses land.
void TelaGravada::Sincroniza(Uint8) {
    Grava({Chamada::Sincroniza});
    BRZ_Botao* teclas = BRZ_PegaTeclas();
    for (int t = 0; t < BRZ_MAXTECLAS; ++t) teclas[t].pressionado = teclas[t].liberado = false;
    for (int t : atual_->roteiro_[++atual_->sincronias_]) BRZ_PressionaBotao(&teclas[t]);
    if (atual_->sincronias_ >= kSincroniasMaximas) {
        ADD_FAILURE() << "screen loop still running after " << kSincroniasMaximas << " frames";
        for (int t = 0; t < BRZ_MAXTECLAS; ++t) BRZ_PressionaBotao(&teclas[t]);
    }
}

std::vector<Registro> TelaGravada::Sprites() const {
    std::vector<Registro> s;
    std::copy_if(chamadas_.begin(), chamadas_.end(), std::back_inserter(s),
                 [](const Registro& r) { return r.tipo == Chamada::Sprite; });
    return s;
}

std::vector<Quadro> TelaGravada::Quadros() const {
    std::vector<Quadro> quadros(1);
    for (const Registro& r : chamadas_) {
        quadros.back().push_back(r);
        if (r.tipo == Chamada::Sincroniza) quadros.emplace_back();
    }
    if (quadros.back().empty()) quadros.pop_back();
    return quadros;
}

}  // namespace vdtest
