// What actually reaches the speakers: SDL's disk driver writes the mixed
// stream to a file, and each case checks the energy of both channels.
#include "audiotest.h"
#include "brisa2d2.h"
#include "brisaaudio2.h"
#include "testsupport.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

const int kQuadrosTom = 4410;  // 100 ms
const int kAlturaTela = 240;
const int kSemMotor = 0;       // screen width meaning "engine not started"

using audiotest::kAmplitude;

// Peak a channel reaches through a pan gain of 0..255 at full volume.
int PicoEsperado(int ganho) { return kAmplitude * ganho / 255; }

class DiskOutput : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = vdtest::MakeTempDir("audio-disk");
        ASSERT_FALSE(dir_.empty());
        saida_ = audiotest::UseDiskDriver(dir_);
        tom_ = dir_ + "/tom.wav";
        ASSERT_TRUE(audiotest::WriteToneWav(tom_, kQuadrosTom));
    }
    void TearDown() override {
        BZA_Encerra();
        if (screen) BRZ_Encerra();
        vdtest::RemoveTree(dir_);
    }
    // Starts the module (after the engine when largura > 0), runs `toca`, lets
    // the sound finish and shuts down so the stream is complete on disk.
    audiotest::Stereo Grava(int largura, const std::function<bool()>& toca) {
        if (largura > 0) {
            EXPECT_TRUE(BRZ_Inicia(largura, kAlturaTela, BRZ_JANELA, BRZ_DESENHO_PADRAO, "audio"));
        }
        EXPECT_TRUE(BZA_Inicia());
        EXPECT_TRUE(toca());
        EXPECT_TRUE(audiotest::WaitFor([] { return Mix_Playing(-1) == 0 && !Mix_PlayingMusic(); }));
        BZA_Encerra();
        return audiotest::AnalyseRaw(saida_);
    }
    audiotest::Stereo TocaEfeito(int largura, int (*toca)(unsigned, int), int posicao) {
        return Grava(largura, [&] { return toca(BZA_CarregaEfeito(tom_.c_str()), posicao) >= 0; });
    }
    std::string dir_, saida_, tom_;
};

// The measured numbers go to the log as evidence of what was heard.
void Mostra(const audiotest::Stereo& s) {
    printf("pico esquerda %d direita %d; energia esquerda %.4g direita %.4g\n", s.pico[0], s.pico[1],
           s.energia[0], s.energia[1]);
}

// A channel with gain 0 must stay exactly silent: the panning has to be in
// place before the mixer renders the first block of the effect.
void ExpectGanhos(const audiotest::Stereo& s, int esquerda, int direita) {
    Mostra(s);
    const int ganhos[2] = {esquerda, direita};
    for (int c = 0; c < 2; ++c) {
        EXPECT_NEAR(s.pico[c], PicoEsperado(ganhos[c]), 2) << "channel " << c;
        if (ganhos[c] == 0) {
            EXPECT_EQ(s.energia[c], 0.0) << "channel " << c;
        }
    }
}

struct CasoPan {
    int largura;  // display width, or kSemMotor
    int posicao;
    int esquerda, direita;
};

// Test names such as "tela320_x80" or "x_menos150", so a failure says which case.
std::string NomeCaso(const ::testing::TestParamInfo<CasoPan>& info) {
    const CasoPan& c = info.param;
    std::string x = (c.posicao < 0 ? "menos" : "") + std::to_string(std::abs(c.posicao));
    return (c.largura == kSemMotor ? std::string("semMotor") : "tela" + std::to_string(c.largura)) + "_x" + x;
}

class PanValue : public DiskOutput, public ::testing::WithParamInterface<CasoPan> {};

TEST_P(PanValue, ChannelGainsFollowPan) {
    const CasoPan& c = GetParam();
    ExpectGanhos(TocaEfeito(kSemMotor, BZA_TocaEfeito, c.posicao), c.esquerda, c.direita);
}

INSTANTIATE_TEST_SUITE_P(Audio, PanValue,
                         ::testing::Values(CasoPan{kSemMotor, -150, 254, 0}, CasoPan{kSemMotor, -100, 254, 0},
                                           CasoPan{kSemMotor, 0, 127, 127}, CasoPan{kSemMotor, 50, 63, 190},
                                           CasoPan{kSemMotor, 100, 0, 254}, CasoPan{kSemMotor, 150, 0, 254}),
                         NomeCaso);

class ScreenPosition : public DiskOutput, public ::testing::WithParamInterface<CasoPan> {};

TEST_P(ScreenPosition, ChannelGainsFollowScreenX) {
    const CasoPan& c = GetParam();
    ExpectGanhos(TocaEfeito(c.largura, BZA_TocaEfeitoTela, c.posicao), c.esquerda, c.direita);
}

// Without the engine the module pans across BZA_LARGURA_TELA_PADRAO pixels;
// x 320 there would give pan -38, so the 320-pixel cases prove the display's
// own width is read.
INSTANTIATE_TEST_SUITE_P(Audio, ScreenPosition,
                         ::testing::Values(CasoPan{320, 0, 254, 0}, CasoPan{320, 80, 190, 63},
                                           CasoPan{320, 160, 127, 127}, CasoPan{320, 320, 0, 254},
                                           CasoPan{kSemMotor, -50, 254, 0}, CasoPan{kSemMotor, 256, 190, 63},
                                           CasoPan{kSemMotor, 512, 127, 127}, CasoPan{kSemMotor, 1024, 0, 254},
                                           CasoPan{kSemMotor, 5000, 0, 254}),
                         NomeCaso);

struct CasoMusica {
    unsigned volume;
    int pico;
};

class MusicVolume : public DiskOutput, public ::testing::WithParamInterface<CasoMusica> {};

TEST_P(MusicVolume, PeakScalesWithVolume) {
    const CasoMusica& c = GetParam();
    audiotest::Stereo s = Grava(kSemMotor, [&] {
        unsigned id = BZA_CarregaMusica(tom_.c_str());
        return BZA_AjustaVolume(c.volume, 100) && BZA_TocaMusica(id, 1);
    });
    Mostra(s);
    for (int canal = 0; canal < 2; ++canal) {
        EXPECT_NEAR(s.pico[canal], c.pico, 2) << "channel " << canal;
        EXPECT_EQ(s.energia[canal] == 0.0, c.pico == 0) << "channel " << canal;
    }
}

INSTANTIATE_TEST_SUITE_P(Audio, MusicVolume,
                         ::testing::Values(CasoMusica{0, 0}, CasoMusica{50, kAmplitude * 64 / 128},
                                           CasoMusica{100, kAmplitude}),
                         [](const auto& info) { return "volume" + std::to_string(info.param.volume); });

}  // namespace
