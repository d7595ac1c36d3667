// Software renderer under SDL's dummy video driver, read from the screen surface.
#include <gtest/gtest.h>

#include <string>

#include "engine_helpers.h"

using namespace vdtest;

namespace {

const int kW = 64, kH = 48;

class SoftwareRenderer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(BRZ_Inicia(kW, kH, BRZ_JANELA, BRZ_DESENHO_PADRAO, const_cast<char*>("sdl")));
    }
    void TearDown() override { BRZ_Encerra(); }
    Picture Screen() { return ReadScreenSurface(); }
    ImageDir images{"sdlrender"};
};

TEST_F(SoftwareRenderer, ImageMustBeAWholeMultipleOfTheFrameSize) {
    std::string bad = images.Solid("100x60.png", 100, 60, kRed);
    StdoutCapture out;
    EXPECT_EQ(BRZ_CarregaSpriteSet(bad.c_str(), 30, 30), 0u);
    EXPECT_EQ(out.Take(), "Erro ao carregar a imagem " + bad +
                              ". A altura e largura da imagem deve ser múltiplos do tamanho do sprite.\n");
    EXPECT_EQ(OccupiedSlots(), 0);

    unsigned int id = BRZ_CarregaSpriteSet(images.Solid("90x60.png", 90, 60, kRed).c_str(), 30, 30);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(Slot(id).matrizX, 3);
    EXPECT_EQ(Slot(id).matrizY, 2);
    EXPECT_EQ(Slot(id).largura, 90);
    EXPECT_EQ(Slot(id).altura, 60);
}

TEST_F(SoftwareRenderer, FrameSizeBelowOneMeansTheWholeImage) {
    const int sizes[][2] = {{0, 0}, {-5, 10}, {10, 0}};
    int n = 0;
    for (auto& sz : sizes) {
        std::string path = images.Solid("whole" + std::to_string(n++) + ".png", 25, 15, kGreen);
        unsigned int id = BRZ_CarregaSpriteSet(path.c_str(), sz[0], sz[1]);
        ASSERT_NE(id, 0u) << sz[0] << "x" << sz[1];
        EXPECT_EQ(Slot(id).spLargura, 25);
        EXPECT_EQ(Slot(id).spAltura, 15);
        EXPECT_EQ(Slot(id).matrizX * Slot(id).matrizY, 1);
    }
}

TEST_F(SoftwareRenderer, FramesLandWhereTheyAreDrawn) {
    unsigned int id = BRZ_CarregaSpriteSet(images.Png("sheet.png", FourColourSheet(8, 6)).c_str(), 8, 6);
    ASSERT_NE(id, 0u);
    BRZ_LimpaTela();
    EXPECT_TRUE(BRZ_DesenhaSprite(id, 3, 10, 20));  // yellow
    EXPECT_TRUE(BRZ_DesenhaSprite(id, 1, 30, 5));   // green
    Picture s = Screen();
    EXPECT_EQ(s.at(10, 20), kYellow);
    EXPECT_EQ(s.at(17, 25), kYellow);
    EXPECT_EQ(s.at(18, 25), kBlack);
    EXPECT_EQ(s.at(30, 5), kGreen);
    EXPECT_EQ(s.at(37, 10), kGreen);
    EXPECT_EQ(s.at(9, 20), kBlack);
}

TEST_F(SoftwareRenderer, MagentaIsNeitherDrawnNorSolid) {
    Picture p(4, 1, kRed);
    p.at(1, 0) = kMagenta;
    for (bool alpha : {true, false}) {
        unsigned int id = BRZ_CarregaSpriteSet(images.Png(alpha ? "rgba.png" : "rgb.png", p, alpha).c_str(), 0, 0);
        ASSERT_NE(id, 0u);
        BRZ_TrocaCorLimpezaTela(0, 0, 200);
        BRZ_LimpaTela();
        BRZ_DesenhaSprite(id, 0, 0, 0);
        Picture s = Screen();
        EXPECT_EQ(s.at(0, 0), kRed) << (alpha ? "RGBA" : "RGB") << ": opaque where the picture is";
        EXPECT_EQ(s.at(1, 0), (Rgba{0, 0, 200, 255})) << "magenta leaves the background";
        EXPECT_TRUE(BRZ_GetBit(Slot(id).bmask[0], 0, 0));
        EXPECT_FALSE(BRZ_GetBit(Slot(id).bmask[0], 1, 0));
        EXPECT_TRUE(BRZ_GetBit(Slot(id).bmask[0], 2, 0));
    }
}

TEST_F(SoftwareRenderer, PartialAlphaBlendsAndZeroAlphaIsTransparent) {
    Picture p(3, 1, kClear);
    p.at(0, 0) = Rgba{255, 255, 255, 128};
    p.at(2, 0) = kWhite;
    unsigned int id = BRZ_CarregaSpriteSet(images.Png("alpha.png", p).c_str(), 0, 0);
    ASSERT_NE(id, 0u);
    BRZ_LimpaTela();
    BRZ_DesenhaSprite(id, 0, 0, 0);
    Picture s = Screen();
    EXPECT_NEAR(s.at(0, 0).r, 128, 3);
    EXPECT_EQ(s.at(1, 0), kBlack);
    EXPECT_EQ(s.at(2, 0), kWhite);
    EXPECT_TRUE(BRZ_GetBit(Slot(id).bmask[0], 0, 0)) << "any alpha above 0 is solid";
    EXPECT_FALSE(BRZ_GetBit(Slot(id).bmask[0], 1, 0));
}

TEST_F(SoftwareRenderer, InvalidDrawsFailOrDrawNothing) {
    unsigned int id = BRZ_CarregaSpriteSet(images.Png("sheet.png", FourColourSheet(4, 4)).c_str(), 4, 4);
    ASSERT_NE(id, 0u);
    for (unsigned int bad : {0u, 1025u}) {
        StdoutCapture out;
        EXPECT_FALSE(BRZ_DesenhaSprite(bad, 0, 0, 0));
        EXPECT_EQ(out.Take(),
                  "Erro ao tentar desenhar o spriteset " + std::to_string(bad) + ". Este índice é inválido.\n");
    }
    StdoutCapture quiet;
    EXPECT_FALSE(BRZ_DesenhaSprite(id + 1, 0, 0, 0)) << "a free slot";
    EXPECT_EQ(quiet.Take(), "");

    BRZ_LimpaTela();
    EXPECT_TRUE(BRZ_DesenhaSprite(id, 4, 0, 0)) << "a frame past the last row still reports true";
    EXPECT_TRUE(BRZ_DesenhaSprite(id, 0xFFFFFFFFu, 0, 0));
    int x[4] = {0, 4, 4, 0}, y[4] = {0, 0, 4, 4};
    EXPECT_FALSE(BRZ_DesenhaSpriteEfeito(id, 0, x, y, 255, 255, 255, 255));
    Picture s = Screen();
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 8; ++i) ASSERT_EQ(s.at(i, j), kBlack) << i << "," << j;
}

TEST_F(SoftwareRenderer, ClipRectangleLimitsClearsAndBlits) {
    unsigned int id = BRZ_CarregaSpriteSet(images.Solid("white.png", 20, 20, kWhite).c_str(), 0, 0);
    BRZ_LimpaTela();
    BRZ_TrocaCorLimpezaTela(255, 0, 0);
    BRZ_LimitaAreaDesenho(10, 10, 8, 6);
    BRZ_LimpaTela();
    BRZ_DesenhaSprite(id, 0, 14, 0);
    Picture s = Screen();
    EXPECT_EQ(s.at(10, 10), kRed);
    EXPECT_EQ(s.at(13, 15), kRed);
    EXPECT_EQ(s.at(14, 10), kWhite);
    EXPECT_EQ(s.at(17, 15), kWhite);
    EXPECT_EQ(s.at(18, 10), kBlack) << "right of the clip";
    EXPECT_EQ(s.at(14, 9), kBlack) << "above the clip";
    EXPECT_EQ(s.at(14, 16), kBlack) << "below the clip";

    BRZ_LimitaAreaDesenho(-50, -50, 1000, 1000);  // cut to the screen
    BRZ_LimpaTela();
    s = Screen();
    EXPECT_EQ(s.at(0, 0), kRed);
    EXPECT_EQ(s.at(kW - 1, kH - 1), kRed);

    BRZ_LiberaAreaDesenho();
    BRZ_TrocaCorLimpezaTela(0, 255, 0);
    BRZ_LimpaTela();
    s = Screen();
    EXPECT_EQ(s.at(0, 0), kGreen);
    EXPECT_EQ(s.at(kW - 1, kH - 1), kGreen);
}

TEST_F(SoftwareRenderer, ClearColourTakesEffectAtTheNextClear) {
    BRZ_LimpaTela();
    EXPECT_EQ(Screen().at(5, 5), kBlack);
    BRZ_TrocaCorLimpezaTela(10, 20, 30);
    EXPECT_EQ(Screen().at(5, 5), kBlack);
    BRZ_LimpaTela();
    EXPECT_EQ(Screen().at(5, 5), (Rgba{10, 20, 30, 255}));
}

TEST(SoftwareRendererMessages, StartAndShutDownLines) {
    StdoutCapture out;
    ASSERT_TRUE(BRZ_Inicia(kW, kH, BRZ_JANELA, BRZ_DESENHO_PADRAO, const_cast<char*>("msg")));
    BRZ_Encerra();
    ASSERT_TRUE(BRZ_Inicia(kW, kH, 7, BRZ_DESENHO_PADRAO, const_cast<char*>("msg")));
    BRZ_Encerra();
    const std::string start =
        "Iniciando o modo de vídeo: 64x48x32bpp\n"
        "%MODE%\n"
        "A Brisa2DLite vai verificar a disponibilidade do modo de vídeo requisitado.\n"
        "O sistema indica que o modo é suportado. Tenta iniciar.\n"
        "Modo de vídeo iniciado com sucesso!\n";
    const std::string stop =
        "Apagando os spritesets e fontes do sistema.\n"
        "Encerrando a SDL.\n"
        "Encerrou a SDL.\n";
    auto with = [&](const std::string& mode) {
        std::string s = start;
        s.replace(s.find("%MODE%"), 6, mode);
        return s + stop;
    };
    EXPECT_EQ(out.Take(), with("A aplicação requisitou um modo de vídeo em janela.") +
                              with("A aplicação requisitou um modo de vídeo inválido. Por segurança, será utilizado "
                                   "um modo em janela."));
}

}  // namespace
