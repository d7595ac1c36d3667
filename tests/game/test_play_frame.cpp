// One play frame at a time: scrolling, steering, the heart's push, blob and
// wall contact, the win and the time out, and their order within a frame.
#include <gtest/gtest.h>

#include "Obstaculos.h"
#include "flow_fixture.h"

using namespace vdtest;
using math::Vector2D;

namespace {

class PlayFrame : public FlowTest {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        IniciaSessao(j);
        LiberaObstaculos(j.inimigos);  // each test places the blobs it needs
        // Picture screens wait for the space bar: dismiss them at once.
        script = [this](int) { keys[BRZ_ESPACO].pressionado = true; };
        ClearCalls();
    }
    // The frame of the icon's last draw in the recorded calls.
    unsigned int LastFrameOf(unsigned int id) {
        std::vector<Chamada> d = DrawsOf(id);
        EXPECT_FALSE(d.empty());
        return d.empty() ? 99 : d.back().indice;
    }
    // Index of the first recorded call of a kind at or after `from`.
    size_t Next(Chamada::Tipo t, size_t from) {
        while (from < calls.size() && calls[from].tipo != t) ++from;
        return from;
    }
};

TEST_F(PlayFrame, DriftsTwoPixelsLeftUnlessSpaceIsHeld) {
    EXPECT_EQ(QuadroJogo(j), QUADRO_SEGUE);
    EXPECT_EQ(vecPosicao, Vector2D(-252, -650));
    EXPECT_EQ(LastFrameOf(j.r.sprEspaco), 1u) << "least-resistance icon lit while drifting";
    EXPECT_EQ(Frames(), 1) << "one presented frame";
    ClearCalls();
    Hold(BRZ_ESPACO);
    QuadroJogo(j);
    EXPECT_EQ(vecPosicao, Vector2D(-252, -650));
    EXPECT_EQ(LastFrameOf(j.r.sprEspaco), 0u);
}

TEST_F(PlayFrame, HeartBeatPushesBack) {
    for (int i = 0; i < 179; ++i) j.coracao->Atualiza();
    QuadroJogo(j);  // the 180th update beats
    EXPECT_EQ(vecPosicao.x, -250 + 18);
    QuadroJogo(j);
    EXPECT_EQ(vecPosicao.x, -250 + 16) << "no beat on the next frame";
    for (int i = 0; i < 178; ++i) j.coracao->Atualiza();
    Hold(BRZ_ESPACO);
    QuadroJogo(j);
    EXPECT_EQ(vecPosicao.x, -250 + 16 + 20) << "space held: the full push";
}

TEST_F(PlayFrame, KeyBlocksSteerAndLightTheirArrows) {
    QuadroJogo(j);  // new arrows show lit on their first draw
    ClearCalls();
    Hold(BRZ_Q);
    QuadroJogo(j);
    EXPECT_FLOAT_EQ(vecPosicao.y, -651.5f) << "left block: the map moves up";
    EXPECT_EQ(LastFrameOf(j.r.sprBx), 0u);
    EXPECT_EQ(LastFrameOf(j.r.sprCm), 1u);
    Hold(BRZ_Q, false);
    Hold(BRZ_9);
    QuadroJogo(j);
    EXPECT_FLOAT_EQ(vecPosicao.y, -650.0f) << "right block: the map moves down";
    EXPECT_EQ(LastFrameOf(j.r.sprBx), 1u);
    EXPECT_EQ(LastFrameOf(j.r.sprCm), 0u);
    Hold(BRZ_F);
    QuadroJogo(j);
    EXPECT_FLOAT_EQ(vecPosicao.y, -650.0f) << "both blocks cancel";
    EXPECT_EQ(LastFrameOf(j.r.sprBx), 0u);
    EXPECT_EQ(LastFrameOf(j.r.sprCm), 0u);
}

TEST_F(PlayFrame, OnlyTheTwentyFourBlockKeysSteer) {
    for (int t : {int(BRZ_CIMA), int(BRZ_BAIXO), int(BRZ_5), int(BRZ_T), int(BRZ_G), int(BRZ_Z), int(BRZ_M)})
        Hold(t);
    QuadroJogo(j);
    EXPECT_FLOAT_EQ(vecPosicao.y, -650.0f);
    const int blocks[] = {BRZ_1, BRZ_2, BRZ_3, BRZ_4, BRZ_Q, BRZ_W, BRZ_E, BRZ_R, BRZ_A, BRZ_S, BRZ_D, BRZ_F,
                          BRZ_7, BRZ_8, BRZ_9, BRZ_0, BRZ_U, BRZ_I, BRZ_O, BRZ_P, BRZ_H, BRZ_J, BRZ_K, BRZ_L};
    for (int k = 0; k < 24; ++k) {
        float before = vecPosicao.y;
        Hold(blocks[k]);
        QuadroJogo(j);
        Hold(blocks[k], false);
        EXPECT_FLOAT_EQ(vecPosicao.y - before, k < 12 ? -1.5f : 1.5f) << "key " << k;
    }
}

TEST_F(PlayFrame, BlobsAreDrawnBeforeTheyTakeTheFramesScroll) {
    Inimigo* b = OnlyBlob(j.r.spL, Vector2D(700.7f, 100), Vector2D(0, 0), 3);
    Hold(BRZ_A);
    QuadroJogo(j);
    std::vector<Chamada> d = DrawsOf(j.r.spL);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].x, 700);
    EXPECT_EQ(d[0].y, 100);
    EXPECT_EQ(b->getPosicao(), Vector2D(698.7f, 98.5f));
}

TEST_F(PlayFrame, BlobContactLosesBeforeAnythingIsDrawn) {
    for (int i = 0; i < 100; ++i) j.barraTempo->Atualiza();
    vecPosicao.x = -1000;
    OnlyBlob(j.r.spL, Vector2D(500, 380), Vector2D(0, 0), 3);
    EXPECT_EQ(QuadroJogo(j), QUADRO_PERDEU_OBSTACULO);
    EXPECT_TRUE(DrawsOf(j.r.cenario[0]).empty());
    EXPECT_TRUE(DrawsOf(j.r.sprNano).empty());
    EXPECT_FALSE(DrawsOf(j.r.sprMorte).empty()) << "the loss screen";
    EXPECT_EQ(vecPosicao, posini);
    EXPECT_EQ(j.jogo, 0);
    EXPECT_EQ(j.inimigos.size(), 1u) << "the blobs are laid out again by the main cycle, not here";
    ClearCalls();
    j.barraTempo->Desenha();
    EXPECT_EQ(DrawsOf(j.r.sprB)[0].y, 0) << "the time bar is full again";
}

TEST_F(PlayFrame, WallContactLosesAfterDrawingWithoutPresenting) {
    // The nanobot's picture lies at map (734, 1005) after this frame's drift.
    j.r.colisao[0] = WallTile("parede.png", 780, 1050, 10, 10);
    EXPECT_EQ(QuadroJogo(j), QUADRO_PERDEU_PAREDE);
    size_t nano = 0;
    while (nano < calls.size() && !(calls[nano].tipo == Chamada::DESENHA && calls[nano].id == j.r.sprNano)) ++nano;
    ASSERT_LT(nano, calls.size()) << "the frame was drawn";
    EXPECT_LT(Next(Chamada::LIMPA, nano), Next(Chamada::SINCRONIZA, nano))
        << "the next thing after drawing is the loss screen, not the frame's presentation";
    EXPECT_FALSE(DrawsOf(j.r.sprMorte).empty());
    EXPECT_EQ(vecPosicao, posini);
    ASSERT_EQ(j.inimigos.size(), size_t(kObstaculos)) << "the blobs are laid out again";
    EXPECT_EQ(j.inimigos[0]->getPosicao(), Vector2D(880, 487));
}

TEST_F(PlayFrame, WallOfTheTileUnderTheNanobotOnly) {
    // A wall in tile 1 right at the nanobot, while tile 0 is still under x 512.
    j.r.colisao[1] = WallTile("parede1.png", 0, 0, 2048, 2048);
    vecPosicao.x = -1400;  // tile 1 starts at screen x 646 after the drift
    EXPECT_EQ(QuadroJogo(j), QUADRO_SEGUE);
    vecPosicao.x = -1526;  // tile 1 starts at x 520, inside the nanobot's picture; x 512 is still tile 0
    EXPECT_EQ(QuadroJogo(j), QUADRO_SEGUE);
    vecPosicao.x = -1534;  // tile 1 starts at x 512: it is the tile under the nanobot now
    EXPECT_EQ(QuadroJogo(j), QUADRO_PERDEU_PAREDE);
}

TEST_F(PlayFrame, WinComparesStrictlyAndComesBeforeTheTimeOut) {
    vecPosicao.x = -19198;
    EXPECT_EQ(QuadroJogo(j), QUADRO_SEGUE) << "-19200 has not won yet";
    for (int i = 0; i < 21628; ++i) j.barraTempo->Atualiza();  // the next frame's update ends the time
    ClearCalls();
    EXPECT_EQ(QuadroJogo(j), QUADRO_GANHOU);
    EXPECT_FALSE(DrawsOf(j.r.sprGanhou).empty());
    EXPECT_TRUE(DrawsOf(j.r.sprMorte).empty());
    EXPECT_EQ(vecPosicao, posini);
    EXPECT_EQ(j.inimigos.size(), size_t(kObstaculos));
}

TEST_F(PlayFrame, TimeOutLoses) {
    for (int i = 0; i < 21629; ++i) j.barraTempo->Atualiza();
    vecPosicao.x = -5000;
    EXPECT_EQ(QuadroJogo(j), QUADRO_TEMPO_ESGOTADO);
    EXPECT_FALSE(DrawsOf(j.r.sprMorte).empty());
    EXPECT_EQ(vecPosicao, posini);
    EXPECT_EQ(j.barraTempo->Acabou(), 0);
}

TEST_F(PlayFrame, BlobContactCountsBeforeWallAndWin) {
    j.r.colisao[9] = WallTile("parede9.png", 0, 0, 2048, 2048);
    vecPosicao.x = -19199;
    OnlyBlob(j.r.spL, Vector2D(482, 355), Vector2D(0, 0), 3);
    EXPECT_EQ(QuadroJogo(j), QUADRO_PERDEU_OBSTACULO);
    EXPECT_TRUE(DrawsOf(j.r.sprGanhou).empty());
}

// A moving blob bounces off the wall on every animation frame, its fourth
// included (it is tested with its own four-frame set).
TEST_F(PlayFrame, MovingBlobBouncesOnItsFourthFrame) {
    vecPosicao = Vector2D(-250, -650);
    Inimigo* b = OnlyBlob(j.r.spIn, Vector2D(100, 100), Vector2D(0, 60), 4);
    for (int i = 0; i < 44; ++i) b->Atualiza();  // the frame's own update is the 45th: frame 3
    // After that update its bottom row lies at screen y 100 + 45 + 59 = 204.
    j.r.colisao[0] = WallTile("chao.png", 350, 204 + 650, 70, 5);
    QuadroJogo(j);
    EXPECT_EQ(b->getQuadroAtual(), 3);
    float y = b->getPosicao().y;
    b->Atualiza();
    EXPECT_FLOAT_EQ(b->getPosicao().y - y, -1.0f) << "turned back up";
}

TEST_F(PlayFrame, TilesOutsideTheMapHaveNoWall) {
    // Past the right end of the map: a blob whose corner lies in "tile 10".
    vecPosicao = Vector2D(-250, -650);
    Inimigo* b = OnlyBlob(j.r.spIn, Vector2D(-250 + 2048 * 10 + 4, -650), Vector2D(0, 60), 4);
    // Left of the map start: the nanobot's tile index would be -1.
    vecPosicao.x = 3000;
    b->somaOffset(Vector2D(3250, 0));
    StdoutCapture out;
    EXPECT_EQ(QuadroJogo(j), QUADRO_SEGUE);
    EXPECT_EQ(out.Take().find("Tentou colidir"), std::string::npos) << "no picture outside the ten was read";
    float y = b->getPosicao().y;
    b->Atualiza();
    EXPECT_FLOAT_EQ(b->getPosicao().y - y, 1.0f) << "no bounce";
}

TEST_F(PlayFrame, EscAndCloseRequestLeaveBetweenFramesWithoutReset) {
    for (int tecla : {int(BRZ_ESC), int(BRZ_ENCERRA)}) {
        resetpos();
        j.jogo = 1;
        int start = Frames();
        script = [this, tecla, start](int f) {
            if (f == start + 2) keys[tecla].pressionado = true;
        };
        LacoJogo(j);
        EXPECT_EQ(Frames() - start, 3) << "three frames, then the key read between frames";
        EXPECT_EQ(vecPosicao, Vector2D(-256, -650)) << "the position stays where the run was left";
        EXPECT_EQ(j.jogo, 1);
        keys[tecla].pressionado = false;
    }
}

}  // namespace
