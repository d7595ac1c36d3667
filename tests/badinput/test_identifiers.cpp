// Identifiers that name nothing: 0, one past the registry, the largest
// unsigned value, a slot never used and a slot freed by a removal, passed to
// every operation that takes one. Each does nothing and reports failure (0
// or false), with the message its module gives for that case and no other;
// the loaded neighbours keep working and keep their holders.
// Built twice: on the software renderer and on the OpenGL renderer.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "badinput_support.h"
#include "brisa2d2.h"
#include "brisaaudio2.h"
#include "renderer_choice.h"
#include "soak_support.h"
#include "testsupport.h"

namespace badinput {
namespace {

const int kSide = 16;
const char* const kCollisionWarning = "Tentou colidir com um sprite invalido (0)\n";

// The identifiers of one registry that name nothing.
std::vector<unsigned int> BadIds(unsigned int registrySize, unsigned int freed, unsigned int neverUsed) {
    return {0u, registrySize + 1, UINT_MAX, freed, neverUsed};
}
// The slots the fixture loads and frees again.
const unsigned int kFreedSprite = 3, kFreedFont = 2, kFreedSound = 2;

// Named after the renderer, so the two builds of this file differ.
#define BAD_IDENTIFIERS BADINPUT_SUITE(BadIdentifiers)

class BAD_IDENTIFIERS : public EngineTest<::testing::Test> {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (HasFatalFailure()) return;
        std::string pic = dir_ + "/a.png", pic2 = dir_ + "/b.png", wav = dir_ + "/a.wav", wav2 = dir_ + "/b.wav";
        ASSERT_TRUE(vdtest::WritePng(pic, vdtest::Picture(kSide, kSide, vdtest::Rgba{9, 9, 9, 255})));
        ASSERT_TRUE(vdtest::WritePng(pic2, vdtest::Picture(kSide, kSide, vdtest::Rgba{8, 8, 8, 255})));
        ASSERT_TRUE(WriteFile(wav, TinyWav()));
        ASSERT_TRUE(WriteFile(wav2, TinyWav()));
        // Sprite set 1 and font 1 (which holds sprite set 2); sprite set 3,
        // font 2, effect 2 and music 2 are loaded and then freed.
        ASSERT_EQ(BRZ_CarregaSpriteSet(pic.c_str(), 0, 0), 1u);
        ASSERT_EQ(BRZ_CarregaFonte(pic2.c_str(), 1), 1u);
        ASSERT_EQ(BRZ_CarregaSpriteSet((dir_ + "//a.png").c_str(), 0, 0), 3u);
        BRZ_RemoveSpriteSet(3);
        ASSERT_EQ(BRZ_CarregaFonte((dir_ + "//b.png").c_str(), 1), 2u);
        BRZ_RemoveFonte(2);
        ASSERT_EQ(BZA_CarregaEfeito(wav.c_str()), 1u);
        ASSERT_EQ(BZA_CarregaEfeito(wav2.c_str()), 2u);
        BZA_RemoveEfeito(2);
        ASSERT_EQ(BZA_CarregaMusica(wav.c_str()), 1u);
        ASSERT_EQ(BZA_CarregaMusica(wav2.c_str()), 2u);
        BZA_RemoveMusica(2);
    }
    void TearDown() override {
        // The good ones still work and have their one holder.
        EXPECT_EQ(sprites[0].usuarios, 1u);
        EXPECT_EQ(fontes[0].usuarios, 1);
        EXPECT_TRUE(BRZ_DesenhaSprite(1, 0, 0, 0));
        EXPECT_TRUE(BRZ_ColidiuSprites(1, 0, 0, 0, 1, 0, 5, 5));
        EXPECT_TRUE(BRZ_DimensoesTexto(1, "ab", nullptr, nullptr));
        EXPECT_GE(BZA_TocaEfeito(1, 0), 0);
        EXPECT_TRUE(BZA_TocaMusica(1, 0));
        EngineTest::TearDown();
    }
};

// What the operations on one identifier returned and printed (the output is
// captured, so the checks come after it).
struct Outcome {
    bool anyTrue = false;  // an operation claimed success
    std::string text;      // everything printed
};

TEST_F(BAD_IDENTIFIERS, SpriteOperationsDoNothing) {
    for (unsigned int id : BadIds(BRZ_MAX_SPRITESETS, kFreedSprite, 500)) {
        int x[4] = {0, 10, 10, 0}, y[4] = {0, 0, 10, 10};
        Outcome o;
        {
            vdtest::StdoutCapture out;
            o.anyTrue |= BRZ_DesenhaSprite(id, 0, 0, 0);
            o.anyTrue |= BRZ_DesenhaSpriteEfeito(id, 0, x, y, 255, 255, 255, 255);
            BRZ_RemoveSpriteSet(id);
            o.text = out.Take();
        }
        EXPECT_FALSE(o.anyTrue) << id;
        // The software renderer names a draw's identifier outside the registry.
        bool outside = id == 0 || id > BRZ_MAX_SPRITESETS;
        std::string named =
            "Erro ao tentar desenhar o spriteset " + std::to_string(int(id)) + ". Este índice é inválido.\n";
        EXPECT_EQ(o.text, !kOpenGL && outside ? named : "") << id;
    }
}

TEST_F(BAD_IDENTIFIERS, CollisionTestsReportNoContact) {
    for (unsigned int id : BadIds(BRZ_MAX_SPRITESETS, kFreedSprite, 500)) {
        Outcome o;
        {
            // The loaded set 1 sits where the other one would be: only the
            // bad identifier can keep them apart.
            vdtest::StdoutCapture out;
            o.anyTrue |= BRZ_ColidiuSprites(id, 0, 0, 0, 1, 0, 0, 0);
            o.anyTrue |= BRZ_ColidiuSprites(1, 0, 0, 0, id, 0, 0, 0);
            o.anyTrue |= BRZ_ColidiuSprites(id, 0, 0, 0, 0, 0, kSide, kSide, 1, 0, 0, 0, 0, 0, kSide, kSide);
            o.anyTrue |= BRZ_ColidiuSprites(1, 0, 0, 0, 0, 0, kSide, kSide, id, 0, 0, 0, 0, 0, kSide, kSide);
            o.text = out.Take();
        }
        EXPECT_FALSE(o.anyTrue) << id;
        // Identifier 0 is named in a warning by each test; the others are quiet.
        std::string warnings;
        for (int i = 0; i < 4 && id == 0; ++i) warnings += kCollisionWarning;
        EXPECT_EQ(o.text, warnings) << id;
    }
}

TEST_F(BAD_IDENTIFIERS, FontOperationsDoNothing) {
    for (unsigned int id : BadIds(BRZ_MAX_FONTES, kFreedFont, 40)) {
        int w = -7, h = -7;
        Outcome o;
        {
            vdtest::StdoutCapture out;
            o.anyTrue |= BRZ_DimensoesTexto(id, "abc", &w, &h);
            o.anyTrue |= BRZ_DesenhaTexto(id, 10, 10, "abc", 2);
            BRZ_RemoveFonte(id);
            o.text = out.Take();
        }
        EXPECT_FALSE(o.anyTrue) << id;
        EXPECT_EQ(w, -7) << id;
        EXPECT_EQ(h, -7) << id;
        // A free slot inside the registry is named by its (empty) name.
        bool inside = id >= 1 && id <= BRZ_MAX_FONTES;
        EXPECT_EQ(o.text, inside ? "Falhou ao procurar as dimensões do texto abc com a fonte .\n" : "") << id;
    }
    EXPECT_EQ(sprites[1].usuarios, 1u) << "the font's picture keeps the font's one holder";
}

TEST_F(BAD_IDENTIFIERS, EffectAndMusicOperationsDoNothing) {
    std::vector<int> channels;
    std::vector<bool> started;
    std::string text;
    {
        vdtest::StdoutCapture out;
        for (unsigned int id : BadIds(BZA_MAX_EFEITOS, kFreedSound, 300)) {
            channels.push_back(BZA_TocaEfeito(id, 0));
            channels.push_back(BZA_TocaEfeitoTela(id, 512));
            BZA_RemoveEfeito(id);
        }
        for (unsigned int id : BadIds(BZA_MAX_MUSICAS, kFreedSound, 7)) {
            started.push_back(BZA_TocaMusica(id, -1));
            BZA_RemoveMusica(id);
        }
        text = out.Take();
    }
    EXPECT_EQ(channels, std::vector<int>(channels.size(), 0));
    EXPECT_EQ(started, std::vector<bool>(started.size(), false));
    EXPECT_EQ(text, "");
    EXPECT_EQ(BZA_ProcuraEfeito((dir_ + "/a.wav").c_str()), 1u);
    EXPECT_EQ(BZA_ProcuraMusica((dir_ + "/a.wav").c_str()), 1u);
}

}  // namespace
}  // namespace badinput
