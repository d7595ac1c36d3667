// The moving figures, the icons and the time bar, through a recording draw slot.
#include <gtest/gtest.h>

#include <vector>

#include "Animacao.h"
#include "BarraTempo.h"
#include "Direcional.h"
#include "Inimigo.h"
#include "MenorResistencia.h"
#include "Nano.h"
#include "gravador.h"

namespace vdtest {
namespace {

using math::Vector2D;
using FiguraTest = TelaGravada;

// The frame index each draw asked for.
std::vector<unsigned int> Indices(const std::vector<Registro>& s) {
    std::vector<unsigned int> r;
    for (const Registro& d : s) r.push_back(d.indice);
    return r;
}

TEST(ContaAteTest, LimitOfZeroOrLessNeverMovesTheCounter) {
    for (int limite : {0, -1, -1000}) {
        int contador = 0, voltas = 0;
        for (int i = 0; i < 1000; ++i) voltas += ContaAte(contador, limite);
        EXPECT_EQ(contador, 0) << limite;
        EXPECT_EQ(voltas, 0) << limite;
    }
}

TEST_F(FiguraTest, NanoAnimatesSixFramesOfTenUpdatesAndDrawsAroundItsCentre) {
    Nano nano(Vector2D(512, 384), 6, 10, 7, 9);
    std::vector<unsigned int> quadroApos(61);  // frame drawn after u updates
    for (int u = 0; u <= 60; ++u) {
        nano.Desenha();
        quadroApos[size_t(u)] = Sprites().back().indice;
        nano.Atualiza();
    }
    EXPECT_EQ(quadroApos[9], 0u);
    EXPECT_EQ(quadroApos[10], 1u);
    EXPECT_EQ(quadroApos[59], 5u);
    EXPECT_EQ(quadroApos[60], 0u);
    const Registro d = Sprites().back();
    EXPECT_EQ(d.id, 9u);  // the drawn set is the last argument
    EXPECT_EQ(d.x, 432);
    EXPECT_EQ(d.y, 304);
    EXPECT_EQ(nano.getSpriteID(), 7u);
    EXPECT_EQ(nano.QuadroAtual(), 0);
    EXPECT_EQ(nano.Posicao(), Vector2D(472, 359));
}

TEST_F(FiguraTest, NanoSubtractsBeforeTruncating) {
    Nano(Vector2D(79.5f, 80.5f), 1, 1, 1, 2).Desenha();  // -0.5 and 0.5 both truncate to 0
    EXPECT_EQ(Sprites().back().x, 0);
    EXPECT_EQ(Sprites().back().y, 0);
}

TEST_F(FiguraTest, InimigoMovesASixtiethPerUpdateAndBouncesVertically) {
    Inimigo blob(5, Vector2D(10, 20), Vector2D(60, -120), 3, 2);
    blob.Atualiza();
    EXPECT_EQ(blob.getPosicao(), Vector2D(11, 18));
    EXPECT_EQ(blob.getQuadroAtual(), 0);
    blob.Rebate();
    blob.Atualiza();
    EXPECT_EQ(blob.getPosicao(), Vector2D(12, 20));
    EXPECT_EQ(blob.getQuadroAtual(), 1);
    blob.Rebate();
    blob.somaOffset(Vector2D(-3, 0));  // moves it, keeps velocity and frame
    EXPECT_EQ(blob.getPosicao(), Vector2D(9, 20));
    EXPECT_EQ(blob.getQuadroAtual(), 1);
    blob.Atualiza();
    EXPECT_EQ(blob.getPosicao(), Vector2D(10, 18));
    EXPECT_EQ(blob.getSprite(), 5u);

    Inimigo parado(5, Vector2D(0, 7), Vector2D(60, 0), 1, 1);
    parado.Rebate();
    parado.Atualiza();
    EXPECT_EQ(parado.getPosicao(), Vector2D(1, 7));
    EXPECT_EQ(parado.getQuadroAtual(), 0);  // one frame: never leaves it
}

TEST_F(FiguraTest, InimigoDrawsTruncatedTowardZero) {
    const float xs[] = {-0.5f, -1.5f, 2.7f};
    const int esperados[] = {0, -1, 2};
    for (int i = 0; i < 3; ++i) {
        Inimigo(4, Vector2D(xs[i], -xs[i]), Vector2D(), 2, 1).Desenha();
        EXPECT_EQ(Sprites().back().x, esperados[i]) << xs[i];
        EXPECT_EQ(Sprites().back().y, -esperados[i]) << xs[i];
    }
}

TEST_F(FiguraTest, AnimationWithNoFramesOrNoTimeStaysOnFrameZero) {
    const int casos[][2] = {{0, 10}, {-3, 10}, {6, 0}, {6, -1}, {0, 0}};  // frames, updates per frame
    for (const auto& c : casos) {
        Nano nano(Vector2D(), c[0], c[1], 1, 2);
        Inimigo blob(3, Vector2D(), Vector2D(60, 0), c[0], c[1]);
        for (int i = 0; i < 5000; ++i) nano.Atualiza(), blob.Atualiza();
        nano.Desenha();
        EXPECT_EQ(Sprites().back().indice, 0u) << c[0] << "," << c[1];
        EXPECT_EQ(blob.getQuadroAtual(), 0);
        EXPECT_EQ(blob.getPosicao(), Vector2D(5000, 0));  // it still moves
    }
}

TEST_F(FiguraTest, IconsLightForOneDrawInOppositeFrames) {
    Direcional seta(3, Vector2D(459.7f, 10.2f));
    MenorResistencia espaco(Vector2D(909.9f, 352.5f), 4);
    for (int i = 0; i < 3; ++i) seta.Desenha();
    EXPECT_EQ(Indices(Sprites()), (std::vector<unsigned int>{0, 1, 1}));
    seta.Aciona();
    seta.Aciona();
    seta.Desenha();
    seta.Desenha();
    EXPECT_EQ(Sprites()[3].indice, 0u);
    EXPECT_EQ(Sprites()[4].indice, 1u);
    EXPECT_EQ(Sprites()[0].id, 3u);
    EXPECT_EQ(Sprites()[0].x, 459);
    EXPECT_EQ(Sprites()[0].y, 10);

    Recomeca();
    espaco.Desenha();
    espaco.Aciona();
    espaco.Desenha();
    espaco.Desenha();
    const std::vector<Registro> s = Sprites();
    EXPECT_EQ(Indices(s), (std::vector<unsigned int>{0, 1, 0}));
    EXPECT_EQ(s[0].id, 4u);
    EXPECT_EQ(s[0].x, 909);
    EXPECT_EQ(s[0].y, 352);
}

// Updates until the bar first moves: how many it took, and by how much.
struct Passo {
    int atualizacoes, pixels;
};
class BarraTempoTest : public TelaGravada {
protected:
    // The bar's drawn y (the bar is the first of the two draws).
    int YDaBarra(BarraTempo& barra) {
        barra.Desenha();
        return Sprites()[Sprites().size() - 2].y;
    }
    Passo PrimeiroPasso(BarraTempo& barra) {
        const int inicio = YDaBarra(barra);
        for (int u = 1; u <= 100000; ++u) {
            barra.Atualiza();
            const int y = YDaBarra(barra);
            if (y != inicio) return {u, y - inicio};
        }
        return {-1, 0};
    }
};

TEST_F(BarraTempoTest, StepPeriodAndSizeFollowTheRunTime) {
    struct {
        int tempo;
        Passo passo;
    } casos[] = {{20000, {30, 1}}, {678, {1, 1}}, {679, {2, 1}}, {1356, {2, 1}}, {1357, {3, 1}},
                 {300, {1, 2}},    {100, {1, 6}}, {1, {1, 678}}, {0, {1, 678}}, {-20000, {1, 678}}};
    for (const auto& c : casos) {
        BarraTempo barra(c.tempo, Vector2D(0, 45), 1, 2);
        const Passo p = PrimeiroPasso(barra);
        EXPECT_EQ(p.atualizacoes, c.passo.atualizacoes) << c.tempo;
        EXPECT_EQ(p.pixels, c.passo.pixels) << c.tempo;
        const Passo segundo = PrimeiroPasso(barra);  // steady, not a one-off
        EXPECT_EQ(segundo.atualizacoes, c.passo.atualizacoes) << c.tempo;
    }
}

TEST_F(BarraTempoTest, GameBarRunsOutAfter21630Updates) {
    BarraTempo barra(20000, Vector2D(0, 45), 1, 2);
    barra.Desenha();
    ASSERT_EQ(Sprites().size(), 2u);
    EXPECT_EQ(Sprites()[0].id, 2u);  // the bar first, the frame over it
    EXPECT_EQ(Sprites()[1].id, 1u);
    EXPECT_EQ(Sprites()[0].y, 0);
    for (int u = 0; u < 21629; ++u) barra.Atualiza();
    EXPECT_EQ(barra.Acabou(), 0);
    barra.Atualiza();
    EXPECT_EQ(barra.Acabou(), 1);
    EXPECT_EQ(YDaBarra(barra), 721);
}

TEST_F(BarraTempoTest, OverFromY721) {
    const float inicios[] = {720.0f, 720.9f, 721.0f, 721.5f};
    const int acabou[] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(BarraTempo(20000, Vector2D(0, inicios[i] + 45), 1, 2).Acabou(), acabou[i]) << inicios[i];
}

TEST_F(BarraTempoTest, ResetStartsAFullPeriodFromTheStart) {
    BarraTempo barra(20000, Vector2D(10.7f, 45.9f), 1, 2);
    for (int u = 0; u < 45; ++u) barra.Atualiza();
    EXPECT_EQ(YDaBarra(barra), 1);
    barra.Reset();
    barra.Desenha();
    EXPECT_EQ(Sprites().back().x, 10);
    EXPECT_EQ(Sprites()[Sprites().size() - 2].y, 0);
    EXPECT_EQ(PrimeiroPasso(barra).atualizacoes, 30);
}

}  // namespace
}  // namespace vdtest
