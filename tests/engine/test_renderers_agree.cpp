// The same scene drawn by both renderers gives the same picture.
#include <gtest/gtest.h>

#include "engine_helpers.h"

using namespace vdtest;

namespace {

const int kW = 160, kH = 120;

Picture g_frame;
void CaptureBackBuffer() { g_frame = ReadBackBuffer(kW, kH); }

// A cleared screen and a few sprites, no effects.
void DrawScene(const std::string& sheet, const std::string& keyed) {
    unsigned int s = BRZ_CarregaSpriteSet(sheet.c_str(), 10, 10);
    unsigned int k = BRZ_CarregaSpriteSet(keyed.c_str(), 0, 0);
    ASSERT_NE(s, 0u);
    ASSERT_NE(k, 0u);
    BRZ_TrocaCorLimpezaTela(20, 40, 60);
    BRZ_LimpaTela();
    for (int i = 0; i < 4; ++i) BRZ_DesenhaSprite(s, i, 10 + 25 * i, 15 + 7 * i);
    BRZ_DesenhaSprite(k, 0, 70, 50);
    BRZ_DesenhaSprite(k, 0, 140, 100);  // partly off the screen
    BRZ_DesenhaSprite(s, 2, -5, 110);
}

TEST(RenderersAgree, SameSceneSamePicture) {
    ImageDir images("agree");
    std::string sheet = images.Png("sheet.png", FourColourSheet(10, 10));
    Picture keyedPic(40, 30, kWhite);
    keyedPic.fill(5, 5, 10, 20, kClear);
    keyedPic.fill(20, 5, 10, 20, kMagenta);
    keyedPic.fill(32, 0, 8, 30, Rgba{90, 10, 200, 255});
    std::string keyed = images.Png("keyed.png", keyedPic);

    ASSERT_TRUE(BRZ_Inicia(kW, kH, BRZ_JANELA, BRZ_DESENHO_OPENGL, const_cast<char*>("gl")));
    DrawScene(sheet, keyed);
    BRZ_DefineSincronizaUsuario(CaptureBackBuffer);
    BRZ_Sincroniza(60);
    BRZ_DefineSincronizaUsuario(nullptr);
    Picture gl = g_frame;
    BRZ_Encerra();

    ASSERT_TRUE(BRZ_Inicia(kW, kH, BRZ_JANELA, BRZ_DESENHO_PADRAO, const_cast<char*>("sdl")));
    DrawScene(sheet, keyed);
    Picture sw = ReadScreenSurface();
    BRZ_Encerra();

    std::string dir = OutputDir("engine");
    WritePng(dir + "/agree-opengl.png", gl);
    WritePng(dir + "/agree-software.png", sw);
    EXPECT_EQ(gl.at(75, 60), (Rgba{20, 40, 60, 255})) << "the transparent hole shows the clear colour";
    EXPECT_TRUE(SameWithin(sw, gl, 2, "engine", "agree-mismatch"));
}

}  // namespace
