// Pictures in memory and the cairo helpers every drawing job shares.
#ifndef RSRCGEN_RASTER_H
#define RSRCGEN_RASTER_H

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

// A colour with channels from 0 to 1.
struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t);          // a at t = 0, b at t = 1
Rgb Scale(Rgb c, double k);               // every channel times k
double Clamp01(double v);
double SmoothStep(double e0, double e1, double x);

// A picture in straight (not premultiplied) RGBA, rows from the top.
struct Raster {
    int w = 0, h = 0;
    std::vector<uint8_t> px;  // 4 bytes per pixel: r, g, b, a

    Raster() = default;
    Raster(int width, int height) : w(width), h(height), px(size_t(width) * height * 4, 0) {}
    uint8_t* at(int x, int y) { return &px[(size_t(y) * w + x) * 4]; }
    const uint8_t* at(int x, int y) const { return &px[(size_t(y) * w + x) * 4]; }
    void Set(int x, int y, Rgb c, double a);
};

// A cairo ARGB32 surface and its context, for the lifetime of the object.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    int width() const { return w_; }
    int height() const { return h_; }
    Raster ToRaster() const;                          // unpremultiplied copy
    void Paint(const Raster& r, double x, double y);  // composites r over the canvas

private:
    int w_, h_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Fills or strokes with a colour; alpha defaults to opaque.
void SetColour(cairo_t* cr, Rgb c, double a = 1.0);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// Adds an ellipse centred on (cx, cy) with radii rx, ry to the path.
void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);

// Text in DejaVu Sans. align: 0 left, 1 centre, 2 right, measured on x.
struct TextStyle {
    double size = 24;
    bool bold = false;
    Rgb colour{1, 1, 1};
    double alpha = 1;
    int align = 0;
    double glow = 0;  // radius of a soft dark halo behind the text (readability), 0 = none
};
void DrawText(cairo_t* cr, const std::string& utf8, double x, double y, const TextStyle& s);
double TextWidth(cairo_t* cr, const std::string& utf8, double size, bool bold);

// Composites src over dst with its top-left at (x, y); parts outside are dropped.
void Composite(Raster& dst, const Raster& src, int x, int y);
// Box-filtered reduction to w x h (alpha-weighted).
Raster Resize(const Raster& src, int w, int h);
// A cut-out of src; parts outside src stay transparent.
Raster Crop(const Raster& src, int x, int y, int w, int h);
// Engines key out opaque (255, 0, 255): move any such pixel of smooth art one step off it.
void AvoidColourKey(Raster& r);

#endif
