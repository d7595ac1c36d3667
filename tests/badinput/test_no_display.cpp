// The real program with no display at all: DISPLAY unset and no video driver
// named. The engine's start must fail with its message and the program must
// end at once with a non-zero status, whatever the terminal.
#include <gtest/gtest.h>

#include "badinput_support.h"

namespace badinput {
namespace {

const char* const kProgram = VD_BINARY_DIR "/game/vessel-drift";
const char* const kStartFailed = "Falhou ao iniciar a Brisa2D 2. Encerrando o programa.";
const char* const kSdlFailed = "A Brisa2D 2 não conseguiu iniciar a SDL. Mensagem do sistema: ";
const int kTimeoutSeconds = 60;

struct Terminal {
    const char* name;
    const char* term;  // TERM, or null for none
};
void PrintTo(const Terminal& c, std::ostream* os) { *os << c.name; }

class NoDisplay : public ::testing::TestWithParam<Terminal> {};

TEST_P(NoDisplay, TheEngineStartFailsWithItsMessageAndTheProgramEndsNonZero) {
    std::vector<std::pair<std::string, std::string>> set = {{"SDL_AUDIODRIVER", "dummy"}};
    std::vector<std::string> unset = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "TERM"};
    if (GetParam().term) set.push_back({"TERM", GetParam().term});
    // From the build folder, so that every asset would be there to load.
    ProgramRun run = RunProgram(kProgram, VD_BINARY_DIR, set, unset, kTimeoutSeconds);
    SCOPED_TRACE("standard output:\n" + run.out + "\nstandard error:\n" + run.err);
    EXPECT_EQ(run.signal, 0);
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(LastLine(run.out), kStartFailed);
    EXPECT_NE(run.out.find(kSdlFailed), std::string::npos) << "the renderer says why";
    EXPECT_EQ(run.out.find("Iniciou a Brisa2D 2"), std::string::npos);
    EXPECT_EQ(run.out.find("Carregou"), std::string::npos) << "nothing is loaded";
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << "no terminal control sequences";
}

INSTANTIATE_TEST_SUITE_P(Terminals, NoDisplay,
                         ::testing::Values(Terminal{"NoTerminalType", nullptr}, Terminal{"Xterm", "xterm"},
                                           Terminal{"Dumb", "dumb"}),
                         [](const ::testing::TestParamInfo<Terminal>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace badinput
