// The heart's beat timing, its drawing and the beat sound it plays.
#include <gtest/gtest.h>

#include <SDL_mixer.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Coracao.h"
#include "brisaaudio2.h"
#include "gravador.h"
#include "testsupport.h"

namespace vdtest {
namespace {

using math::Vector2D;
using CoracaoTest = TelaGravada;

// Updates (from 1) in which the heart beat, over `total` updates.
std::vector<int> Batidas(Coracao& c, int total) {
    std::vector<int> b;
    for (int u = 1; u <= total; ++u) {
        const Vector2D r = c.Atualiza();
        if (r != Vector2D()) {
            EXPECT_EQ(r, Vector2D(10, 10)) << u;
            b.push_back(u);
        }
    }
    return b;
}

// The game's heart, with other D and S intervals if asked.
Coracao DoJogo(int d = 260, int s = 260) {
    return Coracao(9, d, s, 20, Vector2D(10, 10), Vector2D(914.9f, 10.2f), 3, 0);
}

TEST_F(CoracaoTest, GameHeartBeatsEvery180Updates) {
    Coracao c = DoJogo();
    EXPECT_EQ(Batidas(c, 179), std::vector<int>{});
    EXPECT_EQ(Batidas(c, 1), std::vector<int>{1});     // update 180
    EXPECT_EQ(Batidas(c, 180), std::vector<int>{180});  // update 360
}

TEST_F(CoracaoTest, DrawsItsCurrentFrameTruncated) {
    Coracao c = DoJogo();
    for (int u = 0; u < 40; ++u) c.Atualiza();
    c.Desenha();
    for (int u = 0; u < 140; ++u) c.Atualiza();
    c.Desenha();
    ASSERT_EQ(Sprites().size(), 2u);
    EXPECT_EQ(Sprites()[0].indice, 2u);
    EXPECT_EQ(Sprites()[1].indice, 0u);  // wrapped on the beat
    EXPECT_EQ(Sprites()[0].id, 3u);
    EXPECT_EQ(Sprites()[0].x, 914);
    EXPECT_EQ(Sprites()[0].y, 10);
}

TEST_F(CoracaoTest, OnlyTheQIntervalPacesTheHeart) {
    Coracao jogo = DoJogo(), outro = DoJogo(1, 7), nulo = DoJogo(0, -5);
    const std::vector<int> esperadas = Batidas(jogo, 1000);
    EXPECT_EQ(Batidas(outro, 1000), esperadas);
    EXPECT_EQ(Batidas(nulo, 1000), esperadas);
    Coracao umQuadro(1, 260, 260, 20, Vector2D(10, 10), Vector2D(), 3, 0);
    EXPECT_EQ(Batidas(umQuadro, 60), (std::vector<int>{20, 40, 60}));
}

TEST_F(CoracaoTest, NoFramesOrNoIntervalNeverBeats) {
    const int casos[][2] = {{0, 20}, {-9, 20}, {9, 0}, {9, -20}};  // frames, Q interval
    for (const auto& c : casos) {
        Coracao parado(c[0], 260, 260, c[1], Vector2D(10, 10), Vector2D(), 3, 0);
        EXPECT_TRUE(Batidas(parado, 5000).empty()) << c[0] << "," << c[1];
        parado.Desenha();
        EXPECT_EQ(Sprites().back().indice, 0u);
    }
}

// A silent 16-bit stereo WAV long enough to be still playing when checked.
std::string EscreveWavSilencioso(const std::string& pasta) {
    const std::string caminho = pasta + "/batida.wav";
    const uint32_t amostras = 44100 * 5, bytes = amostras * 4;
    const uint32_t cab[] = {0x46464952, 36 + bytes, 0x45564157, 0x20746d66, 16,
                            0x00020001, 44100,      44100 * 4,  0x00100004, 0x61746164, bytes};
    FILE* f = fopen(caminho.c_str(), "wb");
    if (!f) return caminho;
    fwrite(cab, sizeof cab, 1, f);
    const std::vector<char> zeros(bytes, 0);
    fwrite(zeros.data(), 1, zeros.size(), f);
    fclose(f);
    return caminho;
}

TEST_F(CoracaoTest, BeatPlaysTheBeatSound) {
    const std::string pasta = MakeTempDir("coracao");
    ASSERT_TRUE(BZA_Inicia());
    const unsigned int som = BZA_CarregaEfeito(EscreveWavSilencioso(pasta).c_str());
    ASSERT_NE(som, 0u);
    Coracao c(9, 260, 260, 20, Vector2D(10, 10), Vector2D(), 3, som);
    for (int u = 0; u < 179; ++u) c.Atualiza();
    EXPECT_EQ(Mix_Playing(-1), 0);
    c.Atualiza();
    EXPECT_EQ(Mix_Playing(-1), 1);
    for (int u = 0; u < 180; ++u) c.Atualiza();
    EXPECT_EQ(Mix_Playing(-1), 2);
    BZA_Encerra();
    RemoveTree(pasta);
}

}  // namespace
}  // namespace vdtest
