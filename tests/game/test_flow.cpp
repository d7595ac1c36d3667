// The language screen and the main cycle, driven frame by frame.
#include <gtest/gtest.h>

#include "Obstaculos.h"
#include "flow_fixture.h"

using namespace vdtest;
using math::Vector2D;

namespace {

class LanguageScreen : public FlowTest {
protected:
    // Runs the language screen with `teclas` pressed together at frame 3.
    bool Choose(std::vector<int> teclas) {
        script = [this, teclas](int f) {
            if (f == 3)
                for (int t : teclas) keys[t].pressionado = true;
        };
        j.r.sprIdiomas = j.r.sprMenu;
        return TelaIdiomas(j);
    }
};

TEST_F(LanguageScreen, PortugueseWinsOverEnglishInOneFrame) {
    idioma = 7;
    StdoutCapture out;
    EXPECT_TRUE(Choose({BRZ_P, BRZ_E}));
    std::string text = out.Take();
    EXPECT_EQ(idioma, 0);
    EXPECT_NE(text.find("./rsrc/menup.jpg"), std::string::npos) << "the Portuguese set was loaded";
    EXPECT_EQ(text.find("./rsrc/menue.jpg"), std::string::npos);
    EXPECT_EQ(Frames(), 5) << "the screen is presented once more after the choice";
}

TEST_F(LanguageScreen, ALanguageAndEscInOneFrameChoosesTheLanguage) {
    StdoutCapture out;
    EXPECT_TRUE(Choose({BRZ_ESC, BRZ_E}));
    EXPECT_NE(out.Take().find("./rsrc/abertura4e.jpg"), std::string::npos);
    EXPECT_EQ(idioma, 1);
}

TEST_F(LanguageScreen, EscQuitsAndTheCloseRequestIsIgnored) {
    script = [this](int f) {
        if (f == 1) keys[BRZ_ENCERRA].pressionado = true;
        if (f == 4) keys[BRZ_ESC].pressionado = true;
    };
    EXPECT_FALSE(TelaIdiomas(j));
    EXPECT_EQ(Frames(), 6);
}

// Scripted player for the main cycle: while a screen waits (nothing drawn in
// the frame), it answers the menu with the next key of `menuKeys` and any
// other picture with the space bar.
class MainCycle : public FlowTest {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        IniciaSessao(j);
        script = [this](int) { Answer(); };
    }
    void Answer() {
        bool drewThisFrame = false;
        for (size_t i = seen; i < calls.size(); ++i) {
            if (calls[i].tipo != Chamada::DESENHA) continue;
            drewThisFrame = true;
            if (calls[i].x == 0 && calls[i].y == 0) lastPicture = calls[i].id;
        }
        seen = calls.size();
        // A screen reads its key in a frame that draws nothing and ends that
        // frame too: answer once, then wait until something is drawn again.
        if (drewThisFrame) armed = true;
        if (drewThisFrame || !armed || lastPicture == 0) return;
        armed = false;
        if (lastPicture == j.r.sprMenu) {
            if (next < menuKeys.size()) keys[menuKeys[next++]].pressionado = true;
        } else {
            keys[BRZ_ESPACO].pressionado = true;
        }
    }
    // Pictures shown full-screen, in order, without repeats.
    std::vector<unsigned int> Screens() const {
        std::vector<unsigned int> out;
        for (const Chamada& c : calls)
            if (c.tipo == Chamada::DESENHA && c.x == 0 && c.y == 0 && c.id != j.r.sprB && c.id != j.r.sprSB &&
                (out.empty() || out.back() != c.id))
                out.push_back(c.id);
        return out;
    }
    std::vector<int> menuKeys;
    size_t next = 0, seen = 0;
    unsigned int lastPicture = 0;
    bool armed = false;
};

TEST_F(MainCycle, TutorialShowsBothPagesThenCreditsThenQuit) {
    menuKeys = {BRZ_T, BRZ_C, BRZ_S};
    EXPECT_EQ(CicloPrincipal(j), SAIDA_NORMAL);
    EXPECT_FALSE(inicializado) << "the menu's quit answer shuts the engine down";
    std::vector<unsigned int> want = {j.r.sprMenu, j.r.sprEl, j.r.sprTuto, j.r.sprMenu,
                                      j.r.sprCred, j.r.sprMenu};
    EXPECT_EQ(Screens(), want);
}

TEST_F(MainCycle, EscLeavesARunAndTheNextResumesThere) {
    menuKeys = {BRZ_J, BRZ_ENTER, BRZ_ESC};
    int runFrames = 0;
    script = [this, &runFrames](int) {
        bool playFrame = false;
        for (size_t i = seen; i < calls.size(); ++i)
            playFrame |= calls[i].tipo == Chamada::DESENHA && calls[i].id == j.r.sprNano;
        Answer();
        // Leave each run with ESC after 30 play frames.
        if (playFrame && ++runFrames == 30) {
            keys[BRZ_ESC].pressionado = true;
            runFrames = 0;
        }
    };
    EXPECT_EQ(CicloPrincipal(j), SAIDA_NORMAL);
    // Two runs of 30 frames each, left with ESC: never reset in between.
    EXPECT_FLOAT_EQ(vecPosicao.x, -250 - 2 * 60);
    ASSERT_EQ(j.inimigos.size(), size_t(kObstaculos));
    EXPECT_EQ(j.inimigos[0]->getPosicao(), Vector2D(-370 + 1130, -650 + 1137))
        << "laid out again at their map places for the position the run was left at";
    std::vector<unsigned int> screens = Screens();
    EXPECT_EQ(std::count(screens.begin(), screens.end(), j.r.sprAb4), 2);
}

}  // namespace
