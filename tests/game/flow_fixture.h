// A session of the game on the software renderer with no display, built from
// small pictures the test draws itself. The dispatch slots are wrapped so a
// test can see every clear, draw and frame end, and script the keys frame by
// frame; draws still reach the real renderer.
#ifndef VD_FLOW_FIXTURE_H
#define VD_FLOW_FIXTURE_H

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Jogo.h"
#include "consts.h"
#include "testsupport.h"

namespace vdtest {

struct Chamada {
    enum Tipo { LIMPA, DESENHA, EFEITO, SINCRONIZA } tipo;
    unsigned int id = 0, indice = 0;
    int x = 0, y = 0;
    Uint8 alfa = 0;
};

class FlowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads one picture written into the test's folder.
    unsigned int LoadPicture(const std::string& name, const Picture& pic, int fw = 0, int fh = 0);
    // Collision picture of a tile: transparent, with a solid rectangle (tile coordinates).
    unsigned int WallTile(const std::string& name, int x, int y, int w, int h);
    // The blob list holds only this one blob.
    Inimigo* OnlyBlob(unsigned int spr, math::Vector2D pos, math::Vector2D vel, int frames);

    // Called at every frame end, before the keys are read (the frame number counts from 0).
    std::function<void(int)> script;
    // Holds keys down (ativo) / presses them once in the next frame (pressionado).
    void Hold(int tecla, bool on = true);
    void PressNext(int tecla);

    int Frames() const;                        // frame ends so far
    std::vector<Chamada> calls;                // everything drawn since the last ClearCalls
    void ClearCalls() { calls.clear(); }
    // Draws of one sprite set among the recorded calls.
    std::vector<Chamada> DrawsOf(unsigned int id) const;

    Jogo j;
    std::string dir;
    BRZ_Botao* keys = nullptr;

private:
    static void SyncHook(Uint8 fps);
    static void ClearHook();
    static bool DrawHook(unsigned int, unsigned int, int, int);
    static bool EffectHook(unsigned int, unsigned int, int*, int*, Uint8, Uint8, Uint8, Uint8);
    FrameSlots slots_;
    int frames_ = 0;
    std::vector<int> pressNext_;
    static FlowTest* current_;
};

}  // namespace vdtest

#endif
