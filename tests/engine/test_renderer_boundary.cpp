// The renderer boundary: a renderer of the test's own, a table of steps that
// only record themselves, run by the core's shared start-up, frame end, load,
// removal and shut-down (SDL's dummy video driver). Each step must come at
// its place and only then, whatever the real renderers happen to do.
#include <gtest/gtest.h>

#include <string>

#include "engine_helpers.h"
#include "test_renderer.h"

using namespace vdtest;

namespace {

const int kW = 64, kH = 48;
const char kTitle[] = "boundary";

// What the test renderer's steps saw, in order, one word per step.
std::string g_log;
bool g_refuse = false;           // PreparaImagem refuses the next picture
bool g_screenBeforeMode = true;  // PedeContexto ran while a display surface existed
bool g_screenAfterMode = false;  // ConfereModo ran with the display surface set
std::string g_captionAtPrepare;  // the window caption when PreparaModo ran
int g_holdersAtPublish = -1;
int g_presents = 0;

extern const BRZ_Renderizador kTest;
using Repasse = RepasseAoNucleo<kTest>;

void Note(const std::string& step) { g_log += (g_log.empty() ? "" : " ") + step; }

int IniciaVideo() {
    Note("video");
    return SDL_InitSubSystem(SDL_INIT_VIDEO);
}
void PedeContexto() {
    Note("context");
    g_screenBeforeMode = screen != nullptr;
}
void ConfereModo() {
    Note("check");
    g_screenAfterMode = screen != nullptr;
}
void PreparaModo(unsigned int largura, unsigned int altura) {
    Note("prepare " + std::to_string(largura) + "x" + std::to_string(altura));
    char* caption = nullptr;
    SDL_WM_GetCaption(&caption, nullptr);
    g_captionAtPrepare = caption ? caption : "";
}
void Apresenta() { ++g_presents; }
bool PreparaImagem(BRZ_SpriteSet* s, const char*, int largura, int altura) {
    Note("picture");
    if (g_refuse) return false;
    BRZ_DefineQuadros(s, largura, altura);
    return true;
}
void Publica(BRZ_SpriteSet* s) {
    Note("publish");
    g_holdersAtPublish = int(s->usuarios);
}
// Also reached for free slots (a shut-down releases all 1024): only a held set counts.
void Retira(BRZ_SpriteSet* s) {
    if (s->imagem) Note("withdraw");
}

const BRZ_Renderizador kTest = {
    Repasse::Encerra, Repasse::Sincroniza, Repasse::LimpaTela, Repasse::TrocaCor, Repasse::Limita,
    Repasse::Libera, Repasse::Carrega, Repasse::Remove, Repasse::Desenha, Repasse::DesenhaEfeito,
    " (test)", 0, IniciaVideo, PedeContexto, ConfereModo, PreparaModo,
    Apresenta,
    PreparaImagem, true, Publica, Retira,
    "done",
    nullptr, nullptr,
};

class RendererBoundary : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        g_refuse = false;
        g_holdersAtPublish = -1;
        g_presents = 0;
    }
    void TearDown() override { BRZ_EncerraCom(kTest); }
    bool Start() { return BRZ_IniciaCom(kTest, kW, kH, BRZ_JANELA, kTitle); }
    ImageDir images{"boundary"};
};

TEST_F(RendererBoundary, StartUpRunsTheRenderersStepsInPlaceAndInstallsItsTable) {
    StdoutCapture out;
    ASSERT_TRUE(Start());
    std::string text = out.Take();
    EXPECT_EQ(g_log, "video context check prepare 64x48");
    EXPECT_FALSE(g_screenBeforeMode) << "the context is asked for before the mode is set";
    EXPECT_TRUE(g_screenAfterMode);
    EXPECT_EQ(g_captionAtPrepare, kTitle);
    EXPECT_NE(text.find("Iniciando o modo de vídeo (test): 64x48x32bpp\n"), std::string::npos) << text;
    EXPECT_TRUE(inicializado);
    EXPECT_EQ(BRZ_Encerra, kTest.Encerra);
    EXPECT_EQ(BRZ_Sincroniza, kTest.Sincroniza);
    EXPECT_EQ(BRZ_LimpaTela, kTest.LimpaTela);
    EXPECT_EQ(BRZ_TrocaCorLimpezaTela, kTest.TrocaCorLimpezaTela);
    EXPECT_EQ(BRZ_LimitaAreaDesenho, kTest.LimitaAreaDesenho);
    EXPECT_EQ(BRZ_LiberaAreaDesenho, kTest.LiberaAreaDesenho);
    EXPECT_EQ(BRZ_CarregaSpriteSet, kTest.CarregaSpriteSet);
    EXPECT_EQ(BRZ_RemoveSpriteSet, kTest.RemoveSpriteSet);
    EXPECT_EQ(BRZ_DesenhaSprite, kTest.DesenhaSprite);
    EXPECT_EQ(BRZ_DesenhaSpriteEfeito, kTest.DesenhaSpriteEfeito);
}

TEST_F(RendererBoundary, TheFrameEndPresentsOnlyWhileTheEngineRuns) {
    BRZ_Sincroniza(BRZ_FPS_MAXIMO);  // the stand-in before any start does nothing
    ASSERT_TRUE(Start());
    BRZ_Sincroniza(BRZ_FPS_MAXIMO);
    BRZ_Sincroniza(BRZ_FPS_MAXIMO);
    EXPECT_EQ(g_presents, 2);
    BRZ_Encerra();
    kTest.Sincroniza(BRZ_FPS_MAXIMO);
    EXPECT_EQ(g_presents, 2) << "a stopped engine presents nothing";
}

TEST_F(RendererBoundary, ALoadPublishesOnceHeldAndARefusedOneLeavesTheSlotFree) {
    ASSERT_TRUE(Start());
    std::string red = images.Solid("red.png", 8, 8, kRed);
    g_log.clear();
    unsigned int id = BRZ_CarregaSpriteSet(red.c_str(), 0, 0);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(g_log, "picture publish");
    EXPECT_EQ(g_holdersAtPublish, 1);
    ASSERT_NE(Slot(id).bmask, nullptr);
    EXPECT_TRUE(BRZ_GetBit(Slot(id).bmask[0], 3, 3));

    g_log.clear();
    EXPECT_EQ(BRZ_CarregaSpriteSet(red.c_str(), 0, 0), id);
    EXPECT_EQ(g_log, "") << "a shared name is not read again";

    g_refuse = true;
    g_log.clear();
    std::string green = images.Solid("green.png", 8, 8, kGreen);
    EXPECT_EQ(BRZ_CarregaSpriteSet(green.c_str(), 0, 0), 0u);
    EXPECT_EQ(g_log, "picture") << "a refused picture is never published";
    EXPECT_EQ(OccupiedSlots(), 1);
    EXPECT_EQ(BRZ_ProcuraSpriteSet(green.c_str()), 0u);
}

TEST_F(RendererBoundary, TheMaskSweepKeysMagentaWhenTheRendererAsks) {
    ASSERT_TRUE(Start());
    Picture p(4, 1, kRed);
    p.at(2, 0) = kMagenta;
    unsigned int id = BRZ_CarregaSpriteSet(images.Png("key.png", p).c_str(), 0, 0);
    ASSERT_NE(id, 0u);
    EXPECT_FALSE(BRZ_GetBit(Slot(id).bmask[0], 2, 0));
    SDL_Surface* s = Slot(id).imagem;
    ASSERT_EQ(s->format->BytesPerPixel, 4);
    EXPECT_EQ(static_cast<Uint32*>(s->pixels)[2], 0u) << "opaque magenta became transparent black";
    EXPECT_NE(static_cast<Uint32*>(s->pixels)[1], 0u);
}

TEST_F(RendererBoundary, ARemovalWithdrawsAtTheLastHolderAndTheShutDownWithdrawsEverySet) {
    ASSERT_TRUE(Start());
    std::string red = images.Solid("red.png", 8, 8, kRed), blue = images.Solid("blue.png", 8, 8, kBlue);
    unsigned int a = BRZ_CarregaSpriteSet(red.c_str(), 0, 0);
    BRZ_CarregaSpriteSet(red.c_str(), 0, 0);
    BRZ_CarregaSpriteSet(blue.c_str(), 0, 0);
    g_log.clear();
    BRZ_RemoveSpriteSet(a);
    EXPECT_EQ(g_log, "") << "one holder of two given up";
    BRZ_RemoveSpriteSet(a);
    EXPECT_EQ(g_log, "withdraw");
    BRZ_CarregaSpriteSet(red.c_str(), 0, 0);
    BRZ_CarregaSpriteSet(red.c_str(), 0, 0);
    g_log.clear();
    StdoutCapture out;
    BRZ_Encerra();
    std::string text = out.Take();
    EXPECT_EQ(g_log, "withdraw withdraw") << "both sets, the twice-held one included";
    EXPECT_EQ(OccupiedSlots(), 0);
    ASSERT_GE(text.size(), 4u);
    EXPECT_EQ(text.substr(text.size() - 4), "done") << "the farewell is written as it stands, last";
    EXPECT_FALSE(inicializado);
}

TEST_F(RendererBoundary, AVideoStartThatFailsLeavesTheSlotsAndTheEngineAlone) {
    auto slot = BRZ_DesenhaSprite;
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);  // already up: the start-up must refuse
    EXPECT_FALSE(Start());
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    EXPECT_EQ(g_log, "") << "no step of the renderer runs";
    EXPECT_FALSE(inicializado);
    EXPECT_EQ(BRZ_DesenhaSprite, slot);
}

}  // namespace
