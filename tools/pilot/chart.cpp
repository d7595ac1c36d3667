#include "chart.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>

#include "Nivel.h"
#include "survey.h"

namespace pilot {

namespace {

const double kMapPerPixelX = 8;     // map pixels per chart pixel, across
const double kMapPerPixelY = 4;     // in the vessel panel, down
const double kRoomPerPixel = 1.5;   // pixels of room per chart pixel, in the room panel
const int kRoomTop = 600;           // the room panel's scale ends here (px of room)
const int kLeft = 64, kRight = 24, kTitle = 40, kGap = 34, kBottom = 56;
const int kVesselMargin = 40;       // map pixels shown above and below the lumen's extremes

struct Colour {
    double r, g, b;
};
const Colour kBackdrop{0.08, 0.07, 0.09};
const Colour kTissue{0.30, 0.08, 0.10};
const Colour kLumen{0.85, 0.62, 0.62};
const Colour kText{0.90, 0.90, 0.93};
const Colour kGrid{0.35, 0.35, 0.40};
const Colour kWallsOnly{0.55, 0.55, 0.70};
const Colour kPastPlaque{0.25, 0.85, 1.00};
const Colour kPastDrift{1.00, 0.55, 0.15};
const Colour kClosed{1.00, 0.15, 0.20};
const Colour kFixedBlob{1.00, 0.90, 0.55};
const Colour kMovingBlob{1.00, 0.55, 0.15};
const Colour kFinish{1.00, 0.80, 0.20};
const Colour kLoss{1.00, 0.20, 0.25};

void Use(cairo_t* cr, const Colour& c, double alpha = 1) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void Text(cairo_t* cr, const std::string& s, double x, double y, double size, const Colour& c, bool right = false) {
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    Use(cr, c);
    cairo_move_to(cr, right ? x - e.x_advance : x, y);
    cairo_show_text(cr, s.c_str());
}

// Chart x of a map x, and the panels' places.
struct Frame {
    double top0 = 0, height0 = 0;  // vessel panel
    double top1 = 0, height1 = 0;  // room panel
    int lumenTop = 0;              // map y at the vessel panel's top
    double X(double mapX) const { return kLeft + mapX / kMapPerPixelX; }
    double VesselY(double mapY) const { return top0 + (mapY - lumenTop) / kMapPerPixelY; }
    double RoomY(double room) const { return top1 + height1 - std::min(double(kRoomTop), room) / kRoomPerPixel; }
};

void DrawVessel(cairo_t* cr, const Frame& f, const Sight& sight) {
    const Lumen& walls = sight.Walls();
    Use(cr, kTissue);
    cairo_rectangle(cr, f.X(0), f.top0, f.X(walls.width()) - f.X(0), f.height0);
    cairo_fill(cr);
    Use(cr, kLumen);
    for (int x = 0; x < walls.width(); x += int(kMapPerPixelX)) {
        if (!walls.open(x)) continue;
        cairo_rectangle(cr, f.X(x), f.VesselY(walls.top(x)), 1, (walls.bottom(x) - walls.top(x)) / kMapPerPixelY);
    }
    cairo_fill(cr);
    for (int row = 0; row < kObstaculos; ++row) {
        const LinhaObstaculo& b = kLayout[row];
        double w = sight.BlobWidth(row) / kMapPerPixelX;
        if (!b.movel) {
            Use(cr, kFixedBlob);
            cairo_rectangle(cr, f.X(b.x), f.VesselY(b.y), w, sight.BlobHeight(row) / kMapPerPixelY);
            cairo_fill(cr);
            continue;
        }
        // A moving blob: its drift as a band, its start as a box.
        Span d = sight.Drift(row);
        Use(cr, kMovingBlob, 0.35);
        cairo_rectangle(cr, f.X(b.x), f.VesselY(d.lo), w, (d.hi - d.lo + sight.BlobHeight(row)) / kMapPerPixelY);
        cairo_fill(cr);
        Use(cr, kMovingBlob);
        cairo_rectangle(cr, f.X(b.x), f.VesselY(b.y), w, sight.BlobHeight(row) / kMapPerPixelY);
        cairo_fill(cr);
    }
}

void DrawCurve(cairo_t* cr, const Frame& f, const Profile& p, const std::vector<int>& room, const Colour& c,
               double width) {
    Use(cr, c);
    cairo_set_line_width(cr, width);
    bool drawing = false;
    for (int i = 0; i < p.Size(); i += 2) {
        double x = f.X(p.firstX + i), y = f.RoomY(std::max(0, room[size_t(i)]));
        if (drawing)
            cairo_line_to(cr, x, y);
        else
            cairo_move_to(cr, x, y);
        drawing = true;
    }
    cairo_stroke(cr);
}

void DrawRoom(cairo_t* cr, const Frame& f, const Profile& p, const Sight& sight) {
    cairo_set_line_width(cr, 1);
    for (int room = 0; room <= kRoomTop; room += 100) {
        Use(cr, kGrid, 0.6);
        cairo_move_to(cr, f.X(0), f.RoomY(room));
        cairo_line_to(cr, f.X(kLarguraTile * kTilesMapa), f.RoomY(room));
        cairo_stroke(cr);
        Text(cr, std::to_string(room) + " px", kLeft - 6, f.RoomY(room) + 4, 12, kText, true);
    }
    DrawCurve(cr, f, p, p.walls, kWallsOnly, 1);
    DrawCurve(cr, f, p, p.drift, kPastDrift, 1.5);
    DrawCurve(cr, f, p, p.plaque, kPastPlaque, 2);
    // Where a moving blob can close the way, a red bar on the axis.
    Use(cr, kClosed);
    for (const Closing& c : ClosingBlobs(sight)) {
        cairo_rectangle(cr, f.X(c.fromX), f.RoomY(0) - 8, std::max(3.0, (c.toX - c.fromX) / kMapPerPixelX), 8);
        cairo_fill(cr);
    }
    for (const LinhaObstaculo& b : kLayout) {
        Use(cr, b.movel ? kMovingBlob : kFixedBlob);
        cairo_rectangle(cr, f.X(b.x), f.RoomY(0) + 3, 3, 7);
        cairo_fill(cr);
    }
}

void DrawLosses(cairo_t* cr, const Frame& f, const Profile& p, const std::vector<RunOutcome>& losses) {
    Use(cr, kLoss);
    cairo_set_line_width(cr, 1.5);
    for (const RunOutcome& o : losses) {
        int i = std::clamp(int(o.mapX) - p.firstX, 0, p.Size() - 1);
        double x = f.X(o.mapX), y = f.RoomY(std::max(0, p.plaque[size_t(i)]));
        cairo_move_to(cr, x - 4, y - 4);
        cairo_line_to(cr, x + 4, y + 4);
        cairo_move_to(cr, x - 4, y + 4);
        cairo_line_to(cr, x + 4, y - 4);
        cairo_stroke(cr);
        cairo_arc(cr, x, f.VesselY(o.mapY), 3, 0, 6.2832);
        cairo_fill(cr);
    }
}

void DrawBorders(cairo_t* cr, const Frame& f, const Profile& p) {
    cairo_set_line_width(cr, 1);
    double bottom = f.top1 + f.height1;
    for (int t = 0; t <= kTilesMapa; ++t) {
        Use(cr, kGrid);
        cairo_move_to(cr, f.X(t * kLarguraTile), f.top0);
        cairo_line_to(cr, f.X(t * kLarguraTile), bottom);
        cairo_stroke(cr);
        if (t < kTilesMapa)
            Text(cr, "tile " + std::to_string(t + 1), f.X(t * kLarguraTile) + 6, f.top0 - 8, 14, kText);
    }
    int length = p.Size();
    for (int third = 1; third <= 2; ++third) {
        double x = f.X(p.firstX + length * third / 3);
        Use(cr, kText, 0.5);
        double dash = 6;
        cairo_set_dash(cr, &dash, 1, 0);
        cairo_move_to(cr, x, f.top1);
        cairo_line_to(cr, x, bottom);
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
        Text(cr, third == 1 ? "first third | second" : "second | last third", x - 70, bottom + 16, 12, kText);
    }
    for (int x : {p.firstX, kVitoriaMapaX}) {
        Use(cr, kFinish);
        cairo_set_line_width(cr, 2);
        cairo_move_to(cr, f.X(x), f.top0);
        cairo_line_to(cr, f.X(x), bottom);
        cairo_stroke(cr);
    }
    for (int mapX = 0; mapX <= kLarguraTile * kTilesMapa; mapX += 1024)
        Text(cr, std::to_string(mapX), f.X(mapX), bottom + 34, 11, kGrid);
}

void DrawLegend(cairo_t* cr, double x, double y) {
    struct Item {
        Colour c;
        const char* text;
    } items[] = {{kPastPlaque, "room past the fixed blobs"},
                 {kWallsOnly, "room between the walls"},
                 {kPastDrift, "room with the moving blobs at their worst"},
                 {kClosed, "a moving blob can close the way: wait"},
                 {kLoss, "a lost run of the survey"},
                 {kFinish, "start and win line"}};
    for (const Item& it : items) {
        Use(cr, it.c);
        cairo_rectangle(cr, x, y - 9, 14, 10);
        cairo_fill(cr);
        Text(cr, it.text, x + 20, y, 13, kText);
        cairo_text_extents_t e;
        cairo_text_extents(cr, it.text, &e);
        x += 40 + e.x_advance;
    }
}

}  // namespace

bool WriteChart(const std::string& path, const Sight& sight, const std::vector<RunOutcome>& losses,
                std::string* error) {
    const Lumen& walls = sight.Walls();
    int lo = 1 << 30, hi = 0;
    for (int x = 0; x < walls.width(); ++x)
        if (walls.open(x)) lo = std::min(lo, walls.top(x)), hi = std::max(hi, walls.bottom(x));
    Frame f;
    f.lumenTop = std::max(0, lo - kVesselMargin);
    f.top0 = kTitle + 20;
    f.height0 = (hi + kVesselMargin - f.lumenTop) / kMapPerPixelY;
    f.top1 = f.top0 + f.height0 + kGap;
    f.height1 = kRoomTop / kRoomPerPixel;
    int width = kLeft + int(kLarguraTile * kTilesMapa / kMapPerPixelX) + kRight;
    int height = int(f.top1 + f.height1) + kBottom;

    Profile p = MeasureProfile(sight);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    Use(cr, kBackdrop);
    cairo_paint(cr);
    Text(cr, "Vessel Drift: the room the vessel leaves the nanobot's collision picture along the run", kLeft, 26, 18,
         kText);
    DrawVessel(cr, f, sight);
    DrawRoom(cr, f, p, sight);
    DrawBorders(cr, f, p);
    DrawLosses(cr, f, p, losses);
    DrawLegend(cr, kLeft + 900, 26);
    cairo_surface_flush(surface);
    cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        *error = "cannot write " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

}  // namespace pilot
