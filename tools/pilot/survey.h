// Measurements of the level for tuning it: the room the vessel leaves the
// nanobot along the run (its profile), the narrowest places, the moving blobs
// that can close the way, and how often the human-like player wins by
// planning mode, reaction delay and with or without space.
#ifndef VD_PILOT_SURVEY_H
#define VD_PILOT_SURVEY_H

#include <cstdio>
#include <vector>

#include "player.h"
#include "session.h"
#include "sight.h"

namespace pilot {

// The room, in pixels, at every nanobot x of the run (-1 where closed).
struct Profile {
    int firstX = 0;                  // the nanobot picture's map x at the start of a run
    std::vector<int> walls;          // between the walls alone
    std::vector<int> plaque;         // with the fixed blobs taken out
    std::vector<int> drift;          // with every moving blob at its worst too
    int Size() const { return int(walls.size()); }
};
Profile MeasureProfile(const Sight& sight);

struct TileRoom {
    int tile;          // 1 to 10
    int least, leastX; // the least room past the plaque in the tile's part of the run, and where
    int median;        // the median room past the plaque
    int medianDrift;   // the median room with the moving blobs at their worst too
};
std::vector<TileRoom> RoomPerTile(const Profile& p);

// The `count` narrowest places past the plaque, at least `apart` px apart, narrowest first.
struct Place {
    int x, room;
};
std::vector<Place> Narrowest(const Profile& p, int count, int apart);

// The moving blobs that can close the vessel: somewhere on its drift the blob
// leaves a nanobot that drives on no way past it; waiting is the way through.
struct Closing {
    int row;            // layout row, 0-based
    int fromX, toX;     // nanobot x from where it meets the blob's columns to where it leaves them
    float fromY, toY;   // the blob's tops that close the way
};
std::vector<Closing> ClosingBlobs(const Sight& sight);

// Narrowest places, room per tile and the closing blobs, as a report.
void PrintNarrowest(const Sight& sight, FILE* out);

// For the moving blobs that can close the way: when a run that drives on
// (never holds space) gets past them, entering them earlier or later than a
// run that never held space before (their real bounces, played from the start
// of a run), one by one and all together in their order along the run.
void PrintClosings(const Snapshot& start, const Recursos& r, const Sight& sight, FILE* out);

struct SurveyPlan {
    int runs = 10;
    int hold = 10;
    int jitter = 3;
    unsigned firstSeed = 1;
    std::vector<int> delays{0, 9, 15, 20, 30, 45, 60, 90};
};

struct SurveyRow {
    Planning planning;
    int delay;
    bool spaceAllowed;
    std::vector<RunOutcome> runs;
    int Wins() const;
};

// Plays the plan for both modes, every delay, with and without space; the
// losses are also appended to *losses (for the chart).
std::vector<SurveyRow> RunSurvey(HeadlessSession& session, const Snapshot& start, const Sight& sight,
                                 const SurveyPlan& plan, std::vector<RunOutcome>* losses);
void PrintSurvey(const std::vector<SurveyRow>& rows, FILE* out);

}  // namespace pilot

#endif
