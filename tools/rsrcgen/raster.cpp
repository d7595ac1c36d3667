#include "raster.h"

#include <algorithm>
#include <cmath>

Rgb Mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Rgb Scale(Rgb c, double k) { return {c.r * k, c.g * k, c.b * k}; }
double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
double SmoothStep(double e0, double e1, double x) {
    double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

static uint8_t ToByte(double v) { return uint8_t(std::lround(Clamp01(v) * 255.0)); }

void Raster::Set(int x, int y, Rgb c, double a) {
    uint8_t* p = at(x, y);
    p[0] = ToByte(c.r);
    p[1] = ToByte(c.g);
    p[2] = ToByte(c.b);
    p[3] = ToByte(a);
}

Canvas::Canvas(int width, int height)
    : w_(width),
      h_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GOOD);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

Raster Canvas::ToRaster() const {
    cairo_surface_flush(surface_);
    Raster out(w_, h_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    for (int y = 0; y < h_; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < w_; ++x) {
            uint32_t v = row[x];
            unsigned a = v >> 24, r = (v >> 16) & 255, g = (v >> 8) & 255, b = v & 255;
            uint8_t* p = out.at(x, y);
            if (a == 0) {
                p[0] = p[1] = p[2] = p[3] = 0;
                continue;
            }
            p[0] = uint8_t(std::min(255u, (r * 255 + a / 2) / a));
            p[1] = uint8_t(std::min(255u, (g * 255 + a / 2) / a));
            p[2] = uint8_t(std::min(255u, (b * 255 + a / 2) / a));
            p[3] = uint8_t(a);
        }
    }
    return out;
}

void Canvas::Paint(const Raster& r, double x, double y) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, r.w, r.h);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int j = 0; j < r.h; ++j) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + size_t(j) * stride);
        for (int i = 0; i < r.w; ++i) {
            const uint8_t* p = r.at(i, j);
            unsigned a = p[3];
            row[i] = (a << 24) | ((p[0] * a + 127) / 255) << 16 | ((p[1] * a + 127) / 255) << 8 |
                     ((p[2] * a + 127) / 255);
        }
    }
    cairo_surface_mark_dirty(s);
    cairo_save(cr_);
    cairo_set_source_surface(cr_, s, x, y);
    cairo_paint(cr_);
    cairo_restore(cr_);
    cairo_surface_destroy(s);
}

void SetColour(cairo_t* cr, Rgb c, double a) { cairo_set_source_rgba(cr, c.r, c.g, c.b, a); }

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

static void SelectFont(cairo_t* cr, double size, bool bold) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

double TextWidth(cairo_t* cr, const std::string& utf8, double size, bool bold) {
    SelectFont(cr, size, bold);
    cairo_text_extents_t e;
    cairo_text_extents(cr, utf8.c_str(), &e);
    return e.x_advance;
}

void DrawText(cairo_t* cr, const std::string& utf8, double x, double y, const TextStyle& s) {
    double w = TextWidth(cr, utf8, s.size, s.bold);
    double left = s.align == 1 ? x - w / 2 : (s.align == 2 ? x - w : x);
    cairo_save(cr);
    if (s.glow > 0) {
        // A few widening dark strokes make a soft halo that keeps text readable on busy art.
        cairo_move_to(cr, left, y);
        cairo_text_path(cr, utf8.c_str());
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        for (int i = 4; i >= 1; --i) {
            cairo_set_line_width(cr, s.glow * i / 2.0);
            cairo_set_source_rgba(cr, 0.05, 0.0, 0.02, 0.22 * s.alpha);
            cairo_stroke_preserve(cr);
        }
        cairo_new_path(cr);
    }
    SetColour(cr, s.colour, s.alpha);
    cairo_move_to(cr, left, y);
    cairo_show_text(cr, utf8.c_str());
    cairo_restore(cr);
}

void Composite(Raster& dst, const Raster& src, int x, int y) {
    for (int j = 0; j < src.h; ++j) {
        int dy = y + j;
        if (dy < 0 || dy >= dst.h) continue;
        for (int i = 0; i < src.w; ++i) {
            int dx = x + i;
            if (dx < 0 || dx >= dst.w) continue;
            const uint8_t* s = src.at(i, j);
            uint8_t* d = dst.at(dx, dy);
            double sa = s[3] / 255.0, da = d[3] / 255.0;
            double oa = sa + da * (1 - sa);
            if (oa <= 0) continue;
            for (int c = 0; c < 3; ++c)
                d[c] = uint8_t(std::lround((s[c] * sa + d[c] * da * (1 - sa)) / oa));
            d[3] = uint8_t(std::lround(oa * 255));
        }
    }
}

Raster Resize(const Raster& src, int w, int h) {
    Raster out(w, h);
    for (int y = 0; y < h; ++y) {
        int y0 = int(int64_t(y) * src.h / h), y1 = std::max(y0 + 1, int(int64_t(y + 1) * src.h / h));
        for (int x = 0; x < w; ++x) {
            int x0 = int(int64_t(x) * src.w / w), x1 = std::max(x0 + 1, int(int64_t(x + 1) * src.w / w));
            double acc[4] = {0, 0, 0, 0};
            for (int j = y0; j < y1; ++j)
                for (int i = x0; i < x1; ++i) {
                    const uint8_t* p = src.at(i, j);
                    double a = p[3];
                    acc[0] += p[0] * a;
                    acc[1] += p[1] * a;
                    acc[2] += p[2] * a;
                    acc[3] += a;
                }
            uint8_t* d = out.at(x, y);
            int n = (x1 - x0) * (y1 - y0);
            if (acc[3] > 0)
                for (int c = 0; c < 3; ++c) d[c] = uint8_t(std::lround(acc[c] / acc[3]));
            d[3] = uint8_t(std::lround(acc[3] / n));
        }
    }
    return out;
}

Raster Crop(const Raster& src, int x, int y, int w, int h) {
    Raster out(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            int sx = x + i, sy = y + j;
            if (sx < 0 || sy < 0 || sx >= src.w || sy >= src.h) continue;
            std::copy_n(src.at(sx, sy), 4, out.at(i, j));
        }
    return out;
}

void AvoidColourKey(Raster& r) {
    for (size_t i = 0; i < r.px.size(); i += 4)
        if (r.px[i] == 255 && r.px[i + 1] == 0 && r.px[i + 2] == 255 && r.px[i + 3] == 255) r.px[i + 1] = 1;
}
