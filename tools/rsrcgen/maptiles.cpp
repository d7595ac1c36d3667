// The ten map tiles and their collision pictures.
//
// A visible tile is opaque tissue and wall around a see-through lumen: the far
// background shows through the blood plasma, which gives the vessel depth as
// the two layers scroll at different speeds. Towards the end the lumen turns
// opaque, where the far background no longer reaches the right of the screen.
// The collision picture is two-colour: wall solid, lumen transparent.
#include <cmath>
#include <cstdio>
#include <vector>

#include "encode.h"
#include "noise.h"
#include "rsrcgen.h"
#include "vessel.h"

namespace {

using vessel::kTileHeight;
using vessel::kTileWidth;

const Rgb kPlasma{0.46, 0.05, 0.08}, kPlasmaEdge{0.66, 0.13, 0.15};
const Rgb kFarBehind{0.26, 0.035, 0.06};  // what the opaque stretch of lumen stands in for
const Rgb kRim{1.0, 0.70, 0.70}, kIntima{0.86, 0.34, 0.38}, kMedia{0.60, 0.13, 0.19};
const Rgb kAdventitia{0.34, 0.06, 0.10}, kTissueDeep{0.14, 0.02, 0.05};
const Rgb kCapillary{0.78, 0.14, 0.17}, kFat{0.80, 0.62, 0.36};
const Rgb kGoalLight{1.0, 0.72, 0.68};
const uint8_t kCollisionWall[3] = {96, 12, 24};

constexpr double kRimWidth = 6.0;
// Where the finish light stands: the nanobot's centre when the run is won.
constexpr double kGoalX = vessel::kWinMaskX + vessel::kNanoMaskWidth / 2.0;

double WallThickness(double x) { return 58.0 + 16.0 * Noise1(x / 350.0, 81); }

// 0 over most of the level, 1 where the lumen must be opaque.
double OpaqueShare(double x) { return SmoothStep(vessel::kOpaqueFrom, vessel::kOpaqueTo, x); }

// Slow tissue noise sampled every few pixels of a tile and interpolated: the
// tissue is most of each tile, and its noise is smooth at that scale, so this
// costs a tenth of sampling it at every pixel and looks the same.
class TissueNoise {
public:
    explicit TissueNoise(int tile) : x0_(double(tile) * kTileWidth), cols_(kTileWidth / kStep + 1) {
        size_t n = size_t(cols_) * size_t(kTileHeight / kStep + 1);
        cells_.resize(n);
        lobes_.resize(n);
        veins_.resize(n);
        for (int j = 0; j <= kTileHeight / kStep; ++j)
            for (int i = 0; i < cols_; ++i) {
                double x = x0_ + i * kStep, y = j * kStep;
                size_t k = size_t(j) * size_t(cols_) + size_t(i);
                cells_[k] = float(Fbm2(x / 64.0, y / 64.0, 51, 3));
                lobes_[k] = float(Fbm2(x / 150.0, y / 150.0, 71, 2));
                veins_[k] = float(Fbm2(x / 430.0, y / 430.0, 61, 4));
            }
    }
    // Values at pixel (i, y) of the tile.
    void At(int i, int y, double& cells, double& lobe, double& vein) const {
        int gi = i / kStep, gj = y / kStep;
        double tx = double(i % kStep) / kStep, ty = double(y % kStep) / kStep;
        size_t k = size_t(gj) * size_t(cols_) + size_t(gi);
        cells = Bilinear(cells_, k, tx, ty);
        lobe = Bilinear(lobes_, k, tx, ty);
        vein = Bilinear(veins_, k, tx, ty);
    }

private:
    static constexpr int kStep = 4;
    double Bilinear(const std::vector<float>& v, size_t k, double tx, double ty) const {
        double top = v[k] + (v[k + 1] - v[k]) * tx;
        double bottom = v[k + size_t(cols_)] + (v[k + size_t(cols_) + 1] - v[k + size_t(cols_)]) * tx;
        return top + (bottom - top) * ty;
    }
    double x0_;
    int cols_;
    std::vector<float> cells_, lobes_, veins_;
};

void ShadeLumen(double x, double y, double d, Rgb& c, double& a) {
    double edge = 1.0 - SmoothStep(0.0, 80.0, d);
    double flow = Fbm2(x / 300.0, y / 42.0, 31, 3);
    c = Scale(Mix(kPlasma, kPlasmaEdge, edge * 0.7), 0.86 + 0.28 * flow);
    a = 0.36 + 0.56 * std::pow(edge, 1.6) + 0.08 * flow;
    double goal = SmoothStep(kGoalX - 700.0, kGoalX + 500.0, x);
    if (goal > 0) c = Mix(c, kGoalLight, goal * (0.12 + 0.22 * (1 - edge)));
    double opaque = OpaqueShare(x);
    if (opaque > 0) {
        // Fold a plain far-background colour under the plasma so the look stays the same.
        double under = (1 - a) * opaque;
        double na = a + under;
        Rgb behind = goal > 0 ? Mix(kFarBehind, kGoalLight, goal * 0.25) : kFarBehind;
        c = {(c.r * a + behind.r * under) / na, (c.g * a + behind.g * under) / na, (c.b * a + behind.b * under) / na};
        a = na;
    }
}

void ShadeWall(double x, double d, double facing, double cells, double lobe, double vein, Rgb& c) {
    double inside = -d;  // how far into the wall
    // Light comes from above: floors catch it, ceilings are in shade.
    double light = 0.97 - 0.11 * facing;
    if (inside < kRimWidth) {
        double t = inside / kRimWidth;
        double gloss = std::exp(-std::pow((inside - 1.8) / 1.4, 2));
        c = Mix(Mix(kIntima, kRim, 0.55 * light), kIntima, t);
        c = Mix(c, {1, 0.9, 0.9}, 0.45 * gloss * light);
        return;
    }
    double thick = WallThickness(x);
    if (inside < thick) {
        double t = (inside - kRimWidth) / (thick - kRimWidth);
        double bands = Noise2(x / 60.0, inside / 4.2, 41);
        c = Mix(kIntima, kMedia, SmoothStep(0.0, 0.45, t));
        c = Mix(c, kAdventitia, SmoothStep(0.45, 1.0, t));
        c = Scale(c, (0.86 + 0.24 * bands) * light);
        return;
    }
    double beyond = inside - thick;
    c = Mix(kAdventitia, kTissueDeep, SmoothStep(0.0, 280.0, beyond));
    c = Scale(c, 0.8 + 0.36 * cells);
    // Now and then a little fat in the tissue, a hint of what clogs the vessel.
    c = Mix(c, Scale(kFat, 0.45 + 0.3 * cells), SmoothStep(0.72, 0.80, lobe) * 0.28);
    double line = 1.0 - SmoothStep(0.003, 0.008, std::fabs(vein - 0.5));
    c = Mix(c, kCapillary, line * (0.55 - 0.3 * SmoothStep(0.0, 500.0, beyond)));
}

Raster ShadeTile(int tile) {
    Raster r(kTileWidth, kTileHeight);
    const TissueNoise noise(tile);
    const double x0 = double(tile) * kTileWidth;
    for (int y = 0; y < kTileHeight; ++y)
        for (int i = 0; i < kTileWidth; ++i) {
            double x = x0 + i + 0.5, yy = y + 0.5;
            double facing;
            double d = vessel::Depth(x, yy, &facing);
            Rgb c;
            double a = 1.0;
            if (d >= 0) {
                ShadeLumen(x, yy, d, c, a);
            } else {
                double cells, lobe, vein;
                noise.At(i, y, cells, lobe, vein);
                ShadeWall(x, d, facing, cells, lobe, vein, c);
            }
            r.Set(i, y, c, a);
        }
    return r;
}

// A red blood cell seen at an angle: a disc with a paler dimple.
void DrawCell(cairo_t* cr, double x, double y, double radius, double squash, double angle, double alpha) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    cairo_scale(cr, 1.0, squash);
    cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0, 0, 0, radius);
    cairo_pattern_add_color_stop_rgba(p, 0.0, 0.78, 0.22, 0.22, alpha * 0.55);
    cairo_pattern_add_color_stop_rgba(p, 0.45, 0.72, 0.10, 0.12, alpha * 0.75);
    cairo_pattern_add_color_stop_rgba(p, 0.85, 0.86, 0.16, 0.17, alpha);
    cairo_pattern_add_color_stop_rgba(p, 1.0, 0.55, 0.05, 0.08, 0.0);
    cairo_set_source(cr, p);
    cairo_arc(cr, 0, 0, radius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

// Cells carried along in the plasma: a nearer layer than the far background.
void DrawLumenCells(cairo_t* cr, int tile) {
    Rng rng(1000 + uint64_t(tile));
    const double x0 = double(tile) * kTileWidth;
    for (int n = 0; n < 55;) {
        double x = rng.Range(0, kTileWidth), y = rng.Range(0, kTileHeight);
        double radius = rng.Range(9, 16);
        double squash = rng.Range(0.35, 1.0), angle = rng.Range(0, M_PI);
        if (vessel::Depth(x0 + x, y) < radius + 10) continue;
        DrawCell(cr, x, y, radius, squash, angle, rng.Range(0.35, 0.6));
        ++n;
    }
}

// Where the lumen is opaque the far background cannot show: paint faint,
// blurred far cells into the plasma instead so the look does not change.
void DrawStandInFarCells(cairo_t* cr, int tile) {
    Rng rng(2000 + uint64_t(tile));
    const double x0 = double(tile) * kTileWidth;
    for (int n = 0; n < 700; ++n) {
        double x = rng.Range(0, kTileWidth), y = rng.Range(0, kTileHeight), radius = rng.Range(9, 30);
        double share = OpaqueShare(x0 + x);
        if (share <= 0 || vessel::Depth(x0 + x, y) < 4) continue;
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_rotate(cr, rng.Range(0, M_PI));
        cairo_scale(cr, 1.0, rng.Range(0.4, 1.0));
        cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0, 0, 0, radius);
        double a = 0.5 * share;
        cairo_pattern_add_color_stop_rgba(p, 0.0, 0.5, 0.06, 0.09, a * 0.5);
        cairo_pattern_add_color_stop_rgba(p, 0.75, 0.66, 0.12, 0.14, a);
        cairo_pattern_add_color_stop_rgba(p, 1.0, 0.5, 0.06, 0.09, 0.0);
        cairo_set_source(cr, p);
        cairo_arc(cr, 0, 0, radius, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
        cairo_restore(cr);
    }
}

// The catheter that put the nanobot in: it enters through the closed start.
void DrawCatheter(cairo_t* cr) {
    const double y = vessel::CapCentreY(), radius = 17, tip = vessel::kCapTipX + 38;
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y - radius, 0, y + radius);
    cairo_pattern_add_color_stop_rgb(p, 0.0, 0.35, 0.38, 0.42);
    cairo_pattern_add_color_stop_rgb(p, 0.3, 0.92, 0.94, 0.97);
    cairo_pattern_add_color_stop_rgb(p, 0.55, 0.62, 0.66, 0.72);
    cairo_pattern_add_color_stop_rgb(p, 1.0, 0.22, 0.24, 0.28);
    cairo_set_source(cr, p);
    RoundedRect(cr, 330, y - radius, tip - 330, 2 * radius, 6);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgb(cr, 0.08, 0.09, 0.11);
    cairo_save(cr);
    cairo_translate(cr, tip - 3, y);
    cairo_scale(cr, 0.35, 1.0);
    cairo_arc(cr, 0, 0, radius - 4, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_fill(cr);
    // Rings of the catheter's tip.
    for (double rx : {tip - 26.0, tip - 14.0}) {
        cairo_set_source_rgba(cr, 0.1, 0.7, 0.9, 0.9);
        cairo_rectangle(cr, rx, y - radius, 4, 2 * radius);
        cairo_fill(cr);
    }
}

// The finish: a band of light across the lumen where the run is won.
void DrawGoal(cairo_t* cr, int tile) {
    const double x = kGoalX - double(tile) * kTileWidth;
    const double top = vessel::Top(int(kGoalX)), bottom = vessel::Bottom(int(kGoalX));
    cairo_pattern_t* p = cairo_pattern_create_linear(x - 70, 0, x + 70, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.0, 1, 0.95, 0.7, 0.0);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 1, 0.98, 0.85, 0.75);
    cairo_pattern_add_color_stop_rgba(p, 1.0, 1, 0.95, 0.7, 0.0);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, x - 70, top, 140, bottom - top);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    Rng rng(77);
    for (int i = 0; i < 40; ++i) {
        double sy = rng.Range(top + 10, bottom - 10), sx = x + rng.Range(-50, 50), r = rng.Range(1.5, 4);
        cairo_set_source_rgba(cr, 1, 1, 0.9, rng.Range(0.5, 0.95));
        cairo_arc(cr, sx, sy, r, 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

void MakeTile(Output& out, int tile) {
    Raster shaded = ShadeTile(tile);
    Canvas canvas(kTileWidth, kTileHeight);
    canvas.Paint(shaded, 0, 0);
    DrawStandInFarCells(canvas.cr(), tile);
    DrawLumenCells(canvas.cr(), tile);
    if (tile == 0) DrawCatheter(canvas.cr());
    if (tile == vessel::kTiles - 1) DrawGoal(canvas.cr(), tile);
    Raster picture = canvas.ToRaster();
    AvoidColourKey(picture);
    const char* name = kArquivoMapa[tile];
    // Unfiltered at zlib level 6: of the encodings tried, the fastest to decode
    // (10 tiles: 330 ms of CPU against 480 filtered UP at level 3) and the
    // smallest (14.6 MB against 18.1).
    Check(WritePngRgba(out.Rsrc(name), picture, 6, false), out.Rsrc(name));
    out.Keep(name, std::move(picture));

    std::vector<uint8_t> solid(size_t(kTileWidth) * kTileHeight);
    const double x0 = double(tile) * kTileWidth;
    for (int y = 0; y < kTileHeight; ++y)
        for (int i = 0; i < kTileWidth; ++i) solid[size_t(y) * kTileWidth + i] = vessel::Solid(x0 + i + 0.5, y + 0.5);
    name = kArquivoColisao[tile];
    Check(WritePngTwoColour(out.Rsrc(name), kTileWidth, kTileHeight, solid, kCollisionWall), out.Rsrc(name));
}

}  // namespace

void AddMapJobs(std::vector<Job>& jobs) {
    for (int t = 0; t < vessel::kTiles; ++t)
        jobs.push_back({"map tile " + std::to_string(t + 1), 2.0, [t](Output& out) { MakeTile(out, t); }});
}
