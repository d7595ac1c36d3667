// A termination signal (SIGTERM, SIGINT, SIGHUP) on every kind of screen:
// the screen leaves after the frame under way, and from the main cycle the
// program goes through its normal shut-down and answers 128 + the signal.
// The language screen's caller does the same (the black-box tests run it).
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <ostream>

#include "flow_fixture.h"

using namespace vdtest;

namespace {

const int kSinais[] = {SIGTERM, SIGINT, SIGHUP};
// Frames after the signal past which a screen that ignores it ends the test.
const int kQuadrosDemais = 120;

// Where the signal comes.
enum class Onde {
    Idiomas,          // the language screen
    MenuEsperando,    // the main menu, waiting for a key
    MenuEscurecendo,  // the main menu's fade-out (after C)
    TelaClareando,    // a picture screen fading in (the credits)
    TelaParada,       // a picture screen held until the space bar (the credits)
    Partida,          // a run, ten frames in
};

struct Caso {
    const char* nome;
    Onde onde;
    int sinal;
};
void PrintTo(const Caso& c, std::ostream* os) { *os << c.nome; }

const Caso kCasos[] = {
    {"TermOnTheLanguageScreen", Onde::Idiomas, SIGTERM},
    {"IntOnTheLanguageScreen", Onde::Idiomas, SIGINT},
    {"HupOnTheLanguageScreen", Onde::Idiomas, SIGHUP},
    {"TermOnTheMenu", Onde::MenuEsperando, SIGTERM},
    {"IntOnTheMenu", Onde::MenuEsperando, SIGINT},
    {"HupOnTheMenu", Onde::MenuEsperando, SIGHUP},
    {"TermDuringTheMenuFade", Onde::MenuEscurecendo, SIGTERM},
    {"TermWhileAScreenFadesIn", Onde::TelaClareando, SIGTERM},
    {"TermOnAHeldScreen", Onde::TelaParada, SIGTERM},
    {"IntOnAHeldScreen", Onde::TelaParada, SIGINT},
    {"HupOnAHeldScreen", Onde::TelaParada, SIGHUP},
    {"TermDuringARun", Onde::Partida, SIGTERM},
    {"IntDuringARun", Onde::Partida, SIGINT},
    {"HupDuringARun", Onde::Partida, SIGHUP},
};

// What one frame showed: the full-screen picture drawn last (0: none in
// this frame) and the alpha of its fade overlay (-1: no fade).
struct Quadro {
    unsigned int tela = 0;
    int alfa = -1;
};

class SignalOnAScreen : public FlowTest, public ::testing::WithParamInterface<Caso> {
protected:
    // Each signal starts from its default action, as a terminal gives it (a
    // script's background job would have SIGINT ignored, which the engine
    // leaves alone); the actions found are put back after the test.
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            sigaction(kSinais[i], nullptr, &salvas_[i]);
            signal(kSinais[i], SIG_DFL);
        }
        FlowTest::SetUp();
    }
    void TearDown() override {
        FlowTest::TearDown();
        for (int i = 0; i < 3; ++i) sigaction(kSinais[i], &salvas_[i], nullptr);
    }

    // Sends the case's signal at the end of the frame under way.
    void Envia() {
        enviadoEm_ = Frames();
        raise(GetParam().sinal);
    }
    // Frames ended after the one in which the signal came.
    int QuadrosDepois() const { return Frames() - enviadoEm_ - 1; }

    // The frame that just ended, from the calls recorded since the last one.
    Quadro UltimoQuadro() {
        Quadro q;
        for (size_t i = visto_; i < calls.size(); ++i) {
            const Chamada& c = calls[i];
            if (c.tipo == Chamada::DESENHA && c.x == 0 && c.y == 0 && c.id != j.r.sprB && c.id != j.r.sprSB)
                q.tela = c.id;
            if (c.tipo == Chamada::EFEITO && c.id == j.r.sprPreto) q.alfa = c.alfa;
        }
        visto_ = calls.size();
        return q;
    }

    // The player's keys and the moment of the signal, frame by frame: the
    // menu is answered in its first waiting frame (nothing drawn), C for the
    // credits or J to play, and the opening screen with the space bar.
    void Roteiro() {
        const Onde onde = GetParam().onde;
        Quadro q = UltimoQuadro();
        if (q.tela) ultimaTela_ = q.tela;
        if (enviadoEm_ >= 0) return Vigia();
        const bool esperando = q.tela == 0 && q.alfa < 0 && !j.emPartida;
        if (esperando && ultimaTela_ == j.r.sprMenu) {
            if (onde == Onde::MenuEsperando) return Envia();
            keys[onde == Onde::Partida ? BRZ_J : BRZ_C].pressionado = true;
        }
        if (onde == Onde::MenuEscurecendo && q.tela == j.r.sprMenu && q.alfa >= 128) return Envia();
        if (onde == Onde::TelaClareando && q.tela == j.r.sprCred && q.alfa >= 0 && q.alfa <= 128) return Envia();
        if (onde == Onde::TelaParada && esperando && ultimaTela_ == j.r.sprCred) return Envia();
        if (esperando && ultimaTela_ == j.r.sprAb4) keys[BRZ_ESPACO].pressionado = true;
        if (onde == Onde::Partida && j.emPartida && j.quadroPartida >= 10) return Envia();
    }

    // A screen that goes on after the signal would never end this test.
    void Vigia() const {
        if (QuadrosDepois() < kQuadrosDemais) return;
        fprintf(stderr, "%s: still running %d frames after the signal\n", GetParam().nome, kQuadrosDemais);
        fflush(nullptr);
        _exit(1);
    }

    struct sigaction salvas_[3] = {};
    int enviadoEm_ = -1;
    size_t visto_ = 0;
    unsigned int ultimaTela_ = 0;
};

TEST_P(SignalOnAScreen, LeavesAfterTheFrameUnderWayThroughTheShutDown) {
    const int sinal = GetParam().sinal;
    if (GetParam().onde == Onde::Idiomas) {
        j.r.sprIdiomas = j.r.sprMenu;
        script = [this](int f) {
            if (f == 3) Envia();
            if (f > 3) Vigia();
        };
        EXPECT_FALSE(TelaIdiomas(j)) << "the program goes to its shut-down";
        EXPECT_EQ(QuadrosDepois(), 0);
        EXPECT_EQ(BRZ_SinalRecebido(), sinal);
        return;
    }
    IniciaSessao(j);
    script = [this](int) { Roteiro(); };
    StdoutCapture out;
    const int status = CicloPrincipal(j);
    const std::string text = out.Take();
    ASSERT_GE(enviadoEm_, 0) << "the screen was never reached";
    EXPECT_EQ(status, SAIDA_SINAL + sinal);
    EXPECT_EQ(QuadrosDepois(), 0);
    EXPECT_FALSE(inicializado) << "the engine was shut down";
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "and gave the display back";
    EXPECT_NE(text.find("Apagando os spritesets e fontes do sistema.\nEncerrando a SDL.\nEncerrou a SDL.\n"),
              std::string::npos)
        << text;
}

INSTANTIATE_TEST_SUITE_P(Game, SignalOnAScreen, ::testing::ValuesIn(kCasos),
                         [](const ::testing::TestParamInfo<Caso>& i) { return std::string(i.param.nome); });

}  // namespace
