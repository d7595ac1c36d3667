// The audio module when no device opens. SDL_mixer decodes no sample without
// a device, but it opens music files all the same, so a music piece can be
// loaded (and even started) while the module is stopped. Its shut-down must
// give such pieces back: nothing else would, since the next start-up's reset
// only forgets the registries.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "badinput_support.h"
#include "brisaaudio2.h"
#include "testsupport.h"

namespace badinput {
namespace {

class NoDevice : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "inexistente", 1);  // a driver that does not exist
        vdtest::StdoutCapture out;
        started_ = BZA_Inicia();
        text_ = out.Take();
    }
    void TearDown() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    bool started_ = true;
    std::string text_;
};

TEST_F(NoDevice, TheStartFailsWithItsMessage) {
    EXPECT_FALSE(started_);
    EXPECT_EQ(AudioStartFailures(text_), 1) << text_;
    EXPECT_EQ(CountOf(text_, "\n"), 1) << "one line, nothing else: " << text_;
}

TEST_F(NoDevice, EffectsAreRefusedWithTheirName) {
    std::string wav = Rsrc("batida.wav");
    vdtest::StdoutCapture out;
    unsigned int id = BZA_CarregaEfeito(wav.c_str());
    std::string text = out.Take();
    EXPECT_EQ(id, 0u);
    EXPECT_EQ(text, SoundRefusal(wav) + "\n");
    EXPECT_EQ(BZA_TocaEfeito(id, 0), 0);
}

TEST_F(NoDevice, MusicLoadedAnywayIsFreedByTheShutDown) {
    std::string ogg = Rsrc("bgmusic.ogg");
    unsigned int id = BZA_CarregaMusica(ogg.c_str());
    ASSERT_NE(id, 0u) << "SDL_mixer opens music without a device";
    BZA_TocaMusica(id, -1);  // whatever the mixer makes of it, nothing may break
    BZA_FadeMusica(100);
    BZA_Encerra();
    EXPECT_EQ(BZA_ProcuraMusica(ogg.c_str()), 0u) << "the piece is given back";
    EXPECT_EQ(BZA_CarregaMusica(ogg.c_str()), 1u) << "and its slot is free";
    BZA_Encerra();
}

}  // namespace
}  // namespace badinput
