// The renderer a bad-input test binary runs on: the software one, or the
// OpenGL one when built with BADINPUT_OPENGL. The test names carry it, so the
// two builds of one source never share a name. Also the fixture that starts
// the engine on it.
#ifndef VD_BADINPUT_RENDERER_CHOICE_H
#define VD_BADINPUT_RENDERER_CHOICE_H

#include <gtest/gtest.h>

#include <string>

#include "brisa2d2.h"
#include "brisaaudio2.h"
#include "soak_support.h"
#include "testsupport.h"

#if defined(BADINPUT_OPENGL) && BADINPUT_OPENGL
#define BADINPUT_RENDERER OpenGL
#define BADINPUT_IS_OPENGL true
#else
#define BADINPUT_RENDERER Software
#define BADINPUT_IS_OPENGL false
#endif

namespace badinput {
constexpr bool kOpenGL = BADINPUT_IS_OPENGL;
constexpr int kRenderer = kOpenGL ? BRZ_DESENHO_OPENGL : BRZ_DESENHO_PADRAO;

// A test (Base: ::testing::Test or a TestWithParam) with a fresh temporary
// folder dir_ and the engine on this binary's renderer, with the audio
// module too when AUDIO. The tear-down shuts both down, expects every
// registry empty and removes the folder.
template <class Base, bool AUDIO = true>
class EngineTest : public Base {
protected:
    void SetUp() override {
        dir_ = vdtest::MakeTempDir("badinput");
        ASSERT_FALSE(dir_.empty());
        ASSERT_TRUE(BRZ_Inicia(1024, 768, BRZ_JANELA, kRenderer, "bad input"));
        if (AUDIO) {
            ASSERT_TRUE(BZA_Inicia());
        }
    }
    void TearDown() override {
        if (AUDIO) BZA_Encerra();
        BRZ_Encerra();
        EXPECT_EQ(soak::RegistryLeftovers(), "");
        vdtest::RemoveTree(dir_);
    }
    std::string dir_;
};
}  // namespace badinput

// The extra levels let the renderer's name expand before gtest pastes it.
#define BADINPUT_CAT_(a, b) a##On##b
#define BADINPUT_CAT(a, b) BADINPUT_CAT_(a, b)
// A test suite name for this renderer: BADINPUT_SUITE(Limits) is LimitsOnOpenGL.
#define BADINPUT_SUITE(name) BADINPUT_CAT(name, BADINPUT_RENDERER)
#define BADINPUT_INSTANTIATE_(prefix, ...) INSTANTIATE_TEST_SUITE_P(prefix, __VA_ARGS__)
// Instantiates a parameterized suite under the renderer's name.
#define BADINPUT_INSTANTIATE(...) BADINPUT_INSTANTIATE_(BADINPUT_RENDERER, __VA_ARGS__)

#endif
