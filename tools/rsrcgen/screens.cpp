// Full-screen pictures (1024 x 768 JPEG) in both languages, and the far
// background that scrolls behind the vessel.
#include <cmath>
#include <iterator>
#include <sstream>

#include "Nivel.h"
#include "encode.h"
#include "noise.h"
#include "rsrcgen.h"
#include "sprites.h"

namespace {

constexpr int kScreenW = 1024, kScreenH = 768;
constexpr int kJpegQuality = 85;

// The far background is one strip cut in two: the game draws the second
// picture 2048/15 (135 to 137) px right of the first, so the first only has to
// fill that gap and the second carries the rest. Height: the map's lowest free
// place scrolls the background up by at most 99 px.
constexpr int kFarHeight = 896;
constexpr int kFarFirstWidth = 256;
constexpr int kFarSecondWidth = 2048;
constexpr int kFarSecondOffset = 136;

const Rgb kDeep{0.10, 0.01, 0.03}, kPlasmaFar{0.30, 0.04, 0.07};
const Rgb kCyan{0.35, 0.92, 1.0}, kWarm{1.0, 0.82, 0.45}, kWhite{1, 1, 1}, kPale{0.93, 0.85, 0.86};
const Rgb kKeyLeft{1.0, 0.62, 0.25}, kKeyRight{0.35, 0.90, 1.0};

// A blurred red cell: soft-edged disc with a darker dimple; blur grows with nearness.
void SoftCell(cairo_t* cr, double x, double y, double r, double squash, double angle, double alpha, double blur) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    cairo_scale(cr, 1.0, squash);
    cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0, 0, 0, r * (1 + blur));
    double edge = 1.0 / (1 + blur);
    // A biconcave disc: a darker, thinner middle under a fuller rim.
    cairo_pattern_add_color_stop_rgba(p, 0.0, 0.52, 0.06, 0.09, alpha * 0.72);
    cairo_pattern_add_color_stop_rgba(p, 0.5 * edge, 0.60, 0.08, 0.10, alpha * 0.8);
    cairo_pattern_add_color_stop_rgba(p, 0.85 * edge, 0.76, 0.15, 0.16, alpha);
    cairo_pattern_add_color_stop_rgba(p, 1.0, 0.55, 0.06, 0.08, 0.0);
    cairo_set_source(cr, p);
    cairo_arc(cr, 0, 0, r * (1 + blur), 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

// Deep plasma full of out-of-focus cells: shared by the far background and the screens.
void PaintPlasma(cairo_t* cr, int w, int h, uint64_t seed, int cells) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(g, 0.0, kDeep.r, kDeep.g, kDeep.b);
    cairo_pattern_add_color_stop_rgb(g, 0.5, kPlasmaFar.r, kPlasmaFar.g, kPlasmaFar.b);
    cairo_pattern_add_color_stop_rgb(g, 1.0, kDeep.r, kDeep.g, kDeep.b);
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
    Rng rng(seed);
    // Far cells first (small, dim, sharp), near ones last (large, bright, blurred).
    for (int i = 0; i < cells; ++i) {
        double depth = double(i) / cells;
        double r = 8 + 30 * depth * depth + rng.Range(0, 6);
        SoftCell(cr, rng.Range(-40, w + 40), rng.Range(-40, h + 40), r, rng.Range(0.35, 1.0), rng.Range(0, M_PI),
                 0.25 + 0.45 * depth, 0.15 + 0.9 * depth * depth);
    }
    for (int i = 0; i < cells * 2; ++i) {
        cairo_set_source_rgba(cr, 1.0, 0.7, 0.6, rng.Range(0.05, 0.2));
        cairo_arc(cr, rng.Range(0, w), rng.Range(0, h), rng.Range(0.8, 2.2), 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

void MakeFarBackground(Output& out) {
    Canvas c(kFarSecondOffset + kFarSecondWidth, kFarHeight);
    PaintPlasma(c.cr(), c.width(), c.height(), 4242, 260);
    Raster strip = c.ToRaster();
    Raster first = Crop(strip, 0, 0, kFarFirstWidth, kFarHeight);
    Raster second = Crop(strip, kFarSecondOffset, 0, kFarSecondWidth, kFarHeight);
    Check(WriteJpeg(out.Rsrc(kArquivoFundo[0]), first, kJpegQuality), out.Rsrc(kArquivoFundo[0]));
    Check(WriteJpeg(out.Rsrc(kArquivoFundo[1]), second, kJpegQuality), out.Rsrc(kArquivoFundo[1]));
    out.Keep(kArquivoFundo[0], std::move(first));
    out.Keep(kArquivoFundo[1], std::move(second));
}

// --- screen furniture ----------------------------------------------------------------

// Wavy vessel walls framing the top and bottom of a screen.
void PaintWalls(cairo_t* cr, uint64_t seed) {
    for (int side = 0; side < 2; ++side) {
        double base = side == 0 ? 70 : kScreenH - 70, dir = side == 0 ? -1 : 1;
        cairo_new_path(cr);
        cairo_move_to(cr, 0, side == 0 ? 0 : kScreenH);
        for (int x = 0; x <= kScreenW; x += 8) {
            double y = base + 18 * Noise1(x / 210.0, uint32_t(seed + side)) + 6 * Noise1(x / 60.0, uint32_t(seed + 7 + side));
            cairo_line_to(cr, x, y);
        }
        cairo_line_to(cr, kScreenW, side == 0 ? 0 : kScreenH);
        cairo_close_path(cr);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, base - dir * 30, 0, base + dir * 90);
        cairo_pattern_add_color_stop_rgb(p, 0.0, 1.0, 0.62, 0.62);
        cairo_pattern_add_color_stop_rgb(p, 0.12, 0.80, 0.28, 0.33);
        cairo_pattern_add_color_stop_rgb(p, 0.5, 0.45, 0.08, 0.13);
        cairo_pattern_add_color_stop_rgb(p, 1.0, 0.14, 0.02, 0.05);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
}

void Vignette(cairo_t* cr) {
    cairo_pattern_t* v = cairo_pattern_create_radial(kScreenW / 2.0, kScreenH / 2.0, 250, kScreenW / 2.0,
                                                     kScreenH / 2.0, 720);
    cairo_pattern_add_color_stop_rgba(v, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(v, 1, 0, 0, 0, 0.55);
    cairo_set_source(cr, v);
    cairo_paint(cr);
    cairo_pattern_destroy(v);
}

void Backdrop(Canvas& c, uint64_t seed) {
    PaintPlasma(c.cr(), kScreenW, kScreenH, seed, 150);
    PaintWalls(c.cr(), seed);
    Vignette(c.cr());
}

void Panel(cairo_t* cr, double x, double y, double w, double h) {
    RoundedRect(cr, x, y, w, h, 18);
    cairo_set_source_rgba(cr, 0.05, 0.01, 0.03, 0.72);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0.55, 0.85, 0.95, 0.45);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
}

void Title(cairo_t* cr, double y, double size) {
    TextStyle st;
    st.size = size;
    st.bold = true;
    st.align = 1;
    st.glow = size / 6;
    st.colour = kWhite;
    DrawText(cr, "VESSEL DRIFT", kScreenW / 2.0, y, st);
    // A cyan underline sweep under the name.
    cairo_pattern_t* p = cairo_pattern_create_linear(kScreenW / 2.0 - 260, 0, kScreenW / 2.0 + 260, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, kCyan.r, kCyan.g, kCyan.b, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.5, kCyan.r, kCyan.g, kCyan.b, 0.9);
    cairo_pattern_add_color_stop_rgba(p, 1, kCyan.r, kCyan.g, kCyan.b, 0);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, kScreenW / 2.0 - 260, y + size * 0.22, 520, 3);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void Heading(cairo_t* cr, const std::string& text, double y) {
    TextStyle st;
    st.size = 40;
    st.bold = true;
    st.align = 1;
    st.glow = 6;
    st.colour = kWhite;
    DrawText(cr, text, kScreenW / 2.0, y, st);
}

// A keyboard key with its label; returns its width.
double KeyCap(cairo_t* cr, double x, double y, const std::string& label, Rgb tint, double size = 22) {
    double w = std::max(44.0, TextWidth(cr, label, size, true) + 26);
    double h = size + 22;
    RoundedRect(cr, x, y + 4, w, h, 8);
    cairo_set_source_rgba(cr, tint.r * 0.3, tint.g * 0.3, tint.b * 0.3, 0.95);
    cairo_fill(cr);
    RoundedRect(cr, x, y, w, h, 8);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.98, 0.98, 1.0);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.74 + 0.2 * tint.r, 0.74 + 0.2 * tint.g, 0.74 + 0.2 * tint.b);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    SetColour(cr, Scale(tint, 0.55));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    TextStyle st;
    st.size = size;
    st.bold = true;
    st.align = 1;
    st.colour = {0.10, 0.05, 0.08};
    DrawText(cr, label, x + w / 2, y + h / 2 + size * 0.36, st);
    return w;
}

// Lines of a paragraph broken to fit `width`.
std::vector<std::string> Wrap(cairo_t* cr, const std::string& text, double width, double size, bool bold) {
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word, line;
    while (words >> word) {
        std::string tryLine = line.empty() ? word : line + " " + word;
        if (!line.empty() && TextWidth(cr, tryLine, size, bold) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = tryLine;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// Draws a wrapped paragraph from (x, y); returns the y under its last line.
double Paragraph(cairo_t* cr, const std::string& text, double x, double y, double width, TextStyle st,
                 double lineGap = 1.35) {
    for (const std::string& line : Wrap(cr, text, width, st.size, st.bold)) {
        DrawText(cr, line, x, y, st);
        y += st.size * lineGap;
    }
    return y;
}

void PressSpace(cairo_t* cr, bool pt, const std::string& what) {
    TextStyle st;
    st.size = 24;
    st.bold = true;
    st.align = 0;
    st.glow = 4;
    st.colour = kWarm;
    std::string before = pt ? "Pressione " : "Press ";
    std::string after = " " + what;
    double keyW = TextWidth(cr, pt ? "ESPAÇO" : "SPACE", 20, true) + 26;
    double total = TextWidth(cr, before, 24, true) + keyW + TextWidth(cr, after, 24, true);
    double x = (kScreenW - total) / 2, y = 712;
    DrawText(cr, before, x, y, st);
    x += TextWidth(cr, before, 24, true);
    KeyCap(cr, x, y - 29, pt ? "ESPAÇO" : "SPACE", kWarm, 20);
    x += keyW;
    DrawText(cr, after, x, y, st);
}

void PaintSprite(Canvas& c, const Raster& r, double x, double y, double scale = 1.0) {
    if (scale == 1.0) {
        c.Paint(r, x, y);
        return;
    }
    cairo_save(c.cr());
    cairo_translate(c.cr(), x, y);
    cairo_scale(c.cr(), scale, scale);
    c.Paint(r, 0, 0);
    cairo_restore(c.cr());
}

// A screen picture's file in one language.
const char* Nome(const FiguraIdioma& f, bool pt) { return pt ? f.portugues : f.ingles; }

void Save(Output& out, const std::string& name, Canvas& c) {
    Raster r = c.ToRaster();
    for (size_t i = 3; i < r.px.size(); i += 4) r.px[i] = 255;
    Check(WriteJpeg(out.Rsrc(name), r, kJpegQuality), out.Rsrc(name));
    out.Keep(name, std::move(r));
}

// --- the screens ----------------------------------------------------------------

void MakeLoading(Output& out) {
    Canvas c(kScreenW, kScreenH);
    Backdrop(c, 11);
    Title(c.cr(), 230, 84);
    PaintSprite(c, sprites::Frame(sprites::NanoSheet(), sprites::kNanoSide, 0), kScreenW / 2.0 - 160, 270, 2.0);
    TextStyle st;
    st.size = 30;
    st.bold = true;
    st.align = 1;
    st.glow = 5;
    st.colour = kCyan;
    DrawText(c.cr(), "Carregando…  •  Loading…", kScreenW / 2.0, 640, st);
    Save(out, kFiguraCarregando.arquivo, c);
}

void MakeLanguage(Output& out) {
    Canvas c(kScreenW, kScreenH);
    Backdrop(c, 12);
    cairo_t* cr = c.cr();
    Title(cr, 190, 72);
    TextStyle st;
    st.size = 28;
    st.align = 1;
    st.glow = 4;
    st.colour = kPale;
    DrawText(cr, "Escolha o idioma  •  Choose your language", kScreenW / 2.0, 285, st);
    struct Choice {
        const char* key;
        const char* name;
        double x;
    };
    for (const Choice& ch : {Choice{"P", "Português", 150}, Choice{"E", "English", 562}}) {
        Panel(cr, ch.x, 330, 312, 150);
        KeyCap(cr, ch.x + 30, 380, ch.key, kCyan, 30);
        TextStyle name = st;
        name.size = 38;
        name.bold = true;
        name.align = 0;
        name.colour = kWhite;
        DrawText(cr, ch.name, ch.x + 112, 420, name);
    }
    double w = KeyCap(cr, 372, 540, "ESC", kWarm, 24);
    TextStyle quit = st;
    quit.align = 0;
    quit.size = 28;
    DrawText(cr, "Sair  •  Exit", 372 + w + 20, 573, quit);
    Save(out, kFiguraIdiomas.arquivo, c);
}

struct MenuLine {
    std::vector<std::string> keys;
    std::string action;
};

void MakeMenu(Output& out, bool pt) {
    Canvas c(kScreenW, kScreenH);
    Backdrop(c, pt ? 21 : 22);
    cairo_t* cr = c.cr();
    Title(cr, 175, 84);
    PaintSprite(c, sprites::Frame(sprites::NanoSheet(), sprites::kNanoSide, 2), 60, 270, 2.0);
    std::vector<MenuLine> lines =
        pt ? std::vector<MenuLine>{{{"J", "Enter", "Espaço"}, "Jogar"},
                                   {{"T"}, "Tutorial"},
                                   {{"C"}, "Créditos"},
                                   {{"S", "Esc"}, "Sair"}}
           : std::vector<MenuLine>{{{"P", "Enter", "Space"}, "Play"},
                                   {{"T"}, "Tutorial"},
                                   {{"C"}, "Credits"},
                                   {{"X", "Esc"}, "Exit"}};
    Panel(cr, 400, 250, 560, 400);
    double y = 290;
    for (const MenuLine& line : lines) {
        double x = 430;
        for (size_t k = 0; k < line.keys.size(); ++k) {
            x += KeyCap(cr, x, y, line.keys[k], k == 0 ? kCyan : Rgb{0.7, 0.8, 0.9}, 22) + 10;
        }
        TextStyle st;
        st.size = 34;
        st.bold = true;
        st.colour = kWhite;
        DrawText(cr, line.action, 740, y + 34, st);
        y += 88;
    }
    Save(out, Nome(kFiguraMenu, pt), c);
}

// One block of keys of the tutorial keyboard; highlighted keys get their hand's colour.
void KeyboardRow(cairo_t* cr, double x, double y, const std::string& keys, const std::string& left,
                 const std::string& right) {
    for (char k : keys) {
        std::string label(1, k);
        Rgb tint = left.find(k) != std::string::npos ? kKeyLeft
                                                      : (right.find(k) != std::string::npos ? kKeyRight : Rgb{0.3, 0.3, 0.35});
        bool used = tint.r != 0.3;
        if (!used) {
            RoundedRect(cr, x, y, 48, 46, 8);
            cairo_set_source_rgba(cr, 0.5, 0.5, 0.55, 0.35);
            cairo_fill(cr);
            TextStyle st;
            st.size = 20;
            st.bold = true;
            st.align = 1;
            st.colour = {0.7, 0.7, 0.75};
            st.alpha = 0.6;
            DrawText(cr, label, x + 24, y + 31, st);
        } else {
            KeyCap(cr, x, y, label, tint, 20);
        }
        x += 56;
    }
}

// The three rows of keys and the space bar, the two hands' blocks in their colours.
void DrawKeyboard(cairo_t* cr, bool pt) {
    const std::string left = "1234QWERASDF", right = "7890UIOPHJKL";
    const double kx = 232;
    KeyboardRow(cr, kx, 190, "1234567890", left, right);
    KeyboardRow(cr, kx + 18, 246, "QWERTYUIOP", left, right);
    KeyboardRow(cr, kx + 32, 302, "ASDFGHJKL", left, right);
    RoundedRect(cr, kx + 130, 360, 300, 44, 10);
    cairo_set_source_rgba(cr, kWarm.r, kWarm.g, kWarm.b, 0.9);
    cairo_fill(cr);
    TextStyle key;
    key.size = 20;
    key.bold = true;
    key.align = 1;
    key.colour = {0.15, 0.07, 0.03};
    DrawText(cr, pt ? "ESPAÇO" : "SPACE", kx + 280, 389, key);
}

// What one hand's block does, with an arrow the way the nanobot goes.
void HandColumn(cairo_t* cr, double x, Rgb tint, const std::string& title, const std::string& body, bool up) {
    TextStyle st;
    st.size = 28;
    st.bold = true;
    st.colour = tint;
    DrawText(cr, title, x, 460, st);
    double ax = x - 30, ay = 450;
    cairo_move_to(cr, ax - 10, ay + (up ? 6 : -6));
    cairo_line_to(cr, ax, ay + (up ? -8 : 8));
    cairo_line_to(cr, ax + 10, ay + (up ? 6 : -6));
    SetColour(cr, tint);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    TextStyle b;
    b.size = 21;
    b.colour = kPale;
    Paragraph(cr, body, x, 495, 360, b);
}

void MakeTutorial(Output& out, bool pt) {
    Canvas c(kScreenW, kScreenH);
    Backdrop(c, pt ? 31 : 32);
    cairo_t* cr = c.cr();
    Heading(cr, pt ? "Como jogar" : "How to play", 130);
    Panel(cr, 60, 160, 904, 500);
    DrawKeyboard(cr, pt);
    HandColumn(cr, 120, kKeyLeft, pt ? "Mão esquerda: desce" : "Left hand: down",
               pt ? "Segure 1 2 3 4, Q W E R ou A S D F para o nanobô descer."
                  : "Hold 1 2 3 4, Q W E R or A S D F to move the nanobot down.",
               false);
    HandColumn(cr, 560, kKeyRight, pt ? "Mão direita: sobe" : "Right hand: up",
               pt ? "Segure 7 8 9 0, U I O P ou H J K L para o nanobô subir."
                  : "Hold 7 8 9 0, U I O P or H J K L to move the nanobot up.",
               true);
    TextStyle sp;
    sp.size = 23;
    sp.bold = true;
    sp.align = 1;
    sp.colour = kWarm;
    DrawText(cr, pt ? "Segure ESPAÇO para parar de avançar com a corrente." : "Hold SPACE to stop drifting forward with the flow.",
             kScreenW / 2.0, 625, sp);
    PressSpace(cr, pt, pt ? "para continuar" : "to continue");
    Save(out, Nome(kFiguraTutorial, pt), c);
}

// A swatch of vessel wall for the elements page.
void WallSwatch(cairo_t* cr, double x, double y, double w, double h) {
    cairo_save(cr);
    RoundedRect(cr, x, y, w, h, 10);
    cairo_clip(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(p, 0.0, 0.14, 0.02, 0.05);
    cairo_pattern_add_color_stop_rgb(p, 0.45, 0.55, 0.12, 0.18);
    cairo_pattern_add_color_stop_rgb(p, 0.62, 0.86, 0.34, 0.38);
    cairo_pattern_add_color_stop_rgb(p, 0.68, 1.0, 0.75, 0.75);
    cairo_pattern_add_color_stop_rgb(p, 0.72, 0.60, 0.10, 0.13);
    cairo_pattern_add_color_stop_rgb(p, 1.0, 0.35, 0.05, 0.08);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

// Title and text of each item on the elements page, in screen order.
struct TextPair {
    const char* first;
    const char* second;
};
const TextPair kElementsPt[] = {
    {"Placa de gordura", "Presa à parede do vaso. Não encoste nela!"},
    {"Bolha de gordura", "Flutua de uma parede à outra. Desvie na hora certa."},
    {"Parede do vaso", "Tocar na parede destrói o nanobô."},
    {"Coração", "A cada batida, empurra o nanobô para trás."},
    {"Energia", "A barra à esquerda esvazia com o tempo. Se acabar, a missão falha."},
    {"Indicadores", "As setas acendem quando você sobe ou desce; ESPAÇO acende enquanto o nanobô avança."}};
const TextPair kElementsEn[] = {
    {"Fat plaque", "Stuck to the vessel wall. Don't touch it!"},
    {"Fat blob", "Drifts from wall to wall. Dodge it at the right moment."},
    {"Vessel wall", "Touching the wall destroys the nanobot."},
    {"Heart", "Every beat pushes the nanobot back."},
    {"Energy", "The bar on the left drains with time. If it runs out, the mission fails."},
    {"Indicators", "The arrows light up as you move up or down; SPACE glows while the nanobot drifts forward."}};
// Role and name of each credit.
const TextPair kCreditsPt[] = {{"Jogo e programação", "Equipe Vessel Drift"},
                               {"Motor", "Brisa2D 2 e Brisa Audio 2"},
                               {"Arte, animação e telas", "Desenhadas pelo nosso gerador de recursos"},
                               {"Música e efeitos sonoros", "Sintetizados pelo nosso gerador de recursos"},
                               {"Feito com", "SDL, SDL_image, SDL_mixer e OpenGL"}};
const TextPair kCreditsEn[] = {{"Game and programming", "The Vessel Drift team"},
                               {"Engine", "Brisa2D 2 and Brisa Audio 2"},
                               {"Art, animation and screens", "Drawn by our own asset generator"},
                               {"Music and sound effects", "Synthesised by our own asset generator"},
                               {"Made with", "SDL, SDL_image, SDL_mixer and OpenGL"}};

void MakeElements(Output& out, bool pt) {
    Canvas c(kScreenW, kScreenH);
    Backdrop(c, pt ? 41 : 42);
    cairo_t* cr = c.cr();
    Heading(cr, pt ? "Elementos do jogo" : "Game elements", 122);
    Panel(cr, 40, 150, 944, 510);
    const auto& items = pt ? kElementsPt : kElementsEn;
    for (size_t i = 0; i < std::size(items); ++i) {
        double x = i % 2 == 0 ? 70 : 530, y = 175 + 160 * double(i / 2);
        double ix = x, iy = y + 10;
        switch (i) {
            case 0: PaintSprite(c, sprites::Frame(sprites::PlaqueSheet(), sprites::kPlaqueSide, 0), ix + 10, iy + 10, 1.2); break;
            case 1: PaintSprite(c, sprites::Frame(sprites::FatSheet(), sprites::kFatWidth, 0), ix + 12, iy + 20, 1.3); break;
            case 2: WallSwatch(cr, ix, iy + 5, 115, 100); break;
            case 3: PaintSprite(c, sprites::Frame(sprites::HeartSheet(), sprites::kHeartSide, 0), ix + 6, iy, 1.05); break;
            case 4: {
                // The energy gauge, part drained, shrunk to fit the row.
                Canvas bar(sprites::kBarFrameWidth, sprites::kBarFrameHeight);
                bar.Paint(sprites::Bar(), 0, 150);
                bar.Paint(sprites::BarFrame(), 0, 0);
                PaintSprite(c, bar.ToRaster(), ix + 45, iy - 4, 0.16);
                break;
            }
            default:
                PaintSprite(c, sprites::Frame(sprites::ArrowSheet(true), sprites::kIconWidth, 0), ix, iy + 2, 0.55);
                PaintSprite(c, sprites::Frame(sprites::ArrowSheet(false), sprites::kIconWidth, 1), ix + 58, iy + 2, 0.55);
                PaintSprite(c, sprites::Frame(sprites::SpaceSheet(pt), sprites::kIconWidth, 1), ix + 20, iy + 45, 0.75);
                break;
        }
        TextStyle t;
        t.size = 25;
        t.bold = true;
        t.colour = kCyan;
        DrawText(cr, items[i].first, x + 135, y + 38, t);
        TextStyle b;
        b.size = 19;
        b.colour = kPale;
        Paragraph(cr, items[i].second, x + 135, y + 68, 270, b, 1.3);
    }
    PressSpace(cr, pt, pt ? "para continuar" : "to continue");
    Save(out, Nome(kFiguraElementos, pt), c);
}

void MakeCredits(Output& out, bool pt) {
    Canvas c(kScreenW, kScreenH);
    Backdrop(c, pt ? 51 : 52);
    cairo_t* cr = c.cr();
    Heading(cr, pt ? "Créditos" : "Credits", 130);
    Panel(cr, 150, 165, 724, 470);
    const auto& credits = pt ? kCreditsPt : kCreditsEn;
    double y = 220;
    for (const TextPair& credit : credits) {
        TextStyle role;
        role.size = 21;
        role.align = 1;
        role.colour = kCyan;
        DrawText(cr, credit.first, kScreenW / 2.0, y, role);
        TextStyle who;
        who.size = 27;
        who.bold = true;
        who.align = 1;
        who.colour = kWhite;
        DrawText(cr, credit.second, kScreenW / 2.0, y + 34, who);
        y += 80;
    }
    TextStyle thanks;
    thanks.size = 26;
    thanks.bold = true;
    thanks.align = 1;
    thanks.colour = kWarm;
    DrawText(cr, pt ? "Obrigado por jogar!" : "Thank you for playing!", kScreenW / 2.0, 615, thanks);
    PressSpace(cr, pt, pt ? "para voltar" : "to go back");
    Save(out, Nome(kFiguraCreditos, pt), c);
}

void MakeLoss(Output& out, bool pt) {
    Canvas c(kScreenW, kScreenH);
    Backdrop(c, pt ? 61 : 62);
    cairo_t* cr = c.cr();
    // A dark red wash: something went wrong.
    cairo_set_source_rgba(cr, 0.2, 0.0, 0.0, 0.45);
    cairo_paint(cr);
    Heading(cr, pt ? "O nanobô foi destruído!" : "The nanobot was destroyed!", 190);
    cairo_save(cr);
    cairo_translate(cr, kScreenW / 2.0, 360);
    cairo_rotate(cr, 0.5);
    PaintSprite(c, sprites::Frame(sprites::NanoSheet(), sprites::kNanoSide, 3), -160, -160, 2.0);
    cairo_restore(cr);
    // Cracks and sparks over the broken nanobot.
    cairo_set_source_rgba(cr, 0.05, 0.05, 0.07, 0.9);
    cairo_set_line_width(cr, 3);
    cairo_move_to(cr, 470, 300);
    cairo_line_to(cr, 500, 340);
    cairo_line_to(cr, 488, 372);
    cairo_line_to(cr, 530, 410);
    cairo_stroke(cr);
    Rng rng(90);
    for (int i = 0; i < 22; ++i) {
        double a = rng.Range(0, 2 * M_PI), r0 = rng.Range(70, 90), r1 = r0 + rng.Range(15, 45);
        cairo_move_to(cr, kScreenW / 2.0 + r0 * std::cos(a), 360 + r0 * std::sin(a));
        cairo_line_to(cr, kScreenW / 2.0 + r1 * std::cos(a), 360 + r1 * std::sin(a));
        cairo_set_source_rgba(cr, 1.0, 0.8, 0.3, rng.Range(0.4, 0.9));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
    TextStyle st;
    st.size = 27;
    st.align = 1;
    st.glow = 4;
    st.colour = kPale;
    DrawText(cr, pt ? "O paciente ainda precisa de você. Tente de novo!" : "The patient still needs you. Try again!",
             kScreenW / 2.0, 560, st);
    PressSpace(cr, pt, pt ? "para voltar ao menu" : "to return to the menu");
    Save(out, Nome(kFiguraPerdeu, pt), c);
}

void MakeWin(Output& out, bool pt) {
    Canvas c(kScreenW, kScreenH);
    Backdrop(c, pt ? 71 : 72);
    cairo_t* cr = c.cr();
    cairo_pattern_t* light = cairo_pattern_create_radial(kScreenW / 2.0, 360, 10, kScreenW / 2.0, 360, 420);
    cairo_pattern_add_color_stop_rgba(light, 0, 1.0, 0.95, 0.75, 0.85);
    cairo_pattern_add_color_stop_rgba(light, 1, 1.0, 0.8, 0.5, 0.0);
    cairo_set_source(cr, light);
    cairo_paint(cr);
    cairo_pattern_destroy(light);
    Heading(cr, pt ? "Missão cumprida!" : "Mission accomplished!", 170);
    PaintSprite(c, sprites::Frame(sprites::HeartSheet(), sprites::kHeartSide, 7), kScreenW / 2.0 + 40, 240, 1.6);
    PaintSprite(c, sprites::Frame(sprites::NanoSheet(), sprites::kNanoSide, 0), kScreenW / 2.0 - 260, 230, 1.5);
    TextStyle st;
    st.size = 27;
    st.align = 1;
    st.glow = 6;
    st.colour = kWhite;
    double y = Paragraph(cr,
                         pt ? "O nanobô chegou ao fim do vaso e entregou o remédio." : "The nanobot reached the end of the vessel and delivered the cure.",
                         kScreenW / 2.0, 530, 820, st);
    st.bold = true;
    st.colour = kWarm;
    DrawText(cr, pt ? "O paciente está salvo!" : "The patient is saved!", kScreenW / 2.0, y + 12, st);
    PressSpace(cr, pt, pt ? "para voltar ao menu" : "to return to the menu");
    Save(out, Nome(kFiguraGanhou, pt), c);
}

void MakeOpening(Output& out, bool pt) {
    Canvas c(kScreenW, kScreenH);
    Backdrop(c, pt ? 81 : 82);
    cairo_t* cr = c.cr();
    Heading(cr, pt ? "A missão" : "The mission", 140);
    Panel(cr, 90, 170, 844, 470);
    PaintSprite(c, sprites::Frame(sprites::NanoSheet(), sprites::kNanoSide, 1), 110, 210, 1.2);
    PaintSprite(c, sprites::Frame(sprites::FatSheet(), sprites::kFatWidth, 1), 150, 430, 1.0);
    PaintSprite(c, sprites::Frame(sprites::PlaqueSheet(), sprites::kPlaqueSide, 0), 140, 520, 1.0);
    std::vector<std::string> story =
        pt ? std::vector<std::string>{"As artérias de um paciente estão cheias de gordura.",
                                      "Um nanobô foi injetado na corrente sanguínea para levar o remédio até o fim do vaso.",
                                      "Guie o nanobô sem tocar na parede, nas placas nem nas bolhas de gordura.",
                                      "A cada batida, o coração o empurra para trás — e a energia é limitada."}
           : std::vector<std::string>{"A patient's arteries are clogged with fat.",
                                      "A nanobot has been injected into the bloodstream to carry the cure to the end of the vessel.",
                                      "Steer it without touching the wall, the plaques or the fat blobs.",
                                      "Every heartbeat pushes it back — and its energy is limited."};
    TextStyle st;
    st.size = 25;
    st.colour = kPale;
    double y = 230;
    for (const std::string& p : story) y = Paragraph(cr, p, 330, y, 570, st) + 22;
    PressSpace(cr, pt, pt ? "para começar" : "to start");
    Save(out, Nome(kFiguraAbertura, pt), c);
}

}  // namespace

void AddScreenJobs(std::vector<Job>& jobs) {
    jobs.push_back({"far background", 1.0, MakeFarBackground});
    jobs.push_back({"loading and language screens", 0.6, [](Output& out) {
                        MakeLoading(out);
                        MakeLanguage(out);
                    }});
    for (bool pt : {true, false}) {
        jobs.push_back({pt ? "screens (pt) 1" : "screens (en) 1", 0.8, [pt](Output& out) {
                            MakeMenu(out, pt);
                            MakeTutorial(out, pt);
                            MakeElements(out, pt);
                        }});
        jobs.push_back({pt ? "screens (pt) 2" : "screens (en) 2", 0.8, [pt](Output& out) {
                            MakeCredits(out, pt);
                            MakeLoss(out, pt);
                            MakeWin(out, pt);
                            MakeOpening(out, pt);
                        }});
    }
}
