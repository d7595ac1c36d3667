#include "icon.h"

#include <cairo-svg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "encode.h"
#include "sprites.h"

namespace icon {

namespace {

// Every shape is laid out on a square of this many units, scaled to the size
// drawn; the SVG is that square.
constexpr double kUnits = 256;
constexpr double kCentre = kUnits / 2;
constexpr double kBadgeRadius = 124;

// From this size on the icon shows the nanobot exactly as the game draws it.
// Below it the game's rivets, lights and antenna blur into a grey smudge, so a
// plainer nanobot with a larger eye stands in.
constexpr int kGameNanoFrom = 32;
// The game's nanobot: the frame shown, its scale and where its cell's centre lands.
constexpr int kNanoFrame = 0;
constexpr double kNanoScale = 2.3;
constexpr double kNanoAtX = kCentre + 8, kNanoAtY = kCentre + 2;
// Red blood cells drift behind the nanobot from this size on.
constexpr int kBloodCellsFrom = 64;

const Rgb kBloodLight{0.80, 0.14, 0.16};
const Rgb kBloodDark{0.36, 0.02, 0.06};
const Rgb kRim{0.20, 0.0, 0.03};
const Rgb kOutline{0.10, 0.11, 0.15};

// A line at least one pixel wide however small the icon: `px` is one pixel in units.
double LineWidth(double units, double px) { return std::max(units, px); }

// The disc of blood the nanobot swims in, lit from the top left.
void DrawBadge(cairo_t* cr, double px) {
    cairo_pattern_t* p = cairo_pattern_create_radial(kCentre - 30, kCentre - 40, 8, kCentre, kCentre, kBadgeRadius);
    cairo_pattern_add_color_stop_rgb(p, 0, kBloodLight.r, kBloodLight.g, kBloodLight.b);
    cairo_pattern_add_color_stop_rgb(p, 1, kBloodDark.r, kBloodDark.g, kBloodDark.b);
    cairo_set_source(cr, p);
    double lw = LineWidth(5, px);
    cairo_arc(cr, kCentre, kCentre, kBadgeRadius - lw / 2, 0, 2 * M_PI);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    SetColour(cr, kRim);
    cairo_set_line_width(cr, lw);
    cairo_stroke(cr);
}

// A red blood cell seen at a slant: a disc with a pale dimple.
void DrawBloodCell(cairo_t* cr, double cx, double cy, double r, double angle) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    SetColour(cr, {0.62, 0.05, 0.09});
    Ellipse(cr, 0, 0, r, r * 0.62);
    cairo_fill(cr);
    SetColour(cr, {0.92, 0.30, 0.30}, 0.55);
    Ellipse(cr, 0, 0, r * 0.5, r * 0.28);
    cairo_fill(cr);
    cairo_restore(cr);
}

void DrawGameNano(cairo_t* cr) {
    cairo_save(cr);
    cairo_translate(cr, kNanoAtX, kNanoAtY);
    cairo_scale(cr, kNanoScale, kNanoScale);
    cairo_translate(cr, -sprites::kNanoSide / 2.0, -sprites::kNanoSide / 2.0);
    sprites::DrawNano(cr, kNanoFrame);
    cairo_restore(cr);
}

// The nanobot reduced to what reads at 16 px: a propeller stub, a metal hull
// with a dark outline and one large glowing eye.
void DrawPlainNano(cairo_t* cr, double px) {
    const double cx = kCentre + 10, cy = kCentre, rx = 86, ry = 74;
    SetColour(cr, {0.62, 0.66, 0.72});
    cairo_rectangle(cr, cx - rx - 34, cy - 26, 40, 52);
    cairo_fill(cr);
    cairo_pattern_t* hull = cairo_pattern_create_linear(0, cy - ry, 0, cy + ry);
    cairo_pattern_add_color_stop_rgb(hull, 0, 0.96, 0.97, 0.99);
    cairo_pattern_add_color_stop_rgb(hull, 0.6, 0.62, 0.66, 0.73);
    cairo_pattern_add_color_stop_rgb(hull, 1, 0.40, 0.43, 0.50);
    cairo_set_source(cr, hull);
    Ellipse(cr, cx, cy, rx, ry);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(hull);
    SetColour(cr, kOutline);
    cairo_set_line_width(cr, LineWidth(8, px));
    cairo_stroke(cr);
    const double ex = cx + 30, ey = cy - 4, er = 40;
    SetColour(cr, kOutline);
    cairo_arc(cr, ex, ey, er + LineWidth(6, px), 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_t* eye = cairo_pattern_create_radial(ex - 8, ey - 8, 2, ex, ey, er);
    cairo_pattern_add_color_stop_rgb(eye, 0, 0.85, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgb(eye, 1, 0.05, 0.60, 0.85);
    cairo_set_source(cr, eye);
    cairo_arc(cr, ex, ey, er, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(eye);
}

// The whole icon on the unit square; `size` is the pixel size it will show at
// (the SVG gives the largest), which picks the level of detail.
void DrawOn(cairo_t* cr, int size) {
    double px = kUnits / size;
    DrawBadge(cr, px);
    // Nothing spills out of the disc, not even the nanobot's faint aura.
    cairo_save(cr);
    cairo_arc(cr, kCentre, kCentre, kBadgeRadius, 0, 2 * M_PI);
    cairo_clip(cr);
    if (size >= kBloodCellsFrom) {
        DrawBloodCell(cr, 70, 196, 22, 0.5);
        DrawBloodCell(cr, 196, 62, 17, -0.4);
    }
    if (size >= kGameNanoFrom)
        DrawGameNano(cr);
    else
        DrawPlainNano(cr, px);
    cairo_restore(cr);
}

std::string SizeFolder(const std::string& dir, const std::string& size) {
    return dir + "/hicolor/" + size + "/apps";
}

bool MakeFolder(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) fprintf(stderr, "rsrcgen: could not create %s: %s\n", path.c_str(), ec.message().c_str());
    return !ec;
}

bool WriteSvg(const std::string& path) {
    cairo_surface_t* s = cairo_svg_surface_create(path.c_str(), kUnits, kUnits);
    cairo_svg_surface_restrict_to_version(s, CAIRO_SVG_VERSION_1_1);
    cairo_svg_surface_set_document_unit(s, CAIRO_SVG_UNIT_PX);
    cairo_t* cr = cairo_create(s);
    DrawOn(cr, int(kUnits));
    cairo_destroy(cr);
    cairo_surface_finish(s);
    cairo_status_t status = cairo_surface_status(s);
    cairo_surface_destroy(s);
    if (status != CAIRO_STATUS_SUCCESS)
        fprintf(stderr, "rsrcgen: could not write %s: %s\n", path.c_str(), cairo_status_to_string(status));
    return status == CAIRO_STATUS_SUCCESS;
}

}  // namespace

Raster Draw(int size) {
    Canvas c(size, size);
    cairo_scale(c.cr(), size / kUnits, size / kUnits);
    DrawOn(c.cr(), size);
    return c.ToRaster();
}

bool WriteAll(const std::string& dir) {
    bool ok = true;
    for (int size : kSizes) {
        std::string n = std::to_string(size);
        std::string folder = SizeFolder(dir, n + "x" + n);
        ok = MakeFolder(folder) && WritePngRgba(folder + "/" + kName + ".png", Draw(size), 9) && ok;
    }
    std::string folder = SizeFolder(dir, "scalable");
    return MakeFolder(folder) && WriteSvg(folder + "/" + kName + ".svg") && ok;
}

}  // namespace icon
