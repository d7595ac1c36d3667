// Sprite-level collision tests on pictures written by the test and loaded
// through the renderer that VD_RENDERER names (built once per renderer).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "brisa2d2.h"
#include "testsupport.h"

// VD_RENDERER is the renderer kind; VD_FIXTURE names the test suite after it,
// so that the two builds of this file report under different names.
#if !defined(VD_RENDERER) || !defined(VD_FIXTURE)
#error "VD_RENDERER and VD_FIXTURE must name the renderer under test"
#endif

using namespace vdtest;

namespace {

const Rgba kInk{255, 255, 255, 255}, kClear{0, 0, 0, 0}, kMagenta{255, 0, 255, 255};
const char* const kWarning = "Tentou colidir com um sprite invalido (0)\n";

bool Solid(const Rgba& c) { return c.a != 0 && !(c == kMagenta); }

// A picture of w x h transparent pixels with the listed pixels inked.
Picture Dots(int w, int h, std::initializer_list<std::pair<int, int>> ink, Rgba background = kClear) {
    Picture p(w, h, background);
    for (const auto& d : ink) p.at(d.first, d.second) = kInk;
    return p;
}

class VD_FIXTURE : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = MakeTempDir("collision");
        ASSERT_FALSE(dir_.empty());
        ASSERT_TRUE(BRZ_Inicia(64, 48, BRZ_JANELA, VD_RENDERER, "collision"));
    }
    void TearDown() override {
        BRZ_Encerra();
        RemoveTree(dir_);
    }
    unsigned int Load(const std::string& name, const Picture& pic, int fw = 0, int fh = 0) {
        std::string path = dir_ + "/" + name;
        EXPECT_TRUE(WritePng(path, pic)) << path;
        unsigned int id = BRZ_CarregaSpriteSet(path.c_str(), fw, fh);
        EXPECT_NE(id, 0u) << path;
        return id;
    }
    std::string dir_;
};

TEST_F(VD_FIXTURE, OnePixelSpritesMeetOnlyWhereTheirPixelsDo) {
    unsigned int dot = Load("dot.png", Dots(8, 8, {{3, 4}}));
    unsigned int left = Load("left.png", Dots(8, 8, {{2, 4}}));
    EXPECT_TRUE(BRZ_ColidiuSprites(dot, 0, 10, 10, dot, 0, 10, 10));
    EXPECT_FALSE(BRZ_ColidiuSprites(dot, 0, 10, 10, dot, 0, 11, 10));
    EXPECT_FALSE(BRZ_ColidiuSprites(dot, 0, 10, 10, dot, 0, 10, 9));
    EXPECT_TRUE(BRZ_ColidiuSprites(dot, 0, 10, 10, left, 0, 11, 10));
    EXPECT_TRUE(BRZ_ColidiuSprites(left, 0, 11, 10, dot, 0, 10, 10));
    EXPECT_FALSE(BRZ_ColidiuSprites(dot, 0, 10, 10, left, 0, 10, 10));
}

TEST_F(VD_FIXTURE, MagentaAndClearPixelsAreNotSolid) {
    Picture keyed = Dots(8, 8, {{0, 0}}, kMagenta);
    Picture clearColoured = Dots(8, 8, {{0, 0}}, Rgba{10, 200, 30, 0});
    unsigned int block = Load("block.png", Picture(8, 8, kInk));
    for (const Picture* p : {&keyed, &clearColoured}) {
        unsigned int id = Load(p == &keyed ? "keyed.png" : "clear.png", *p);
        EXPECT_FALSE(BRZ_ColidiuSprites(id, 0, 0, 0, block, 0, 1, 1)) << "block over the background only";
        EXPECT_TRUE(BRZ_ColidiuSprites(id, 0, 0, 0, block, 0, 0, 0)) << "block over the inked pixel";
    }
}

// Three 10 x 12 frames side by side (30 x 12: the OpenGL renderer pads it), each with one
// inked pixel of its own; a 1 x 1 probe finds each frame's pixel and nothing else.
TEST_F(VD_FIXTURE, EachFrameHasItsOwnMask) {
    const int kPix[3][2] = {{0, 0}, {9, 11}, {4, 7}};
    Picture sheet(30, 12, kClear);
    for (int k = 0; k < 3; ++k) sheet.at(10 * k + kPix[k][0], kPix[k][1]) = kInk;
    unsigned int set = Load("sheet.png", sheet, 10, 12);
    unsigned int probe = Load("probe.png", Picture(1, 1, kInk));
    for (int k = 0; k < 3; ++k)
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 10; ++x) {
                bool want = x == kPix[k][0] && y == kPix[k][1];
                ASSERT_EQ(BRZ_ColidiuSprites(set, k, 5, 5, probe, 0, 5 + x, 5 + y), want)
                    << "frame " << k << ", pixel " << x << "," << y;
            }
}

TEST_F(VD_FIXTURE, AFrameIndexAtTheCountIsFalseWithoutAWord) {
    unsigned int set = Load("four.png", Picture(32, 32, kInk), 16, 16);
    StdoutCapture out;
    EXPECT_TRUE(BRZ_ColidiuSprites(set, 3, 0, 0, set, 3, 0, 0));
    EXPECT_FALSE(BRZ_ColidiuSprites(set, 4, 0, 0, set, 0, 0, 0));
    EXPECT_FALSE(BRZ_ColidiuSprites(set, 0, 0, 0, set, 4, 0, 0));
    EXPECT_FALSE(BRZ_ColidiuSprites(set, 0xFFFFFFFFu, 0, 0, set, 0, 0, 0));
    EXPECT_FALSE(BRZ_ColidiuSprites(set, 4, 0, 0, 0, 0, 16, 16, set, 0, 0, 0, 0, 0, 16, 16));
    EXPECT_EQ(out.Take(), "");
}

TEST_F(VD_FIXTURE, IdentifierZeroIsReportedOnEitherSide) {
    unsigned int set = Load("block.png", Picture(8, 8, kInk));
    StdoutCapture out;
    EXPECT_FALSE(BRZ_ColidiuSprites(0, 0, 0, 0, set, 0, 0, 0));
    EXPECT_FALSE(BRZ_ColidiuSprites(set, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_FALSE(BRZ_ColidiuSprites(0, 0, 0, 0, 0, 0, 8, 8, set, 0, 0, 0, 0, 0, 8, 8));
    EXPECT_EQ(out.Take(), std::string(kWarning) + kWarning + kWarning);
}

TEST_F(VD_FIXTURE, SetsThatAreNotLoadedNeverCollide) {
    unsigned int set = Load("block.png", Picture(8, 8, kInk));
    unsigned int gone = Load("gone.png", Picture(8, 8, kInk));
    BRZ_RemoveSpriteSet(gone);
    StdoutCapture out;
    EXPECT_FALSE(BRZ_ColidiuSprites(set, 0, 0, 0, gone, 0, 0, 0));
    EXPECT_FALSE(BRZ_ColidiuSprites(BRZ_MAX_SPRITESETS + 1, 0, 0, 0, set, 0, 0, 0));
    EXPECT_FALSE(BRZ_ColidiuSprites(set, 0, 0, 0, 0, 0, 8, 8, 0xFFFFFFFFu, 0, 0, 0, 0, 0, 8, 8));
    EXPECT_EQ(out.Take(), "");
}

// The boxes decide whether to look; the pixels are compared where the sprites
// are drawn, not where their boxes are.
TEST_F(VD_FIXTURE, LongFormComparesPixelsAtTheSpritesOwnPositions) {
    unsigned int dot = Load("dot.png", Dots(8, 8, {{3, 4}}));
    EXPECT_TRUE(BRZ_ColidiuSprites(dot, 0, 20, 20, 5, 5, 3, 3, dot, 0, 20, 20, 0, 0, 8, 8));
    EXPECT_FALSE(BRZ_ColidiuSprites(dot, 0, 20, 20, 5, 5, 3, 3, dot, 0, 25, 20, 0, 0, 8, 8))
        << "boxes touch, pixels apart";
    EXPECT_FALSE(BRZ_ColidiuSprites(dot, 0, 20, 20, 5, 5, 3, 3, dot, 0, 20, 20, 0, 0, 2, 2))
        << "pixels meet, boxes apart";
    EXPECT_TRUE(BRZ_ColidiuSprites(dot, 0, 20, 20, 5, 5, 3, 3, dot, 0, 20, 20, 0, 0, 5, 5))
        << "boxes share an edge";
}

// Two random pictures (ink, magenta, clear pixels of any colour) at every offset
// of a grid: the engine finds a shared solid pixel exactly when the pictures have one.
TEST_F(VD_FIXTURE, RandomPicturesAgreeWithTheirPixelsAtEveryOffset) {
    std::mt19937 rng(4242);
    auto randomPicture = [&rng](int w, int h) {
        Picture p(w, h);
        for (Rgba& c : p.px) {
            unsigned r = rng() % 100;
            c = r < 4 ? Rgba{Uint8(rng()), Uint8(rng()), Uint8(rng()), Uint8(1 + rng() % 255)}
                : r < 30 ? kMagenta
                         : Rgba{Uint8(rng()), Uint8(rng()), Uint8(rng()), 0};
        }
        return p;
    };
    Picture a = randomPicture(45, 29), b = randomPicture(37, 41);
    unsigned int ida = Load("a.png", a), idb = Load("b.png", b);
    int hits = 0, checked = 0;
    for (int dy = -45; dy <= 33; dy += 2)
        for (int dx = -41; dx <= 49; dx += 3) {
            bool want = false;
            for (int y = 0; y < a.h && !want; ++y)
                for (int x = 0; x < a.w && !want; ++x) {
                    int bx = x - dx, by = y - dy;
                    want = bx >= 0 && by >= 0 && bx < b.w && by < b.h && Solid(a.at(x, y)) && Solid(b.at(bx, by));
                }
            ASSERT_EQ(BRZ_ColidiuSprites(ida, 0, 100, 50, idb, 0, 100 + dx, 50 + dy), want) << dx << "," << dy;
            hits += want;
            ++checked;
        }
    EXPECT_GT(hits, checked / 10);
    EXPECT_LT(hits, checked - checked / 10);
}

}  // namespace
