// Menu and picture screens driven frame by frame through recording slots.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "Menu.h"
#include "Transicao.h"
#include "gravador.h"

namespace vdtest {
namespace {

constexpr unsigned int kTela = 11, kPreto = 12;
constexpr int kEspera = -1, kApresentacao = -2, kEstranho = -99;

// One number per frame: a fade frame's alpha, kEspera for a frame that only
// syncs, kApresentacao for the bare picture, kEstranho for anything else
// (wrong sprite, corners, tint or call order).
int ResumoDoQuadro(const Quadro& q) {
    auto e = [&](size_t i, Chamada c) { return q.size() > i && q[i].tipo == c; };
    auto imagem = [&](size_t i) {
        return e(i, Chamada::Sprite) && q[i].id == kTela && q[i].indice == 0 && q[i].x == 0 && q[i].y == 0;
    };
    if (q.size() == 1 && e(0, Chamada::Sincroniza)) return kEspera;
    if (q.size() == 3 && e(0, Chamada::Limpa) && imagem(1) && e(2, Chamada::Sincroniza)) return kApresentacao;
    const bool esmaecido = q.size() == 4 && e(0, Chamada::Limpa) && imagem(1) && e(2, Chamada::Efeito) &&
                           e(3, Chamada::Sincroniza);
    if (!esmaecido) return kEstranho;
    const Registro& f = q[2];
    const bool cantos = f.xs[0] == 0 && f.ys[0] == 0 && f.xs[1] == 0 && f.ys[1] == 768 && f.xs[2] == 1024 &&
                        f.ys[2] == 768 && f.xs[3] == 1024 && f.ys[3] == 0;
    const bool preto = f.id == kPreto && f.indice == 0 && f.r == 255 && f.g == 255 && f.b == 255;
    return cantos && preto ? f.a : kEstranho;
}

std::vector<int> Resumo(const std::vector<Quadro>& quadros) {
    std::vector<int> r;
    for (const Quadro& q : quadros) r.push_back(ResumoDoQuadro(q));
    return r;
}

// Expected alphas in exact integer arithmetic: floor of 255n/N and of 255 - 255n/N.
std::vector<int> Escurecendo(int total) {
    std::vector<int> a;
    for (int n = 1; n <= total; ++n) a.push_back(255 * n / total);
    return a;
}
std::vector<int> Clareando(int total) {
    std::vector<int> a;
    for (int n = 1; n <= total; ++n) a.push_back(255 * (total - n) / total);
    return a;
}
std::vector<int> Repete(int valor, int vezes) { return std::vector<int>(size_t(vezes), valor); }
std::vector<int> Junta(std::initializer_list<std::vector<int>> partes) {
    std::vector<int> r;
    for (const auto& p : partes) r.insert(r.end(), p.begin(), p.end());
    return r;
}

using MenuTest = TelaGravada;
using TransicaoTest = TelaGravada;

TEST_F(MenuTest, ShowsThreeFramesWaitsWithoutDrawingThenFadesOut) {
    Pressiona(1, BRZ_ENTER);  // during the first frames: never read
    Pressiona(5, BRZ_ENTER);
    EXPECT_EQ(Menu(kTela, kPreto, 0, 60, 0).Toca(), 1);
    const std::vector<int> alfas = Escurecendo(60);
    EXPECT_EQ(alfas[0], 4);
    EXPECT_EQ(alfas[2], 12);
    EXPECT_EQ(alfas.back(), 255);
    // Polls after syncs 3, 4 and 5; the last ends with its own sync.
    EXPECT_EQ(Resumo(Quadros()), Junta({Repete(kApresentacao, 3), Repete(kEspera, 3), alfas}));
}

struct CasoTecla {
    int idioma, tecla, escolha;  // escolha -1: the key is not a menu key in that language
};

class MenuTeclaTest : public TelaGravada, public ::testing::WithParamInterface<CasoTecla> {};

TEST_P(MenuTeclaTest, KeyGivesItsChoiceOrIsIgnored) {
    const CasoTecla c = GetParam();
    Pressiona(3, c.tecla);
    Pressiona(4, BRZ_C);  // answers only when the first key was ignored
    const int esperada = c.escolha >= 0 ? c.escolha : MENU_CREDITOS;
    EXPECT_EQ(Menu(kTela, kPreto, 0, 0, c.idioma).Toca(), esperada);
    EXPECT_EQ(Sincronias(), c.escolha >= 0 ? 4 : 5);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, MenuTeclaTest,
    ::testing::Values(CasoTecla{0, BRZ_S, 0}, CasoTecla{0, BRZ_ESC, 0}, CasoTecla{0, BRZ_J, 1},
                      CasoTecla{0, BRZ_ENTER, 1}, CasoTecla{0, BRZ_ESPACO, 1}, CasoTecla{0, BRZ_T, 2},
                      CasoTecla{0, BRZ_C, 3}, CasoTecla{0, BRZ_X, -1}, CasoTecla{0, BRZ_P, -1},
                      CasoTecla{1, BRZ_X, 0}, CasoTecla{1, BRZ_ESC, 0}, CasoTecla{1, BRZ_P, 1},
                      CasoTecla{1, BRZ_ENTER, 1}, CasoTecla{1, BRZ_ESPACO, 1}, CasoTecla{7, BRZ_T, 2},
                      CasoTecla{-1, BRZ_C, 3}, CasoTecla{1, BRZ_S, -1}, CasoTecla{1, BRZ_J, -1},
                      CasoTecla{0, BRZ_ENCERRA, -1}, CasoTecla{1, BRZ_A, -1}),
    [](const ::testing::TestParamInfo<CasoTecla>& i) {
        const CasoTecla& c = i.param;
        const std::string resultado = c.escolha < 0 ? "ignored" : "gives" + std::to_string(c.escolha);
        return std::string(c.idioma == 0 ? "pt" : "en") + "_key" + std::to_string(c.tecla) + "_" + resultado +
               "_" + std::to_string(i.index);
    });

TEST_F(MenuTest, LowestChoiceWinsWhenKeysComeTogether) {
    struct {
        int idioma, a, b, escolha;
    } casos[] = {{0, BRZ_ENTER, BRZ_ESC, 0}, {0, BRZ_C, BRZ_T, 2}, {1, BRZ_C, BRZ_ESPACO, 1},
                 {0, BRZ_J, BRZ_S, 0},       {1, BRZ_S, BRZ_T, 2}};
    for (const auto& c : casos) {
        Recomeca();
        Pressiona(3, c.a);
        Pressiona(3, c.b);
        EXPECT_EQ(Menu(kTela, kPreto, 0, 1, c.idioma).Toca(), c.escolha) << c.a << "+" << c.b;
    }
}

TEST_F(MenuTest, NoFadeReturnsAtOnceLeavingThePicture) {
    for (int fade : {0, -5}) {
        Recomeca();
        Pressiona(3, BRZ_T);
        EXPECT_EQ(Menu(kTela, kPreto, 0, fade, 0).Toca(), 2);
        EXPECT_EQ(Resumo(Quadros()), Junta({Repete(kApresentacao, 3), {kEspera}}));
    }
}

TEST_F(MenuTest, PlaysAgainFromTheStart) {
    Menu menu(kTela, kPreto, 0, 5, 0);
    Pressiona(3, BRZ_T);
    Pressiona(12, BRZ_C);  // 3 + 1 + 5 frames of the first showing, then 3 more
    EXPECT_EQ(menu.Toca(), 2);
    EXPECT_EQ(menu.Toca(), 3);
    const std::vector<int> vez = Junta({Repete(kApresentacao, 3), {kEspera}, Escurecendo(5)});
    EXPECT_EQ(Resumo(Quadros()), Junta({vez, vez}));
}

TEST_F(TransicaoTest, FadesInWaitsForSpaceAndFadesOut) {
    Pressiona(5, BRZ_ESPACO);   // during the fade-in: forgotten by the next sync
    Pressiona(40, BRZ_ENCERRA); // the close request does not end the hold
    Pressiona(50, BRZ_ESPACO);
    Transicao(kTela, kPreto, 301, 30).Toca();
    const std::vector<int> entrada = Clareando(30), saida = Escurecendo(30);
    EXPECT_EQ((std::vector<int>{entrada[0], entrada[1], entrada[2], entrada[28], entrada[29]}),
              (std::vector<int>{246, 238, 229, 8, 0}));
    EXPECT_EQ((std::vector<int>{saida[0], saida[1], saida[2], saida[28], saida[29]}),
              (std::vector<int>{8, 17, 25, 246, 255}));
    EXPECT_EQ(Resumo(Quadros()), Junta({entrada, Repete(kEspera, 20), saida}));
}

TEST_F(TransicaoTest, OverlayCoversTheScreenCornersInWhiteTint) {
    Transicao(kTela, kPreto, 0, 1).Toca();
    const Registro f = Quadros().at(0).at(2);
    ASSERT_EQ(f.tipo, Chamada::Efeito);
    EXPECT_EQ(std::vector<int>(f.xs, f.xs + 4), (std::vector<int>{0, 0, 1024, 1024}));
    EXPECT_EQ(std::vector<int>(f.ys, f.ys + 4), (std::vector<int>{0, 768, 768, 0}));
    EXPECT_EQ((std::vector<int>{f.r, f.g, f.b}), (std::vector<int>{255, 255, 255}));
}

TEST_F(TransicaoTest, SpaceReadByTheLastFadeInSyncEndsTheHoldAtOnce) {
    Pressiona(30, BRZ_ESPACO);
    Transicao(kTela, kPreto, 360, 30).Toca();
    EXPECT_EQ(Resumo(Quadros()), Junta({Clareando(30), Escurecendo(30)}));
}

TEST_F(TransicaoTest, HoldOf300IsCountedAndIgnoresSpace) {
    Pressiona(2, BRZ_ESPACO);
    Pressiona(100, BRZ_ESPACO);
    Transicao(kTela, kPreto, 300, 1).Toca();
    EXPECT_EQ(Resumo(Quadros()), Junta({{0}, Repete(kEspera, 300), {255}}));
}

TEST_F(TransicaoTest, EmptyFadesAndHoldDrawNothingAndPlayAgain) {
    Transicao vazia(kTela, kPreto, 0, 0);
    vazia.Toca();
    EXPECT_TRUE(Chamadas().empty());
    Transicao curta(kTela, kPreto, -4, -2);
    curta.Toca();
    EXPECT_TRUE(Chamadas().empty());
    Transicao t(kTela, kPreto, 2, 3);
    t.Toca();
    t.Toca();
    const std::vector<int> vez = Junta({Clareando(3), Repete(kEspera, 2), Escurecendo(3)});
    EXPECT_EQ(Resumo(Quadros()), Junta({vez, vez}));
}

}  // namespace
}  // namespace vdtest
