// End-to-end flows that play the pilot's route: the win itself, and runs left
// half-way with ESC or the window's close request. The real game in-process
// on the OpenGL renderer at real speed; keys as SDL events.
#include <gtest/gtest.h>

#include "consts.h"
#include "steps.h"

namespace vde2e {
namespace {

// Frames besides the run: start-up, the screens on the way and back.
const long kFramesAroundARun = 3000;
const int kLeaveAt = 400;        // play frame at whose end a run is left
const int kBarStartY = 0;        // the time bar is drawn from y 0 when full
const math::Vector2D kFirstBlobPlace(1130, 1137);  // layout row 1, from map tile 0's corner

class RouteFlow : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(LoadPilotRoute(&route, &error)) << error;
        ASSERT_GE(route.frames.size(), size_t(kLeaveAt));
        // The replay cannot set keys for the run's first frame.
        ASSERT_EQ(route.frames[0], pilot::Input{});
    }

    void StartFirstRun(GameDriver& d) {
        d.Then("the loading picture", LoadingPictureFirst(d));
        d.Then("the language screen", Answer(d, &Recursos::sprIdiomas, "language", "menu_idiomas.jpg", SDLK_p));
        d.Then("the menu", Answer(d, &Recursos::sprMenu, "menu", "menup.jpg", SDLK_j));
        d.Then("the opening", Answer(d, &Recursos::sprAb4, "opening", "abertura4p.jpg", SDLK_SPACE));
    }

    int frames() const { return int(route.frames.size()); }

    pilot::Route route;
};

// Where the time bar was drawn in this frame (its top edge), or -1.
int BarY(const Frame& f) {
    Draw bar;
    return f.drawn(f.game->r.sprB, &bar) ? bar.y : -1;
}

TEST_F(RouteFlow, PilotRouteWinsTheFirstRun) {
    GameDriver d("win");
    int wonAt = 0;
    StartFirstRun(d);
    const int n = frames();
    d.Then("the route replayed", Replay(d, route, n, {2, 1000, 3000, 5000, 7000, 9000, n - 1}));
    d.Then("the win screen", [&](const Frame& f) {
        if (f.playFrameEnded && f.playFrame >= n) d.Fail("the route's last frame ended without a win");
        if (f.screen() == f.game->r.sprMorte) d.Fail("lost at play frame " + std::to_string(f.playFrame));
        if (!f.ready(f.game->r.sprGanhou)) return false;
        wonAt = f.playFrame;
        d.ReleaseAll();
        d.ExpectShows("won", "ganhoup.jpg");
        d.Tap(SDLK_SPACE);
        return true;
    });
    d.Then("the menu after the win", Answer(d, &Recursos::sprMenu, "menu-after-win", "menup.jpg", SDLK_s));
    int status = d.Play(n + kFramesAroundARun);
    d.PrintMeasurements();
    EXPECT_EQ(d.failure(), "");
    EXPECT_EQ(status, SAIDA_NORMAL);
    EXPECT_EQ(wonAt, n) << "the pilot won in play frame " << n;
}

TEST_F(RouteFlow, EscapeReturnsToTheMenuAndTheNextRunResumesThereWithAFullTimeBar) {
    GameDriver d("escape");
    math::Vector2D left, atMenu, blobAtMenu, atOpening, afterFirstFrame;
    int barWhenLeft = -1, barFirstFrame = -1;
    StartFirstRun(d);
    d.Then("the route's first frames", Replay(d, route, kLeaveAt, {kLeaveAt - 1}));
    d.Then("ESC", AtPlayFrame(d, kLeaveAt, [&](const Frame& f) {
               left = vecPosicao;
               barWhenLeft = BarY(f);
               d.ReleaseAll();
               d.Tap(SDLK_ESCAPE);
           }));
    d.Then("the menu after ESC", Answer(d, &Recursos::sprMenu, "menu-after-escape", "menup.jpg", SDLK_j,
                                        [&](const Frame& f) {
                                            atMenu = vecPosicao;
                                            blobAtMenu = f.game->inimigos.at(0)->getPosicao();
                                        }));
    d.Then("the next run's opening", Answer(d, &Recursos::sprAb4, "opening-again", "abertura4p.jpg", SDLK_SPACE,
                                            [&](const Frame&) { atOpening = vecPosicao; }));
    d.Then("the next run's first frame", AtPlayFrame(d, 1, [&](const Frame& f) {
               afterFirstFrame = vecPosicao;
               barFirstFrame = BarY(f);
               d.Keep("resumed", d.Capture());
               d.Tap(SDLK_ESCAPE);
           }));
    d.Then("the menu after the second ESC", Answer(d, &Recursos::sprMenu, "menu-again", "menup.jpg", SDLK_s));
    int status = d.Play(kLeaveAt + 2 * kFramesAroundARun);
    ASSERT_EQ(d.failure(), "");
    EXPECT_EQ(status, SAIDA_NORMAL);
    EXPECT_NE(left, posini);
    EXPECT_EQ(atMenu, left);
    EXPECT_EQ(atOpening, left);
    EXPECT_EQ(blobAtMenu, left + kFirstBlobPlace);
    EXPECT_FLOAT_EQ(afterFirstFrame.y, left.y);
    // 2 px of drift, or 18 px back when the heart (its phase carries over) beats.
    EXPECT_TRUE(afterFirstFrame.x == left.x - 2 || afterFirstFrame.x == left.x + 18) << afterFirstFrame;
    EXPECT_GT(barWhenLeft, kBarStartY);
    EXPECT_EQ(barFirstFrame, kBarStartY);
}

TEST_F(RouteFlow, CloseRequestDuringPlayReturnsToTheMenu) {
    GameDriver d("close");
    math::Vector2D left, atMenu;
    StartFirstRun(d);
    d.Then("the route's first frames", Replay(d, route, kLeaveAt, {}));
    d.Then("the close request", AtPlayFrame(d, kLeaveAt, [&](const Frame&) {
               left = vecPosicao;
               d.ReleaseAll();
               d.RequestClose();
           }));
    d.Then("the menu after the close request",
           Answer(d, &Recursos::sprMenu, "menu-after-close", "menup.jpg", SDLK_s,
                  [&](const Frame&) { atMenu = vecPosicao; }));
    int status = d.Play(kLeaveAt + kFramesAroundARun);
    ASSERT_EQ(d.failure(), "");
    EXPECT_EQ(status, SAIDA_NORMAL);
    EXPECT_EQ(atMenu, left);
}

}  // namespace
}  // namespace vde2e
