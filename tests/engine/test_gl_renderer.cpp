// OpenGL renderer under a real X server (Xvfb + Mesa). Frames are read back
// from the back buffer in the per-frame hook, right before the swap.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>

#include "brisa2d2_gl.h"
#include "engine_helpers.h"
#include "gl_fixture.h"

using namespace vdtest;

namespace {

const int kW = 128, kH = 96;

class OpenGLRenderer : public OpenGLTest {
protected:
    OpenGLRenderer() : OpenGLTest(kW, kH) {}
    unsigned int Load(const std::string& name, const Picture& p, int fw = 0, int fh = 0, bool alpha = true) {
        return BRZ_CarregaSpriteSet(images.Png(name, p, alpha).c_str(), fw, fh);
    }
    ImageDir images{"glrender"};
};

TEST_F(OpenGLRenderer, EachFrameOfASheetLandsWhereItIsDrawn) {
    unsigned int id = Load("sheet.png", FourColourSheet(8, 6), 8, 6);
    ASSERT_NE(id, 0u);
    BRZ_LimpaTela();
    const int pos[4][2] = {{0, 0}, {20, 10}, {50, 40}, {100, 80}};
    const Rgba colour[4] = {kRed, kGreen, kBlue, kYellow};
    for (int k = 0; k < 4; ++k) EXPECT_TRUE(BRZ_DesenhaSprite(id, k, pos[k][0], pos[k][1]));
    Picture f = Present();
    for (int k = 0; k < 4; ++k) {
        int x = pos[k][0], y = pos[k][1];
        EXPECT_EQ(f.at(x, y), colour[k]) << "frame " << k << " top-left";
        EXPECT_EQ(f.at(x + 7, y + 5), colour[k]) << "frame " << k << " bottom-right";
        EXPECT_EQ(f.at(x + 8, y + 5), kBlack) << "frame " << k << " ends at its width";
        EXPECT_EQ(f.at(x + 7, y + 6), kBlack) << "frame " << k << " ends at its height";
    }
}

TEST_F(OpenGLRenderer, TransparentAndMagentaPixelsLeaveTheBackground) {
    Picture p(4, 1, kWhite);
    p.at(1, 0) = kClear;
    p.at(2, 0) = kMagenta;
    p.at(3, 0) = Rgba{255, 0, 255, 254};
    unsigned int id = Load("keyed.png", p);
    ASSERT_NE(id, 0u);
    BRZ_TrocaCorLimpezaTela(0, 0, 255);
    BRZ_LimpaTela();
    BRZ_DesenhaSprite(id, 0, 10, 10);
    Picture f = Present();
    EXPECT_EQ(f.at(10, 10), kWhite);
    EXPECT_EQ(f.at(11, 10), kBlue) << "alpha 0";
    EXPECT_EQ(f.at(12, 10), kBlue) << "opaque magenta";
    EXPECT_NEAR(f.at(13, 10).r, 254, 2) << "magenta with alpha 254 stays";
    BRZ_BitMask* m = Slot(id).bmask[0];
    EXPECT_TRUE(BRZ_GetBit(m, 0, 0));
    EXPECT_FALSE(BRZ_GetBit(m, 1, 0));
    EXPECT_FALSE(BRZ_GetBit(m, 2, 0));
    EXPECT_TRUE(BRZ_GetBit(m, 3, 0));
}

TEST_F(OpenGLRenderer, EffectDrawTintsFadesAndMirrors) {
    Picture halves(8, 8, kRed);
    halves.fill(4, 0, 4, 8, kGreen);
    unsigned int id = Load("halves.png", halves);
    unsigned int white = Load("white.png", Picture(8, 8, kWhite));
    ASSERT_NE(id, 0u);
    BRZ_LimpaTela();
    // Mirrored: the corners listed right to left.
    int mx[4] = {40, 0, 0, 40}, my[4] = {0, 0, 40, 40};
    EXPECT_TRUE(BRZ_DesenhaSpriteEfeito(id, 0, mx, my, 255, 255, 255, 255));
    // Stretched, tinted and half transparent over black.
    int tx[4] = {60, 120, 120, 60}, ty[4] = {10, 10, 50, 50};
    EXPECT_TRUE(BRZ_DesenhaSpriteEfeito(white, 0, tx, ty, 255, 128, 0, 128));
    Picture f = Present();
    EXPECT_EQ(f.at(5, 20), kGreen) << "mirrored: green now on the left";
    EXPECT_EQ(f.at(35, 20), kRed);
    EXPECT_EQ(f.at(41, 20), kBlack);
    Rgba t = f.at(90, 30);
    EXPECT_NEAR(t.r, 128, 2);
    EXPECT_NEAR(t.g, 64, 2);
    EXPECT_NEAR(t.b, 0, 2);
    EXPECT_EQ(f.at(59, 30), kBlack);
}

TEST_F(OpenGLRenderer, ClearColourAppliesAtTheNextClear) {
    BRZ_LimpaTela();
    BRZ_TrocaCorLimpezaTela(10, 200, 30);
    EXPECT_EQ(Present().at(3, 3), kBlack);
    BRZ_LimpaTela();
    Picture f = Present();
    EXPECT_EQ(f.at(3, 3), (Rgba{10, 200, 30, 255}));
    EXPECT_EQ(f.at(kW - 1, kH - 1), (Rgba{10, 200, 30, 255}));
}

TEST_F(OpenGLRenderer, ClippingConfinesDrawingAndMarksNoColour) {
    unsigned int id = Load("white.png", Picture(kW, kH, kWhite));
    int x[4] = {0, kW, kW, 0}, y[4] = {0, 0, kH, kH};
    BRZ_LimpaTela();
    BRZ_LimitaAreaDesenho(20, 10, 30, 40);
    Picture marked = Present();
    EXPECT_EQ(marked.at(30, 20), kBlack) << "marking the area must not paint it";

    BRZ_LimpaTela();
    BRZ_LiberaAreaDesenho();
    BRZ_LimpaTela();
    BRZ_LimitaAreaDesenho(20, 10, 30, 40);
    BRZ_DesenhaSprite(id, 0, 0, 0);
    BRZ_DesenhaSpriteEfeito(id, 0, x, y, 255, 0, 0, 255);
    Picture f = Present();
    EXPECT_EQ(f.at(20, 10), kRed);
    EXPECT_EQ(f.at(49, 49), kRed);
    EXPECT_EQ(f.at(19, 30), kBlack);
    EXPECT_EQ(f.at(50, 30), kBlack);
    EXPECT_EQ(f.at(30, 9), kBlack);
    EXPECT_EQ(f.at(30, 50), kBlack);

    BRZ_LiberaAreaDesenho();
    BRZ_LimpaTela();
    BRZ_DesenhaSprite(id, 0, 0, 0);
    EXPECT_EQ(Present().at(0, 0), kWhite) << "lifted: the whole screen draws again";
}

struct TextureCase {
    int w, h;
    bool alpha;
    int side;
};

TEST_F(OpenGLRenderer, TexturesAreSquarePowersOfTwo) {
    const TextureCase cases[] = {
        {100, 60, false, 128}, {16, 16, true, 16}, {8, 8, true, 8}, {2, 2, true, 4},
        {256, 128, true, 256}, {1024, 1024, true, 1024}, {17, 3, true, 32},
    };
    for (const TextureCase& c : cases) {
        std::string name = std::to_string(c.w) + "x" + std::to_string(c.h) + ".png";
        unsigned int id = Load(name, Picture(c.w, c.h, kGreen), 0, 0, c.alpha);
        ASSERT_NE(id, 0u) << name;
        const BRZ_SpriteSet& s = Slot(id);
        EXPECT_EQ(s.larguraTextura, c.side) << name;
        EXPECT_EQ(s.alturaTextura, c.side) << name;
        EXPECT_EQ(s.imagem->w, c.side) << name;
        EXPECT_EQ(s.largura, c.w) << name << ": the image's own size is kept";
        EXPECT_EQ(s.altura, c.h) << name;
        EXPECT_NE(s.textura, 0u);
        EXPECT_TRUE(s.texturaLigada);
    }
    // The 100 x 60 picture without alpha: opaque in the corner, transparent zeros elsewhere.
    const BRZ_SpriteSet& s = Slot(1);
    const Uint32* px = static_cast<const Uint32*>(s.imagem->pixels);
    int pitch = s.imagem->pitch / 4;
    EXPECT_EQ(px[59 * pitch + 99], 0xFF00FF00u) << "opaque green, R G B A bytes";
    EXPECT_EQ(px[59 * pitch + 100], 0u);
    EXPECT_EQ(px[60 * pitch + 0], 0u);
}

TEST_F(OpenGLRenderer, FrameGridRules) {
    std::string both = images.Png("100x50.png", Picture(100, 50, kRed));
    StdoutCapture out;
    EXPECT_EQ(BRZ_CarregaSpriteSet(both.c_str(), 30, 20), 0u);
    EXPECT_EQ(out.Take(), "A imagem " + both + " não pode ser usada como fonte de sprites de tamanho 30x20\n.");
    EXPECT_EQ(OccupiedSlots(), 0);
    // One direction a whole multiple: accepted, counting whole frames only.
    unsigned int id = Load("100x60.png", Picture(100, 60, kRed), 30, 30);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(Slot(id).matrizX, 3);
    EXPECT_EQ(Slot(id).matrizY, 2);
    // Not even one whole frame across: refused.
    EXPECT_EQ(Load("20x40.png", Picture(20, 40, kRed), 30, 20), 0u);
    // A 4 x 2 grid: frame 5 is column 1, row 1.
    Picture grid(8, 4, kBlack);
    grid.fill(2, 2, 2, 2, kYellow);
    unsigned int g = Load("grid.png", grid, 2, 2);
    BRZ_LimpaTela();
    BRZ_DesenhaSprite(g, 5, 0, 0);
    EXPECT_EQ(Present().at(1, 1), kYellow);
}

TEST_F(OpenGLRenderer, DrawsThatMustFailReturnFalse) {
    unsigned int id = Load("sheet.png", FourColourSheet(4, 4), 4, 4);
    int x[4] = {0, 4, 4, 0}, y[4] = {0, 0, 4, 4};
    BRZ_LimpaTela();
    EXPECT_FALSE(BRZ_DesenhaSprite(0, 0, 0, 0));
    EXPECT_FALSE(BRZ_DesenhaSprite(1025, 0, 0, 0));
    EXPECT_FALSE(BRZ_DesenhaSprite(id + 1, 0, 0, 0)) << "free slot";
    EXPECT_FALSE(BRZ_DesenhaSprite(id, 4, 0, 0)) << "index equal to the frame count";
    EXPECT_FALSE(BRZ_DesenhaSpriteEfeito(id, 4, x, y, 255, 255, 255, 255));
    EXPECT_FALSE(BRZ_DesenhaSpriteEfeito(0, 0, x, y, 255, 255, 255, 255));
    EXPECT_EQ(Present().at(1, 1), kBlack);
}

// The load binds its new texture and the removal deletes textures: a set drawn
// right afterwards must still show its own picture.
TEST_F(OpenGLRenderer, DrawAfterLoadOrRemoveUsesTheRightTexture) {
    unsigned int red = Load("red.png", Picture(8, 8, kRed));
    BRZ_LimpaTela();
    BRZ_DesenhaSprite(red, 0, 0, 0);
    unsigned int green = Load("green.png", Picture(8, 8, kGreen));
    BRZ_DesenhaSprite(red, 0, 10, 0);
    BRZ_DesenhaSprite(green, 0, 20, 0);
    BRZ_RemoveSpriteSet(green);
    BRZ_DesenhaSprite(red, 0, 30, 0);
    unsigned int blue = Load("blue.png", Picture(8, 8, kBlue));
    BRZ_DesenhaSprite(blue, 0, 40, 0);
    BRZ_RemoveSpriteSet(red);
    BRZ_DesenhaSprite(blue, 0, 50, 0);
    Picture f = Present();
    EXPECT_EQ(f.at(2, 2), kRed);
    EXPECT_EQ(f.at(12, 2), kRed) << "drawn right after another set was loaded";
    EXPECT_EQ(f.at(22, 2), kGreen);
    EXPECT_EQ(f.at(32, 2), kRed) << "drawn right after another set was removed";
    EXPECT_EQ(f.at(42, 2), kBlue);
    EXPECT_EQ(f.at(52, 2), kBlue);
}

TEST_F(OpenGLRenderer, RemovalDeletesTheTextureAndShutDownFreesAll) {
    unsigned int id = Load("red.png", Picture(8, 8, kRed));
    GLuint tex = Slot(id).textura;
    ASSERT_TRUE(glIsTexture(tex));
    Load("red2.png", Picture(8, 8, kRed));
    BRZ_CarregaSpriteSet(Slot(2).apelido, 0, 0);
    BRZ_RemoveSpriteSet(id);
    EXPECT_FALSE(glIsTexture(tex));
    EXPECT_EQ(Slot(id).textura, 0u);
    EXPECT_FALSE(Slot(id).texturaLigada);
    EXPECT_EQ(Slot(2).usuarios, 2u);
}

// A full-size map picture: one set, one 2048 texture, one mask.
TEST_F(OpenGLRenderer, LargePictureLoadsAsOneSet) {
    Picture big(2048, 2048, kClear);
    big.fill(100, 200, 300, 400, kRed);
    std::string path = images.Png("big.png", big);
    auto t0 = std::chrono::steady_clock::now();
    unsigned int id = BRZ_CarregaSpriteSet(path.c_str(), 0, 0);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    ASSERT_NE(id, 0u);
    std::printf("2048x2048 RGBA load: %.1f ms\n", ms);
    EXPECT_EQ(Slot(id).larguraTextura, 2048);
    ASSERT_NE(Slot(id).bmask, nullptr);
    EXPECT_TRUE(BRZ_GetBit(Slot(id).bmask[0], 100, 200));
    EXPECT_TRUE(BRZ_GetBit(Slot(id).bmask[0], 399, 599));
    EXPECT_FALSE(BRZ_GetBit(Slot(id).bmask[0], 400, 599));
    EXPECT_FALSE(BRZ_GetBit(Slot(id).bmask[0], 2047, 2047));
}

double CpuSeconds() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

// Frame pacing sleeps: 30 periods at 60 per second last at least 30 x 16 ms
// while the process spends far less than that on the processor. Each period
// counts from the end of the previous wait, and that moment is not visible
// from outside: the swap that follows it may take any time. So the clock
// starts before the frame whose wait opens the first period, and stops
// after the frame that closes the thirtieth (1 ms allows for the
// millisecond clock).
TEST_F(OpenGLRenderer, PacingSleepsRatherThanSpins) {
    BRZ_DefineSincronizaUsuario(nullptr);
    for (int i = 0; i < 4; ++i) {  // the first swaps of a new window are slow
        BRZ_LimpaTela();
        BRZ_Sincroniza(60);
    }
    auto t0 = std::chrono::steady_clock::now();
    double c0 = CpuSeconds();
    for (int i = 0; i < 31; ++i) {
        BRZ_LimpaTela();
        BRZ_Sincroniza(60);
    }
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    double cpu = CpuSeconds() - c0;
    std::printf("31 frames: %.1f ms wall, %.1f ms CPU\n", wall * 1e3, cpu * 1e3);
    EXPECT_GE(wall, 30 * 0.016 - 0.001);
    EXPECT_LT(cpu, wall * 0.5);
}

// Rate 0 waits a whole second, measured the same way: from before the frame
// whose wait opens the period to after the one that closes it.
TEST_F(OpenGLRenderer, RateZeroPacesLikeOneFramePerSecond) {
    BRZ_DefineSincronizaUsuario(nullptr);
    auto t0 = std::chrono::steady_clock::now();
    BRZ_Sincroniza(0);
    BRZ_Sincroniza(0);
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_GE(wall, 0.999);
}

TEST(OpenGLMessages, StartAndShutDownLinesInOrder) {
    StdoutCapture out;
    ASSERT_TRUE(BRZ_Inicia(1024, 768, BRZ_TELA_CHEIA, BRZ_DESENHO_OPENGL, const_cast<char*>("Vessel Drift")));
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    EXPECT_FALSE(BRZ_Inicia(1024, 768, BRZ_TELA_CHEIA, BRZ_DESENHO_OPENGL, const_cast<char*>("again")));
    BRZ_Encerra();
    BRZ_Encerra();
    std::string maxTex = std::to_string(side) + "x" + std::to_string(side);
    EXPECT_EQ(out.Take(),
              "Iniciando o modo de vídeo (OpenGL): 1024x768x32bpp\n"
              "A aplicação requisitou um modo de vídeo em tela cheia.\n"
              "A Brisa2DLite vai verificar a disponibilidade do modo de vídeo requisitado.\n"
              "O sistema indica que o modo é suportado. Tenta iniciar.\n"
              "A aplicação está utilizando double buffer como esperado.\n"
              "Modo de vídeo iniciado com sucesso!\n"
              "O tamanho máximo de textura suportado é de " + maxTex + " pixels.\n"
              "Apagando os spritesets e fontes do sistema.\n"
              "Encerrando a SDL.\n"
              "Encerrou a SDL+OpenGL");
}

TEST(OpenGLMessages, WindowAndInvalidModes) {
    StdoutCapture out;
    ASSERT_TRUE(BRZ_Inicia(64, 64, BRZ_JANELA, BRZ_DESENHO_OPENGL, const_cast<char*>("w")));
    EXPECT_EQ(BRZ_LimpaTela, &BRZGL_LimpaTela);
    BRZ_Encerra();
    ASSERT_TRUE(BRZ_Inicia(64, 64, 9, BRZ_DESENHO_OPENGL, const_cast<char*>("w")));
    EXPECT_EQ(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN, 0u);
    BRZ_Encerra();
    std::string text = out.Take();
    EXPECT_NE(text.find("A aplicação requisitou um modo de vídeo em janela.\n"), std::string::npos);
    EXPECT_NE(text.find("A aplicação requisitou um modo de vídeo inválido. Por segurança, será utilizado um modo em "
                        "janela.\n"),
              std::string::npos);
    EXPECT_NE(text.find("Encerrou a SDL+OpenGLIniciando"), std::string::npos) << "no newline after the last line";
}

}  // namespace
