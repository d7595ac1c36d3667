// End-to-end flows through the screens and a run that need no route: the
// real game in-process on the OpenGL renderer, keys as SDL events, at real
// speed. Every screen met is kept as a PNG under test-output/e2e/.
#include <gtest/gtest.h>

#include <memory>

#include "consts.h"
#include "steps.h"

namespace vde2e {
namespace {

const long kShortFlowFrames = 6000;        // frame limit of a flow of screens and a short run
const int kMinuteOfPlay = 3600;            // play frames in a minute
const int kKeptPlayFrame = 120;            // a frame of the idle run worth looking at
const int kIgnoredFrames = 30;             // frames the menu is watched after a key it must ignore
const int kFadeStartFrames = 2;            // a menu choice is read in one frame, the fade starts in the next
const math::Vector2D kMapStart(-250, -650);
const math::Vector2D kFirstBlobPlace(1130, 1137);  // layout row 1, from map tile 0's corner

void StartPortuguese(GameDriver& d, SDLKey menuKey) {
    d.Then("the loading picture", LoadingPictureFirst(d));
    d.Then("the language screen", Answer(d, &Recursos::sprIdiomas, "language", "menu_idiomas.jpg", SDLK_p));
    d.Then("the menu", Answer(d, &Recursos::sprMenu, "menu", "menup.jpg", menuKey));
}

// Watches the waiting menu for a while after a key it must ignore, then taps `next`.
GameDriver::Step Ignores(GameDriver& d, const std::string& key, SDLKey next) {
    auto frames = std::make_shared<int>(0);
    return [&d, key, next, frames](const Frame& f) {
        if (!f.draws.empty() || f.overlayAlpha >= 0) d.Fail("the English menu reacted to " + key);
        if (++*frames < kIgnoredFrames) return false;
        d.Tap(next);
        return true;
    };
}

TEST(E2EFlow, TutorialShowsTheElementsPageThenTheTutorialPage) {
    GameDriver d("tutorial");
    StartPortuguese(d, SDLK_t);
    d.Then("the elements page", Answer(d, &Recursos::sprEl, "elements", "manual3p.jpg", SDLK_SPACE));
    d.Then("the tutorial page", Answer(d, &Recursos::sprTuto, "tutorial", "manual2p.jpg", SDLK_SPACE));
    d.Then("the menu after the tutorial", Answer(d, &Recursos::sprMenu, "menu-after-tutorial", "menup.jpg", SDLK_c));
    d.Then("the credits", Answer(d, &Recursos::sprCred, "credits", "creditosp.jpg", SDLK_SPACE));
    d.Then("the menu after the credits", Answer(d, &Recursos::sprMenu, "menu-after-credits", "menup.jpg", SDLK_s));
    int status = d.Play(kShortFlowFrames);
    d.PrintMeasurements();
    EXPECT_EQ(d.failure(), "");
    EXPECT_EQ(status, SAIDA_NORMAL);
}

TEST(E2EFlow, EnglishMenuIgnoresSAndJ) {
    GameDriver d("english");
    d.Then("the language screen", Answer(d, &Recursos::sprIdiomas, "language", "menu_idiomas.jpg", SDLK_e));
    d.Then("the English menu", Answer(d, &Recursos::sprMenu, "menu", "menue.jpg", SDLK_s));
    d.Then("the menu ignoring S", Ignores(d, "S", SDLK_j));
    d.Then("the menu ignoring J", Ignores(d, "J", SDLK_x));
    auto waited = std::make_shared<int>(0);
    d.Then("the menu fading out after X", [&d, waited](const Frame& f) {
        if (f.drawn(f.game->r.sprMenu) && f.overlayAlpha > 0) return true;
        if (++*waited > kFadeStartFrames) d.Fail("X did not end the English menu");
        return false;
    });
    int status = d.Play(kShortFlowFrames);
    EXPECT_EQ(d.failure(), "");
    EXPECT_EQ(status, SAIDA_NORMAL);
    EXPECT_EQ(idioma, 1);
}

TEST(E2EFlow, IdleRunIsLostWithinAMinuteAndTheNextRunStartsAtTheMapStart) {
    GameDriver d("idle");
    int lostAt = 0;
    math::Vector2D atMenu, atOpening, blobAtOpening, afterFirstFrame;
    StartPortuguese(d, SDLK_j);
    d.Then("the opening", Answer(d, &Recursos::sprAb4, "opening", "abertura4p.jpg", SDLK_SPACE));
    d.Then("a run with no key held, lost within a minute", [&](const Frame& f) {
        if (f.playFrameEnded) {
            if (f.playFrame == kKeptPlayFrame) d.Keep("play-" + std::to_string(kKeptPlayFrame), d.Capture());
            if (f.playFrame > kMinuteOfPlay) d.Fail("still playing after a minute with no key held");
            return false;
        }
        if (!f.playing) return false;
        if (f.screen() == f.game->r.sprGanhou) d.Fail("the run was won with no key held");
        if (!f.ready(f.game->r.sprMorte)) return false;
        lostAt = f.playFrame;
        d.ExpectShows("lost", "perdeup.jpg");
        d.Tap(SDLK_SPACE);
        return true;
    });
    d.Then("the menu after the loss", Answer(d, &Recursos::sprMenu, "menu-after-loss", "menup.jpg", SDLK_j,
                                             [&](const Frame&) { atMenu = vecPosicao; }));
    d.Then("the next run's opening", Answer(d, &Recursos::sprAb4, "opening-again", "abertura4p.jpg", SDLK_SPACE,
                                            [&](const Frame& f) {
                                                atOpening = vecPosicao;
                                                blobAtOpening = f.game->inimigos.at(0)->getPosicao();
                                            }));
    d.Then("the next run's first frame", AtPlayFrame(d, 1, [&](const Frame&) {
               afterFirstFrame = vecPosicao;
               d.Tap(SDLK_ESCAPE);
           }));
    d.Then("the menu after ESC", Answer(d, &Recursos::sprMenu, "menu-after-escape", "menup.jpg", SDLK_s));
    int status = d.Play(kShortFlowFrames);
    d.PrintMeasurements();
    ASSERT_EQ(d.failure(), "");
    EXPECT_EQ(status, SAIDA_NORMAL);
    EXPECT_GT(lostAt, 0);
    EXPECT_EQ(atMenu, kMapStart);
    EXPECT_EQ(atOpening, kMapStart);
    EXPECT_EQ(blobAtOpening, kMapStart + kFirstBlobPlace);
    // The first frame drifts 2 px left, or 18 px right when the heart (whose
    // phase carries over from the lost run) beats in it.
    EXPECT_TRUE(afterFirstFrame == kMapStart + math::Vector2D(-2, 0) ||
                afterFirstFrame == kMapStart + math::Vector2D(18, 0))
        << afterFirstFrame;
}

}  // namespace
}  // namespace vde2e
