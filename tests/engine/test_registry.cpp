// Sprite-set registry: sharing by name, holders, slot reuse, a full registry,
// shut-down, restarts and the choice of renderer. Software renderer, no display.
#include <gtest/gtest.h>

#include <string>

#include "brisa2d2_gl.h"
#include "brisa2d2_sdl.h"
#include "engine_helpers.h"

using namespace vdtest;

namespace {

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(BRZ_Inicia(64, 64, BRZ_JANELA, BRZ_DESENHO_PADRAO, const_cast<char*>("registry")));
        red = images.Solid("red.png", 8, 8, kRed);
        green = images.Solid("green.png", 8, 8, kGreen);
    }
    void TearDown() override { BRZ_Encerra(); }
    ImageDir images{"registry"};
    std::string red, green;
};

TEST_F(Registry, SameNameSharesOneSlotAndIgnoresTheSecondFrameSize) {
    unsigned int a = BRZ_CarregaSpriteSet(red.c_str(), 4, 4);
    unsigned int b = BRZ_CarregaSpriteSet(red.c_str(), 8, 8);
    ASSERT_NE(a, 0u);
    EXPECT_EQ(a, b);
    EXPECT_EQ(Slot(a).usuarios, 2u);
    EXPECT_EQ(Slot(a).matrizX * Slot(a).matrizY, 4) << "the second load must not recut the frames";
    EXPECT_EQ(BRZ_ProcuraSpriteSet(red.c_str()), a);
    EXPECT_EQ(BRZ_ProcuraSpriteSet("no such name"), 0u);
}

TEST_F(Registry, TheEmptyNameNeverSharesAFreeSlot) {
    EXPECT_EQ(BRZ_ProcuraSpriteSet(""), 0u);
    EXPECT_EQ(BRZ_CarregaSpriteSet("", 0, 0), 0u);
    EXPECT_EQ(Slot(1).usuarios, 0u);
    EXPECT_EQ(BRZ_CarregaSpriteSet(red.c_str(), 0, 0), 1u);
    EXPECT_EQ(Slot(1).usuarios, 1u);
}

TEST_F(Registry, TwoPathStringsToOneFileAreTwoSets) {
    std::string other = images.path() + "/./red.png";
    unsigned int a = BRZ_CarregaSpriteSet(red.c_str(), 0, 0);
    unsigned int b = BRZ_CarregaSpriteSet(other.c_str(), 0, 0);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_NE(a, b);
    EXPECT_EQ(Slot(a).usuarios, 1u);
    EXPECT_EQ(Slot(b).usuarios, 1u);
}

TEST_F(Registry, RemovalTakesOneHolderAtATime) {
    unsigned int id = BRZ_CarregaSpriteSet(red.c_str(), 0, 0);
    BRZ_CarregaSpriteSet(red.c_str(), 0, 0);
    BRZ_RemoveSpriteSet(id);
    EXPECT_EQ(Slot(id).usuarios, 1u);
    EXPECT_NE(Slot(id).imagem, nullptr);
    EXPECT_TRUE(BRZ_DesenhaSprite(id, 0, 0, 0)) << "one holder left: the set still draws";
    BRZ_RemoveSpriteSet(id);
    EXPECT_EQ(Slot(id).usuarios, 0u);
    EXPECT_EQ(Slot(id).imagem, nullptr);
    EXPECT_EQ(Slot(id).bmask, nullptr);
    EXPECT_STREQ(Slot(id).apelido, "");
    BRZ_RemoveSpriteSet(id);  // a free slot: nothing happens
    EXPECT_EQ(Slot(id).usuarios, 0u);
    BRZ_RemoveSpriteSet(0);
    BRZ_RemoveSpriteSet(1025);
    EXPECT_EQ(OccupiedSlots(), 0);
}

TEST_F(Registry, FreedAndFailedSlotsAreReusedLowestFirst) {
    unsigned int ids[4];
    for (int i = 0; i < 4; ++i) ids[i] = BRZ_CarregaSpriteSet(images.Solid(std::to_string(i) + ".png", 2, 2, kBlue).c_str(), 0, 0);
    EXPECT_EQ(ids[0], 1u);
    EXPECT_EQ(ids[3], 4u);
    BRZ_RemoveSpriteSet(ids[1]);
    unsigned int missing = BRZ_CarregaSpriteSet((images.path() + "/missing.png").c_str(), 0, 0);
    EXPECT_EQ(missing, 0u);
    EXPECT_EQ(Slot(2).imagem, nullptr) << "a failed load leaves its slot free";
    EXPECT_STREQ(Slot(2).apelido, "");
    EXPECT_EQ(BRZ_CarregaSpriteSet(green.c_str(), 0, 0), 2u);
}

TEST_F(Registry, FullRegistryRefusesNewNamesButStillShares) {
    std::string first;
    for (int i = 0; i < BRZ_MAX_SPRITESETS; ++i) {
        std::string path = images.Solid("f" + std::to_string(i) + ".png", 1, 1, kWhite);
        if (i == 0) first = path;
        ASSERT_EQ(BRZ_CarregaSpriteSet(path.c_str(), 0, 0), unsigned(i + 1));
    }
    StdoutCapture out;
    EXPECT_EQ(BRZ_CarregaSpriteSet(red.c_str(), 0, 0), 0u);
    EXPECT_EQ(out.Take(), "") << "a full registry refuses silently";
    EXPECT_EQ(BRZ_CarregaSpriteSet(first.c_str(), 0, 0), 1u);
    EXPECT_EQ(Slot(1).usuarios, 2u);
}

TEST_F(Registry, NamesThatDoNotFitAreRefusedNotCut) {
    std::string base = images.path() + "/";
    std::string longest = base + std::string(BRZ_TAM_APELIDO - 1 - base.size(), 'a');  // 2047 bytes
    std::string tooLong = longest + "b";                                              // 2048 bytes
    StdoutCapture out;
    EXPECT_EQ(BRZ_CarregaSpriteSet(tooLong.c_str(), 0, 0), 0u);
    std::string text = out.Take();
    EXPECT_NE(text.find("2048 caracteres"), std::string::npos) << text;
    EXPECT_EQ(OccupiedSlots(), 0);
    EXPECT_EQ(BRZ_ProcuraSpriteSet(longest.c_str()), 0u) << "nothing was stored under a cut name";
    // 2047 bytes fit: the load goes on and fails only because no such file exists.
    StdoutCapture out2;
    EXPECT_EQ(BRZ_CarregaSpriteSet(longest.c_str(), 0, 0), 0u);
    EXPECT_NE(out2.Take().find("falhou ao carregar o arquivo"), std::string::npos);
}

TEST_F(Registry, ShutDownFreesSetsWhateverTheirHolders) {
    unsigned int id = BRZ_CarregaSpriteSet(red.c_str(), 0, 0);
    BRZ_CarregaSpriteSet(red.c_str(), 0, 0);
    BRZ_CarregaSpriteSet(red.c_str(), 0, 0);
    ASSERT_EQ(Slot(id).usuarios, 3u);
    BRZ_Encerra();
    EXPECT_FALSE(inicializado);
    EXPECT_TRUE(c_shutdown);
    EXPECT_EQ(OccupiedSlots(), 0);
    EXPECT_EQ(Slot(id).usuarios, 0u);
    EXPECT_EQ(screen, nullptr);
    BRZ_Encerra();  // a second shut-down does nothing
    ASSERT_TRUE(BRZ_Inicia(64, 64, BRZ_JANELA, BRZ_DESENHO_PADRAO, const_cast<char*>("again")));
    EXPECT_FALSE(c_shutdown);
    EXPECT_EQ(BRZ_CarregaSpriteSet(green.c_str(), 0, 0), 1u) << "start, shut down, start again works";
}

TEST_F(Registry, SecondStartFailsAndKeepsTheRegistry) {
    unsigned int id = BRZ_CarregaSpriteSet(red.c_str(), 0, 0);
    EXPECT_FALSE(BRZ_Inicia(64, 64, BRZ_JANELA, BRZ_DESENHO_PADRAO, const_cast<char*>("twice")));
    EXPECT_FALSE(BRZ_Inicia(64, 64, BRZ_JANELA, BRZ_DESENHO_OPENGL, const_cast<char*>("twice")));
    EXPECT_TRUE(inicializado);
    EXPECT_EQ(Slot(id).usuarios, 1u);
    EXPECT_STREQ(Slot(id).apelido, red.c_str());
    EXPECT_EQ(BRZ_LimpaTela, &BRZSDL_LimpaTela);
}

// Render types other than OpenGL choose the software renderer.
TEST(RendererChoice, AnyTypeButOpenGLStartsTheSoftwareRenderer) {
    for (int tipo : {int(BRZ_DESENHO_PADRAO), 2, -1}) {
        ASSERT_TRUE(BRZ_Inicia(32, 32, BRZ_JANELA, tipo, const_cast<char*>("choice"))) << tipo;
        EXPECT_EQ(BRZ_DesenhaSprite, &BRZSDL_DesenhaSprite) << tipo;
        EXPECT_EQ(BRZ_Sincroniza, &BRZSDL_Sincroniza) << tipo;
        BRZ_Encerra();
    }
}

// Without any display OpenGL cannot start; the engine must not quietly fall
// back to the software renderer.
TEST(RendererChoice, FailedOpenGLStartDoesNotFallBack) {
    auto slotBefore = BRZ_DesenhaSprite;
    StdoutCapture out;
    EXPECT_FALSE(BRZ_Inicia(64, 64, BRZ_JANELA, BRZ_DESENHO_OPENGL, const_cast<char*>("nogl")));
    std::string text = out.Take();
    EXPECT_NE(text.find("Não foi possível iniciar o modo de vídeo requisitado. Encerrando."), std::string::npos)
        << text;
    EXPECT_FALSE(inicializado);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "video must be closed again";
    EXPECT_EQ(BRZ_DesenhaSprite, slotBefore) << "the slots are left as they were";
    EXPECT_NE(BRZ_DesenhaSprite, &BRZGL_DesenhaSprite);
}

// Before the first start-up the slots hold harmless stand-ins.
TEST(BeforeStart, SlotsAreSafeToCall) {
    StdoutCapture out;
    EXPECT_EQ(BRZ_CarregaSpriteSet("x.png", 0, 0), 0u);
    EXPECT_NE(out.Take().find("não foi iniciada"), std::string::npos);
    EXPECT_FALSE(BRZ_DesenhaSprite(1, 0, 0, 0));
    int x[4] = {0, 1, 1, 0}, y[4] = {0, 0, 1, 1};
    EXPECT_FALSE(BRZ_DesenhaSpriteEfeito(1, 0, x, y, 255, 255, 255, 255));
    BRZ_LimpaTela();
    BRZ_TrocaCorLimpezaTela(1, 2, 3);
    BRZ_LimitaAreaDesenho(0, 0, 1, 1);
    BRZ_LiberaAreaDesenho();
    BRZ_RemoveSpriteSet(1);
    BRZ_Sincroniza(60);
    BRZ_Encerra();
    EXPECT_FALSE(inicializado);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

}  // namespace
