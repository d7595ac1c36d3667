// The level as a game: a player with a human's reaction time and held keys
// wins it, a player who never stops does not get past the stop place, the
// room narrows from the first tiles to the last third, and what that player
// reads off the pictures is what the play frame tests. Every run plays the
// real play frame headless on the generated assets.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
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

// What the moving blobs do in one run played with a pattern of keys, seen in
// map coordinates (each blob against the map it drifts in, after the frame's
// scroll): when each turns round, and the longest stretches of play frames on
// which one turns every frame and stays in its wall.
struct BlobRun {
    std::string name;
    std::vector<std::vector<int>> turns;  // per layout row, the play frames it was seen turned on
    int frames = 0;                       // play frames the run lasted
    int mostTurnsInARow = 0, turningRow = 0;
    std::vector<int> mostFramesInTheWall;  // per layout row
};

// Whether `b` overlaps the wall of the tile that holds its corner, where it
// stands on the map now.
bool InTheWall(const Recursos& r, const Inimigo& b) {
    const math::Vector2D on = b.getPosicao() - vecPosicao;
    const int tile = int(on.x / float(kLarguraTile));
    if (tile < 0 || tile >= kTilesMapa) return false;
    return BRZ_ColidiuSprites(b.getSprite(), unsigned(b.getQuadroAtual()), int(on.x) - tile * kLarguraTile, int(on.y),
                              r.colisao[tile], 0, 0, 0);
}

template <typename Keys>
BlobRun PlayWatchingBlobs(const std::string& name, pilot::HeadlessSession& session, const pilot::Snapshot& start,
                          int maxFrames, Keys keys) {
    session.Restore(start);
    const std::vector<Inimigo*>& blobs = session.game().inimigos;
    std::vector<float> lastY(blobs.size()), lastStep(blobs.size(), 0.0f);
    std::vector<int> inARow(blobs.size(), 0), inWall(blobs.size(), 0);
    BlobRun run;
    run.name = name;
    run.turns.resize(blobs.size());
    run.mostFramesInTheWall.resize(blobs.size());
    for (size_t i = 0; i < blobs.size(); ++i) lastY[i] = blobs[i]->getPosicao().y - vecPosicao.y;
    for (int f = 1; f <= maxFrames && session.Play(keys(f)) == QUADRO_SEGUE; ++f) {
        run.frames = f;
        for (size_t i = 0; i < blobs.size(); ++i) {
            const float y = blobs[i]->getPosicao().y - vecPosicao.y, step = y - lastY[i];
            const bool turned = step * lastStep[i] < 0;
            inARow[i] = turned ? inARow[i] + 1 : 0;
            inWall[i] = InTheWall(session.game().r, *blobs[i]) ? inWall[i] + 1 : 0;
            if (turned) run.turns[i].push_back(f);
            if (inARow[i] > run.mostTurnsInARow) run.turningRow = int(i) + 1;
            run.mostTurnsInARow = std::max(run.mostTurnsInARow, inARow[i]);
            run.mostFramesInTheWall[i] = std::max(run.mostFramesInTheWall[i], inWall[i]);
            lastY[i] = y;
            if (step != 0) lastStep[i] = step;
        }
    }
    return run;
}

// Rows by which the moving blob's animation frames differ in how far up or
// down they reach: a change of frame can bring a blob that much further into
// a wall it is already leaving.
int MovingFramesSpread(const Recursos& r) {
    const BRZ_SpriteSet& set = sprites[r.spIn - 1];
    int tops[2] = {set.spAltura, -1}, bottoms[2] = {set.spAltura, -1};
    for (int f = 0; f < set.matrizX * set.matrizY; ++f) {
        int top = set.spAltura, bottom = -1;
        for (int y = 0; y < set.spAltura; ++y)
            for (int x = 0; x < set.spLargura; ++x)
                if (BRZ_GetBit(set.bmask[f], x, y)) top = std::min(top, y), bottom = std::max(bottom, y);
        tops[0] = std::min(tops[0], top), tops[1] = std::max(tops[1], top);
        bottoms[0] = std::min(bottoms[0], bottom), bottoms[1] = std::max(bottoms[1], bottom);
    }
    return std::max(tops[1] - tops[0], bottoms[1] - bottoms[0]);
}

// Key patterns a player plays: none, one block held, the blocks taking
// turns, space held, space held across the heart's beats in bursts.
struct KeyPattern {
    const char* name;
    pilot::Input (*keys)(int frame);
};
const KeyPattern kKeyPatterns[] = {
    {"no keys", [](int) { return pilot::Input{}; }},
    {"down block held", [](int) { return pilot::Input{false, true, false}; }},
    {"up block held", [](int) { return pilot::Input{true, false, false}; }},
    {"blocks taking turns", [](int f) { return pilot::Input{f / 20 % 2 == 0, f / 20 % 2 == 1, false}; }},
    {"space held", [](int) { return pilot::Input{false, false, true}; }},
    {"space in bursts across the beats", [](int f) { return pilot::Input{false, f % 7 == 0, f / 150 % 2 == 0}; }},
};

// Whether every turn of `a` within `frames` play frames is one of `b` within `slack` frames, and the other way round.
bool SameTurns(const std::vector<int>& a, const std::vector<int>& b, int frames, int slack) {
    auto within = [&](const std::vector<int>& from, const std::vector<int>& in) {
        for (int t : from)
            if (t <= frames - slack &&
                std::none_of(in.begin(), in.end(), [&](int u) { return std::abs(u - t) <= slack; }))
                return false;
        return true;
    };
    return within(a, b) && within(b, a);
}

// A blob turns round once when it touches the wall, leaves it at its speed,
// and drifts the same, turning on the same frames, whatever keys the player
// holds: the scroll of the frame (the keys, space, a beat) does not move the
// wall it bounces off.
TEST_F(Level, MovingBlobsBounceOnceAndAlikeWhateverTheKeys) {
    constexpr int kFrames = 3 * 60 * BRZ_FPS_PADRAO, kSlack = 3, kStopPlaceRow = 43;
    std::vector<BlobRun> runs;
    for (const KeyPattern& p : kKeyPatterns) runs.push_back(PlayWatchingBlobs(p.name, *session_, *start_, kFrames, p.keys));
    // Whole runs of the human-like player: one won with space, one lost at the stop place without.
    for (bool space : {true, false}) {
        pilot::RunOutcome o = Play(Style(pilot::Planning::kAnticipating, kAnticipatingDelay, 1, space));
        ASSERT_EQ(o.Won(), space) << pilot::Describe(o);
        const std::vector<pilot::Input> keys = o.keys.frames;
        runs.push_back(PlayWatchingBlobs(space ? "a won run" : "a run without space", *session_, *start_,
                                         int(keys.size()), [&](int f) { return keys[size_t(f - 1)]; }));
    }
    const BlobRun& won = runs[runs.size() - 2];
    ASSERT_FALSE(won.turns[kStopPlaceRow].empty());
    const int spread = MovingFramesSpread(session_->game().r);
    for (const BlobRun& run : runs) {
        printf("%s: %d frames, at most %d turns in a row\n", run.name.c_str(), run.frames, run.mostTurnsInARow);
        EXPECT_LE(run.mostTurnsInARow, 1) << run.name << ": row " << run.turningRow << " turns frame after frame";
        for (size_t i = 0; i < size_t(kObstaculos); ++i) {
            if (!kLayout[i].movel) continue;
            const float move = float(kLayout[i].vy) / float(BRZ_FPS_PADRAO);
            const int leaves = int(std::ceil(float(spread + 2) / move));  // a first touch is a move deep at most
            EXPECT_LE(run.mostFramesInTheWall[i], leaves) << run.name << ": row " << i + 1 << " stays in the wall";
            EXPECT_TRUE(SameTurns(run.turns[i], won.turns[i], std::min(run.frames, won.frames), kSlack))
                << run.name << ": row " << i + 1 << " turns on other frames than in a won run";
        }
    }
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
