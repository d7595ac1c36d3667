// The level as a game: a player with a human's reaction time and held keys
// wins it, a player who never stops does not get past the stop place, the
// room narrows from the first tiles to the last third, and what that player
// reads off the pictures is what the play frame tests. Every run plays the
// real play frame headless on the generated assets.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "brisa2d2.h"
#include "chart.h"
#include "consts.h"
#include "player.h"
#include "session.h"
#include "sight.h"
#include "survey.h"
#include "testsupport.h"

namespace {

// The fairness bar: a quarter-second reaction for a player who allows for
// the keys already pressed, 150 ms for one who only reacts, keys held a
// sixth of a second, timing off by up to 3 frames, ten runs each.
constexpr int kSeeds = 10;
constexpr int kHold = 10, kJitter = 3;
constexpr int kAnticipatingDelay = 15, kReactiveDelay = 9;
constexpr int kReactiveWinsAtLeast = 8;
// The stop place: the narrow stretch across the side vessels.
constexpr int kStopFromX = 15900, kStopToX = 17000;

pilot::PlayerStyle Style(pilot::Planning planning, int delay, unsigned seed, bool space = true) {
    pilot::PlayerStyle s;
    s.planning = planning;
    s.delay = delay;
    s.hold = kHold;
    s.jitter = kJitter;
    s.seed = seed;
    s.spaceAllowed = space;
    return s;
}

// One headless session for the whole suite: starting it loads every asset.
class Level : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(chdir(getenv("VD_BINARY_DIR")), 0);
        session_ = new pilot::HeadlessSession;
        sight_ = new pilot::Sight;
        std::string error;
        ready_ = session_->Start(&error) && sight_->Build(session_->game().r, &error);
        if (!ready_) failure_ = error;
        if (ready_) start_ = new pilot::Snapshot(session_->Save());
    }
    static void TearDownTestSuite() {
        session_->Stop();
        delete start_;
        delete sight_;
        delete session_;
    }
    void SetUp() override { ASSERT_TRUE(ready_) << failure_; }

    static pilot::RunOutcome Play(const pilot::PlayerStyle& style) {
        return pilot::PlayLikeAHuman(*session_, *start_, *sight_, style);
    }
    // Plays seeds 1..kSeeds; returns the wins and fills *lost with the losses.
    static int Wins(pilot::Planning planning, int delay, bool space, std::vector<pilot::RunOutcome>* lost) {
        int wins = 0;
        for (unsigned seed = 1; seed <= kSeeds; ++seed) {
            pilot::RunOutcome o = Play(Style(planning, delay, seed, space));
            if (o.Won())
                ++wins;
            else
                lost->push_back(o);
        }
        return wins;
    }
    static std::string Losses(const std::vector<pilot::RunOutcome>& lost) {
        std::string s;
        for (const pilot::RunOutcome& o : lost) s += "\n  " + pilot::Describe(o);
        return s;
    }

    static pilot::HeadlessSession* session_;
    static pilot::Sight* sight_;
    static pilot::Snapshot* start_;
    static bool ready_;
    static std::string failure_;
};

pilot::HeadlessSession* Level::session_ = nullptr;
pilot::Sight* Level::sight_ = nullptr;
pilot::Snapshot* Level::start_ = nullptr;
bool Level::ready_ = false;
std::string Level::failure_;

TEST_F(Level, APlayerWhoAllowsForItsPressedKeysWinsEveryRunReactingInAQuarterSecond) {
    std::vector<pilot::RunOutcome> lost;
    EXPECT_EQ(Wins(pilot::Planning::kAnticipating, kAnticipatingDelay, true, &lost), kSeeds) << Losses(lost);
}

TEST_F(Level, APlayerWhoOnlyReactsWinsMostRunsReactingIn150Milliseconds) {
    std::vector<pilot::RunOutcome> lost;
    EXPECT_GE(Wins(pilot::Planning::kReactive, kReactiveDelay, true, &lost), kReactiveWinsAtLeast) << Losses(lost);
}

TEST_F(Level, WithoutSpaceThatPlayerLosesEveryRunAtTheStopPlace) {
    std::vector<pilot::RunOutcome> lost;
    EXPECT_EQ(Wins(pilot::Planning::kAnticipating, kAnticipatingDelay, false, &lost), 0);
    for (const pilot::RunOutcome& o : lost) {
        EXPECT_EQ(o.spaceFrames, 0);
        EXPECT_GE(o.mapX, kStopFromX) << pilot::Describe(o);
        EXPECT_LE(o.mapX, kStopToX) << pilot::Describe(o);
    }
}

TEST_F(Level, WithSpaceThatPlayerWaitsOnlyAtTheStopPlace) {
    // The runs of the first test again, frame by frame: space is held only in
    // front of the side vessels, and not for long (a blob crossing the way).
    constexpr int kLongestWait = 240;
    for (unsigned seed = 1; seed <= 3; ++seed) {
        pilot::RunOutcome o = Play(Style(pilot::Planning::kAnticipating, kAnticipatingDelay, seed));
        ASSERT_TRUE(o.Won()) << pilot::Describe(o);
        EXPECT_GT(o.spaceFrames, 0);
        EXPECT_LE(o.spaceFrames, kLongestWait);
        session_->Restore(*start_);
        for (const pilot::Input& in : o.keys.frames) {
            if (in.space) {
                float x = pilot::NanoMapX(vecPosicao);
                EXPECT_GE(x, kStopFromX);
                EXPECT_LE(x, kStopToX);
            }
            session_->Play(in);
        }
    }
}

TEST_F(Level, TheSameSeedPlaysTheSameRunAndTheDelayMatters) {
    pilot::RunOutcome a = Play(Style(pilot::Planning::kReactive, kReactiveDelay, 4));
    pilot::RunOutcome b = Play(Style(pilot::Planning::kReactive, kReactiveDelay, 4));
    EXPECT_EQ(a.end, b.end);
    EXPECT_EQ(a.frames, b.frames);
    EXPECT_EQ(a.keys.frames, b.keys.frames);
    // Another seed times its choices otherwise.
    pilot::RunOutcome c = Play(Style(pilot::Planning::kReactive, kReactiveDelay, 5));
    EXPECT_NE(a.keys.frames, c.keys.frames);
    // Reacting a second and a half late, a player who only reacts cannot
    // follow the vessel where it first turns; with no delay it wins.
    for (unsigned seed = 1; seed <= 3; ++seed) {
        pilot::RunOutcome late = Play(Style(pilot::Planning::kReactive, 90, seed));
        EXPECT_FALSE(late.Won());
        EXPECT_EQ(late.end, QUADRO_PERDEU_PAREDE) << pilot::Describe(late);
    }
    EXPECT_TRUE(Play(Style(pilot::Planning::kReactive, 0, 1)).Won());
}

TEST_F(Level, TheDriftThePlayerCountsOnIsThePlayFrames) {
    // A run with no keys, frame by frame past the heart's second beat (or
    // until it is lost): where the player expects the nanobot is where the
    // play frame has put it.
    session_->Restore(*start_);
    int checked = 0;
    for (int f = 1; f <= 2 * kPeriodoBatida + 10; ++f) {
        if (session_->Play(pilot::Input{}) != QUADRO_SEGUE) break;
        ASSERT_EQ(int(pilot::NanoMapX(vecPosicao)), pilot::DrivenX(f)) << "frame " << f;
        ++checked;
    }
    EXPECT_GT(checked, kPeriodoBatida) << "lost before the heart's first beat";
}

TEST_F(Level, RoomNarrowsFromTheFirstTwoTilesToTheLastThird) {
    pilot::Profile p = pilot::MeasureProfile(*sight_);
    std::vector<pilot::TileRoom> tiles = pilot::RoomPerTile(p);
    ASSERT_EQ(tiles.size(), 10u);
    for (size_t t = 2; t < tiles.size(); ++t)
        for (size_t first = 0; first < 2; ++first) {
            EXPECT_GT(tiles[first].least, tiles[t].least) << "tile " << tiles[t].tile;
            EXPECT_GT(tiles[first].median, tiles[t].median) << "tile " << tiles[t].tile;
        }
    // The five narrowest places (400 px apart) all lie in the last third of the run.
    int lastThird = p.firstX + 2 * p.Size() / 3;
    for (const pilot::Place& n : pilot::Narrowest(p, 5, 400)) EXPECT_GT(n.x, lastThird) << n.room << " px";
    // A blob that can close the way: the last one, crossing the narrow stretch.
    bool closing = false;
    for (const pilot::Closing& c : pilot::ClosingBlobs(*sight_)) closing = closing || c.row == 43;
    EXPECT_TRUE(closing);
    std::string error;
    EXPECT_TRUE(pilot::WriteChart(vdtest::OutputDir("level") + "/difficulty.png", *sight_, {}, &error)) << error;
}

// What the player reads off the pictures against the engine's own tests.
TEST_F(Level, TheBandBetweenTheWallsIsWhereThePlayFrameFindsNoWall) {
    const Recursos& r = session_->game().r;
    const int kTileWidth = kLarguraTile;
    int checked = 0;
    for (int x = 1000; x < 19000; x += 997) {
        int tile = x / kTileWidth;
        if (x + sight_->NanoWidth() >= (tile + 1) * kTileWidth) continue;  // the game tests one tile
        pilot::Span band = sight_->Band(x);
        ASSERT_LE(band.lo, band.hi) << x;
        auto touches = [&](float y) {
            return BRZ_ColidiuSprites(r.spriteNanoC, 0, x, int(y), r.colisao[tile], 0, tile * kTileWidth, 0);
        };
        EXPECT_FALSE(touches(band.lo)) << x;
        EXPECT_FALSE(touches(band.hi)) << x;
        EXPECT_TRUE(touches(band.lo - 1)) << x;
        EXPECT_TRUE(touches(band.hi + 1)) << x;
        ++checked;
    }
    EXPECT_GE(checked, 15);
}

TEST_F(Level, ABlobsBlockedHeightsHoldEveryHeightWhereTheMasksTouch) {
    const Recursos& r = session_->game().r;
    const int kMovingRow = 43, kFixedRow = 0;
    for (int row : {kMovingRow, kFixedRow}) {
        unsigned set = row == kMovingRow ? r.spIn : r.spL;
        const BRZ_SpriteSet& blob = sprites[set - 1];
        BRZ_BitMask* nano = sprites[r.spriteNanoC - 1].bmask[0];
        for (int dx = -nano->largura; dx <= blob.spLargura; ++dx) {
            pilot::Span cut = sight_->Blocked(row, dx);
            bool lowSeen = false, highSeen = false;
            for (int dy = -nano->altura - 1; dy <= blob.spAltura + 1; ++dy) {
                bool touch = false;
                for (int f = 0; f < blob.matrizX * blob.matrizY; ++f)
                    touch = touch || BRZ_SobrepoeBitMasks(blob.bmask[f], nano, dx, dy) != 0;
                if (touch) {
                    EXPECT_TRUE(dy >= cut.lo && dy <= cut.hi) << "row " << row << " dx " << dx << " dy " << dy;
                }
                lowSeen = lowSeen || (touch && dy == int(cut.lo));
                highSeen = highSeen || (touch && dy == int(cut.hi));
            }
            // The span is no wider than the masks: its ends are real contacts.
            if (cut.lo <= cut.hi) {
                EXPECT_TRUE(lowSeen) << "row " << row << " dx " << dx;
                EXPECT_TRUE(highSeen) << "row " << row << " dx " << dx;
            }
        }
    }
}

}  // namespace
