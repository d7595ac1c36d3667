// Large pictures under the OpenGL renderer, as the game's 2048 x 2048 map
// tiles: a square one and a wide one, each in a 2048 working surface, must
// hold the picture's own bytes with opaque magenta turned into transparent
// black (the key the mask builder applies on its way) and zeros outside it.
#include <gtest/gtest.h>

#include <string>

#include "engine_helpers.h"

using namespace vdtest;

namespace {

const int kSide = 2048;

// Opaque colours with a few blocks of the values the key tells apart.
Picture Tile(int w, int h) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.at(x, y) = Rgba{Uint8(x), Uint8(y), Uint8(x ^ y), 255};
    p.fill(100, 100, 300, 200, kMagenta);
    p.fill(1500, 10, 40, 40, Rgba{255, 0, 255, 254});
    p.fill(0, 900, 2048, 3, kClear);
    p.fill(2000, 1000, 48, 24, kMagenta);
    return p;
}

// What the surface must hold at (x, y) for a picture p in its corner.
Uint32 Expected(const Picture& p, int x, int y) {
    if (x >= p.w || y >= p.h) return 0;
    Rgba c = p.at(x, y);
    if (c == kMagenta) return 0;
    return Uint32(c.r) | Uint32(c.g) << 8 | Uint32(c.b) << 16 | Uint32(c.a) << 24;
}

class OpenGLLargePictures : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(BRZ_Inicia(64, 64, BRZ_JANELA, BRZ_DESENHO_OPENGL, const_cast<char*>("gl")));
        GLint limit = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
        if (limit < kSide) GTEST_SKIP() << "texture limit " << limit << " below " << kSide;
    }
    void TearDown() override { BRZ_Encerra(); }
    ImageDir images{"gllarge"};
};

TEST_F(OpenGLLargePictures, SquareAndCopiedPicturesHoldTheSameBytes) {
    const Picture square = Tile(kSide, kSide);
    Picture wide(kSide, kSide / 2);  // the top half of the same picture
    for (int y = 0; y < wide.h; ++y)
        for (int x = 0; x < wide.w; ++x) wide.at(x, y) = square.at(x, y);
    unsigned int squareId = BRZ_CarregaSpriteSet(images.Png("square.png", square).c_str(), 0, 0);
    unsigned int wideId = BRZ_CarregaSpriteSet(images.Png("wide.png", wide).c_str(), 0, 0);
    ASSERT_NE(squareId, 0u);
    ASSERT_NE(wideId, 0u);

    for (unsigned int id : {squareId, wideId}) {
        const BRZ_SpriteSet& s = Slot(id);
        const Picture& p = id == squareId ? square : wide;
        SCOPED_TRACE(id == squareId ? "square picture" : "wide picture");
        ASSERT_EQ(s.imagem->w, kSide);
        ASSERT_EQ(s.imagem->h, kSide);
        ASSERT_EQ(s.imagem->pitch, kSide * 4) << "the texture reads the rows back to back";
        EXPECT_EQ(s.larguraTextura, kSide);
        EXPECT_EQ(s.largura, p.w);
        EXPECT_EQ(s.altura, p.h);
        for (int y = 0; y < kSide; ++y) {
            const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(s.imagem->pixels) + y * s.imagem->pitch);
            for (int x = 0; x < kSide; ++x) ASSERT_EQ(row[x], Expected(p, x, y)) << "(" << x << ", " << y << ")";
        }
        BRZ_BitMask* m = s.bmask[0];
        EXPECT_FALSE(BRZ_GetBit(m, 150, 150)) << "opaque magenta";
        EXPECT_TRUE(BRZ_GetBit(m, 1510, 20)) << "magenta with alpha 254 stays solid";
        EXPECT_FALSE(BRZ_GetBit(m, 7, 901)) << "alpha 0";
        EXPECT_TRUE(BRZ_GetBit(m, 7, 899));
    }
}

}  // namespace
