// The mask builder of a load, with and without the colour key it can apply on
// the way (the OpenGL renderer's): every mask bit follows the transparency
// rule of the pixel as it was, and the key clears opaque magenta of the loaded
// picture and nothing else, whatever the frame grid leaves outside the frames.
#include <gtest/gtest.h>

#include <SDL.h>

#include <ostream>
#include <string>
#include <vector>

#include "brisa2d2.h"

namespace {

// Working-surface layout of the OpenGL renderer: bytes R, G, B, A.
const Uint32 kOpaqueMagenta = 0xFFFF00FFu;
const Uint32 kMagenta254 = 0xFEFF00FFu;

// A fixed mix of the values the rule tells apart: opaque magenta (often, so
// whole words of it occur), magenta with alpha 254, colour with alpha 0 and 1,
// and opaque colours.
Uint32 PixelAt(int x, int y) {
    unsigned h = unsigned(x) * 2654435761u ^ unsigned(y) * 40503u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    switch (h % 8) {
        case 0:
        case 1: return kOpaqueMagenta;
        case 2: return kMagenta254;
        case 3: return 0x00123456u;                  // alpha 0
        case 4: return 0x01FF00FFu;                  // magenta, alpha 1
        default: return 0xFF000000u | (h >> 8);      // opaque colour
    }
}

bool Transparent(Uint32 p) { return p == kOpaqueMagenta || (p >> 24) == 0; }

struct Grid {
    int surfaceW, surfaceH;  // the surface (a power-of-two square in the renderer)
    int imageW, imageH;      // the loaded picture in its top-left corner
    int frameW, frameH;
};

const Grid kGrids[] = {
    {64, 64, 64, 64, 64, 64},      // one frame, whole words
    {128, 128, 100, 50, 30, 20},   // 3 x 2 frames, strips to the right and below
    {33, 33, 33, 33, 33, 33},      // one pixel into a row's second word
    {256, 256, 200, 160, 40, 40},  // 5 x 4 frames, words across frame edges
    {32, 32, 31, 32, 1, 16},       // one-pixel-wide frames, a column left over
    {64, 64, 64, 10, 64, 0},       // frame height 0: the whole picture
};

void PrintTo(const Grid& g, std::ostream* os) {
    *os << "picture " << g.imageW << "x" << g.imageH << " on a " << g.surfaceW << "x" << g.surfaceH
        << " surface, frames " << g.frameW << "x" << g.frameH;
}

class MaskKey : public ::testing::TestWithParam<Grid> {};

SDL_Surface* Pattern(int w, int h, std::vector<Uint32>* copy) {
    SDL_Surface* s = SDL_CreateRGBSurface(0, w, h, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    copy->assign(size_t(w) * h, 0);
    for (int y = 0; y < h; ++y) {
        Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < w; ++x) row[x] = (*copy)[size_t(y) * w + x] = PixelAt(x, y);
    }
    return s;
}

TEST_P(MaskKey, MasksFollowTheRuleAndTheKeyClearsOnlyOpaqueMagentaOfThePicture) {
    const Grid g = GetParam();
    for (bool key : {false, true}) {
        SCOPED_TRACE(key ? "with the key" : "without the key");
        std::vector<Uint32> before;
        BRZ_SpriteSet s{};
        s.imagem = Pattern(g.surfaceW, g.surfaceH, &before);
        s.largura = g.imageW;
        s.altura = g.imageH;
        BRZ_DefineQuadros(&s, g.frameW, g.frameH);
        ASSERT_TRUE(BRZ_CriaMascarasSpriteSet(&s, key));

        for (int f = 0; f < s.matrizX * s.matrizY; ++f) {
            int x0 = (f % s.matrizX) * s.spLargura, y0 = (f / s.matrizX) * s.spAltura;
            for (int l = 0; l < s.spAltura; ++l)
                for (int c = 0; c < s.spLargura; ++c)
                    ASSERT_EQ(BRZ_GetBit(s.bmask[f], c, l),
                              !Transparent(before[size_t(y0 + l) * g.surfaceW + x0 + c]))
                        << "frame " << f << " pixel (" << c << ", " << l << ")";
        }
        for (int y = 0; y < g.surfaceH; ++y) {
            const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<Uint8*>(s.imagem->pixels) + y * s.imagem->pitch);
            for (int x = 0; x < g.surfaceW; ++x) {
                Uint32 was = before[size_t(y) * g.surfaceW + x];
                bool inPicture = x < g.imageW && y < g.imageH;
                Uint32 want = key && inPicture && was == kOpaqueMagenta ? 0u : was;
                ASSERT_EQ(row[x], want) << "pixel (" << x << ", " << y << ")";
            }
        }
        BRZ_LiberaSpriteSet(&s);
    }
}

std::string GridName(const ::testing::TestParamInfo<Grid>& info) {
    const Grid& g = info.param;
    return "picture" + std::to_string(g.imageW) + "x" + std::to_string(g.imageH) + "_frames" +
           std::to_string(g.frameW) + "x" + std::to_string(g.frameH) + "_surface" + std::to_string(g.surfaceW);
}

INSTANTIATE_TEST_SUITE_P(Grids, MaskKey, ::testing::ValuesIn(kGrids), GridName);

}  // namespace
