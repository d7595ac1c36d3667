// Load/play/remove cycles of the audio module, shared effects and music
// included. Run under memcheck by tests/valgrind/CMakeLists.txt, and as a
// plain test by the normal and the sanitizer test runs.
#include <gtest/gtest.h>

#include <string>

#include "brisaaudio2.h"
#include "cycles.h"

using namespace vdcycles;

namespace {

const int kCentre = 0;  // pan position of a played effect

// Loads the file twice (the second load shares the slot); 0 when the first load fails.
template <typename Load>
unsigned int LoadTwice(Load load, const std::string& path) {
    unsigned int id = load(path.c_str());
    EXPECT_NE(id, 0u) << path;
    if (id != 0) {
        EXPECT_EQ(load(path.c_str()), id) << path << " loaded again";
    }
    return id;
}

class AudioCycles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(BZA_Inicia()); }
    void TearDown() override { BZA_Encerra(); }
};

TEST_F(AudioCycles, LoadPlayRemoveCyclesFreeEverySlot) {
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        for (const char* e : kEffects) {
            std::string path = Rsrc(e);
            unsigned int id = LoadTwice(BZA_CarregaEfeito, path);
            EXPECT_GE(BZA_TocaEfeito(id, kCentre), 0) << path;  // a mixer channel
            BZA_RemoveEfeito(id);
            EXPECT_EQ(BZA_ProcuraEfeito(path.c_str()), id) << path << " still has a holder";
            BZA_RemoveEfeito(id);
            EXPECT_EQ(BZA_ProcuraEfeito(path.c_str()), 0u) << path;
        }
        std::string path = Rsrc(kMusic);
        unsigned int music = LoadTwice(BZA_CarregaMusica, path);
        EXPECT_TRUE(BZA_TocaMusica(music, 1));
        BZA_RemoveMusica(music);
        EXPECT_EQ(BZA_ProcuraMusica(path.c_str()), music) << "the music still has a holder";
        BZA_RemoveMusica(music);
        EXPECT_EQ(BZA_ProcuraMusica(path.c_str()), 0u);
    }
}

}  // namespace
