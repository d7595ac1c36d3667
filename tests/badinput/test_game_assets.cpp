// The game's own flow, headless, with its rsrc/ folder missing or every file
// in it damaged the same way: each file that cannot be read is named in a
// message, and the game still reaches the menu, plays a run, and quits with
// every registry empty.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <string>

#include "Jogo.h"
#include "badinput_support.h"
#include "brisaaudio2.h"
#include "soak_support.h"
#include "testsupport.h"

namespace badinput {
namespace {

const int kRunFrames = 300;

enum class Folder { Missing, EveryFileEmpty, EveryFileTruncated, EveryFileAnotherFormat };

struct FolderCase {
    const char* label;
    Folder folder;
};
void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.label; }

bool EndsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// The decoders read the first part of a cut JPEG or OGG; nothing else survives.
bool Refused(Folder f, const std::string& name) {
    if (f != Folder::EveryFileTruncated) return true;
    return EndsWith(name, ".png") || EndsWith(name, ".wav");
}

bool MakeFolder(Folder f, const std::string& dir) {
    if (f == Folder::Missing) return true;
    std::string rsrc = dir + "/rsrc";
    if (mkdir(rsrc.c_str(), 0755) != 0) return false;
    const std::string aSound = ReadFile(Rsrc("batida.wav")), aPicture = ReadFile(Rsrc("gordura.png"));
    for (const std::string& name : GameFiles()) {
        std::string bytes;
        if (f == Folder::EveryFileTruncated) bytes = Damaged(ReadFile(Rsrc(name)), Damage::Truncated);
        if (f == Folder::EveryFileAnotherFormat) bytes = IsPicture(name) ? aSound : aPicture;
        if (!WriteFile(rsrc + "/" + name, bytes)) return false;
    }
    return true;
}

// Chooses Portuguese, starts a run from the menu, lets it drift, leaves it
// with ESC and quits from the menu.
class Player {
public:
    explicit Player(Jogo& j) : j_(j) {}
    void FrameEnd() {
        tap_ = !tap_;
        if (j_.emPartida) {
            longestRun_ = std::max(longestRun_, j_.quadroPartida);
            played_ = true;
            return soak::SetKeys({j_.quadroPartida >= kRunFrames ? int(BRZ_ESC) : -1});
        }
        int key = choosing_ ? BRZ_P : played_ ? BRZ_S : BRZ_ESPACO;
        soak::SetKeys({tap_ ? key : -1});
    }
    bool choosing_ = true;
    int longestRun_ = 0;

private:
    Jogo& j_;
    bool tap_ = false, played_ = false;
};

class BrokenAssets : public ::testing::TestWithParam<FolderCase> {};

TEST_P(BrokenAssets, EachUnreadableFileIsNamedAndTheGameStillPlaysAndQuits) {
    const Folder folder = GetParam().folder;
    std::string dir = vdtest::MakeTempDir("badrsrc");
    ASSERT_TRUE(MakeFolder(folder, dir));
    soak::ScopedWorkingDir cwd(dir);
    ASSERT_TRUE(cwd.ok());
    ASSERT_TRUE(soak::StartHeadlessEngine());

    Jogo j;
    Player player(j);
    int status = -1;
    vdtest::StdoutCapture out;
    {
        soak::HeadlessFrames headless(1);  // every frame drawn: the draws of identifier 0 too
        headless.onFrameEnd = [&] { player.FrameEnd(); };
        j.teclas = BRZ_PegaTeclas();
        TelaCarregando(j);
        CarregaRecursosComuns(j.r);
        bool chosen = TelaIdiomas(j);
        player.choosing_ = false;
        if (chosen) {
            IniciaSessao(j);
            status = CicloPrincipal(j);
        }
    }
    std::string text = out.Take();
    LiberaObjetos(j);
    vdtest::RemoveTree(dir);

    EXPECT_EQ(status, SAIDA_NORMAL);
    EXPECT_GE(player.longestRun_, kRunFrames);
    EXPECT_FALSE(inicializado);
    EXPECT_EQ(soak::RegistryLeftovers(), "");
    int refusals = 0;
    for (const std::string& name : GameFiles()) {
        if (IsEnglishScreen(name)) continue;  // Portuguese was chosen
        std::string path = "./rsrc/" + name;
        std::string message = IsPicture(name) ? PictureRefusal(path) : SoundRefusal(path) + "\n";
        bool refused = Refused(folder, name);
        refusals += refused;
        EXPECT_EQ(CountOf(text, message), refused ? 1 : 0) << name;
    }
    EXPECT_GT(refusals, 0);
    EXPECT_EQ(BZA_ProcuraMusica("./rsrc/bgmusic.ogg"), 0u);
}

INSTANTIATE_TEST_SUITE_P(Folders, BrokenAssets,
                         ::testing::Values(FolderCase{"Missing", Folder::Missing},
                                           FolderCase{"EveryFileEmpty", Folder::EveryFileEmpty},
                                           FolderCase{"EveryFileTruncated", Folder::EveryFileTruncated},
                                           FolderCase{"EveryFileAnotherFormat", Folder::EveryFileAnotherFormat}),
                         [](const ::testing::TestParamInfo<FolderCase>& i) { return std::string(i.param.label); });

}  // namespace
}  // namespace badinput
