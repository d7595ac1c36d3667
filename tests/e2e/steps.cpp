#include "steps.h"

#include <algorithm>
#include <cstdio>

#include "consts.h"

namespace vde2e {

namespace {

std::string PlayName(int k) {
    char name[32];
    snprintf(name, sizeof name, "play-%05d", k);
    return name;
}

// A run ended inside a play frame: its loss or win screen came up.
[[noreturn]] void RunEnded(GameDriver& d, const Frame& f) {
    char at[96];
    snprintf(at, sizeof at, " at play frame %d, map position (%.1f, %.1f)", f.playFrame, double(vecPosicao.x),
             double(vecPosicao.y));
    d.Fail("the run ended (" + ScreenName(f, f.screen()) + ")" + at);
}

}  // namespace

std::string ScreenName(const Frame& f, unsigned int picture) {
    if (!f.game || picture == 0) return "nothing";
    const Recursos& r = f.game->r;
    const std::pair<unsigned int, const char*> names[] = {
        {r.sprLoading, "the loading picture"}, {r.sprIdiomas, "the language screen"}, {r.sprMenu, "the menu"},
        {r.sprTuto, "the tutorial page"},      {r.sprEl, "the elements page"},       {r.sprCred, "the credits"},
        {r.sprMorte, "the loss screen"},       {r.sprGanhou, "the win screen"},      {r.sprAb4, "the opening"}};
    for (const auto& n : names)
        if (n.first == picture) return n.second;
    return "sprite set " + std::to_string(picture);
}

GameDriver::Step LoadingPictureFirst(GameDriver& d) {
    return [&d](const Frame& f) {
        if (f.number != 1) d.Fail("the loading picture was not the first frame");
        d.ExpectShows("loading", "loading.jpg");
        return true;
    };
}

GameDriver::Step Answer(GameDriver& d, ScreenPicture picture, const std::string& name, const std::string& file,
                        SDLKey key, std::function<void(const Frame&)> also) {
    return [&d, picture, name, file, key, also](const Frame& f) {
        if (!f.game) return false;
        unsigned int wanted = f.game->r.*picture;
        if (f.ready(wanted)) {
            d.ExpectShows(name, file);
            if (also) also(f);
            d.Tap(key);
            return true;
        }
        bool otherTransition = f.overlayAlpha == 0 && f.screen() != 0 && f.screen() != wanted;
        if (otherTransition && f.playing) RunEnded(d, f);
        if (otherTransition) d.Fail("waiting for " + ScreenName(f, wanted) + ", " + ScreenName(f, f.screen()) + " came up");
        return false;
    };
}

GameDriver::Step Replay(GameDriver& d, const pilot::Route& route, int last, std::vector<int> keep) {
    return [&d, &route, last, keep](const Frame& f) {
        if (!f.playing) return false;  // the opening is still fading out
        if (!f.playFrameEnded) RunEnded(d, f);
        int k = f.playFrame;
        if (std::find(keep.begin(), keep.end(), k) != keep.end()) d.Keep(PlayName(k), d.Capture());
        if (k < last && size_t(k) < route.frames.size()) d.Hold(route.frames[size_t(k)]);
        return k >= last - 1;
    };
}

GameDriver::Step AtPlayFrame(GameDriver& d, int k, std::function<void(const Frame&)> act) {
    return [&d, k, act](const Frame& f) {
        if (f.playing && !f.playFrameEnded) RunEnded(d, f);
        if (!f.playFrameEnded || f.playFrame != k) return false;
        act(f);
        return true;
    };
}

}  // namespace vde2e
