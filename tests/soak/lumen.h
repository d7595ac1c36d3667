// Where the vessel's free inside lies, read from the collision pictures that
// the game tests the nanobot against (solid pixels are wall). The soak's
// player steers by it; it is no part of the game.
#ifndef VD_SOAK_LUMEN_H
#define VD_SOAK_LUMEN_H

#include "Recursos.h"
#include "brisa2d2.h"

namespace soak {

// Rows [top, bottom] of the map, both inclusive.
struct Run {
    int top = 0, bottom = -1;
    int middle() const { return (top + bottom) / 2; }
    int length() const { return bottom - top + 1; }
};

class Lumen {
public:
    explicit Lumen(const Recursos& r) : r_(r) {}
    // The free run of map column x that holds `row`, else the nearest one;
    // false when the column is outside the map or has no free pixel.
    bool RunAround(int x, int row, Run* run) const;
    // The longest free run of map column x; false as above.
    bool WidestRun(int x, Run* run) const;

private:
    BRZ_BitMask* Column(int x, int* column) const;
    bool Free(BRZ_BitMask* m, int column, int row) const;
    Run Extend(BRZ_BitMask* m, int column, int row) const;
    const Recursos& r_;
};

// Keys that steer the nanobot's centre towards the middle of the free run a
// little ahead of it (none when no wall is known there).
enum class Steer { None, Up, Down };
Steer SteerThroughLumen(const Lumen& lumen);
int KeyFor(Steer s);  // a key of the block that moves the nanobot that way, or -1

}  // namespace soak

#endif
