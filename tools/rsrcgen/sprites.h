// The frame sheets and small pictures of the play screen. Each function draws
// one whole sheet (frames side by side, frame 0 on the left) and is pure, so the
// screens that show the game's elements can draw them again.
#ifndef RSRCGEN_SPRITES_H
#define RSRCGEN_SPRITES_H

#include "Nivel.h"
#include "raster.h"

namespace sprites {

// Frame sizes and counts the game cuts the sheets into (Nivel.h).
constexpr int kNanoSide = kFiguraNano.largura, kNanoFrames = kFiguraNano.quadros;
constexpr int kFatWidth = kFiguraObstaculoMovel.largura, kFatHeight = kFiguraObstaculoMovel.altura,
              kFatFrames = kFiguraObstaculoMovel.quadros;
constexpr int kPlaqueSide = kFiguraObstaculoFixo.largura, kPlaqueFrames = kFiguraObstaculoFixo.quadros;
constexpr int kHeartSide = kFiguraCoracao.largura, kHeartFrames = kFiguraCoracao.quadros;
constexpr int kIconWidth = kFiguraSetaBaixo.largura, kIconHeight = kFiguraSetaBaixo.altura,
              kIconFrames = kFiguraSetaBaixo.quadros;

// The nanobot's collision picture, tested with its top-left 50 px right of and
// 51 px below the drawn frame's (so both centre on the same point).
constexpr int kNanoMaskWidth = kNanoColisaoLargura, kNanoMaskHeight = kNanoColisaoAltura;
constexpr int kNanoMaskInFrameX = kNanoColisaoX - (kNanoCentroX - kNanoSide / 2);
constexpr int kNanoMaskInFrameY = kNanoColisaoY - (kNanoCentroY - kNanoSide / 2);

// Time bar: the frame is drawn at (0, 0) over the bar; the bar starts at (0, 0)
// and slides down one pixel per step until y 721. The window shows screen rows
// kWindowTop..kWindowBottom-1 and the bar's liquid starts at its own row
// kWindowTop, so after 721 steps no liquid is left in the window.
constexpr int kBarSteps = 721;
constexpr int kWindowTop = 24, kWindowBottom = kWindowTop + kBarSteps;  // 745
constexpr int kBarFrameWidth = 64, kBarFrameHeight = 768;
constexpr int kWindowLeft = 19, kWindowRight = 45;

Raster NanoSheet();
// Draws one frame of the nanobot as its sheet holds it: a kNanoSide square
// cell with its top-left corner at the origin, the hull centred in the cell.
void DrawNano(cairo_t* cr, int frame);
Raster NanoMask();
Raster FatSheet();
Raster PlaqueSheet();
Raster HeartSheet();     // frame 0 is the contraction: the game beats when it wraps to 0
Raster ArrowSheet(bool up);  // frame 0 lit, frame 1 idle
Raster SpaceSheet(bool portuguese);  // frame 0 idle, frame 1 lit
Raster BarFrame();
Raster Bar();
Raster Black();

// One frame of a sheet laid out in a row.
Raster Frame(const Raster& sheet, int frameWidth, int index);

}  // namespace sprites

#endif
