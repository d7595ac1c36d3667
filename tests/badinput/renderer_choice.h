// The renderer a bad-input test binary runs on: the software one, or the
// OpenGL one when built with BADINPUT_OPENGL. The test names carry it, so the
// two builds of one source never share a name.
#ifndef VD_BADINPUT_RENDERER_CHOICE_H
#define VD_BADINPUT_RENDERER_CHOICE_H

#include <gtest/gtest.h>

#include "brisa2d2.h"

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
