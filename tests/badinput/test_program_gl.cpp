// The whole program (full-screen OpenGL on the X display) run in this process
// with keys sent through SDL's event queue: with no usable audio device it
// must run silently, and with every asset missing it must still reach the
// menu, play and quit with status 0.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Jogo.h"
#include "badinput_support.h"
#include "brisa2d2.h"
#include "brisaaudio2.h"
#include "soak_support.h"
#include "testsupport.h"

namespace badinput {
namespace {

// The loading screen ends two frames; the third is the language screen.
const int kLoadingFrames = 2;
const int kPlayFrames = 120;
const long kFrameLimit = 3000;  // the longest script here needs about 400
const char* const kEngineStarted = "Iniciou a Brisa2D 2 com sucesso";
const char* const kLastWords = "Encerrou a SDL+OpenGL";
const char* const kVolumeWarning = "Atenção: tentativa de mudar o volume do áudio sem iniciar o sistema de áudio!";

// Sets an environment variable for as long as it lives.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (had_)
            setenv(name_.c_str(), old_.c_str(), 1);
        else
            unsetenv(name_.c_str());
    }

private:
    std::string name_, old_;
    bool had_ = false;
};

bool Playing(const Jogo* s, int frames) { return s && s->emPartida && s->quadroPartida >= frames; }

// Language screen, P, the menu and the opening screen (space), a short run
// without keys, ESC back to the menu, and S to quit.
// How a scripted game that played one run and quit ended.
struct Played {
    int status = -1;
    std::string text;    // everything it printed
    int longestRun = 0;  // play frames of its run
};

// The whole program in this process: language P, the opening, kPlayFrames
// of play, ESC, then S on the menu until the program ends.
Played PlayOneRunAndQuit(ScriptedGame& g) {
    Played p;
    int* longestRun = &p.longestRun;
    g.Then(ScriptedGame::Frames(kLoadingFrames + 1))
        .Then(ScriptedGame::Tap(SDLK_p))
        .Then(ScriptedGame::TapUntil(SDLK_SPACE, [](const Jogo* s) { return Playing(s, 1); }))
        .Then(ScriptedGame::Until([longestRun](const Jogo* s) {
            *longestRun = s ? s->quadroPartida : 0;
            return Playing(s, kPlayFrames);
        }))
        .Then(ScriptedGame::Tap(SDLK_ESCAPE))
        .Then(ScriptedGame::TapUntil(SDLK_s, nullptr));  // until the program ends
    vdtest::StdoutCapture out;
    p.status = g.Run(kFrameLimit);
    p.text = out.Take();
    return p;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getenv("DISPLAY"), nullptr) << "these tests need the X display";
        ASSERT_TRUE(cwd_.ok());
    }
    soak::ScopedWorkingDir cwd_{VD_BINARY_DIR};
};

struct AudioFailure {
    const char* name;
    const char* driver;   // SDL_AUDIODRIVER
    const char* diskFile; // SDL_DISKAUDIOFILE, for the disk driver
};
void PrintTo(const AudioFailure& c, std::ostream* os) { *os << c.name; }

class NoAudioDevice : public ProgramTest, public ::testing::WithParamInterface<AudioFailure> {};

TEST_P(NoAudioDevice, TheGameReachesTheLanguageScreenAndQuitsCleanly) {
    ScopedEnv driver("SDL_AUDIODRIVER", GetParam().driver);
    ScopedEnv disk("SDL_DISKAUDIOFILE", GetParam().diskFile);
    ScriptedGame g;
    g.Then(ScriptedGame::Frames(kLoadingFrames + 1)).Then(ScriptedGame::Tap(SDLK_ESCAPE));
    vdtest::StdoutCapture out;
    int status = g.Run(kFrameLimit);
    std::string text = out.Take();
    SCOPED_TRACE(text);
    EXPECT_EQ(status, SAIDA_NORMAL);
    EXPECT_EQ(g.stepsDone(), g.steps());
    EXPECT_TRUE(HasLine(text, kEngineStarted));
    EXPECT_EQ(AudioStartFailures(text), 1);
    // Without a device no sound decodes; each is reported and the game goes on.
    for (const char* sound : {"./rsrc/morreu.ogg", "./rsrc/batida.wav"})
        EXPECT_TRUE(HasLine(text, SoundRefusal(sound))) << sound;
    EXPECT_EQ(CountOf(text, "BRZ_CarregaSPriteset falhou"), 0) << "every picture loads";
    EXPECT_EQ(LastLine(text), kLastWords) << "the engine shut down last";
    EXPECT_FALSE(inicializado);
    EXPECT_EQ(soak::RegistryLeftovers(), "");
    EXPECT_EQ(BZA_ProcuraMusica("./rsrc/bgmusic.ogg"), 0u) << "music decodes without a device; the shut-down frees it";
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, NoAudioDevice,
    ::testing::Values(AudioFailure{"OssWithoutDevice", "dsp", nullptr},
                      AudioFailure{"DiskToAFolderThatIsNotThere", "disk", "/nonexistent/vd/audio.raw"}),
    [](const ::testing::TestParamInfo<AudioFailure>& i) { return std::string(i.param.name); });

TEST_F(ProgramTest, WithoutAudioARunIsPlayedSilentlyAndTheMenuQuits) {
    ScopedEnv driver("SDL_AUDIODRIVER", "inexistente");
    ScriptedGame g;
    Played p = PlayOneRunAndQuit(g);
    SCOPED_TRACE(p.text);
    EXPECT_EQ(p.status, SAIDA_NORMAL);
    EXPECT_EQ(g.stepsDone(), g.steps() - 1) << "all but the last step (S until the end) are done";
    EXPECT_GE(p.longestRun, kPlayFrames);
    EXPECT_TRUE(HasLine(p.text, kVolumeWarning)) << "the session's volume change finds no audio";
    EXPECT_EQ(LastLine(p.text), kLastWords);
    EXPECT_EQ(soak::RegistryLeftovers(), "");
    EXPECT_EQ(BZA_ProcuraMusica((std::string(kPastaRecursos) + kMusica).c_str()), 0u);
}

TEST_F(ProgramTest, WithEveryAssetMissingTheGameStillPlaysAndQuits) {
    std::string empty = vdtest::MakeTempDir("noassets");
    soak::ScopedWorkingDir there(empty);
    ASSERT_TRUE(there.ok());
    ScriptedGame g;
    Played p = PlayOneRunAndQuit(g);
    const std::string& text = p.text;
    vdtest::RemoveTree(empty);
    SCOPED_TRACE(text);
    EXPECT_EQ(p.status, SAIDA_NORMAL);
    EXPECT_GE(p.longestRun, kPlayFrames);
    // The common set and the Portuguese screens: each missing file is named once.
    int pictures = 0, sounds = 0;
    for (const std::string& f : GameFiles()) {
        if (IsEnglishScreen(f)) continue;
        std::string path = kPastaRecursos + f;
        if (IsPicture(f)) {
            ++pictures;
            EXPECT_EQ(CountOf(text, PictureRefusal(path)), 1) << f;
        } else {
            ++sounds;
            EXPECT_TRUE(HasLine(text, SoundRefusal(path))) << f;
        }
    }
    EXPECT_EQ(pictures + sounds, 45);
    EXPECT_EQ(LastLine(text), kLastWords);
    EXPECT_EQ(soak::RegistryLeftovers(), "");
}

// The OpenGL start-up picks SDL's X11 driver only when the environment names
// none: a named driver is used as it is, and the environment is left alone.
TEST(OpenGLDriverChoice, ANamedDriverIsUsedAndTheEnvironmentIsLeftAlone) {
    {
        ScopedEnv dummy("SDL_VIDEODRIVER", "dummy");
        vdtest::StdoutCapture out;
        bool started = BRZ_Inicia(64, 64, BRZ_JANELA, BRZ_DESENHO_OPENGL, "named");
        std::string text = out.Take();
        EXPECT_FALSE(started);
        EXPECT_NE(text.find("Não foi possível iniciar o modo de vídeo requisitado. Encerrando."), std::string::npos)
            << "the dummy driver has no OpenGL";
    }
    ScopedEnv none("SDL_VIDEODRIVER", nullptr);
    ASSERT_TRUE(BRZ_Inicia(64, 64, BRZ_JANELA, BRZ_DESENHO_OPENGL, "unnamed"));
    EXPECT_EQ(getenv("SDL_VIDEODRIVER"), nullptr);
    BRZ_Encerra();
}

}  // namespace
}  // namespace badinput
