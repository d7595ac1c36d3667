// The vessel fits the level. Every check loads the generated pictures into the
// engine's own masks (software renderer, as the soak tests run) and reasons
// about positions exactly as the play loop places them.
#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <cmath>
#include <cstdio>

#include "assets_helpers.h"
#include "testsupport.h"
#include "vessel.h"

namespace {

using namespace assets;

constexpr int kMapHeight = kAlturaTile;
constexpr int kFixedFrames = kFiguraObstaculoFixo.quadros, kMovingFrames = kFiguraObstaculoMovel.quadros;
// Room kept around the nanobot's mask along the proven corridor, and the
// corridor's steepest climb: 1 px per 2 px forward, where the game allows 1.5.
constexpr int kCorridorMargin = 8;
constexpr int kStepForward = 2, kStepVertical = 1;
constexpr int kFramesPerSecond = 60;

using Rows = std::bitset<kMapHeight>;
using Blocked = std::vector<std::vector<Span>>;  // per map column

class Vessel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine_.ok());
        for (int t = 0; t < kTilesMapa; ++t) {
            colisao_[t] = engine_.Load(kArquivoColisao[t], 0, 0);
            ASSERT_NE(colisao_[t], 0u) << kArquivoColisao[t];
        }
        spL_ = engine_.Load(kFiguraObstaculoFixo);
        spIn_ = engine_.Load(kFiguraObstaculoMovel);
        nanoC_ = engine_.Load(kFiguraNanoColisao);
        ASSERT_NE(spL_, 0u);
        ASSERT_NE(spIn_, 0u);
        ASSERT_NE(nanoC_, 0u);
        ASSERT_EQ(Engine::Frames(spL_), kFixedFrames);
        ASSERT_EQ(Engine::Frames(spIn_), kMovingFrames);
    }

    BRZ_BitMask* Wall(int tile) const { return Engine::Mask(colisao_[tile], 0); }
    BRZ_BitMask* Nano() const { return Engine::Mask(nanoC_, 0); }

    // Solid runs of the wall, column by column over the whole map.
    Blocked WallRuns() const {
        Blocked cols(static_cast<size_t>(kLarguraMapa));
        for (int t = 0; t < kTilesMapa; ++t) {
            ColumnRuns runs = RunsOf(Wall(t));
            for (size_t c = 0; c < runs.size(); ++c) cols[size_t(t) * kLarguraTile + c] = runs[c];
        }
        return cols;
    }

    // Adds every fixed blob, all of its animation frames, to the obstacles.
    void AddFixedBlobs(Blocked& cols) const {
        for (const LinhaObstaculo& b : kLayout) {
            if (b.movel) continue;
            for (int f = 0; f < kFixedFrames; ++f) {
                ColumnRuns runs = RunsOf(Engine::Mask(spL_, f));
                for (size_t c = 0; c < runs.size(); ++c)
                    for (const Span& r : runs[c]) cols[size_t(b.x) + c].push_back({r.first + b.y, r.last + b.y});
            }
        }
    }

    // Where the mask (as column runs) can sit with its left edge at map x `mx`:
    // each free row is a top edge at which no solid pixel meets an obstacle.
    static Rows FreeRows(const Blocked& obstacles, const ColumnRuns& mask, int maskHeight, int mx) {
        Rows free;
        free.set();
        for (int y = kMapHeight - maskHeight + 1; y < kMapHeight; ++y) free.reset(size_t(y));
        for (size_t i = 0; i < mask.size(); ++i) {
            int x = mx + int(i);
            if (x < 0 || x >= kLarguraMapa) continue;
            for (const Span& wall : obstacles[size_t(x)])
                for (const Span& m : mask[i]) {
                    int lo = std::max(0, wall.first - m.last), hi = std::min(kMapHeight - 1, wall.last - m.first);
                    for (int y = lo; y <= hi; ++y) free.reset(size_t(y));
                }
        }
        return free;
    }

    // The nanobot's mask grown by `margin` pixels on every side, as column runs
    // whose column 0 lies `margin` left of the mask's own.
    ColumnRuns GrownNano(int margin) const {
        BRZ_BitMask* m = Nano();
        int w = m->largura + 2 * margin, h = m->altura + 2 * margin;
        std::vector<std::vector<bool>> solid(size_t(w), std::vector<bool>(size_t(h), false));
        for (int x = 0; x < m->largura; ++x)
            for (int y = 0; y < m->altura; ++y)
                if (BRZ_GetBit(m, x, y))
                    for (int dx = 0; dx <= 2 * margin; ++dx)
                        for (int dy = 0; dy <= 2 * margin; ++dy) solid[size_t(x + dx)][size_t(y + dy)] = true;
        ColumnRuns cols(static_cast<size_t>(w));
        for (int x = 0; x < w; ++x) {
            int start = -1;
            for (int y = 0; y <= h; ++y) {
                bool s = y < h && solid[size_t(x)][size_t(y)];
                if (s && start < 0) start = y;
                if (!s && start >= 0) {
                    cols[size_t(x)].push_back({start, y - 1});
                    start = -1;
                }
            }
        }
        return cols;
    }

    // The game's wall test for the nanobot with the map at (vx, vy).
    bool NanoTouchesWall(int vx, int vy) const {
        int tile = (kNanoCentroX - vx) / kLarguraTile;
        if (tile < 0 || tile >= kTilesMapa) return false;
        return Overlap(Nano(), kNanoColisaoX, kNanoColisaoY, Wall(tile), vx + tile * kLarguraTile, vy);
    }

    Engine engine_;
    unsigned colisao_[kTilesMapa] = {};
    unsigned spL_ = 0, spIn_ = 0, nanoC_ = 0;
};

TEST_F(Vessel, NanobotStartsClearOfTheWallWithRoomAround) {
    EXPECT_FALSE(NanoTouchesWall(kInicioMapaX, kInicioMapaY));
    Blocked walls = WallRuns();
    Rows free = FreeRows(walls, GrownNano(kCorridorMargin), Nano()->altura + 2 * kCorridorMargin,
                         kNanoInicioMapaX - kCorridorMargin);
    EXPECT_TRUE(free.test(size_t(kNanoInicioMapaY - kCorridorMargin)));
    for (const LinhaObstaculo& b : kLayout) {
        unsigned set = b.movel ? spIn_ : spL_;
        EXPECT_FALSE(Overlap(Nano(), kNanoInicioMapaX, kNanoInicioMapaY, Engine::Mask(set, 0), b.x, b.y)) << b.x;
    }
}

TEST_F(Vessel, BeingPushedBackEndsAtTheClosedStartBeforeTheMapLeavesTheScreen) {
    // The map's left edge reaches the screen once vecPosicao.x > 0, that is with
    // the mask left of map x 482; a beat pushes at most 20 px in one frame.
    Blocked walls = WallRuns();
    ColumnRuns nano = RunsOf(Nano());
    for (int mx = kNanoColisaoX - 3 * kEmpurraoBatida; mx < kNanoColisaoX; ++mx)
        EXPECT_TRUE(FreeRows(walls, nano, Nano()->altura, mx).none()) << "free place with the mask at map x " << mx;
}

TEST_F(Vessel, FixedBlobsSitOnTheWallLikePlaque) {
    constexpr int kNear = 12;
    for (const LinhaObstaculo& b : kLayout) {
        if (b.movel) continue;
        int tile = b.x / kLarguraTile, x = b.x - tile * kLarguraTile;
        ASSERT_LT(x + kFiguraObstaculoFixo.largura, kLarguraTile) << "blob crosses a tile edge";
        BRZ_BitMask* m = Engine::Mask(spL_, 0);
        bool near = false;
        for (int dx = -kNear; dx <= kNear && !near; dx += kNear)
            for (int dy = -kNear; dy <= kNear && !near; dy += kNear) near = Overlap(m, x + dx, b.y + dy, Wall(tile), 0, 0);
        EXPECT_TRUE(near) << "fixed blob at " << b.x << "," << b.y << " floats in the lumen";
        int solid = 0, showing = 0;
        for (int j = 0; j < m->altura; ++j)
            for (int i = 0; i < m->largura; ++i)
                if (BRZ_GetBit(m, i, j)) {
                    ++solid;
                    showing += !BRZ_GetBit(Wall(tile), x + i, b.y + j);
                }
        EXPECT_GE(showing * 4, solid) << "fixed blob at " << b.x << "," << b.y << " is buried in the wall";
    }
}

// How far a mask can move from (x, y), up (dir -1) or down (dir 1), before it meets the wall.
int Room(BRZ_BitMask* m, BRZ_BitMask* wall, int x, int y, int dir) {
    for (int d = 1; d < kMapHeight; ++d)
        if (Overlap(m, x, y + dir * d, wall, 0, 0)) return d - 1;
    return kMapHeight;
}

// The play loop bounces a moving blob with its own frames (gordura.png), the
// frame it shows at the time: the room of a blob is that of its tightest frame.
TEST_F(Vessel, EveryMovingBlobStartsInTheLumenWithRoomAboveAndBelow) {
    constexpr int kMinRoomEachWay = 60, kMinTravel = 150;
    for (const LinhaObstaculo& b : kLayout) {
        if (!b.movel) continue;
        int tile = b.x / kLarguraTile, x = b.x - tile * kLarguraTile;
        ASSERT_LT(x + kFiguraObstaculoMovel.largura, kLarguraTile) << "blob crosses a tile edge";
        int above = kMapHeight, below = kMapHeight;
        for (int f = 0; f < kMovingFrames; ++f) {
            BRZ_BitMask* m = Engine::Mask(spIn_, f);
            EXPECT_FALSE(Overlap(m, x, b.y, Wall(tile), 0, 0)) << b.x << " frame " << f;
            above = std::min(above, Room(m, Wall(tile), x, b.y, -1));
            below = std::min(below, Room(m, Wall(tile), x, b.y, 1));
        }
        printf("moving blob at %d,%d: room %d above, %d below\n", b.x, b.y, above, below);
        EXPECT_GE(above, kMinRoomEachWay) << "blob at " << b.x;
        EXPECT_GE(below, kMinRoomEachWay) << "blob at " << b.x;
        EXPECT_GE(above + below, kMinTravel) << "blob at " << b.x;
    }
}

// How many rows further down (or up) one frame of a sheet reaches than another.
int FrameSpread(unsigned set, int frames) {
    int top0 = kMapHeight, top1 = -1, bottom0 = kMapHeight, bottom1 = -1;
    for (int f = 0; f < frames; ++f) {
        BRZ_BitMask* m = Engine::Mask(set, f);
        int top = m->altura, bottom = -1;
        for (int yy = 0; yy < m->altura; ++yy)
            for (int xx = 0; xx < m->largura; ++xx)
                if (BRZ_GetBit(m, xx, yy)) {
                    top = std::min(top, yy);
                    bottom = std::max(bottom, yy);
                }
        top0 = std::min(top0, top), top1 = std::max(top1, top);
        bottom0 = std::min(bottom0, bottom), bottom1 = std::max(bottom1, bottom);
    }
    return std::max(top1 - top0, bottom1 - bottom0);
}

TEST_F(Vessel, MovingBlobsTurnBackAtBothWallsWithoutSinkingIn) {
    // Two minutes of the play loop's blob rule, in map coordinates: move,
    // animate, then turn back when the frame shown touches the wall.
    constexpr int kUpdates = 120 * kFramesPerSecond;
    const int spread = FrameSpread(spIn_, kMovingFrames);
    for (const LinhaObstaculo& b : kLayout) {
        if (!b.movel) continue;
        int tile = b.x / kLarguraTile, x = b.x - tile * kLarguraTile;
        float y = float(b.y), vy = float(b.vy);
        // A blob turns at its first touch, one move deep at most; a change to a
        // frame that reaches further, while it turns back and forth against the
        // wall, adds that reach and one more move. Sinking in goes far deeper.
        const int maxDepth = 2 * int(std::ceil(std::fabs(vy) / float(kFramesPerSecond))) + spread;
        int frame = 0, counter = 0, turnsUp = 0, turnsDown = 0, lowest = b.y, highest = b.y;
        int deepestBelow = 0, deepestAbove = 0;
        for (int u = 0; u < kUpdates; ++u) {
            y += vy / float(kFramesPerSecond);
            if (++counter == kTempoQuadroObstaculo) {
                counter = 0;
                frame = (frame + 1) % kMovingFrames;
            }
            BRZ_BitMask* m = Engine::Mask(spIn_, frame);
            if (Overlap(m, x, int(y), Wall(tile), 0, 0)) {
                // Rows of the frame in the wall: one when it has just touched.
                // (A change of frame can bring the other wall into touch.)
                int up = 1, down = 1;
                while (up < kMapHeight && Overlap(m, x, int(y) - up, Wall(tile), 0, 0)) ++up;
                while (down < kMapHeight && Overlap(m, x, int(y) + down, Wall(tile), 0, 0)) ++down;
                int& deepest = up <= down ? deepestBelow : deepestAbove;
                deepest = std::max(deepest, std::min(up, down));
                (vy > 0 ? turnsUp : turnsDown)++;
                vy = -vy;
            }
            lowest = std::max(lowest, int(y));
            highest = std::min(highest, int(y));
        }
        printf("blob at %d: travels y %d..%d, turned up %d and down %d times, %d rows in the wall at most (bound %d)\n",
               b.x, highest, lowest, turnsUp, turnsDown, std::max(deepestAbove, deepestBelow), maxDepth);
        EXPECT_GE(turnsUp, 1) << "blob at " << b.x << " never came back from the bottom wall";
        EXPECT_GE(turnsDown, 1) << "blob at " << b.x << " never came back from the top wall";
        EXPECT_GE(lowest - highest, 120) << "blob at " << b.x;
        EXPECT_LE(deepestBelow, maxDepth) << "blob at " << b.x << " sinks into the bottom wall";
        EXPECT_LE(deepestAbove, maxDepth) << "blob at " << b.x << " sinks into the top wall";
    }
}

// Where the shaft of a side vessel opens map column x, sampled at the
// column's centre as the generator draws: its rows as the collision picture
// has them, the shaft grown by the collision edge's reach (exact for its
// straight sides and round corners). False where the shaft misses the column.
bool ShaftOpening(const vessel::SideVessel& v, int x, double* top, double* bottom) {
    const double grow = -vessel::kCollisionEdge, radius = vessel::kSideVesselCorner + grow, cx = x + 0.5;
    if (cx < v.left - grow || cx > v.right + grow) return false;  // the edge itself is free
    // How far from the centre of a corner's circle, across; 0 between the corners.
    const double dx = std::max({0.0, v.left + vessel::kSideVesselCorner - cx, cx - (v.right - vessel::kSideVesselCorner)});
    const double rise = radius - std::sqrt(radius * radius - dx * dx);  // the corner's curve below the straight end
    *top = v.top - grow + rise;
    *bottom = v.bottom + grow - rise;
    return true;
}

// The collision tiles the game tests follow the vessel the generator
// designs (its wall points, interpolated, with their ripples, and the side
// vessels that cross it): at every map column from the nanobot's start to the
// end of the map, the free run round the middle of the lumen begins within a
// few rows of the designed top wall and ends within a few rows of the
// designed bottom wall. The collision wall lies 1.5 px inside the drawn one,
// along the wall's normal. Where a side vessel's shaft crosses the lumen the
// run is the two joined: from the higher top to the lower bottom.
TEST_F(Vessel, CollisionTilesFollowTheDesignedWallsAlongTheWholeRun) {
    constexpr int kRows = 6;
    Blocked walls = WallRuns();
    int worstTop = 0, worstBottom = 0, worstTopX = 0, worstBottomX = 0, shaftColumns = 0;
    for (int x = kNanoInicioMapaX; x < kLarguraMapa; ++x) {
        double top = vessel::Top(x), bottom = vessel::Bottom(x);
        const int middle = int((top + bottom) / 2);
        for (const vessel::SideVessel& v : vessel::kSideVessels) {
            double shaftTop, shaftBottom;
            if (!ShaftOpening(v, x, &shaftTop, &shaftBottom)) continue;
            top = std::min(top, shaftTop);
            bottom = std::max(bottom, shaftBottom);
            ++shaftColumns;
        }
        int first = 0, last = kMapHeight - 1;  // the free run holding `middle`
        for (const Span& w : walls[size_t(x)]) {
            if (w.last < middle) first = std::max(first, w.last + 1);
            if (w.first > middle) last = std::min(last, w.first - 1);
            ASSERT_FALSE(w.first <= middle && middle <= w.last) << "the lumen is closed at map x " << x;
        }
        int offTop = int(std::lround(std::fabs(first - top))), offBottom = int(std::lround(std::fabs(last + 1 - bottom)));
        if (offTop > worstTop) worstTop = offTop, worstTopX = x;
        if (offBottom > worstBottom) worstBottom = offBottom, worstBottomX = x;
    }
    printf("collision wall off the design by %d rows at most at the top (map x %d), %d at the bottom (map x %d); "
           "%d columns cross a side vessel\n",
           worstTop, worstTopX, worstBottom, worstBottomX, shaftColumns);
    EXPECT_LE(worstTop, kRows) << "at map x " << worstTopX;
    EXPECT_LE(worstBottom, kRows) << "at map x " << worstBottomX;
}

TEST_F(Vessel, ANanobotLeftAloneHitsTheWallOrAPlaqueWithinHalfAMinute) {
    int vx = kInicioMapaX;
    const int vy = kInicioMapaY;
    int frame = 1;
    for (; frame <= 30 * kFramesPerSecond; ++frame) {
        vx += -kEmpuxo + (frame % kPeriodoBatida == 0 ? kEmpurraoBatida : 0);
        if (NanoTouchesWall(vx, vy)) break;
        bool blob = false;
        for (const LinhaObstaculo& b : kLayout)
            blob = blob || (!b.movel && Overlap(Nano(), kNanoColisaoX, kNanoColisaoY,
                                               Engine::Mask(spL_, (frame / kTempoQuadroObstaculo) % kFixedFrames),
                                               vx + b.x, vy + b.y));
        if (blob) break;
    }
    printf("a nanobot left alone is lost after %.1f s, at map x %d\n", frame / 60.0, kNanoColisaoX - vx);
    EXPECT_LE(frame, 30 * kFramesPerSecond);
}

TEST_F(Vessel, ACorridorThatSurvivesHeartbeatsLeadsFromTheStartPastTheWin) {
    // Every place the grown mask can sit, walls of both neighbouring tiles and every
    // fixed blob in all its frames counted; then the places reachable from the
    // start moving 2 px forward and at most 1 px up or down per step.
    // kCorridorMargin px of room on every side of the mask, slope 0.5 where the game allows 0.75.
    Blocked obstacles = WallRuns();
    AddFixedBlobs(obstacles);
    ColumnRuns grown = GrownNano(kCorridorMargin);
    const int grownH = Nano()->altura + 2 * kCorridorMargin, goal = kVitoriaMapaX + kLarguraTile / 64;
    std::vector<Rows> reach;
    Rows here;
    here.set(size_t(kNanoInicioMapaY - kCorridorMargin));
    int mx = kNanoInicioMapaX;
    for (; mx <= goal; mx += kStepForward) {
        Rows moved = here | (here << kStepVertical) | (here >> kStepVertical);
        // A beat can throw the nanobot 20 px back at any moment: every place on the
        // corridor must be free there too.
        Rows free = FreeRows(obstacles, grown, grownH, mx - kCorridorMargin) &
                    FreeRows(obstacles, grown, grownH, mx - kCorridorMargin - kEmpurraoBatida);
        here = (reach.empty() ? here : moved) & free;
        reach.push_back(here);
        if (here.none()) break;
    }
    EXPECT_GT(mx, goal) << "the corridor closes at map x " << mx;

    // Walk one path back and draw it over the collision map, for people to look at.
    const int scale = 8;
    vdtest::Picture pic(kLarguraMapa / scale, kMapHeight / scale, {20, 0, 5, 255});
    for (int t = 0; t < kTilesMapa; ++t)
        for (int y = 0; y < kMapHeight; y += scale)
            for (int x = 0; x < kLarguraTile; x += scale)
                if (BRZ_GetBit(Wall(t), x, y)) pic.at((t * kLarguraTile + x) / scale, y / scale) = {150, 40, 50, 255};
    int y = -1;
    for (size_t s = reach.size(); s-- > 0;) {
        const Rows& r = reach[s];
        if (r.none()) continue;
        if (y < 0 || !r.test(size_t(y))) {
            int best = -1;
            for (int d = 0; d <= kStepVertical && best < 0; ++d) {
                if (y < 0) break;
                if (y - d >= 0 && r.test(size_t(y - d))) best = y - d;
                else if (y + d < kMapHeight && r.test(size_t(y + d))) best = y + d;
            }
            if (best < 0)
                for (int k = 0; k < kMapHeight; ++k)
                    if (r.test(size_t(k))) {
                        best = k;
                        break;
                    }
            y = best;
        }
        int cx = (kNanoInicioMapaX + int(s) * kStepForward + 30) / scale, cy = (y + kCorridorMargin + 29) / scale;
        if (cx < pic.w && cy < pic.h) pic.at(cx, cy) = {80, 255, 255, 255};
    }
    for (const LinhaObstaculo& b : kLayout)
        pic.fill(b.x / scale, b.y / scale, 10, b.movel ? 7 : 10, b.movel ? vdtest::Rgba{255, 140, 20, 255} : vdtest::Rgba{255, 230, 120, 255});
    EXPECT_TRUE(vdtest::WritePng(vdtest::OutputDir("assets") + "/corridor.png", pic));
}

TEST_F(Vessel, MapAndFarBackgroundCoverTheScreenEverywhereTheNanobotCanBe) {
    // The far pictures are drawn at (vx/15, vy/15) and ((vx + 2048)/15, vy/15);
    // the ten tiles from (vx, vy). Where the background leaves part of the screen
    // uncovered, the map must be opaque there and the screen must stay on the map.
    unsigned far0 = engine_.Load(kArquivoFundo[0], 0, 0), far1 = engine_.Load(kArquivoFundo[1], 0, 0);
    ASSERT_NE(far0, 0u);
    ASSERT_NE(far1, 0u);
    const int w0 = sprites[far0 - 1].largura, w1 = sprites[far1 - 1].largura;
    const int farH = std::min(sprites[far0 - 1].altura, sprites[far1 - 1].altura);
    Blocked walls = WallRuns();
    ColumnRuns nano = RunsOf(Nano());
    // Whether map column x is opaque from top to bottom (tiles loaded when first needed).
    auto opaqueColumn = [&](int x) {
        int t = x / kLarguraTile;
        unsigned id = BRZ_ProcuraSpriteSet(Rsrc(kArquivoMapa[t]).c_str());
        if (id == 0) id = engine_.Load(kArquivoMapa[t], 0, 0);
        SDL_Surface* s = sprites[id - 1].imagem;
        SDL_LockSurface(s);
        bool opaque = true;
        for (int y = 0; y < s->h && opaque; ++y) {
            Uint32 p = *reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch + (x % kLarguraTile) * 4);
            opaque = (p & s->format->Amask) == s->format->Amask;
        }
        SDL_UnlockSurface(s);
        return opaque;
    };
    std::vector<char> checkedColumn(kLarguraMapa, 0);
    int uncoveredStretches = 0;
    for (int vx = 0; vx >= kVitoriaX; --vx) {
        int mx = kNanoColisaoX - vx;
        Rows free = FreeRows(walls, nano, Nano()->altura, mx);
        if (free.none()) continue;  // the nanobot cannot be here
        int top = -1, bottom = -1;
        for (int y = 0; y < kMapHeight; ++y)
            if (free.test(size_t(y))) {
                if (top < 0) top = y;
                bottom = y;
            }
        for (int my : {top, bottom}) {
            int vy = kNanoColisaoY - my;
            ASSERT_LE(vy / 15, 0) << "background top below the screen top at map x " << mx;
            ASSERT_GE(vy / 15 + farH, 768) << "background bottom above the screen bottom at map x " << mx;
        }
        int x0 = vx / 15, x1 = (vx + kLarguraTile) / 15;
        ASSERT_LE(x0, 0);
        ASSERT_GE(x0 + w0, x1) << "gap between the two far pictures at vx " << vx;
        int coveredTo = std::max(x0 + w0, x1 + w1);
        if (coveredTo >= 1024) continue;
        ++uncoveredStretches;
        // Screen columns coveredTo..1023 show only the map: it must be there and opaque.
        // Map rows on screen: from (free top - 355) to (free bottom + 413).
        ASSERT_GE(top - kNanoColisaoY, 0) << "screen above the map at map x " << mx;
        ASSERT_LE(bottom + (768 - kNanoColisaoY), kMapHeight) << "screen below the map at map x " << mx;
        for (int sx = coveredTo; sx < 1024; ++sx) {
            int x = sx - vx;
            ASSERT_LT(x, kLarguraMapa);
            if (checkedColumn[size_t(x)]) continue;
            checkedColumn[size_t(x)] = 1;
            ASSERT_TRUE(opaqueColumn(x)) << "map column " << x << " lets the clear colour through";
        }
    }
    printf("positions where the map alone covers part of the screen: %d\n", uncoveredStretches);
}

}  // namespace
