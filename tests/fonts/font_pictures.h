// Font pictures made by the tests: a 16 x 16 matrix of square cells, each
// glyph's ink given as the cell columns that carry it.
#ifndef VD_FONT_PICTURES_H
#define VD_FONT_PICTURES_H

#include <initializer_list>
#include <string>
#include <vector>

#include "brisa2d2.h"
#include "testsupport.h"

namespace vdtest {

const Rgba kFontInk{255, 255, 255, 255}, kFontClear{0, 0, 0, 0}, kFontMagenta{255, 0, 255, 255};

struct GlyphInk {
    unsigned char code;
    std::vector<int> columns;  // cell columns with ink
    Rgba ink = kFontInk;
};

// Inks column c of a glyph from row 1 + c % 3 down to the next-to-last row,
// so that neighbouring columns differ and a misplaced glyph shows (tiny cells
// get the whole column).
inline void InkColumn(Picture& p, int cellX, int cellY, int t, int c, Rgba ink) {
    bool roomy = t >= 5;
    for (int y = roomy ? 1 + c % 3 : 0; y < (roomy ? t - 1 : t); ++y) p.at(cellX + c, cellY + y) = ink;
}

inline Picture FontPicture(int t, const std::vector<GlyphInk>& glyphs, Rgba background = kFontClear) {
    Picture p(16 * t, 16 * t, background);
    for (const GlyphInk& g : glyphs)
        for (int c : g.columns) InkColumn(p, t * (g.code % 16), t * (g.code / 16), t, c, g.ink);
    return p;
}

inline std::vector<int> Columns(int first, int last) {
    std::vector<int> v;
    for (int c = first; c <= last; ++c) v.push_back(c);
    return v;
}

// 12-pixel glyphs for the words the drawing tests write: V, d, " (two
// strokes, so its advance stops at the first) and !.
inline Picture WordFont() {
    return FontPicture(12, {{'V', {0, 1, 2, 5, 8, 9, 10}}, {'d', Columns(2, 7)}, {'"', {1, 2, 5, 6}}, {'!', Columns(4, 5)}});
}

// Writes the picture into `dir` and loads it as a font; 0 when that fails.
inline unsigned int LoadFont(const std::string& dir, const std::string& name, const Picture& pic, int t) {
    std::string path = dir + "/" + name;
    if (!WritePng(path, pic)) return 0;
    return BRZ_CarregaFonte(path.c_str(), t);
}

// What drawing `text` at pen start `penX`, top `y`, should leave on a
// background: every glyph cell copied from the font picture where it has ink,
// at pen - left bearing, the pen moving by each advance.
inline void ExpectedText(Picture& screen, const Picture& font, const BRZ_Fonte& f, const char* text, int penX,
                         int y) {
    const int t = f.tamanhoFonte;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        int x0 = penX - f.deslocamentos[*p];
        for (int j = 0; j < t; ++j)
            for (int i = 0; i < t; ++i) {
                const Rgba& c = font.at(t * (*p % 16) + i, t * (*p / 16) + j);
                int sx = x0 + i, sy = y + j;
                if (c.a == 255 && !(c == kFontMagenta) && sx >= 0 && sy >= 0 && sx < screen.w && sy < screen.h)
                    screen.at(sx, sy) = c;
            }
        penX += f.larguras[*p];
    }
}

}  // namespace vdtest

#endif
