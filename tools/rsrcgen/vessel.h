// The level's blood vessel: one long lumen across the ten map tiles, shaped
// around the fixed blob layout of a run. The visible tiles, the collision
// pictures and the previews all read the same geometry from here, so what the
// player sees is what the game tests.
#ifndef RSRCGEN_VESSEL_H
#define RSRCGEN_VESSEL_H

namespace vessel {

constexpr int kTileWidth = 2048;   // fixed by the game: tile i lies at map x 2048 * i
constexpr int kTileHeight = 2048;  // keeps each picture's larger side at 2048
constexpr int kTiles = 10;
constexpr int kMapWidth = kTileWidth * kTiles;

// One blob of a run, in map pixels (top-left of its frame); vy in px/s.
struct Blob {
    bool fixed;
    int x, y, vy;
};
constexpr int kBlobCount = 44;
extern const Blob kBlobs[kBlobCount];
constexpr int kFixedSide = 80;                    // fixed-blob frames (also every blob's bounce mask)
constexpr int kMovingWidth = 70, kMovingHeight = 60;

// Where the game tests the nanobot's 60x58 collision picture at the start: screen
// (482, 355) with the map's top-left at (-250, -650).
constexpr int kNanoStartX = 732, kNanoStartY = 1005;
constexpr int kNanoMaskWidth = 60, kNanoMaskHeight = 58;

// The win: the map pushed past x -19200 puts the nanobot's picture at map x 19682.
constexpr int kWinMaskX = 19682;

// y of the top and bottom wall surfaces at map column x (0 <= x < kMapWidth).
double Top(int x);
double Bottom(int x);
// Distance from (x, y) to the nearest wall surface along its normal: positive in
// the free lumen, negative inside the wall and the tissue around it.
double Depth(double x, double y);
// As Depth, and how the nearest surface faces: +1 a ceiling (facing down into
// the lumen), -1 a floor, in between on the closed start's curve.
double Depth(double x, double y, double* facing);
// The collision picture marks as wall everything deeper than this inside the
// visible wall edge, so a graze of the glossy rim is forgiven.
constexpr double kCollisionEdge = -1.5;
// Height of the closed start's centre (where the injection catheter ends).
double CapCentreY();
constexpr double kCapTipX = 530.0;

inline bool Solid(double x, double y) { return Depth(x, y) < kCollisionEdge; }

// Lumen opacity ramps from see-through to opaque over this stretch: past it the
// far background no longer reaches the screen's right edge.
constexpr int kOpaqueFrom = 17700, kOpaqueTo = 18300;

}  // namespace vessel

#endif
