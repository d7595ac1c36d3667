// Pictures for people, not for the game: an overview of the whole vessel with
// its blobs, a contact sheet of every sprite and screen, and a few play screens
// composed in the game's draw order.
#include <cmath>
#include <cstdio>

#include "encode.h"
#include "rsrcgen.h"
#include "sprites.h"
#include "vessel.h"

namespace {

constexpr int kOverviewScale = 8;
constexpr int kTilesPerRow = 5;
const Rgb kLabel{0.9, 0.9, 0.95};

void Label(cairo_t* cr, const std::string& text, double x, double y, double size = 13) {
    TextStyle st;
    st.size = size;
    st.colour = kLabel;
    DrawText(cr, text, x, y, st);
}

constexpr int kOverviewSide = vessel::kTileWidth / kOverviewScale, kOverviewLabel = 22;

// Where map point (mx, my) lands on the overview: tiles in rows of five.
void OverviewPlace(double mx, double my, double& x, double& y) {
    int t = std::min(vessel::kTiles - 1, int(mx / vessel::kTileWidth));
    x = (t % kTilesPerRow) * kOverviewSide + (mx - t * vessel::kTileWidth) / kOverviewScale;
    y = (t / kTilesPerRow) * (kOverviewSide + kOverviewLabel) + kOverviewLabel + my / kOverviewScale;
}

void DrawOverviewTiles(Canvas& c, const Output& out) {
    const int side = kOverviewSide;
    const Raster& far = out.Kept(kArquivoFundo[1]);
    for (int t = 0; t < vessel::kTiles; ++t) {
        int ox = (t % kTilesPerRow) * side, oy = (t / kTilesPerRow) * (side + kOverviewLabel) + kOverviewLabel;
        // The lumen is see-through: show it over a plain stand-in for the far background.
        if (far.w > 0) c.Paint(Resize(Crop(far, 0, 0, side * 2, side), side, side), ox, oy);
        c.Paint(Resize(out.Kept(kArquivoMapa[t]), side, side), ox, oy);
        char text[64];
        snprintf(text, sizeof text, "tile %d  (x %d..%d)", t + 1, t * vessel::kTileWidth, (t + 1) * vessel::kTileWidth);
        Label(c.cr(), text, ox + 4, oy - 6);
    }
}

// Fixed blobs as pale squares, moving ones as orange ones with their first
// drift; the nanobot's start in cyan and the win line in gold.
void DrawOverviewMarks(cairo_t* cr) {
    for (const LinhaObstaculo& b : kLayout) {
        double x, y;
        OverviewPlace(b.x, b.y, x, y);
        if (!b.movel) {
            cairo_set_source_rgb(cr, 1.0, 0.9, 0.5);
            cairo_rectangle(cr, x, y, 10, 10);
            cairo_fill(cr);
            continue;
        }
        cairo_set_source_rgb(cr, 1.0, 0.55, 0.1);
        cairo_rectangle(cr, x, y, 9, 7.5);
        cairo_fill(cr);
        cairo_set_line_width(cr, 1.2);
        cairo_move_to(cr, x + 4.5, y + 8);
        cairo_line_to(cr, x + 4.5, y + 8 + b.vy / 8.0);
        cairo_stroke(cr);
    }
    double x, y;
    OverviewPlace(vessel::kNanoStartX, vessel::kNanoStartY, x, y);
    cairo_set_source_rgb(cr, 0.3, 1.0, 1.0);
    cairo_rectangle(cr, x, y, vessel::kNanoMaskWidth / double(kOverviewScale),
                    vessel::kNanoMaskHeight / double(kOverviewScale));
    cairo_fill(cr);
    OverviewPlace(vessel::kWinMaskX, 0, x, y);
    cairo_set_source_rgb(cr, 1.0, 0.85, 0.2);
    cairo_rectangle(cr, x, y, 1.5, kOverviewSide);
    cairo_fill(cr);
}

void WriteOverview(Output& out) {
    const int rows = vessel::kTiles / kTilesPerRow;
    Canvas c(kOverviewSide * kTilesPerRow, rows * (kOverviewSide + kOverviewLabel));
    cairo_set_source_rgb(c.cr(), 0.08, 0.08, 0.1);
    cairo_paint(c.cr());
    DrawOverviewTiles(c, out);
    DrawOverviewMarks(c.cr());
    Check(WritePngRgba(out.Preview("overview.png"), c.ToRaster(), 6), out.Preview("overview.png"));
}

// One play screen as the game draws it with the map's top-left at (vx, vy).
Raster ComposeView(const Output& out, double vx, double vy) {
    Raster screen(1024, 768);
    for (size_t i = 3; i < screen.px.size(); i += 4) screen.px[i] = 255;  // the clear colour, black
    Composite(screen, out.Kept(kArquivoFundo[0]), int(vx / 15), int(vy / 15));
    Composite(screen, out.Kept(kArquivoFundo[1]), int((vx + vessel::kTileWidth) / 15), int(vy / 15));
    for (int t = 0; t < vessel::kTiles; ++t) {
        int x = int(vx + t * vessel::kTileWidth);
        if (x > 1024 || x + vessel::kTileWidth < 0) continue;
        Composite(screen, out.Kept(kArquivoMapa[t]), x, int(vy));
    }
    const Raster& plaque = out.Kept(kFiguraObstaculoFixo.arquivo);
    const Raster& fat = out.Kept(kFiguraObstaculoMovel.arquivo);
    int n = 0;
    for (const LinhaObstaculo& b : kLayout) {
        ++n;
        if (!b.movel)
            Composite(screen, sprites::Frame(plaque, sprites::kPlaqueSide, n % 3), int(vx + b.x), int(vy + b.y));
        else
            Composite(screen, sprites::Frame(fat, sprites::kFatWidth, n % 4), int(vx + b.x), int(vy + b.y));
    }
    Composite(screen, sprites::Frame(out.Kept(kFiguraCoracao.arquivo), sprites::kHeartSide, 0), 914, 10);
    Composite(screen, out.Kept(kFiguraBarra.arquivo), 0, 200);
    Composite(screen, out.Kept(kFiguraSobreBarra.arquivo), 0, 0);
    Composite(screen, sprites::Frame(out.Kept(kFiguraSetaBaixo.arquivo), sprites::kIconWidth, 1), 459, 693);
    Composite(screen, sprites::Frame(out.Kept(kFiguraSetaCima.arquivo), sprites::kIconWidth, 0), 459, 10);
    Composite(screen, sprites::Frame(out.Kept(kFiguraEspaco.portugues), sprites::kIconWidth, 1), 909, 352);
    Composite(screen, sprites::Frame(out.Kept(kFiguraNano.arquivo), sprites::kNanoSide, 0),
              kNanoCentroX - sprites::kNanoSide / 2, kNanoCentroY - sprites::kNanoSide / 2);
    return screen;
}

void WriteViews(Output& out) {
    // Nanobot centres on the map worth looking at: the start, each kind of stretch, the finish.
    const double kPlaces[][2] = {{762, 1034}, {2250, 820}, {4400, 1150}, {5800, 1320}, {11650, 1300}, {19650, 950}};
    const int cols = 3, w = 512, h = 384;
    Raster sheet(cols * w, 2 * h);
    int i = 0;
    for (const auto& p : kPlaces) {
        Raster view = ComposeView(out, 512 - p[0], 384 - p[1]);
        Composite(sheet, Resize(view, w, h), (i % cols) * w, (i / cols) * h);
        if (i == 0) Check(WritePngRgba(out.Preview("view-start.png"), view, 6), out.Preview("view-start.png"));
        ++i;
    }
    Check(WritePngRgba(out.Preview("views.png"), sheet, 6), out.Preview("views.png"));
}

constexpr int kSheetWidth = 1400, kSheetHeight = 2150;

// A checkerboard shows which parts of the sprites are transparent.
void Checkerboard(cairo_t* cr) {
    for (int y = 0; y < kSheetHeight; y += 16)
        for (int x = 0; x < kSheetWidth; x += 16) {
            double g = ((x + y) / 16) % 2 ? 0.22 : 0.28;
            cairo_set_source_rgb(cr, g, g, g + 0.02);
            cairo_rectangle(cr, x, y, 16, 16);
            cairo_fill(cr);
        }
}

// Every sprite sheet at full size, then the time bar on its side; returns the y below.
double SheetSprites(Canvas& c, const Output& out) {
    const char* kSprites[] = {kFiguraNano.arquivo,      kFiguraNanoColisao.arquivo, kFiguraObstaculoMovel.arquivo,
                              kFiguraObstaculoFixo.arquivo, kFiguraCoracao.arquivo, kFiguraSetaBaixo.arquivo,
                              kFiguraSetaCima.arquivo,  kFiguraEspaco.portugues,    kFiguraEspaco.ingles,
                              kFiguraPreto.arquivo};
    double x = 10, y = 30, rowH = 0;
    for (const char* name : kSprites) {
        const Raster& r = out.Kept(name);
        if (x + r.w > kSheetWidth) {
            x = 10;
            y += rowH + 30;
            rowH = 0;
        }
        Label(c.cr(), name, x, y - 8);
        c.Paint(r, x, y);
        x += r.w + 20;
        rowH = std::max(rowH, double(r.h));
    }
    y += rowH + 30;
    Label(c.cr(), "sobre_barra.png over barra2.png (bar 200 px down), rotated", 10, y - 8);
    Canvas bar(sprites::kBarFrameWidth, sprites::kBarFrameHeight);
    bar.Paint(out.Kept(kFiguraBarra.arquivo), 0, 200);
    bar.Paint(out.Kept(kFiguraSobreBarra.arquivo), 0, 0);
    cairo_save(c.cr());
    cairo_translate(c.cr(), 10, y + sprites::kBarFrameWidth);
    cairo_rotate(c.cr(), -M_PI / 2);
    c.Paint(bar.ToRaster(), 0, 0);
    cairo_restore(c.cr());
    return y + sprites::kBarFrameWidth + 40;
}

// Every full-screen picture at a third of its size, then the far background.
double SheetScreens(Canvas& c, const Output& out, double y) {
    std::vector<const char*> screens = {kFiguraCarregando.arquivo, kFiguraIdiomas.arquivo};
    for (const FiguraIdioma& f : kConjuntoIdioma) {
        if (f.largura != 0) continue;  // the space icon is a sheet, shown with the sprites
        screens.push_back(f.portugues);
        screens.push_back(f.ingles);
    }
    const int thumbW = 336, thumbH = 252;
    double x = 10;
    for (const char* name : screens) {
        if (x + thumbW > kSheetWidth) {
            x = 10;
            y += thumbH + 30;
        }
        Label(c.cr(), name, x, y - 8);
        c.Paint(Resize(out.Kept(name), thumbW, thumbH), x, y);
        x += thumbW + 10;
    }
    y += thumbH + 30;
    Label(c.cr(), "Fundo_01_oti.jpg + Fundo_02_oti.jpg (half size)", 10, y - 8);
    c.Paint(Resize(out.Kept(kArquivoFundo[0]), 128, 448), 10, y);
    c.Paint(Resize(out.Kept(kArquivoFundo[1]), 1024, 448), 148, y);
    return y + 460;
}

void WriteContactSheet(Output& out) {
    Canvas c(kSheetWidth, kSheetHeight);
    Checkerboard(c.cr());
    double bottom = SheetScreens(c, out, SheetSprites(c, out));
    Raster r = Crop(c.ToRaster(), 0, 0, kSheetWidth, std::min(kSheetHeight, int(bottom)));
    Check(WritePngRgba(out.Preview("contact-sheet.png"), r, 6), out.Preview("contact-sheet.png"));
}

}  // namespace

void AddPreviewJobs(std::vector<Job>& jobs) {
    jobs.push_back({"overview", 0.3, WriteOverview});
    jobs.push_back({"composed play screens", 0.6, WriteViews});
    jobs.push_back({"contact sheet", 0.5, WriteContactSheet});
}
