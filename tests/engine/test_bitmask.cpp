// Collision masks: bit layout, bounds, the transparency rule and the fill.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "brisa2d2.h"

namespace {

struct Format {
    const char* name;
    Uint32 r, g, b, a;
};
// The OpenGL renderer's working surfaces (R, G, B, A bytes) and the software
// renderer's display format (A, R, G, B from the top byte down).
const Format kFormats[] = {
    {"RGBA bytes", 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
    {"ARGB word", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
};

SDL_Surface* NewSurface(int w, int h, const Format& f) {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, f.r, f.g, f.b, f.a);
}

void Put(SDL_Surface* s, int x, int y, Uint8 r, Uint8 g, Uint8 b, Uint8 a) {
    Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
    row[x] = SDL_MapRGBA(s->format, r, g, b, a);
}

struct MaskOwner {
    BRZ_BitMask* m;
    explicit MaskOwner(BRZ_BitMask* mask) : m(mask) {}
    ~MaskOwner() {
        if (m) BRZ_RemoveBitMask(m);
    }
};

TEST(BitMaskLayout, WordsPerRowRoundUp) {
    const int widths[][2] = {{1, 1}, {31, 1}, {32, 1}, {33, 2}, {64, 2}, {65, 3}, {2048, 64}};
    for (auto& c : widths) {
        MaskOwner o(BRZ_CriaBitMask(c[0], 3));
        ASSERT_NE(o.m, nullptr);
        EXPECT_EQ(o.m->ldwords, c[1]) << "width " << c[0];
        EXPECT_EQ(o.m->largura, c[0]);
        EXPECT_EQ(o.m->altura, 3);
    }
}

TEST(BitMaskLayout, LeftmostPixelIsTheMostSignificantBit) {
    MaskOwner o(BRZ_CriaBitMask(40, 2));
    std::fill(o.m->mask, o.m->mask + 4, 0u);
    BRZ_SetBit(o.m, 0, 0, 1);
    EXPECT_EQ(o.m->mask[0], 0x80000000u);
    BRZ_SetBit(o.m, 31, 0, 1);
    EXPECT_EQ(o.m->mask[0], 0x80000001u);
    BRZ_SetBit(o.m, 32, 1, 1);  // first pixel of the second word of row 1
    EXPECT_EQ(o.m->mask[3], 0x80000000u);
    EXPECT_EQ(o.m->mask[2], 0u);
    BRZ_SetBit(o.m, 0, 0, 0);
    EXPECT_EQ(o.m->mask[0], 0x00000001u);
    EXPECT_TRUE(BRZ_GetBit(o.m, 31, 0));
    EXPECT_FALSE(BRZ_GetBit(o.m, 0, 0));
    EXPECT_TRUE(BRZ_GetBit(o.m, 32, 1));
}

TEST(BitMaskLayout, CoordinatesOutsideAreIgnored) {
    MaskOwner o(BRZ_CriaBitMask(33, 2));
    const Uint32 pattern = 0xA5A5A5A5u;
    std::fill(o.m->mask, o.m->mask + 4, pattern);
    const int outside[][2] = {{-1, 0}, {0, -1}, {33, 0}, {0, 2}, {40, 1}, {-32, 1}};
    for (auto& p : outside) {
        BRZ_SetBit(o.m, p[0], p[1], 1);
        BRZ_SetBit(o.m, p[0], p[1], 0);
        EXPECT_FALSE(BRZ_GetBit(o.m, p[0], p[1])) << p[0] << "," << p[1];
    }
    for (int i = 0; i < 4; ++i) EXPECT_EQ(o.m->mask[i], pattern) << "word " << i;
}

class TransparencyRule : public ::testing::TestWithParam<Format> {};

TEST_P(TransparencyRule, MagentaAndZeroAlphaAreTransparent) {
    SDL_Surface* s = NewSurface(8, 1, GetParam());
    ASSERT_NE(s, nullptr);
    Put(s, 0, 0, 255, 0, 255, 255);  // opaque magenta: transparent
    Put(s, 1, 0, 255, 0, 255, 254);  // magenta, not opaque: solid
    Put(s, 2, 0, 0, 0, 0, 0);        // black, alpha 0: transparent
    Put(s, 3, 0, 200, 50, 9, 0);     // any colour with alpha 0: transparent
    Put(s, 4, 0, 10, 20, 30, 1);     // alpha 1: solid
    Put(s, 5, 0, 0, 0, 0, 255);      // opaque black: solid
    Put(s, 6, 0, 255, 0, 254, 255);  // almost magenta: solid
    Put(s, 7, 0, 255, 255, 255, 128);
    const bool expected[] = {true, false, true, true, false, false, false, false};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(PontoTransparente(s, x, 0), expected[x]) << "pixel " << x;
    EXPECT_FALSE(PontoTransparente(s, 8, 0)) << "x equal to the width is reported solid";
    EXPECT_FALSE(PontoTransparente(s, 0, 1)) << "y equal to the height is reported solid";
    SDL_FreeSurface(s);
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, TransparencyRule, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name).substr(0, 4); });

TEST(BitMaskArray, OneMaskPerWholeFrameInFrameOrder) {
    SDL_Surface* s = NewSurface(100, 50, kFormats[0]);
    SDL_FillRect(s, nullptr, 0);  // all transparent
    // Frame k (3 x 2 frames of 30 x 20) gets one solid pixel at (k, k).
    for (int k = 0; k < 6; ++k) Put(s, (k % 3) * 30 + k, (k / 3) * 20 + k, 9, 9, 9, 255);
    // Pixels past the last whole frame belong to no mask.
    for (int y = 0; y < 50; ++y)
        for (int x = 90; x < 100; ++x) Put(s, x, y, 1, 1, 1, 255);
    BRZ_BitMask** v = BRZ_CriaVetorBitMasks(s, 30, 20, 100, 50);
    ASSERT_NE(v, nullptr);
    BRZ_PreencheVetorBitMasks(s, 30, 20, 100, 50, v);
    for (int k = 0; k < 6; ++k) {
        ASSERT_NE(v[k], nullptr);
        EXPECT_EQ(v[k]->largura, 30);
        EXPECT_EQ(v[k]->altura, 20);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                ASSERT_EQ(BRZ_GetBit(v[k], x, y), x == k && y == k) << "frame " << k << " pixel " << x << "," << y;
        BRZ_RemoveBitMask(v[k]);
    }
    free(v);
    SDL_FreeSurface(s);
}

// The fill works a word at a time; it must agree with the per-pixel rule on
// any content, in both pixel layouts, for widths that are not whole words.
class FillAgreesWithRule : public ::testing::TestWithParam<Format> {};

TEST_P(FillAgreesWithRule, RandomContent) {
    const int fw = 45, fh = 7, cols = 3, rows = 3;
    SDL_Surface* s = NewSurface(fw * cols + 5, fh * rows + 2, GetParam());
    std::mt19937 rng(1234);
    for (int y = 0; y < s->h; ++y) {
        for (int x = 0; x < s->w; ++x) {
            switch (rng() % 4) {
                case 0: Put(s, x, y, 255, 0, 255, 255); break;
                case 1: Put(s, x, y, Uint8(rng()), Uint8(rng()), Uint8(rng()), 0); break;
                default: Put(s, x, y, Uint8(rng()), Uint8(rng()), Uint8(rng()), Uint8(1 + rng() % 255)); break;
            }
        }
    }
    BRZ_BitMask** v = BRZ_CriaVetorBitMasks(s, fw, fh, s->w, s->h);
    ASSERT_NE(v, nullptr);
    BRZ_PreencheVetorBitMasks(s, fw, fh, s->w, s->h, v);
    for (int k = 0; k < cols * rows; ++k) {
        int x0 = (k % cols) * fw, y0 = (k / cols) * fh;
        for (int y = 0; y < fh; ++y)
            for (int x = 0; x < fw; ++x)
                ASSERT_EQ(BRZ_GetBit(v[k], x, y), !PontoTransparente(s, x0 + x, y0 + y))
                    << "frame " << k << " pixel " << x << "," << y;
        BRZ_RemoveBitMask(v[k]);
    }
    free(v);
    SDL_FreeSurface(s);
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, FillAgreesWithRule, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name).substr(0, 4); });

}  // namespace
