// Steps the end-to-end flows share: answering a screen once it waits for a
// key, and replaying the pilot's route frame by frame.
#ifndef VD_E2E_STEPS_H
#define VD_E2E_STEPS_H

#include <functional>
#include <string>
#include <vector>

#include "driver.h"

namespace vde2e {

// A screen picture of the session, named by its field.
using ScreenPicture = unsigned int Recursos::*;

// The first frame shows the loading picture.
GameDriver::Step LoadingPictureFirst(GameDriver& d);

// Waits until `picture` is on screen and waiting for a key, checks the frame
// shows rsrc/`file` (kept as `name`), runs `also` and taps `key`. Fails at once
// when another transition screen comes up instead, or a run ends on the way.
GameDriver::Step Answer(GameDriver& d, ScreenPicture picture, const std::string& name, const std::string& file,
                        SDLKey key, std::function<void(const Frame&)> also = nullptr);

// From the run's first play frame on: at the end of play frame k the keys of
// frame k + 1 are set from the route, up to play frame `last`; done once the
// keys of `last` are set. Keeps a capture at the end of each play frame listed
// in `keep`. Fails when the run ends before.
GameDriver::Step Replay(GameDriver& d, const pilot::Route& route, int last, std::vector<int> keep);

// Waits for the end of play frame `k` of the current run, then runs `act`.
// Fails when the run ends before.
GameDriver::Step AtPlayFrame(GameDriver& d, int k, std::function<void(const Frame&)> act);

// The name of a screen picture of the session, for messages.
std::string ScreenName(const Frame& f, unsigned int picture);

}  // namespace vde2e

#endif
