// Contact pinned to the pixel. The play frame tests the nanobot's collision
// picture with its top-left corner at screen (482, 355): a wall or a blob one
// pixel outside any edge of that picture must not end the run, one pixel
// inside must. A moving blob turns back in the very frame its own picture
// first touches the wall, at the floor and at the ceiling. The numbers here
// are the game's fixed ones on purpose: a test point or a bounce that moved
// would still agree with a copy of itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Obstaculos.h"
#include "flow_fixture.h"

using namespace vdtest;
using math::Vector2D;

namespace {

// The fixture's collision picture of the nanobot is 60 x 58 and solid all over.
const int kNanoLeft = 482, kNanoTop = 355, kNanoRight = 482 + 60 - 1, kNanoBottom = 355 + 58 - 1;
const int kNanoMiddleX = (kNanoLeft + kNanoRight) / 2, kNanoMiddleY = (kNanoTop + kNanoBottom) / 2;
const Rgba kSolid{200, 60, 60, 255}, kNone{0, 0, 0, 0};

// One solid pixel on the screen, and whether the nanobot touches it.
struct Dot {
    const char* where;
    int x, y;
    bool touches;
};

const Dot kDots[] = {
    {"left edge, outside", kNanoLeft - 1, kNanoMiddleY, false},
    {"left edge, inside", kNanoLeft, kNanoMiddleY, true},
    {"right edge, inside", kNanoRight, kNanoMiddleY, true},
    {"right edge, outside", kNanoRight + 1, kNanoMiddleY, false},
    {"top edge, outside", kNanoMiddleX, kNanoTop - 1, false},
    {"top edge, inside", kNanoMiddleX, kNanoTop, true},
    {"bottom edge, inside", kNanoMiddleX, kNanoBottom, true},
    {"bottom edge, outside", kNanoMiddleX, kNanoBottom + 1, false},
};

class ContactEdges : public FlowTest {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        IniciaSessao(j);
        // Picture screens wait for the space bar: dismiss them at once.
        script = [this](int) { keys[BRZ_ESPACO].pressionado = true; };
        // Space held and fewer frames than a heartbeat takes: the map never moves.
        Hold(BRZ_ESPACO);
        dot_ = LoadPicture("ponto.png", Picture(1, 1, kSolid));
    }
    // A fresh frame: no blob, still playing.
    void Fresh() {
        LiberaObstaculos(j.inimigos);
        j.jogo = 1;
    }
    unsigned int dot_ = 0;
};

TEST_F(ContactEdges, TheWallTouchesTheNanobotOnlyInsideItsCollisionPicture) {
    for (const Dot& d : kDots) {
        SCOPED_TRACE(d.where);
        Fresh();
        // Map tile 0's collision picture is the dot alone, with tile 0 placed at
        // the dot: the tile under x 512 is still tile 0 for every dot.
        j.r.colisao[0] = dot_;
        vecPosicao = Vector2D(float(d.x), float(d.y));
        EXPECT_EQ(QuadroJogo(j), d.touches ? QUADRO_PERDEU_PAREDE : QUADRO_SEGUE);
    }
}

TEST_F(ContactEdges, ABlobTouchesTheNanobotOnlyInsideItsCollisionPicture) {
    for (const Dot& d : kDots) {
        SCOPED_TRACE(d.where);
        Fresh();
        resetpos();
        OnlyBlob(dot_, Vector2D(float(d.x), float(d.y)), Vector2D(0, 0), 1);
        EXPECT_EQ(QuadroJogo(j), d.touches ? QUADRO_PERDEU_OBSTACULO : QUADRO_SEGUE);
    }
}

// A moving blob (70 x 60, solid) drifting 1 px per frame between a floor and
// a ceiling: the frame at which it turns is the one whose move first brings
// its picture onto the wall, not one earlier and not one later.
TEST_F(ContactEdges, AMovingBlobTurnsBackWhereItsOwnPictureFirstTouchesTheWall) {
    const int kFloorRow = 200, kCeilingRow = 29, kStartY = 100, kBlobHeight = 60;
    resetpos();  // map tile 0 at (-250, -650), kept there by the held space bar
    Picture walls(2048, 2048, kNone);
    walls.fill(0, kFloorRow + 650, 2048, 10, kSolid);
    walls.fill(0, kCeilingRow + 650 - 9, 2048, 10, kSolid);
    j.r.colisao[0] = LoadPicture("paredes.png", walls);
    Fresh();
    Inimigo* b = OnlyBlob(j.r.spIn, Vector2D(100, float(kStartY)), Vector2D(0, 60), 4);
    std::vector<int> ys;
    for (int f = 0; f < 170; ++f) {
        ASSERT_EQ(QuadroJogo(j), QUADRO_SEGUE) << "frame " << f + 1;
        ys.push_back(int(b->getPosicao().y));
    }
    // Down: the lowest place is where the bottom row first lies on the floor's top row.
    size_t low = size_t(std::max_element(ys.begin(), ys.end()) - ys.begin());
    EXPECT_EQ(ys[low] + kBlobHeight - 1, kFloorRow);
    EXPECT_EQ(ys[low - 1] + 1, ys[low]) << "still moving down the frame before";
    EXPECT_EQ(ys[low + 1] + 1, ys[low]) << "moving up the frame after";
    // Up: the highest place after that is where the top row first lies on the ceiling's bottom row.
    size_t high = size_t(std::min_element(ys.begin() + long(low), ys.end()) - ys.begin());
    ASSERT_LT(high + 1, ys.size()) << "the blob never came back from the ceiling";
    EXPECT_EQ(ys[high], kCeilingRow);
    EXPECT_EQ(ys[high + 1], ys[high] + 1) << "moving down again the frame after";
}

}  // namespace
