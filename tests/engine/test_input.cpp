// Keyboard and mouse: SDL events pushed into the queue, then one poll.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine_helpers.h"

namespace {

void PushKey(SDLKey sym, bool down) {
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.key.keysym.sym = sym;
    ASSERT_EQ(SDL_PushEvent(&ev), 0);
}

void PushButton(Uint8 button, bool down, Uint16 x, Uint16 y) {
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    ev.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    ev.button.button = button;
    ev.button.x = x;
    ev.button.y = y;
    ASSERT_EQ(SDL_PushEvent(&ev), 0);
}

void PushType(Uint8 type) {
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    ev.type = type;
    ASSERT_EQ(SDL_PushEvent(&ev), 0);
}

struct Flags {
    bool p, a, l;
};
void ExpectFlags(const BRZ_Botao& b, Flags f, const char* what) {
    EXPECT_EQ(b.pressionado, f.p) << what << ": pressionado";
    EXPECT_EQ(b.ativo, f.a) << what << ": ativo";
    EXPECT_EQ(b.liberado, f.l) << what << ": liberado";
}

class Input : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(BRZ_Inicia(64, 64, BRZ_JANELA, BRZ_DESENHO_PADRAO, const_cast<char*>("input")));
        BRZ_Entrada();  // drain whatever the start-up queued
        keys = BRZ_PegaTeclas();
        mouse = BRZ_PegaMouse();
    }
    void TearDown() override { BRZ_Encerra(); }
    BRZ_Botao* keys = nullptr;
    BRZ_Mouse* mouse = nullptr;
};

TEST_F(Input, HeldKeyIsPressedOnceActiveThroughoutReleasedOnce) {
    PushKey(SDLK_SPACE, true);
    BRZ_Entrada();
    ExpectFlags(keys[BRZ_ESPACO], {true, true, false}, "poll of the press");
    for (int i = 0; i < 3; ++i) {
        BRZ_Entrada();
        ExpectFlags(keys[BRZ_ESPACO], {false, true, false}, "held");
    }
    PushKey(SDLK_SPACE, false);
    BRZ_Entrada();
    ExpectFlags(keys[BRZ_ESPACO], {false, false, true}, "poll of the release");
    BRZ_Entrada();
    ExpectFlags(keys[BRZ_ESPACO], {false, false, false}, "idle again");
}

TEST_F(Input, WithinOnePollTheLastEventOfAKeyDecides) {
    PushKey(SDLK_j, true);
    PushKey(SDLK_j, false);
    BRZ_Entrada();
    ExpectFlags(keys[BRZ_J], {false, false, true}, "press then release: the press is not seen");

    PushKey(SDLK_k, true);
    BRZ_Entrada();
    PushKey(SDLK_k, false);
    PushKey(SDLK_k, true);
    BRZ_Entrada();
    ExpectFlags(keys[BRZ_K], {true, true, false}, "release then press");
}

TEST_F(Input, CloseRequestIsPressedOnceAndNeverReleased) {
    PushType(SDL_QUIT);
    BRZ_Entrada();
    ExpectFlags(keys[BRZ_ENCERRA], {true, true, false}, "poll of the request");
    BRZ_Entrada();
    BRZ_Entrada();
    ExpectFlags(keys[BRZ_ENCERRA], {false, true, false}, "later polls");
}

TEST_F(Input, MouseButtonsMapAndTheWheelOnlyMoves) {
    PushButton(SDL_BUTTON_LEFT, true, 10, 11);
    PushButton(SDL_BUTTON_RIGHT, true, 12, 13);
    PushButton(SDL_BUTTON_MIDDLE, true, 14, 15);
    BRZ_Entrada();
    ExpectFlags(mouse->botoes[BRZ_MESQUERDO], {true, true, false}, "left");
    ExpectFlags(mouse->botoes[BRZ_MDIREITO], {true, true, false}, "right");
    ExpectFlags(mouse->botoes[BRZ_MMEIO], {true, true, false}, "middle");
    EXPECT_EQ(mouse->x, 14);
    EXPECT_EQ(mouse->y, 15);

    PushButton(SDL_BUTTON_WHEELUP, true, 30, 31);
    PushButton(SDL_BUTTON_WHEELDOWN, false, 40, 41);
    BRZ_Entrada();
    EXPECT_EQ(mouse->x, 40);
    EXPECT_EQ(mouse->y, 41);
    for (int b = 0; b < BRZ_MMAX; ++b) ExpectFlags(mouse->botoes[b], {false, true, false}, "after the wheel");

    PushButton(SDL_BUTTON_RIGHT, false, 5, 6);
    BRZ_Entrada();
    ExpectFlags(mouse->botoes[BRZ_MDIREITO], {false, false, true}, "right let go");
}

TEST_F(Input, MouseMotionMovesThePointer) {
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    ev.type = SDL_MOUSEMOTION;
    ev.motion.x = 33;
    ev.motion.y = 44;
    ASSERT_EQ(SDL_PushEvent(&ev), 0);
    BRZ_Entrada();
    EXPECT_EQ(mouse->x, 33);
    EXPECT_EQ(mouse->y, 44);
}

TEST_F(Input, UnmappedKeysChangeNothing) {
    std::vector<BRZ_Botao> before(keys, keys + BRZ_MAXTECLAS);
    for (SDLKey k : {SDLK_KP5, SDLK_KP_ENTER, SDLK_F5, SDLK_F12, SDLK_TAB, SDLK_BACKSPACE, SDLK_MINUS}) {
        PushKey(k, true);
    }
    BRZ_Entrada();
    for (int i = 0; i < BRZ_MAXTECLAS; ++i) {
        EXPECT_EQ(keys[i].pressionado, before[i].pressionado) << "entry " << i;
        EXPECT_EQ(keys[i].ativo, before[i].ativo) << "entry " << i;
    }
}

// Every mapped key drives exactly its own entry.
TEST_F(Input, EveryMappedKeyDrivesItsEntry) {
    std::vector<std::pair<SDLKey, int>> table = {
        {SDLK_UP, BRZ_CIMA},         {SDLK_DOWN, BRZ_BAIXO},     {SDLK_RIGHT, BRZ_DIREITA},
        {SDLK_LEFT, BRZ_ESQUERDA},   {SDLK_ESCAPE, BRZ_ESC},     {SDLK_F1, BRZ_F1},
        {SDLK_F4, BRZ_F4},           {SDLK_RETURN, BRZ_ENTER},   {SDLK_SPACE, BRZ_ESPACO},
        {SDLK_LALT, BRZ_LALT},       {SDLK_RALT, BRZ_RALT},      {SDLK_LCTRL, BRZ_LCTRL},
        {SDLK_RCTRL, BRZ_RCTRL},     {SDLK_LSHIFT, BRZ_LSHIFT},  {SDLK_RSHIFT, BRZ_RSHIFT},
    };
    for (int c = 0; c < 26; ++c) table.push_back({SDLKey(SDLK_a + c), BRZ_A + c});
    for (int d = 0; d < 10; ++d) table.push_back({SDLKey(SDLK_0 + d), BRZ_0 + d});
    EXPECT_EQ(BRZ_A, 9);
    EXPECT_EQ(BRZ_Z, 34);
    EXPECT_EQ(BRZ_0, 35);
    EXPECT_EQ(BRZ_9, 44);
    EXPECT_EQ(BRZ_ENCERRA, 53);
    EXPECT_EQ(BRZ_MAXTECLAS, 54);
    for (auto& [sym, entry] : table) {
        PushKey(sym, true);
        BRZ_Entrada();
        for (int i = 0; i < BRZ_MAXTECLAS; ++i)
            ASSERT_EQ(keys[i].pressionado, i == entry) << "key " << SDL_GetKeyName(sym) << ", entry " << i;
        PushKey(sym, false);
        BRZ_Entrada();
    }
}

TEST(ButtonTransitions, OtherEventTypesChangeNothing) {
    BRZ_Botao b{true, false, true};
    BRZ_ProcessaTecla(&b, SDL_MOUSEMOTION);
    ExpectFlags(b, {true, false, true}, "untouched");
    BRZ_PressionaBotao(&b);
    ExpectFlags(b, {true, true, false}, "press");
    BRZ_LiberaBotao(&b);
    ExpectFlags(b, {false, false, true}, "release");
}

}  // namespace
