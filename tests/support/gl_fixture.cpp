#include "gl_fixture.h"

#include "brisa2d2.h"

namespace vdtest {

OpenGLTest* OpenGLTest::current_ = nullptr;

void OpenGLTest::ReadFrame() { current_->frame_ = ReadBackBuffer(current_->w_, current_->h_); }

void OpenGLTest::SetUp() {
    ASSERT_TRUE(BRZ_Inicia(unsigned(w_), unsigned(h_), BRZ_JANELA, BRZ_DESENHO_OPENGL, "gl"));
    current_ = this;
    BRZ_DefineSincronizaUsuario(ReadFrame);
}

void OpenGLTest::TearDown() {
    BRZ_DefineSincronizaUsuario(nullptr);
    current_ = nullptr;
    BRZ_Encerra();
}

Picture OpenGLTest::Present() {
    BRZ_Sincroniza(BRZ_FPS_MAXIMO);
    return frame_;
}

}  // namespace vdtest
