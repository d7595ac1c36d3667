// The termination signals while the engine runs: SIGTERM, SIGINT and SIGHUP
// are noted and nothing more (the process goes on, SDL makes no close
// request of them), each renderer's shut-down gives them their former
// actions back, and a signal the process ignores stays ignored. Both
// renderers, in a small window on the X display.
#include <gtest/gtest.h>

#include <signal.h>

#include <ostream>

#include "engine_helpers.h"

namespace {

struct Case {
    const char* name;
    int signal;
    int renderer;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

const Case kCases[] = {
    {"TermSoftware", SIGTERM, BRZ_DESENHO_PADRAO}, {"IntSoftware", SIGINT, BRZ_DESENHO_PADRAO},
    {"HupSoftware", SIGHUP, BRZ_DESENHO_PADRAO},   {"TermOpenGL", SIGTERM, BRZ_DESENHO_OPENGL},
    {"IntOpenGL", SIGINT, BRZ_DESENHO_OPENGL},     {"HupOpenGL", SIGHUP, BRZ_DESENHO_OPENGL},
};

void (*Action(int signal))(int) {
    struct sigaction now = {};
    sigaction(signal, nullptr, &now);
    return now.sa_handler;
}

void SetAction(int signal, void (*action)(int)) {
    struct sigaction a = {};
    a.sa_handler = action;
    sigemptyset(&a.sa_mask);
    sigaction(signal, &a, nullptr);
}

volatile sig_atomic_t programHandlerRan = 0;
extern "C" void ProgramHandler(int) { programHandlerRan = 1; }

// Each case starts from the default action, as a terminal gives it, and the
// action the test found is put back whatever happens.
class Signals : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        sigaction(Sig(), nullptr, &saved_);
        SetAction(Sig(), SIG_DFL);
        programHandlerRan = 0;
    }
    void TearDown() override {
        if (inicializado) BRZ_Encerra();
        sigaction(Sig(), &saved_, nullptr);
    }
    int Sig() const { return GetParam().signal; }
    bool Start() { return BRZ_Inicia(64, 64, BRZ_JANELA, GetParam().renderer, const_cast<char*>("signals")); }
    struct sigaction saved_ = {};
};

TEST_P(Signals, IsNotedOnlyAndGivenBackAtTheShutDown) {
    ASSERT_TRUE(Start());
    EXPECT_NE(Action(Sig()), SIG_DFL) << "caught while the engine runs";
    EXPECT_EQ(BRZ_SinalRecebido(), 0);
    ASSERT_EQ(raise(Sig()), 0);  // the default action would end this process
    EXPECT_EQ(BRZ_SinalRecebido(), Sig());
    BRZ_Entrada();
    EXPECT_FALSE(BRZ_PegaTeclas()[BRZ_ENCERRA].pressionado) << "no close request made of it";
    BRZ_Encerra();
    EXPECT_EQ(Action(Sig()), SIG_DFL) << "the default action again after the shut-down";
    EXPECT_EQ(BRZ_SinalRecebido(), Sig()) << "still known after the shut-down, for the exit status";
}

TEST_P(Signals, TheNextStartForgetsItAndARunningEngineKeepsIt) {
    ASSERT_TRUE(Start());
    raise(Sig());
    EXPECT_FALSE(Start()) << "a second start while running fails";
    EXPECT_EQ(BRZ_SinalRecebido(), Sig()) << "and keeps what was noted";
    BRZ_Encerra();
    ASSERT_TRUE(Start());
    EXPECT_EQ(BRZ_SinalRecebido(), 0);
}

TEST_P(Signals, AnIgnoredSignalStaysIgnored) {
    SetAction(Sig(), SIG_IGN);
    ASSERT_TRUE(Start());
    EXPECT_EQ(Action(Sig()), SIG_IGN);
    raise(Sig());
    EXPECT_EQ(BRZ_SinalRecebido(), 0);
    BRZ_Encerra();
    EXPECT_EQ(Action(Sig()), SIG_IGN);
}

TEST_P(Signals, TheProgramsOwnHandlerIsGivenBack) {
    SetAction(Sig(), ProgramHandler);
    ASSERT_TRUE(Start());
    raise(Sig());
    EXPECT_EQ(programHandlerRan, 0) << "the engine's catcher runs while the engine runs";
    EXPECT_EQ(BRZ_SinalRecebido(), Sig());
    BRZ_Encerra();
    EXPECT_EQ(Action(Sig()), ProgramHandler);
    raise(Sig());
    EXPECT_EQ(programHandlerRan, 1);
}

TEST_P(Signals, AFailedStartLeavesTheActionAlone) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    EXPECT_FALSE(Start()) << "SDL's video is already up";
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    EXPECT_EQ(Action(Sig()), SIG_DFL);
}

INSTANTIATE_TEST_SUITE_P(Engine, Signals, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

}  // namespace
