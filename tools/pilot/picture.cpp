#include "picture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Nivel.h"
#include "brisa2d2.h"
#include "png_writer.h"

namespace pilot {

namespace {

const int kScale = 8;          // map pixels per overview pixel
const int kTileSide = kLarguraTile;  // the overview keeps the tiles square
const int kTilesPerRow = 5;
const int kRowGap = 6;         // dark band between the two rows of tiles
const int kSampleStep = 2;     // pixels sampled along each side of a scaled block

struct Rgb {
    uint8_t r, g, b;
};
const Rgb kBackdrop{20, 20, 26};     // behind see-through parts of the tiles
const Rgb kDrift{60, 235, 255};      // route frames with space not held
const Rgb kHold{255, 230, 40};       // route frames with space held
const Rgb kFixedBlob{255, 240, 150};
const Rgb kMovingBlob{255, 140, 30};
const Rgb kFinish{255, 80, 200};
const Rgb kStart{255, 255, 255};

class Canvas {
public:
    Canvas(int w, int h) : w_(w), h_(h), px_(size_t(w) * size_t(h), kBackdrop) {}
    void Set(int x, int y, Rgb c) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) px_[size_t(y) * size_t(w_) + size_t(x)] = c;
    }
    void Fill(int x, int y, int w, int h, Rgb c) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) Set(i, j, c);
    }
    bool WritePng(const std::string& path, std::string* error) const;
    int w() const { return w_; }
    int h() const { return h_; }

private:
    int w_, h_;
    std::vector<Rgb> px_;
};

bool Canvas::WritePng(const std::string& path, std::string* error) const {
    PngLayout layout;
    layout.colourType = PNG_COLOR_TYPE_RGB;
    return WritePngRows(path, w_, h_, layout, reinterpret_cast<const png_byte*>(px_.data()), size_t(w_) * sizeof(Rgb),
                        error);
}

// Overview pixel of a map point (which tile row it falls in decides the band).
void Place(float mapX, float mapY, int* x, int* y) {
    int tile = std::min(kTilesMapa - 1, std::max(0, int(mapX) / kTileSide));
    int side = kTileSide / kScale;
    *x = (tile % kTilesPerRow) * side + int((mapX - float(tile * kTileSide)) / kScale);
    *y = (tile / kTilesPerRow) * (side + kRowGap) + int(mapY / kScale);
}

// One scaled-down tile: the average of sampled pixels, see-through parts over the backdrop.
void PaintTile(Canvas& c, const SDL_Surface* s, int ox, int oy) {
    if (!s) return;
    SDL_Surface* surface = const_cast<SDL_Surface*>(s);
    SDL_LockSurface(surface);
    int bpp = surface->format->BytesPerPixel;
    for (int by = 0; by * kScale < surface->h && by * kScale < kTileSide; ++by) {
        for (int bx = 0; bx * kScale < surface->w && bx * kScale < kTileSide; ++bx) {
            unsigned sum[3] = {0, 0, 0}, n = 0;
            for (int y = by * kScale; y < std::min(surface->h, (by + 1) * kScale); y += kSampleStep) {
                for (int x = bx * kScale; x < std::min(surface->w, (bx + 1) * kScale); x += kSampleStep) {
                    Uint32 v = 0;
                    memcpy(&v, static_cast<Uint8*>(surface->pixels) + y * surface->pitch + x * bpp, size_t(bpp));
                    Uint8 r, g, b, a;
                    SDL_GetRGBA(v, surface->format, &r, &g, &b, &a);
                    sum[0] += (r * a + kBackdrop.r * (255u - a)) / 255u;
                    sum[1] += (g * a + kBackdrop.g * (255u - a)) / 255u;
                    sum[2] += (b * a + kBackdrop.b * (255u - a)) / 255u;
                    ++n;
                }
            }
            if (n) c.Set(ox + bx, oy + by, Rgb{uint8_t(sum[0] / n), uint8_t(sum[1] / n), uint8_t(sum[2] / n)});
        }
    }
    SDL_UnlockSurface(surface);
}

void PaintBlobs(Canvas& c) {
    for (const LinhaObstaculo& row : kLayout) {
        int x, y;
        Place(row.x, row.y, &x, &y);
        if (row.movel) {
            c.Fill(x, y, 9, 8, kMovingBlob);
            c.Fill(x + 4, y + 8, 1, int(row.vy) / kScale, kMovingBlob);
        } else {
            c.Fill(x, y, 10, 10, kFixedBlob);
        }
    }
}

void PaintFinish(Canvas& c, float finishMapX) {
    int x, y;
    Place(finishMapX, 0, &x, &y);
    c.Fill(x, y, 2, kTileSide / kScale, kFinish);
}

}  // namespace

bool WriteRoutePicture(const std::string& path, const Recursos& r, const std::vector<RoutePoint>& points,
                       int nanoW, int nanoH, float finishMapX, std::string* error) {
    int side = kTileSide / kScale;
    Canvas c(side * kTilesPerRow, (kTilesMapa / kTilesPerRow) * (side + kRowGap) - kRowGap);
    for (int t = 0; t < kTilesMapa; ++t) {
        int ox = (t % kTilesPerRow) * side, oy = (t / kTilesPerRow) * (side + kRowGap);
        if (r.cenario[t]) PaintTile(c, sprites[r.cenario[t] - 1].imagem, ox, oy);
    }
    PaintBlobs(c);
    PaintFinish(c, finishMapX);
    for (const RoutePoint& p : points) {
        int x, y;
        Place(p.mapX + float(nanoW) / 2, p.mapY + float(nanoH) / 2, &x, &y);
        c.Fill(x - 1, y - 1, 2, 2, p.input.space ? kHold : kDrift);
    }
    if (!points.empty()) {
        int x, y;
        Place(points[0].mapX, points[0].mapY, &x, &y);
        c.Fill(x, y, std::max(2, nanoW / kScale), std::max(2, nanoH / kScale), kStart);
    }
    return c.WritePng(path, error);
}

}  // namespace pilot
