// Clearing under the OpenGL renderer: every pixel becomes the clear colour,
// opaque, whatever was drawn before; while a clip area is set the clear leaves
// the frame black with alpha 0 (the clear-colour fill is refused by the
// stencil the clear has just emptied), until the area is lifted.
#include <gtest/gtest.h>

#include "engine_helpers.h"
#include "gl_fixture.h"

using namespace vdtest;

namespace {

const int kW = 64, kH = 48;
const Rgba kTransparentBlack{0, 0, 0, 0};

class OpenGLClear : public OpenGLTest {
protected:
    OpenGLClear() : OpenGLTest(kW, kH) {}
    // Every pixel of the frame is c.
    static void ExpectAll(const Picture& f, Rgba c) {
        for (int y = 0; y < f.h; ++y)
            for (int x = 0; x < f.w; ++x)
                ASSERT_EQ(f.at(x, y), c) << "(" << x << ", " << y << ")";
    }
    ImageDir images{"glclear"};
};

TEST_F(OpenGLClear, ClearColoursEveryPixelOpaqueOverWhatWasDrawn) {
    const Rgba colours[] = {{0, 0, 0, 255}, {10, 200, 30, 255}, {255, 255, 255, 255}, {1, 128, 254, 255}};
    unsigned int id = BRZ_CarregaSpriteSet(images.Solid("half.png", kW, kH, Rgba{90, 90, 90, 128}).c_str(), 0, 0);
    ASSERT_NE(id, 0u);
    for (const Rgba& c : colours) {
        BRZ_TrocaCorLimpezaTela(c.r, c.g, c.b);
        BRZ_LimpaTela();
        BRZ_DesenhaSprite(id, 0, 0, 0);
        Present();
        BRZ_LimpaTela();
        ExpectAll(Present(), c);
    }
}

TEST_F(OpenGLClear, WithAClipAreaTheClearLeavesTransparentBlackUntilLifted) {
    unsigned int id = BRZ_CarregaSpriteSet(images.Solid("white.png", kW, kH, kWhite).c_str(), 0, 0);
    BRZ_TrocaCorLimpezaTela(10, 200, 30);
    BRZ_LimitaAreaDesenho(8, 8, 16, 16);
    BRZ_LimpaTela();
    BRZ_DesenhaSprite(id, 0, 0, 0);
    ExpectAll(Present(), kTransparentBlack);
    BRZ_LiberaAreaDesenho();
    BRZ_LimpaTela();
    ExpectAll(Present(), (Rgba{10, 200, 30, 255}));
}

}  // namespace
