#include "sprites.h"

#include <cmath>

#include "encode.h"
#include "noise.h"
#include "rsrcgen.h"

namespace sprites {

namespace {

// The nanobot's hull fills its collision picture exactly (an ellipse of 60 x 58).
constexpr double kHullRx = kNanoMaskWidth / 2.0, kHullRy = kNanoMaskHeight / 2.0;
constexpr double kNanoCx = kNanoMaskInFrameX + kHullRx, kNanoCy = kNanoMaskInFrameY + kHullRy;

const Rgb kLightCyan{0.35, 0.95, 1.0};

void Glow(cairo_t* cr, double cx, double cy, double radius, Rgb c, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
    cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, alpha);
    cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// --- nanobot -----------------------------------------------------------------

void DrawPropeller(cairo_t* cr, double cx, double cy, int frame) {
    // Three blades seen edge-on turning: their apparent length cycles with the frame.
    cairo_set_source_rgb(cr, 0.30, 0.33, 0.38);
    cairo_rectangle(cr, cx, cy - 3, 12, 6);
    cairo_fill(cr);
    for (int b = 0; b < 3; ++b) {
        double angle = frame * (M_PI / 9.0) + b * (2 * M_PI / 3);
        double len = 17 * std::cos(angle);
        cairo_pattern_t* p = cairo_pattern_create_linear(cx - 4, cy - 17, cx + 4, cy + 17);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.85, 0.88, 0.92);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.40, 0.44, 0.50);
        cairo_set_source(cr, p);
        Ellipse(cr, cx - 1, cy + len / 2, 3.2, std::fabs(len) / 2 + 1);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    Glow(cr, cx - 8, cy, 10, kLightCyan, 0.25);
}

void DrawFins(cairo_t* cr) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, kNanoCy - 40, 0, kNanoCy + 40);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.55, 0.60, 0.68);
    cairo_pattern_add_color_stop_rgb(p, 0.5, 0.30, 0.33, 0.40);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.55, 0.60, 0.68);
    cairo_set_source(cr, p);
    for (int s : {-1, 1}) {
        cairo_move_to(cr, kNanoCx - 18, kNanoCy + s * (kHullRy - 6));
        cairo_line_to(cr, kNanoCx - 30, kNanoCy + s * (kHullRy + 9));
        cairo_line_to(cr, kNanoCx - 22, kNanoCy + s * (kHullRy + 10));
        cairo_line_to(cr, kNanoCx + 2, kNanoCy + s * (kHullRy - 2));
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    cairo_pattern_destroy(p);
}

void DrawHull(cairo_t* cr) {
    // Brushed metal: a vertical gradient with a dark band, then a soft top sheen.
    cairo_pattern_t* p = cairo_pattern_create_linear(0, kNanoCy - kHullRy, 0, kNanoCy + kHullRy);
    cairo_pattern_add_color_stop_rgb(p, 0.00, 0.93, 0.95, 0.98);
    cairo_pattern_add_color_stop_rgb(p, 0.28, 0.72, 0.76, 0.82);
    cairo_pattern_add_color_stop_rgb(p, 0.55, 0.38, 0.42, 0.50);
    cairo_pattern_add_color_stop_rgb(p, 0.78, 0.58, 0.62, 0.70);
    cairo_pattern_add_color_stop_rgb(p, 1.00, 0.22, 0.24, 0.30);
    cairo_set_source(cr, p);
    Ellipse(cr, kNanoCx, kNanoCy, kHullRx - 0.5, kHullRy - 0.5);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_line_width(cr, 1.5);
    cairo_set_source_rgb(cr, 0.12, 0.14, 0.18);
    cairo_stroke(cr);
    // Panel seam and rivets.
    cairo_set_source_rgba(cr, 0.15, 0.17, 0.22, 0.7);
    cairo_set_line_width(cr, 1.2);
    cairo_arc(cr, kNanoCx + 40, kNanoCy, 42, M_PI * 0.78, M_PI * 1.22);
    cairo_stroke(cr);
    for (int i = -2; i <= 2; ++i) {
        cairo_set_source_rgba(cr, 0.95, 0.97, 1.0, 0.8);
        cairo_arc(cr, kNanoCx - 9 + std::abs(i) * 1.5, kNanoCy + i * 8.5, 1.1, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    cairo_pattern_t* sheen = cairo_pattern_create_radial(kNanoCx - 8, kNanoCy - 16, 1, kNanoCx - 8, kNanoCy - 16, 22);
    cairo_pattern_add_color_stop_rgba(sheen, 0, 1, 1, 1, 0.85);
    cairo_pattern_add_color_stop_rgba(sheen, 1, 1, 1, 1, 0);
    cairo_set_source(cr, sheen);
    Ellipse(cr, kNanoCx - 8, kNanoCy - 16, 20, 8);
    cairo_fill(cr);
    cairo_pattern_destroy(sheen);
}

void DrawEye(cairo_t* cr, int frame) {
    double ex = kNanoCx + 13, ey = kNanoCy - 3, r = 12;
    cairo_set_source_rgb(cr, 0.10, 0.12, 0.16);
    cairo_arc(cr, ex, ey, r + 2.5, 0, 2 * M_PI);
    cairo_fill(cr);
    double pulse = 0.75 + 0.25 * std::cos(frame * M_PI / 3);
    cairo_pattern_t* p = cairo_pattern_create_radial(ex + 2, ey, 1, ex, ey, r);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.85 * pulse + 0.15, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgb(p, 0.45, 0.15, 0.75 * pulse, 0.95 * pulse);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.02, 0.15, 0.30);
    cairo_set_source(cr, p);
    cairo_arc(cr, ex, ey, r, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
    Ellipse(cr, ex - 4, ey - 5, 4, 2.5);
    cairo_fill(cr);
}

// Running lights round the lower hull: one chases along the row each frame.
void DrawLights(cairo_t* cr, int frame) {
    const int kLights = 6;
    for (int i = 0; i < kLights; ++i) {
        double a = M_PI * (0.28 + 0.44 * i / (kLights - 1));
        double lx = kNanoCx + (kHullRx - 7) * std::cos(a) * -1.0, ly = kNanoCy + (kHullRy - 6) * std::sin(a);
        bool lit = i == frame % kLights;
        bool trail = i == (frame + kLights - 1) % kLights;
        Rgb c = lit ? Rgb{1.0, 0.97, 0.55} : (trail ? Rgb{1.0, 0.65, 0.2} : Rgb{0.22, 0.2, 0.17});
        if (lit) Glow(cr, lx, ly, 12, {1.0, 0.85, 0.3}, 0.9);
        if (trail) Glow(cr, lx, ly, 8, {1.0, 0.6, 0.2}, 0.6);
        cairo_set_source_rgb(cr, c.r, c.g, c.b);
        cairo_arc(cr, lx, ly, lit ? 3.2 : 2.6, 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

void DrawAntenna(cairo_t* cr, int frame) {
    double bx = kNanoCx - 4, by = kNanoCy - kHullRy + 2;
    cairo_set_source_rgb(cr, 0.35, 0.38, 0.44);
    cairo_set_line_width(cr, 1.6);
    cairo_move_to(cr, bx, by);
    cairo_curve_to(cr, bx - 3, by - 8, bx - 10, by - 12, bx - 14, by - 14);
    cairo_stroke(cr);
    bool on = frame % 3 == 0;
    if (on) Glow(cr, bx - 14, by - 14, 8, {1.0, 0.3, 0.3}, 0.9);
    cairo_set_source_rgb(cr, on ? 1.0 : 0.5, on ? 0.35 : 0.1, on ? 0.3 : 0.1);
    cairo_arc(cr, bx - 14, by - 14, 2.3, 0, 2 * M_PI);
    cairo_fill(cr);
}

void DrawNanoFrame(cairo_t* cr, int frame) {
    // A faint aura keeps the nanobot readable against the red of the vessel.
    Glow(cr, kNanoCx, kNanoCy, 52, {0.45, 0.9, 1.0}, 0.16 + 0.05 * std::cos(frame * M_PI / 3));
    DrawPropeller(cr, kNanoCx - kHullRx - 8, kNanoCy, frame);
    DrawFins(cr);
    DrawHull(cr);
    DrawEye(cr, frame);
    DrawLights(cr, frame);
    DrawAntenna(cr, frame);
}

// --- blobs ---------------------------------------------------------------------

// A closed wobbly outline around (cx, cy): radii modulated by a few lobes.
void Blobby(cairo_t* cr, double cx, double cy, double rx, double ry, double phase, double wobble) {
    const int kSteps = 96;
    for (int i = 0; i <= kSteps; ++i) {
        double t = 2 * M_PI * i / kSteps;
        double k = 1 + wobble * (0.6 * std::sin(3 * t + phase) + 0.4 * std::sin(5 * t - 1.7 * phase));
        double x = cx + rx * k * std::cos(t), y = cy + ry * k * std::sin(t);
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
}

void DrawFatFrame(cairo_t* cr, int frame) {
    const double cx = kFatWidth / 2.0, cy = kFatHeight / 2.0 + 1;
    double phase = frame * M_PI / 2;
    double sx = 1 + 0.035 * std::sin(phase), sy = 1 - 0.035 * std::sin(phase);
    Blobby(cr, cx, cy, 31.5 * sx, 26.5 * sy, phase, 0.035);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 9, cy - 9, 2, cx, cy, 34);
    cairo_pattern_add_color_stop_rgb(p, 0.0, 1.0, 0.97, 0.72);
    cairo_pattern_add_color_stop_rgb(p, 0.45, 0.98, 0.82, 0.30);
    cairo_pattern_add_color_stop_rgb(p, 0.85, 0.86, 0.56, 0.10);
    cairo_pattern_add_color_stop_rgb(p, 1.0, 0.62, 0.34, 0.05);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgba(cr, 0.45, 0.22, 0.02, 0.9);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    // Droplets inside the globule, then the wet highlights.
    Rng rng(500);
    for (int i = 0; i < 5; ++i) {
        double dx = rng.Range(-14, 14) + 2 * std::sin(phase + i), dy = rng.Range(-8, 12);
        double r = rng.Range(2.5, 5);
        cairo_set_source_rgba(cr, 1.0, 0.92, 0.55, 0.55);
        cairo_arc(cr, cx + dx, cy + dy, r, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.6);
        cairo_arc(cr, cx + dx - r * 0.35, cy + dy - r * 0.35, r * 0.3, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    cairo_set_source_rgba(cr, 1, 1, 1, 0.92);
    Ellipse(cr, cx - 12 + 1.5 * std::sin(phase), cy - 12, 9, 4.5);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
    Ellipse(cr, cx + 14, cy + 13, 4, 2);
    cairo_fill(cr);
}

void DrawPlaqueFrame(cairo_t* cr, int frame) {
    // A crusty lump of several nodules, breathing a little over the three frames.
    // The lump reaches up to the top of its frame: the play loop bounces the moving
    // fat blobs with these frames, and a fat blob's top is near the top of its own.
    static const double kNodules[][3] = {{40, 45, 29}, {23, 52, 19}, {58, 51, 18}, {33, 20, 16}, {52, 22, 15}};
    const double breathe[kPlaqueFrames] = {1.0, 1.035, 1.015};
    double k = breathe[frame];
    // The outline of the whole lump first (each nodule a little larger, in dark),
    // then the nodules over it: no seams show where they overlap.
    for (double grow : {1.6, 0.0}) {
        cairo_new_path(cr);
        for (const auto& n : kNodules) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, 40 + (n[0] - 40) * k, 40 + (n[1] - 40) * k, n[2] * k + grow, 0, 2 * M_PI);
        }
        if (grow > 0) {
            cairo_set_source_rgb(cr, 0.42, 0.24, 0.08);
            cairo_fill(cr);
            continue;
        }
        cairo_pattern_t* p = cairo_pattern_create_radial(32, 28, 3, 40, 42, 42);
        cairo_pattern_add_color_stop_rgb(p, 0.0, 1.0, 0.97, 0.82);
        cairo_pattern_add_color_stop_rgb(p, 0.5, 0.93, 0.80, 0.50);
        cairo_pattern_add_color_stop_rgb(p, 1.0, 0.66, 0.44, 0.20);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    // Crystals of cholesterol and the wet shine of each nodule.
    Rng rng(600);  // the same crystals in every frame: the lump breathes, it does not boil
    for (int i = 0; i < 18; ++i) {
        double x = 40 + rng.Range(-22, 22) * k, y = 42 + rng.Range(-16, 20) * k, r = rng.Range(0.8, 2.2);
        cairo_set_source_rgba(cr, 0.72, 0.52, 0.26, 0.6);
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    for (const auto& n : kNodules) {
        double x = 40 + (n[0] - 40) * k - n[2] * 0.35, y = 40 + (n[1] - 40) * k - n[2] * 0.4;
        cairo_set_source_rgba(cr, 1, 1, 1, 0.55 + 0.1 * frame);
        Ellipse(cr, x, y, n[2] * 0.32, n[2] * 0.18);
        cairo_fill(cr);
    }
}

// --- heart ---------------------------------------------------------------------

void HeartPath(cairo_t* cr, double cx, double cy, double s) {
    const int kSteps = 120;
    for (int i = 0; i <= kSteps; ++i) {
        double t = 2 * M_PI * i / kSteps;
        double x = 16 * std::pow(std::sin(t), 3);
        double y = -(13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t));
        if (i == 0)
            cairo_move_to(cr, cx + x * s, cy + y * s);
        else
            cairo_line_to(cr, cx + x * s, cy + y * s);
    }
    cairo_close_path(cr);
}

// Size of the heart per frame: squeezed at the beat, then filling slowly.
const double kHeartScale[kHeartFrames] = {0.80, 0.87, 0.92, 0.95, 0.97, 0.985, 0.995, 1.0, 1.0};

constexpr double kHeartCx = 50, kHeartCy = 52;

// Aorta and vena cava above the heart, shrinking with it.
void DrawGreatVessels(cairo_t* cr, double k) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 9 * k);
    cairo_set_source_rgb(cr, 0.62, 0.10, 0.16);
    cairo_move_to(cr, kHeartCx - 4, kHeartCy - 22 * k);
    cairo_curve_to(cr, kHeartCx - 6, kHeartCy - 40, kHeartCx + 14, kHeartCy - 44, kHeartCx + 18, kHeartCy - 30);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.30, 0.32, 0.62);
    cairo_set_line_width(cr, 7 * k);
    cairo_move_to(cr, kHeartCx - 14, kHeartCy - 20 * k);
    cairo_line_to(cr, kHeartCx - 18, kHeartCy - 38);
    cairo_stroke(cr);
}

// The muscle itself, tilted like a real heart, brighter while it squeezes.
void DrawHeartBody(cairo_t* cr, double k, bool beat) {
    const double cx = kHeartCx, cy = kHeartCy, s = 2.5 * k;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, -0.22);
    cairo_translate(cr, -cx, -cy);
    HeartPath(cr, cx, cy, s);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 10, cy - 12, 2, cx, cy, 44 * k);
    double glow = beat ? 0.15 : 0.0;
    cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 0.55 + glow, 0.55 + glow);
    cairo_pattern_add_color_stop_rgb(p, 0.5, 0.88 + glow, 0.12, 0.16);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.42, 0.02, 0.06);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgb(cr, 0.28, 0.0, 0.04);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    // Coronary vessel across the front, and the wet highlight.
    cairo_set_source_rgba(cr, 0.45, 0.02, 0.08, 0.8);
    cairo_set_line_width(cr, 2.2);
    cairo_move_to(cr, cx + 2, cy - 22 * k);
    cairo_curve_to(cr, cx - 4, cy - 6, cx + 6, cy + 8, cx + 1, cy + 24 * k);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, beat ? 0.9 : 0.65);
    Ellipse(cr, cx - 16 * k, cy - 17 * k, 7 * k, 4 * k);
    cairo_fill(cr);
    cairo_restore(cr);
}

void DrawHeartFrame(cairo_t* cr, int frame) {
    bool beat = frame == 0;
    if (beat) Glow(cr, kHeartCx, kHeartCy, 50, {1.0, 0.35, 0.35}, 0.55);
    DrawGreatVessels(cr, kHeartScale[frame]);
    DrawHeartBody(cr, kHeartScale[frame], beat);
    if (beat) {
        // The shock ring of the beat.
        cairo_set_source_rgba(cr, 1.0, 0.8, 0.8, 0.7);
        cairo_set_line_width(cr, 2.5);
        cairo_arc(cr, kHeartCx, kHeartCy, 46, 0, 2 * M_PI);
        cairo_stroke(cr);
    }
}

// --- icons ---------------------------------------------------------------------

void IconPlate(cairo_t* cr, double x, bool lit) {
    RoundedRect(cr, x + 6, 6, kIconWidth - 12, kIconHeight - 12, 14);
    if (lit) {
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 6, 0, kIconHeight - 6);
        cairo_pattern_add_color_stop_rgba(p, 0, 0.30, 0.95, 1.0, 0.95);
        cairo_pattern_add_color_stop_rgba(p, 1, 0.02, 0.45, 0.70, 0.95);
        cairo_set_source(cr, p);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(p);
        cairo_set_source_rgba(cr, 0.85, 1.0, 1.0, 1.0);
    } else {
        cairo_set_source_rgba(cr, 0.06, 0.10, 0.16, 0.55);
        cairo_fill_preserve(cr);
        cairo_set_source_rgba(cr, 0.45, 0.65, 0.75, 0.6);
    }
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
}

void LitHalo(cairo_t* cr, double x) {
    for (int i = 3; i >= 1; --i) {
        RoundedRect(cr, x + 6 - i * 1.8, 6 - i * 1.8, kIconWidth - 12 + i * 3.6, kIconHeight - 12 + i * 3.6, 14 + i);
        cairo_set_source_rgba(cr, 0.3, 0.9, 1.0, 0.16);
        cairo_fill(cr);
    }
}

void DrawArrowFrame(cairo_t* cr, double x, bool up, bool lit) {
    if (lit) LitHalo(cr, x);
    IconPlate(cr, x, lit);
    double cx = x + kIconWidth / 2.0, cy = kIconHeight / 2.0, dir = up ? -1 : 1;
    for (int k = 0; k < 2; ++k) {
        double off = (k - 0.5) * 12 * dir;
        cairo_move_to(cr, cx - 17, cy + off - 7 * dir);
        cairo_line_to(cr, cx, cy + off + 7 * dir);
        cairo_line_to(cr, cx + 17, cy + off - 7 * dir);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_width(cr, 6);
        if (lit)
            cairo_set_source_rgb(cr, 1, 1, 1);
        else
            cairo_set_source_rgba(cr, 0.6, 0.75, 0.82, 0.75 - 0.25 * k);
        cairo_stroke(cr);
    }
}

void DrawSpaceFrame(cairo_t* cr, double x, bool portuguese, bool lit) {
    if (lit) LitHalo(cr, x);
    IconPlate(cr, x, lit);
    const std::string label = portuguese ? "ESPAÇO" : "SPACE";
    TextStyle st;
    st.size = 17;
    st.bold = true;
    st.align = 1;
    st.colour = lit ? Rgb{1, 1, 1} : Rgb{0.65, 0.78, 0.85};
    st.alpha = lit ? 1.0 : 0.8;
    DrawText(cr, label, x + kIconWidth / 2.0, 34, st);
    // The key's long bar under the word.
    RoundedRect(cr, x + 24, 42, kIconWidth - 48, 7, 3.5);
    SetColour(cr, st.colour, st.alpha * 0.8);
    cairo_fill(cr);
}

// --- time bar ----------------------------------------------------------------------

// Scale marks beside the window, a glass sheen over it.
void DrawBarGlass(cairo_t* cr) {
    for (int i = 0; i <= 10; ++i) {
        double y = kWindowTop + (kWindowBottom - kWindowTop) * i / 10.0;
        cairo_set_source_rgba(cr, 0.08, 0.09, 0.12, 0.9);
        cairo_rectangle(cr, kWindowRight + 2, y - 1, i % 5 == 0 ? 9 : 5, 2);
        cairo_fill(cr);
    }
    cairo_pattern_t* glass = cairo_pattern_create_linear(kWindowLeft, 0, kWindowRight, 0);
    cairo_pattern_add_color_stop_rgba(glass, 0.0, 1, 1, 1, 0.0);
    cairo_pattern_add_color_stop_rgba(glass, 0.3, 1, 1, 1, 0.28);
    cairo_pattern_add_color_stop_rgba(glass, 0.45, 1, 1, 1, 0.0);
    cairo_set_source(cr, glass);
    cairo_rectangle(cr, kWindowLeft, kWindowTop, kWindowRight - kWindowLeft, kWindowBottom - kWindowTop);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
}

// A lightning mark on the bottom cap: this is the nanobot's energy.
void DrawEnergyMark(cairo_t* cr) {
    double bx = kBarFrameWidth / 2.0, by = kWindowBottom + 4;
    cairo_move_to(cr, bx + 3, by);
    cairo_line_to(cr, bx - 5, by + 10);
    cairo_line_to(cr, bx, by + 10);
    cairo_line_to(cr, bx - 3, by + 18);
    cairo_line_to(cr, bx + 6, by + 7);
    cairo_line_to(cr, bx + 1, by + 7);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.25, 0.95, 1.0);
    cairo_fill(cr);
}

void DrawBarCasing(cairo_t* cr) {
    const double left = 7, right = kBarFrameWidth - 7;
    cairo_pattern_t* metal = cairo_pattern_create_linear(left, 0, right, 0);
    cairo_pattern_add_color_stop_rgb(metal, 0.0, 0.18, 0.20, 0.25);
    cairo_pattern_add_color_stop_rgb(metal, 0.25, 0.78, 0.82, 0.88);
    cairo_pattern_add_color_stop_rgb(metal, 0.5, 0.45, 0.49, 0.56);
    cairo_pattern_add_color_stop_rgb(metal, 0.8, 0.70, 0.74, 0.80);
    cairo_pattern_add_color_stop_rgb(metal, 1.0, 0.16, 0.18, 0.22);
    // The casing with the window cut out of it (even-odd fill).
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    // The casing runs past the screen's bottom edge so no sliver of bar shows below it.
    RoundedRect(cr, left, 2, right - left, kBarFrameHeight + 20, 12);
    RoundedRect(cr, kWindowLeft, kWindowTop, kWindowRight - kWindowLeft, kWindowBottom - kWindowTop, 6);
    cairo_set_source(cr, metal);
    cairo_fill(cr);
    cairo_pattern_destroy(metal);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_set_source_rgb(cr, 0.10, 0.11, 0.14);
    cairo_set_line_width(cr, 1.5);
    RoundedRect(cr, left, 2, right - left, kBarFrameHeight + 20, 12);
    cairo_stroke(cr);
    RoundedRect(cr, kWindowLeft - 1, kWindowTop - 1, kWindowRight - kWindowLeft + 2, kWindowBottom - kWindowTop + 2, 7);
    cairo_stroke(cr);
    DrawBarGlass(cr);
    DrawEnergyMark(cr);
}

void DrawBarLiquid(cairo_t* cr) {
    const double h = kWindowBottom - kWindowTop;
    cairo_pattern_t* p = cairo_pattern_create_linear(kWindowLeft, 0, kWindowRight, 0);
    cairo_pattern_add_color_stop_rgb(p, 0.0, 0.02, 0.35, 0.45);
    cairo_pattern_add_color_stop_rgb(p, 0.35, 0.35, 1.0, 0.95);
    cairo_pattern_add_color_stop_rgb(p, 1.0, 0.02, 0.40, 0.50);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, kWindowLeft, kWindowTop, kWindowRight - kWindowLeft, h);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // Bubbles rising through the liquid.
    Rng rng(700);
    for (int i = 0; i < 70; ++i) {
        double x = rng.Range(kWindowLeft + 4, kWindowRight - 4), y = rng.Range(kWindowTop + 8, kWindowBottom - 4);
        double r = rng.Range(1.0, 2.8);
        cairo_set_source_rgba(cr, 0.85, 1.0, 1.0, 0.55);
        cairo_set_line_width(cr, 0.9);
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
        cairo_stroke(cr);
    }
    // The bright surface of the liquid: it is what the player watches sink.
    cairo_set_source_rgb(cr, 0.9, 1.0, 1.0);
    cairo_rectangle(cr, kWindowLeft, kWindowTop, kWindowRight - kWindowLeft, 3);
    cairo_fill(cr);
}

// Draws each frame of a row sheet with a per-frame function.
template <typename Draw>
Raster Sheet(int frameWidth, int frameHeight, int frames, Draw draw) {
    Canvas c(frameWidth * frames, frameHeight);
    for (int f = 0; f < frames; ++f) {
        cairo_save(c.cr());
        cairo_rectangle(c.cr(), f * frameWidth, 0, frameWidth, frameHeight);
        cairo_clip(c.cr());
        cairo_translate(c.cr(), f * frameWidth, 0);
        draw(c.cr(), f);
        cairo_restore(c.cr());
    }
    Raster r = c.ToRaster();
    AvoidColourKey(r);
    return r;
}

}  // namespace

Raster NanoSheet() { return Sheet(kNanoSide, kNanoSide, kNanoFrames, DrawNanoFrame); }

void DrawNano(cairo_t* cr, int frame) { DrawNanoFrame(cr, frame); }

Raster NanoMask() {
    Canvas c(kNanoMaskWidth, kNanoMaskHeight);
    // No antialiasing: every pixel is either hull or free.
    cairo_set_antialias(c.cr(), CAIRO_ANTIALIAS_NONE);
    Ellipse(c.cr(), kHullRx, kHullRy, kHullRx, kHullRy);
    cairo_set_source_rgb(c.cr(), 0.75, 0.8, 0.85);
    cairo_fill(c.cr());
    return c.ToRaster();
}

Raster FatSheet() { return Sheet(kFatWidth, kFatHeight, kFatFrames, DrawFatFrame); }
Raster PlaqueSheet() { return Sheet(kPlaqueSide, kPlaqueSide, kPlaqueFrames, DrawPlaqueFrame); }
Raster HeartSheet() { return Sheet(kHeartSide, kHeartSide, kHeartFrames, DrawHeartFrame); }

Raster ArrowSheet(bool up) {
    return Sheet(kIconWidth, kIconHeight, kIconFrames,
                 [up](cairo_t* cr, int f) { DrawArrowFrame(cr, 0, up, f == 0); });
}

Raster SpaceSheet(bool portuguese) {
    return Sheet(kIconWidth, kIconHeight, kIconFrames,
                 [portuguese](cairo_t* cr, int f) { DrawSpaceFrame(cr, 0, portuguese, f == 1); });
}

Raster BarFrame() {
    Canvas c(kBarFrameWidth, kBarFrameHeight);
    DrawBarCasing(c.cr());
    return c.ToRaster();
}

Raster Bar() {
    Canvas c(kBarFrameWidth, kWindowBottom);
    DrawBarLiquid(c.cr());
    return c.ToRaster();
}

Raster Black() {
    Raster r(16, 16);
    for (size_t i = 3; i < r.px.size(); i += 4) r.px[i] = 255;
    return r;
}

Raster Frame(const Raster& sheet, int frameWidth, int index) {
    return Crop(sheet, frameWidth * index, 0, frameWidth, sheet.h);
}

}  // namespace sprites

namespace {

void WriteSprite(Output& out, const std::string& name, const Raster& r) {
    Check(WritePngRgba(out.Rsrc(name), r, 6), out.Rsrc(name));
    out.Keep(name, r);
}

}  // namespace

void AddSpriteJobs(std::vector<Job>& jobs) {
    using namespace sprites;
    jobs.push_back({"sprites", 0.3, [](Output& out) {
                        WriteSprite(out, kFiguraNano.arquivo, NanoSheet());
                        WriteSprite(out, kFiguraNanoColisao.arquivo, NanoMask());
                        WriteSprite(out, kFiguraObstaculoMovel.arquivo, FatSheet());
                        WriteSprite(out, kFiguraObstaculoFixo.arquivo, PlaqueSheet());
                        WriteSprite(out, kFiguraCoracao.arquivo, HeartSheet());
                        WriteSprite(out, kFiguraPreto.arquivo, Black());
                    }});
    jobs.push_back({"icons and time bar", 0.2, [](Output& out) {
                        WriteSprite(out, kFiguraSetaBaixo.arquivo, ArrowSheet(false));
                        WriteSprite(out, kFiguraSetaCima.arquivo, ArrowSheet(true));
                        WriteSprite(out, kFiguraEspaco.portugues, SpaceSheet(true));
                        WriteSprite(out, kFiguraEspaco.ingles, SpaceSheet(false));
                        WriteSprite(out, kFiguraSobreBarra.arquivo, BarFrame());
                        WriteSprite(out, kFiguraBarra.arquivo, Bar());
                    }});
}
