// The level's blood vessel: one long lumen across the ten map tiles, shaped
// around the fixed blob layout of a run. The visible tiles, the collision
// pictures and the previews all read the same geometry from here, so what the
// player sees is what the game tests.
#ifndef RSRCGEN_VESSEL_H
#define RSRCGEN_VESSEL_H

#include "Nivel.h"

namespace vessel {

// The level's facts (Nivel.h) under the generator's names. The blob layout
// the vessel is shaped around is kLayout itself.
constexpr int kTileWidth = kLarguraTile;   // tile i lies at map x kTileWidth * i
constexpr int kTileHeight = kAlturaTile;
constexpr int kTiles = kTilesMapa;
constexpr int kMapWidth = kLarguraMapa;

// Where the game tests the nanobot's collision picture at the start of a run,
// on the map, and the map x that picture passes at the win.
constexpr int kNanoStartX = kNanoInicioMapaX, kNanoStartY = kNanoInicioMapaY;
constexpr int kNanoMaskWidth = kNanoColisaoLargura, kNanoMaskHeight = kNanoColisaoAltura;
constexpr int kWinMaskX = kVitoriaMapaX;

// Side vessels crossing the narrow stretch before the finish: tall straight
// shafts down which the drifting blobs of rows 41-44 cross the way now and
// then. A shaft is a rectangle with corners rounded by kSideVesselCorner
// (map pixels), a little wider than its blob and reaching 26 px further
// left: on a beat frame the play frame tests a blob 18 to 20 px left of where
// it is, and a blob that met the shaft's side then would turn back early. A
// shaft so tall lets its blob turn rarely, so when it crosses the way hardly
// depends on how a run went before; the last one (row 44) crosses as a run
// that never holds space gets there. Depth and Solid include them; Top and
// Bottom are the lumen's walls alone.
struct SideVessel {
    double left, right, top, bottom;
};
inline constexpr SideVessel kSideVessels[] = {
    {16186, 16294, 350, 1600}, {16386, 16494, 350, 1600}, {16586, 16694, 350, 1600}, {16786, 16894, 475, 1608}};
constexpr double kSideVesselCorner = 16;

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
