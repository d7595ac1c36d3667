// The game's whole load list on the OpenGL renderer, loaded with the game's
// own functions (the loading picture, the common set, both language sets):
// once with every picture read by its own load, once announced as the game
// announces it, so that the helper thread decodes ahead. Every set must be
// the same (record, surface, masks, texture read back), under the same
// identifier, and the loads must print the same messages in the same order,
// on the generated assets and on a copy with some files damaged.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "Jogo.h"
#include "brisaaudio2.h"
#include "loading_support.h"
#include "soak_support.h"
#include "testsupport.h"

namespace loading {
namespace {

const int kScreenW = 1024, kScreenH = 768;

// A file of the copied rsrc/ and what becomes of it.
struct Harm {
    const char* name;
    enum { CUT, EMPTY, REMOVED } how;
};

// A cut JPEG still loads (its rows before the cut); nothing else harmed does.
bool Refused(const Harm& h) {
    return h.how != Harm::CUT || std::string(h.name).find(".png") != std::string::npos;
}

struct ListCase {
    const char* label;
    std::vector<Harm> harms;
};
void PrintTo(const ListCase& c, std::ostream* os) { *os << c.label; }

const ListCase kCases[] = {
    {"GeneratedAssets", {}},
    // A picture missing or damaged at the start, in the middle and at the end
    // of what is decoded ahead, in each language set too.
    {"SomeFilesDamaged",
     {{"menu_idiomas.jpg", Harm::REMOVED},
      {"Colision_Mapa_03.png", Harm::CUT},
      {"Mapa_07.png", Harm::EMPTY},
      {"barra2.png", Harm::CUT},
      {"manual2p.jpg", Harm::CUT},
      {"creditose.jpg", Harm::REMOVED}}},
};

// The OpenGL renderer with nothing decoded ahead: the load every picture
// went through before there was a helper thread.
BRZ_Renderizador g_plain;
unsigned int PlainLoad(const char* arquivo, int largura, int altura) {
    return BRZ_CarregaSpriteSetCom(g_plain, arquivo, largura, altura);
}

// Every identifier the loads gave the game, in the order of its fields.
std::vector<unsigned int> Identifiers(const Recursos& r) {
    std::vector<unsigned int> ids = {r.sprLoading, r.sprIdiomas, r.sprPreto, r.spIn, r.spL, r.spriteNanoC, r.morreu};
    ids.insert(ids.end(), r.colisao, r.colisao + kTilesMapa);
    ids.insert(ids.end(), r.cenario, r.cenario + kTilesMapa);
    ids.insert(ids.end(), r.parallax, r.parallax + kFundos);
    for (unsigned int id : {r.sprNano, r.musica, r.sprCore, r.efBeat, r.sprBx, r.sprCm, r.sprSB, r.sprB, r.sprMenu,
                            r.sprTuto, r.sprEl, r.sprCred, r.sprMorte, r.sprGanhou, r.sprAb4, r.sprEspaco})
        ids.push_back(id);
    return ids;
}

// The game's loads, in the game's order, in a fresh engine; both languages.
LoadsPrint LoadEverything(bool announce, Recursos& r) {
    LoadsPrint s;
    if (!BRZ_Inicia(kScreenW, kScreenH, BRZ_JANELA, BRZ_DESENHO_OPENGL, "game loads")) {
        ADD_FAILURE() << "the engine did not start";
        return s;
    }
    BZA_Inicia();
    if (announce) {
        AntecipaRecursosComuns();
    } else {
        g_plain = *BRZ_RenderizadorAtivo();
        g_plain.DecodificaAdiantado = nullptr;
        g_plain.PreparaAntecipada = nullptr;
        BRZ_CarregaSpriteSet = PlainLoad;
    }
    {
        vdtest::StdoutCapture out;
        CarregaTelaCarregando(r);
        CarregaRecursosComuns(r);
        CarregaIdioma(r, 0);
        CarregaIdioma(r, 1);
        fflush(stdout);
        s.said = out.Take();
    }
    s.ids = Identifiers(r);
    s.sets = PrintAll();
    BZA_Encerra();
    BRZ_Encerra();
    return s;
}

bool CopyAssets(const std::string& to, const std::vector<Harm>& harms) {
    for (const char* name : TodosArquivos()) {
        std::string bytes = ReadBytes(soak::DataDir() + "/rsrc/" + name);
        if (bytes.empty()) return false;
        bool keep = true;
        for (const Harm& h : harms) {
            if (std::string(h.name) != name) continue;
            keep = h.how != Harm::REMOVED;
            bytes = h.how == Harm::CUT ? bytes.substr(0, bytes.size() / 2) : h.how == Harm::EMPTY ? "" : bytes;
        }
        if (keep && !WriteBytes(to + "/" + name, bytes)) return false;
    }
    return true;
}

class GameLoads : public ::testing::TestWithParam<ListCase> {};

TEST_P(GameLoads, AnnouncedTheGameLoadsTheSameSetsUnderTheSameIdentifiersAndSaysTheSame) {
    std::string dir = vdtest::MakeTempDir("gameloads");
    ASSERT_EQ(mkdir((dir + "/rsrc").c_str(), 0755), 0);
    ASSERT_TRUE(CopyAssets(dir + "/rsrc", GetParam().harms));
    soak::ScopedWorkingDir cwd(dir);
    ASSERT_TRUE(cwd.ok());

    Recursos plainIds, aheadIds;
    LoadsPrint plain = LoadEverything(false, plainIds);
    LoadsPrint ahead = LoadEverything(true, aheadIds);
    vdtest::RemoveTree(dir);
    ExpectSameLoads(ahead, plain);
    // Every picture of the list, both languages: 34 + 2 x 8, less the harmed.
    size_t refused = 0;
    for (const Harm& h : GetParam().harms) refused += Refused(h);
    EXPECT_EQ(plain.sets.size(), 50u - refused);
    // The messages compared above say something: each refused file is named.
    for (const Harm& h : GetParam().harms)
        EXPECT_EQ(plain.said.find(std::string("./rsrc/") + h.name) != std::string::npos, Refused(h)) << h.name;
}

INSTANTIATE_TEST_SUITE_P(WholeList, GameLoads, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ListCase>& i) { return std::string(i.param.label); });

}  // namespace
}  // namespace loading
