// A player with a human's limits, playing the real play frame headless. It
// sees only what the screen shows: the vessel's walls inside the window, the
// blobs on screen with the speed of their last two frames, and the heart's
// rhythm once it has felt a beat. It acts on what it saw `delay` frames ago
// and holds each choice of keys for `hold` frames; both vary by up to
// `jitter` frames from one choice to the next.
//
// Each choice is planned some five seconds ahead: paths of held choices (up,
// down or neither, with or without space) are scored by how close they pass
// the walls and the blobs it expects (blobs keep their speed and turn back at
// the walls). It drives on while a path keeps a safe margin; when none does
// and it is blobs that close the way, it waits with space, as few holds as it
// can, keeping off the blobs' columns and further off a blob coming at it.
//
// Two ways of planning:
//   anticipating  knows the keys it has already chosen but that have not
//                 acted yet on what it saw, and plans from where they take it;
//   reactive      plans as if its keys acted on the screen it saw, that is
//                 from a picture `delay` frames old.
#ifndef VD_PILOT_PLAYER_H
#define VD_PILOT_PLAYER_H

#include <cstdio>
#include <string>

#include "session.h"
#include "sight.h"

namespace pilot {

enum class Planning { kAnticipating, kReactive };

struct PlayerStyle {
    Planning planning = Planning::kAnticipating;
    int delay = 15;           // frames between a screen and the keys chosen on it
    int hold = 10;            // frames every choice of keys is held
    int jitter = 0;           // each delay and hold is off by up to this many frames, either way
    unsigned seed = 1;        // of the jitter
    bool spaceAllowed = true;
    FILE* trace = nullptr;    // when set, every choice is written there, one line each
};

struct RunOutcome {
    ResultadoQuadro end = QUADRO_SEGUE;  // QUADRO_GANHOU, or how the run was lost
    int frames = 0;                      // play frames of the run, the last one included
    int spaceFrames = 0;                 // frames with space held
    // The nanobot's collision picture (top-left, map pixels) in the frame before the end.
    float mapX = 0, mapY = 0;
    int blobRow = -1;                    // layout row (0-based) of the blob touched, -1 for none
    Route keys;                          // the keys held, frame by frame
    bool Won() const { return end == QUADRO_GANHOU; }
    int Tile() const;                    // map tile (1 to 10) of mapX
};

// Plays one run from `start` (the session is put back there first) to its end.
RunOutcome PlayLikeAHuman(HeadlessSession& session, const Snapshot& start, const Sight& sight,
                          const PlayerStyle& style);

// Where the nanobot's picture is (map x, left edge) after `frames` play frames
// of a run that never holds space (the heart's first beat comes at frame 180).
int DrivenX(int frames);

// One line: "won in N frames ..." or "lost on ... at map x ..., tile ...".
std::string Describe(const RunOutcome& outcome);
// "anticipating" or "reactive".
const char* PlanningName(Planning p);

}  // namespace pilot

#endif
