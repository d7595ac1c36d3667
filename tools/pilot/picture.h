// The route drawn over an overview of the vessel: the ten visible map tiles
// scaled down, five to a row, the blobs' layout places, the path of the
// nanobot's collision picture frame by frame and the finish line.
#ifndef VD_PILOT_PICTURE_H
#define VD_PILOT_PICTURE_H

#include <string>
#include <vector>

#include "Recursos.h"
#include "route.h"

namespace pilot {

// Where the nanobot's collision picture was (top-left, map pixels) in one
// frame, and the input of that frame.
struct RoutePoint {
    float mapX, mapY;
    Input input;
};

// Writes the overview as an RGB PNG; false (with the reason) when it cannot.
// `nanoW` × `nanoH` is the collision picture's size; `finishMapX` the map x the
// picture must pass to win.
bool WriteRoutePicture(const std::string& path, const Recursos& r, const std::vector<RoutePoint>& points,
                       int nanoW, int nanoH, float finishMapX, std::string* error);

}  // namespace pilot

#endif
