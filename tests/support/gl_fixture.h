// The fixture of the OpenGL tests: the engine started on the OpenGL renderer
// in a window of the size the test asks for (under the X display that
// scripts/test starts), every presented frame read back just before its swap.
#ifndef VD_GL_FIXTURE_H
#define VD_GL_FIXTURE_H

#include <gtest/gtest.h>

#include "testsupport.h"

namespace vdtest {

class OpenGLTest : public ::testing::Test {
protected:
    OpenGLTest(int w, int h) : w_(w), h_(h) {}
    void SetUp() override;     // starts the engine (a test fails at once when it cannot) and the read-back
    void TearDown() override;  // stops the read-back, shuts the engine down
    // Ends the frame at the highest rate and returns what it showed.
    Picture Present();
    int width() const { return w_; }
    int height() const { return h_; }

private:
    static void ReadFrame();
    static OpenGLTest* current_;
    Picture frame_;
    int w_, h_;
};

}  // namespace vdtest

#endif
