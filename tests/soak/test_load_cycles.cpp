// Many cycles of engine start, asset loading and shut-down on the generated
// assets: every cycle must leave the registries empty, and memory after a
// shut-down must not creep up from cycle to cycle.
//
// Loading the game's full set of 53 files takes seconds (twenty 2048x2048
// pictures decoded, converted and masked; 2.5 to 7 s a set on the two-core
// build machine, depending on its load), so 200 full cycles would take 8 to 23
// minutes. The 200 cycles therefore load one file of every kind and load path
// the game uses, including one 2048x2048 collision picture (50 to 150 ms a
// cycle), and six cycles load the whole set through the game's own loader.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Jogo.h"
#include "brisaaudio2.h"
#include "soak_support.h"

namespace soak {
namespace {

const int kDivisor = kSanitized ? kSanitizedDivisor : 1;
const int kSubsetCycles = 200 / kDivisor;
const int kSubsetWarmUp = kSubsetCycles - kMeasuredCycles / kDivisor;
const int kFullCycles = kSanitized ? 2 : 6;
const int kFullWarmUp = 1;

struct Picture {
    const char* file;
    int frameW, frameH;  // the frame size the game loads it with
};

// One file of each kind and load path: full-screen and background JPEGs,
// sprite sheets cut into frames, single-frame PNGs with and without alpha,
// a one-bit collision picture of 2048x2048.
const Picture kSubsetPictures[] = {
    {"./rsrc/loading.jpg", 0, 0},     {"./rsrc/Fundo_01_oti.jpg", 0, 0}, {"./rsrc/gordura.png", 70, 60},
    {"./rsrc/sprite_2.png", 80, 80},  {"./rsrc/nano.png", 160, 160},     {"./rsrc/core.png", 100, 100},
    {"./rsrc/seta_baixo.png", 105, 65}, {"./rsrc/espaco2p.png", 105, 65}, {"./rsrc/nano_c.png", 0, 0},
    {"./rsrc/preto.png", 0, 0},       {"./rsrc/barra2.png", 0, 0},       {"./rsrc/Colision_Mapa_09.png", 0, 0},
};
const char* const kEffects[] = {"./rsrc/batida.wav", "./rsrc/morreu.ogg"};
const char* const kMusic = "./rsrc/bgmusic.ogg";

// Empty when the audio registries no longer know any of the game's sounds.
std::string AudioLeftovers() {
    std::string s;
    for (const char* e : kEffects)
        if (BZA_ProcuraEfeito(e) != 0) s += std::string("effect ") + e + "\n";
    if (BZA_ProcuraMusica(kMusic) != 0) s += std::string("music ") + kMusic + "\n";
    return s;
}

void ShutDown() {
    BZA_Encerra();
    BRZ_Encerra();
}

// The identifiers of every file the game loads: the common set and both
// languages' screens, 53 in all.
std::vector<unsigned int> Identifiers(const Recursos& a, const Recursos& b) {
    std::vector<unsigned int> ids = {a.sprLoading, a.sprIdiomas, a.sprPreto, a.spIn, a.spL, a.spriteNanoC,
                                     a.morreu, a.parallax[0], a.parallax[1], a.sprNano, a.musica, a.sprCore,
                                     a.efBeat, a.sprBx, a.sprCm, a.sprSB, a.sprB};
    for (int i = 0; i < kTilesMapa; ++i) {
        ids.push_back(a.colisao[i]);
        ids.push_back(a.cenario[i]);
    }
    for (const Recursos* r : {&a, &b})
        for (unsigned int id : {r->sprMenu, r->sprTuto, r->sprEl, r->sprCred, r->sprMorte, r->sprGanhou, r->sprAb4,
                                r->sprEspaco})
            ids.push_back(id);
    return ids;
}

int Zeros(const std::vector<unsigned int>& ids) {
    int n = 0;
    for (unsigned int id : ids) n += id == 0;
    return n;
}

class LoadCycles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(cwd_.ok()) << DataDir(); }
    ScopedWorkingDir cwd_{DataDir()};
    GrowthWatch watch_;
    int failedLoads_ = 0, leftovers_ = 0;

    // After a shut-down: nothing may be left in any registry.
    void CheckEmpty(int cycle) {
        std::string left = RegistryLeftovers() + AudioLeftovers();
        if (!left.empty() && leftovers_++ < 3) ADD_FAILURE() << "cycle " << cycle << " left:\n" << left;
    }
};

TEST_F(LoadCycles, StartLoadOneFileOfEachKindAndShutDown) {
    for (int cycle = 0; cycle < kSubsetCycles; ++cycle) {
        ASSERT_TRUE(StartHeadlessEngine()) << "cycle " << cycle;
        for (const Picture& p : kSubsetPictures) failedLoads_ += BRZ_CarregaSpriteSet(p.file, p.frameW, p.frameH) == 0;
        for (const char* e : kEffects) failedLoads_ += BZA_CarregaEfeito(e) == 0;
        failedLoads_ += BZA_CarregaMusica(kMusic) == 0;
        DrawEveryLoadedFrame(BRZ_DesenhaSprite);
        ShutDown();
        CheckEmpty(cycle);
        watch_.Sample();
        if (cycle + 1 == kSubsetWarmUp) watch_.EndWarmUp();
    }
    printf("%d cycles; memory after each shut-down: %s\n", kSubsetCycles, watch_.Report().c_str());
    EXPECT_EQ(failedLoads_, 0);
    EXPECT_EQ(leftovers_, 0);
    if (!kSanitized) {
        EXPECT_EQ(GrowthBeyond(watch_, kCycleBounds), "") << watch_.Report();
    }
}

TEST_F(LoadCycles, StartLoadTheWholeGameAndShutDown) {
    for (int cycle = 0; cycle < kFullCycles; ++cycle) {
        ASSERT_TRUE(StartHeadlessEngine()) << "cycle " << cycle;
        Recursos portugues, ingles;
        CarregaTelaCarregando(portugues);
        CarregaRecursosComuns(portugues);
        CarregaIdioma(portugues, 0);
        CarregaIdioma(ingles, 1);
        std::vector<unsigned int> ids = Identifiers(portugues, ingles);
        ASSERT_EQ(ids.size(), 53u);
        failedLoads_ += Zeros(ids);
        DrawEveryLoadedFrame(BRZ_DesenhaSprite);
        MemoryUse loaded = MeasureMemory();
        ShutDown();
        CheckEmpty(cycle);
        watch_.Sample();
        printf("cycle %d: %ld KiB resident with the game loaded, %ld KiB after the shut-down\n", cycle,
               loaded.residentKiB, MeasureMemory().residentKiB);
        if (cycle + 1 == kFullWarmUp) watch_.EndWarmUp();
    }
    printf("memory after each shut-down: %s\n", watch_.Report().c_str());
    EXPECT_EQ(failedLoads_, 0);
    EXPECT_EQ(leftovers_, 0);
    if (!kSanitized) {
        EXPECT_EQ(GrowthBeyond(watch_, kFullSetBounds), "") << watch_.Report();
    }
}

}  // namespace
}  // namespace soak
