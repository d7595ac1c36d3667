// Load/draw/remove cycles and start/load/shut-down cycles of the engine
// through the renderer VD_RENDERER names (built once per renderer). Run under
// memcheck by tests/valgrind/CMakeLists.txt, and as plain tests by the normal
// and the sanitizer test runs.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "brisa2d2.h"
#include "brisaaudio2.h"
#include "cycles.h"
#include "testsupport.h"

// VD_FIXTURE names the test suite after the renderer, so the two builds report apart.
#if !defined(VD_RENDERER) || !defined(VD_FIXTURE)
#error "VD_RENDERER and VD_FIXTURE must name the renderer under test"
#endif

using namespace vdcycles;
using vdtest::Picture;
using vdtest::Rgba;

namespace {

const int kWindowW = 64, kWindowH = 48;  // small: memcheck pays for every pixel cleared and presented
const int kFontCell = 8;
const int kGlyphsPerSide = 16;
const int kAlignLeft = 2;
const bool kEffectDraws = VD_RENDERER == BRZ_DESENHO_OPENGL;

// A font picture: a 16 x 16 grid of cells, each glyph a bar a little wider
// than the one before, so every glyph has ink and a width of its own.
Picture FontPicture() {
    const Rgba ink{255, 255, 255, 255};
    Picture p(kGlyphsPerSide * kFontCell, kGlyphsPerSide * kFontCell);
    for (int code = 0; code < kGlyphsPerSide * kGlyphsPerSide; ++code)
        p.fill((code % kGlyphsPerSide) * kFontCell, (code / kGlyphsPerSide) * kFontCell, 1 + code % (kFontCell - 1),
               kFontCell, ink);
    return p;
}

// Holders of slot id (1-based), or 0 when the slot is free.
unsigned int Holders(unsigned int id) { return sprites[id - 1].imagem ? sprites[id - 1].usuarios : 0; }

bool EveryRegistrySlotFree() {
    for (const BRZ_SpriteSet& s : sprites)
        if (s.imagem || s.bmask || s.usuarios) return false;
    for (const BRZ_Fonte& f : fontes)
        if (f.idSpriteSet || f.usuarios) return false;
    return true;
}

class VD_FIXTURE : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = vdtest::MakeTempDir("valgrind-cycles");
        ASSERT_FALSE(dir_.empty());
        font_ = dir_ + "/font.png";
        ASSERT_TRUE(vdtest::WritePng(font_, FontPicture()));
    }
    void TearDown() override {
        if (inicializado) BRZ_Encerra();
        vdtest::RemoveTree(dir_);
    }

    // Every picture loaded twice (the second load only adds a holder).
    std::vector<unsigned int> LoadPicturesTwice() {
        std::vector<unsigned int> ids;
        for (const PictureAsset& p : kPictures) {
            std::string path = Rsrc(p.file);
            unsigned int id = BRZ_CarregaSpriteSet(path.c_str(), p.frameW, p.frameH);
            EXPECT_NE(id, 0u) << path;
            if (id == 0) continue;
            EXPECT_EQ(BRZ_CarregaSpriteSet(path.c_str(), p.frameW, p.frameH), id) << path;
            EXPECT_EQ(Holders(id), 2u) << path;
            ids.push_back(id);
        }
        return ids;
    }

    // One frame using every loaded set: sprites, tinted sprites, text, a collision test.
    void DrawFrame(const std::vector<unsigned int>& ids, unsigned int font) {
        BRZ_LimpaTela();
        for (unsigned int id : ids) {
            EXPECT_TRUE(BRZ_DesenhaSprite(id, 0, 0, 0)) << "set " << id;
            // Tinted draws on four corners exist only in the OpenGL renderer.
            int x[4] = {0, 20, 20, 0}, y[4] = {0, 0, 20, 20};
            EXPECT_EQ(BRZ_DesenhaSpriteEfeito(id, 0, x, y, 255, 128, 64, 200), kEffectDraws) << "set " << id;
        }
        EXPECT_TRUE(BRZ_DesenhaTexto(font, 0, 0, "Vessel Drift", kAlignLeft));
        if (ids.size() >= 2) BRZ_ColidiuSprites(ids[0], 0, 0, 0, ids[1], 0, 10, 10);
        BRZ_Sincroniza(BRZ_FPS_MAXIMO);
    }

    std::string dir_, font_;
};

TEST_F(VD_FIXTURE, LoadDrawRemoveCyclesFreeEverySlot) {
    ASSERT_TRUE(BRZ_Inicia(kWindowW, kWindowH, BRZ_JANELA, VD_RENDERER, "valgrind cycles"));
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        std::vector<unsigned int> ids = LoadPicturesTwice();
        ASSERT_EQ(ids.size(), std::size(kPictures));
        unsigned int font = BRZ_CarregaFonte(font_.c_str(), kFontCell);
        ASSERT_NE(font, 0u);
        DrawFrame(ids, font);

        BRZ_RemoveFonte(font);
        EXPECT_EQ(BRZ_ProcuraFonte(font_.c_str()), 0u);
        for (unsigned int id : ids) {
            BRZ_RemoveSpriteSet(id);
            EXPECT_EQ(Holders(id), 1u) << "set " << id << " after its first removal";
            BRZ_RemoveSpriteSet(id);
        }
        EXPECT_TRUE(EveryRegistrySlotFree());
    }
}

TEST_F(VD_FIXTURE, StartLoadShutDownCyclesFreeEverything) {
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        ASSERT_TRUE(BRZ_Inicia(kWindowW, kWindowH, BRZ_JANELA, VD_RENDERER, "valgrind cycles"));
        ASSERT_TRUE(BZA_Inicia());
        // Left loaded, some with two holders: the shut-downs must free them all.
        std::vector<unsigned int> ids = LoadPicturesTwice();
        unsigned int font = BRZ_CarregaFonte(font_.c_str(), kFontCell);
        ASSERT_NE(font, 0u);
        DrawFrame(ids, font);
        for (const char* e : kEffects) {
            unsigned int id = BZA_CarregaEfeito(Rsrc(e).c_str());
            EXPECT_NE(id, 0u) << e;
            EXPECT_GE(BZA_TocaEfeito(id, 0), 0) << e;  // a mixer channel
        }
        unsigned int music = BZA_CarregaMusica(Rsrc(kMusic).c_str());
        EXPECT_NE(music, 0u);
        EXPECT_TRUE(BZA_TocaMusica(music, 1));

        BZA_Encerra();
        BRZ_Encerra();
        EXPECT_FALSE(inicializado);
        EXPECT_TRUE(EveryRegistrySlotFree());
        for (const char* e : kEffects) EXPECT_EQ(BZA_ProcuraEfeito(Rsrc(e).c_str()), 0u) << e;
        EXPECT_EQ(BZA_ProcuraMusica(Rsrc(kMusic).c_str()), 0u);
    }
}

}  // namespace
