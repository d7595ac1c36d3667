// The measures the human-like player and the survey are built on, on shapes
// of the tests' own: the heights left beside a cut, where two pictures block
// each other, how far the nanobot can get from frame to frame, and the
// narrowest places and the room per tile of a profile.
#include <gtest/gtest.h>

#include <vector>

#include "Nivel.h"
#include "sight.h"
#include "survey.h"

namespace {

using pilot::Span;

std::vector<Span> Pieces(const Span& from, const Span& cut) {
    std::vector<Span> out;
    pilot::Subtract(from, cut, &out);
    return out;
}

bool Same(const std::vector<Span>& a, const std::vector<Span>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].lo != b[i].lo || a[i].hi != b[i].hi) return false;
    return true;
}

TEST(Spans, SubtractKeepsTheWholePixelsOutsideTheCut) {
    const Span from{0, 100};
    struct Case {
        Span cut;
        std::vector<Span> left;
    };
    const Case cases[] = {
        {{40, 60}, {{0, 39}, {61, 100}}},  // inside: two pieces
        {{-10, 10}, {{11, 100}}},          // over the low end
        {{90, 120}, {{0, 89}}},            // over the high end
        {{101, 120}, {{0, 100}}},          // just past it: untouched
        {{-5, -1}, {{0, 100}}},
        {{0, 0}, {{1, 100}}},              // one pixel at the end
        {{0, 100}, {}},                    // all of it
        {{-10, 200}, {}},
    };
    for (const Case& c : cases) EXPECT_TRUE(Same(Pieces(from, c.cut), c.left)) << c.cut.lo << ".." << c.cut.hi;
}

// A picture given as the first and last solid row of each column.
pilot::ColumnSpans Columns(const std::vector<std::pair<int, int>>& rows) {
    pilot::ColumnSpans s;
    for (const auto& r : rows) {
        s.first.push_back(r.first);
        s.last.push_back(r.second);
    }
    return s;
}

TEST(Spans, BlockingHoldsTheTopsAtWhichTwoPicturesTouch) {
    const pilot::ColumnSpans square = Columns(std::vector<std::pair<int, int>>(10, {0, 9}));
    const pilot::ColumnSpans small = Columns(std::vector<std::pair<int, int>>(5, {0, 4}));
    // An empty column (first > last) and a short one.
    const pilot::ColumnSpans notched = Columns({{0, 9}, {1, 0}, {3, 6}});
    const pilot::ColumnSpans dot = Columns({{0, 1}});
    struct Case {
        const pilot::ColumnSpans *a, *b;
        int dx;
        Span touching;  // lo > hi: none
    };
    const Case cases[] = {
        {&square, &small, -5, {1, 0}},   // side by side on the left
        {&square, &small, -4, {-4, 9}},  // one column over
        {&square, &small, 0, {-4, 9}},
        {&square, &small, 9, {-4, 9}},
        {&square, &small, 10, {1, 0}},   // side by side on the right
        {&notched, &dot, 0, {-1, 9}},
        {&notched, &dot, 1, {1, 0}},     // over the empty column
        {&notched, &dot, 2, {2, 6}},
        {&notched, &dot, 3, {1, 0}},
    };
    for (const Case& c : cases) {
        Span s = pilot::Blocking(*c.a, *c.b).At(c.dx);
        if (c.touching.lo > c.touching.hi) {
            EXPECT_GT(s.lo, s.hi) << "dx " << c.dx;
        } else {
            EXPECT_EQ(s.lo, c.touching.lo) << "dx " << c.dx;
            EXPECT_EQ(s.hi, c.touching.hi) << "dx " << c.dx;
        }
    }
}

TEST(Reach, TheNanobotMovesAtMostOneAndAHalfPixelsAFrame) {
    // From a top at 100, each frame's free heights in turn, and whether some
    // height is still reached after each.
    struct Case {
        std::vector<std::vector<Span>> frames;
        std::vector<bool> reached;
    };
    const Case cases[] = {
        {{{{102, 200}}}, {false}},                                      // 2 px away in one frame
        {{{{101, 200}}, {{103, 200}}}, {true, true}},                   // 1 px, then 3 px in two
        {{{{101, 200}}, {{103, 200}}, {{105, 200}}}, {true, true, false}},
        {{{{0, 99}}, {{0, 90}}}, {true, false}},                        // up as well
        {{{{50, 60}, {99, 99}}, {{95, 105}}}, {true, true}},            // one of several pieces
    };
    for (const Case& c : cases) {
        pilot::Reach reach;
        reach.Start({{100, 100}});
        for (size_t f = 0; f < c.frames.size(); ++f) {
            reach.Step(c.frames[f]);
            EXPECT_EQ(!reach.Empty(), c.reached[f]) << "frame " << f + 1 << " of case " << (&c - cases);
        }
    }
}

// A profile from map x 2000 to 4200: 500 px of room, 100 px at x 3000, 50 px
// at 3100 and 60 px at 4150; the moving blobs take 10 px more everywhere.
pilot::Profile SampleProfile() {
    pilot::Profile p;
    p.firstX = 2000;
    for (int x = 2000; x <= 4200; ++x) {
        int room = x == 3000 ? 100 : (x == 3100 ? 50 : (x == 4150 ? 60 : 500));
        p.walls.push_back(room);
        p.plaque.push_back(room);
        p.drift.push_back(room - 10);
    }
    return p;
}

TEST(Survey, NarrowestPlacesComeNarrowestFirstAndApart) {
    const pilot::Profile p = SampleProfile();
    std::vector<pilot::Place> n = pilot::Narrowest(p, 3, 400);
    ASSERT_EQ(n.size(), 3u);
    EXPECT_EQ(n[0].x, 3100);
    EXPECT_EQ(n[0].room, 50);
    EXPECT_EQ(n[1].x, 4150);  // x 3000 lies within 400 px of 3100
    EXPECT_EQ(n[1].room, 60);
    EXPECT_EQ(n[2].x, 2000);  // of the places alike, the first along the run
    EXPECT_EQ(n[2].room, 500);
}

TEST(Survey, RoomPerTileTakesTheTilesThePartOfTheRunCrosses) {
    const pilot::Profile p = SampleProfile();
    std::vector<pilot::TileRoom> tiles = pilot::RoomPerTile(p);
    ASSERT_EQ(tiles.size(), 3u);  // x 2000..2047 in tile 1, then tiles 2 and 3
    struct Expected {
        int tile, least, leastX, median, medianDrift;
    };
    const Expected expected[] = {{1, 500, 2000, 500, 490}, {2, 50, 3100, 500, 490}, {3, 60, 4150, 500, 490}};
    for (size_t i = 0; i < tiles.size(); ++i) {
        EXPECT_EQ(tiles[i].tile, expected[i].tile);
        EXPECT_EQ(tiles[i].least, expected[i].least) << "tile " << tiles[i].tile;
        EXPECT_EQ(tiles[i].leastX, expected[i].leastX) << "tile " << tiles[i].tile;
        EXPECT_EQ(tiles[i].median, expected[i].median) << "tile " << tiles[i].tile;
        EXPECT_EQ(tiles[i].medianDrift, expected[i].medianDrift) << "tile " << tiles[i].tile;
    }
}

}  // namespace
