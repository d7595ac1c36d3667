// The difficulty chart: the vessel as the collision pictures shape it (top
// panel) above the room it leaves the nanobot at every map x of the run
// (bottom panel: walls alone, with the fixed blobs, and with every moving blob
// at its worst), the blobs, the tile borders, the thirds of the run and the
// places where runs were lost.
#ifndef VD_PILOT_CHART_H
#define VD_PILOT_CHART_H

#include <string>
#include <vector>

#include "player.h"
#include "sight.h"

namespace pilot {

// Writes the chart as a PNG; false (with the reason) when it cannot.
bool WriteChart(const std::string& path, const Sight& sight, const std::vector<RunOutcome>& losses,
                std::string* error);

}  // namespace pilot

#endif
