// The pilot's search for a winning route: depth-first over short stretches of
// frames with one input each, trying first what a steering rule suggests
// (keep the nanobot in the widest free band of the vessel ahead, clear of the
// blobs) and going back to an earlier stretch when every input of one loses.
#ifndef VD_PILOT_SEARCH_H
#define VD_PILOT_SEARCH_H

#include <string>
#include <vector>

#include "route.h"
#include "session.h"

namespace pilot {

// Solid extent of a picture's collision masks (all frames together).
struct Box {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // inclusive; empty when x1 < x0
};

// The vessel as the collision pictures mark it: for every map column the
// first and last free row of its lumen (the free run in the middle of the
// tile's height), in map pixels from map tile 0's top-left corner.
class Lumen {
public:
    // Reads the collision masks of the ten tiles. False when one has no mask.
    bool Build(const Recursos& r, std::string* error);
    int width() const { return int(top_.size()); }
    bool open(int x) const { return x >= 0 && x < width() && top_[size_t(x)] >= 0; }
    int top(int x) const { return top_[size_t(x)]; }
    int bottom(int x) const { return bottom_[size_t(x)]; }

private:
    std::vector<int> top_, bottom_;
};

struct SearchLimits {
    int stretch = 6;                   // frames per decision
    long maxSimulatedFrames = 2000000;  // give up after this many play frames in all (about 20 s)
    // A search that runs into a blob which closes the way whenever a run gets
    // there without stopping starts again after holding space for longer at
    // the start (a stop the depth-first search would reach only by undoing
    // thousands of frames); each try has an equal share of the frames.
    std::vector<int> startWaits{0, 30, 60, 120, 240};
};

struct SearchResult {
    bool won = false;
    Route route;                  // the winning inputs (frame 1 first) when won
    long simulatedFrames = 0;     // play frames run, all branches together
    long backtracks = 0;          // stretches abandoned after every input lost
    // Where the search got stuck when it did not win: the furthest frame any
    // branch reached, the nanobot's map position there, and how the tries from
    // that frontier ended.
    int furthestFrame = 0;
    float furthestMapX = 0, furthestMapY = 0;
    long blobLosses = 0, wallLosses = 0, timeLosses = 0;
    std::string failure;
};

// Searches from the session's current state (the start of a run), once per
// start wait, until one wins. The first play frame always has no keys held:
// a replay cannot press anything before the run's first frame reads its input.
// When none wins the result tells where the last try got stuck.
SearchResult FindRoute(HeadlessSession& session, const Lumen& lumen, const SearchLimits& limits);

// The solid extent of every frame of a sprite set (empty for identifier 0).
Box MaskBox(unsigned int spriteSet);

// Where the nanobot's collision picture has its top-left corner on the map
// for a map position (vecPosicao).
float NanoMapX(const math::Vector2D& position);
float NanoMapY(const math::Vector2D& position);

}  // namespace pilot

#endif
