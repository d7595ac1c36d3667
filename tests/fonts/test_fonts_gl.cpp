// Bitmap fonts under the OpenGL renderer, which keeps each picture on a
// power-of-two square surface: the size check must look at the picture, and
// text must come out on screen as under the software renderer.
#include <gtest/gtest.h>

#include <string>

#include "brisa2d2.h"
#include "font_pictures.h"
#include "gl_fixture.h"
#include "testsupport.h"

using namespace vdtest;

namespace {

const int kScreenW = 256, kScreenH = 96;

class OpenGLFonts : public OpenGLTest {
protected:
    OpenGLFonts() : OpenGLTest(kScreenW, kScreenH) {}
    void SetUp() override {
        dir_ = MakeTempDir("fontsgl");
        ASSERT_FALSE(dir_.empty());
        OpenGLTest::SetUp();
    }
    void TearDown() override {
        OpenGLTest::TearDown();
        RemoveTree(dir_);
    }
    unsigned int Load(const std::string& name, const Picture& pic, int t) { return LoadFont(dir_, name, pic, t); }
    std::string dir_;
};

// 12-pixel cells make a 192 x 192 picture, which this renderer pads to 256 x 256.
TEST_F(OpenGLFonts, ACorrectFontIsAcceptedWhateverTheTextureSize) {
    unsigned int id = Load("twelve.png", FontPicture(12, {{'A', Columns(2, 6)}, {'"', {1, 2, 5, 6}}}), 12);
    ASSERT_NE(id, 0u);
    const BRZ_Fonte& f = fontes[id - 1];
    EXPECT_EQ(sprites[f.idSpriteSet - 1].imagem->w, 256) << "the surface really is padded";
    EXPECT_EQ(f.deslocamentos['A'], 2);
    EXPECT_EQ(f.larguras['A'], 6);
    EXPECT_EQ(f.larguras['"'], 7);
    EXPECT_EQ(f.larguras['B'], 12);
    EXPECT_EQ(f.larguras[' '], 6);
}

TEST_F(OpenGLFonts, AWrongSizeIsStillRefusedWhenThePaddingWouldFit) {
    StdoutCapture out;
    // 204 x 204 (17 cells) pads to 256 x 256 too, but is not 16 cells of 12 pixels.
    EXPECT_EQ(Load("wrong.png", Picture(204, 204, kFontInk), 12), 0u);
    EXPECT_EQ(out.Take(),
              "As dimensões da fonte são inválidas. utilize um arquivo de 192x192 pixels, com as fontes numa matriz "
              "16x16.\n");
    EXPECT_EQ(fontes[0].idSpriteSet, 0u);
}

TEST_F(OpenGLFonts, AWordIsDrawnAndReadBackBeforeTheSwap) {
    Picture font = WordFont();
    unsigned int id = Load("word.png", font, 12);
    ASSERT_NE(id, 0u);
    const Rgba kBackground{0, 0, 64, 255};
    const char* kWord = "\"Vd!\" Vd";
    BRZ_TrocaCorLimpezaTela(kBackground.r, kBackground.g, kBackground.b);
    BRZ_LimpaTela();
    ASSERT_TRUE(BRZ_DesenhaTexto(id, 200, 30, kWord, 1));
    Picture frame = Present();

    int width = 0;
    ASSERT_TRUE(BRZ_DimensoesTexto(id, kWord, &width, nullptr));
    EXPECT_EQ(width, 7 + 12 + 7 + 3 + 7 + 6 + 12 + 7) << "advances of \", V, d, !, space";
    Picture want(kScreenW, kScreenH, kBackground);
    ExpectedText(want, font, fontes[id - 1], kWord, 200 - width, 30);
    ASSERT_EQ(frame.w, kScreenW);
    EXPECT_TRUE(SameWithin(frame, want, 2, "fonts", "opengl_word"));
}

}  // namespace
