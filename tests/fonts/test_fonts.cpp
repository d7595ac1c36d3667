// Bitmap fonts under the software renderer: glyph measuring, the font
// registry, text measuring, where each glyph is drawn, and text really drawn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brisa2d2.h"
#include "font_pictures.h"
#include "testsupport.h"

using namespace vdtest;

namespace {

const int kScreenW = 320, kScreenH = 120;

class Fonts : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = MakeTempDir("fonts");
        ASSERT_FALSE(dir_.empty());
        ASSERT_TRUE(BRZ_Inicia(kScreenW, kScreenH, BRZ_JANELA, BRZ_DESENHO_PADRAO, "fonts"));
    }
    void TearDown() override {
        BRZ_Encerra();
        RemoveTree(dir_);
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    unsigned int Load(const std::string& name, const Picture& pic, int t) { return LoadFont(dir_, name, pic, t); }
    static bool SlotFree(unsigned int id) {
        const BRZ_Fonte& f = fontes[id - 1];
        return f.idSpriteSet == 0 && f.usuarios == 0 && f.apelido[0] == '\0';
    }
    std::string dir_;
};

// ---------------------------------------------------------------------------
// Measuring glyphs
// ---------------------------------------------------------------------------

struct MeasureCase {
    const char* what;
    int t;
    unsigned char code;
    std::vector<int> ink;
    int offset, advance;
    Rgba background = kFontClear;
    Rgba inkColour = kFontInk;
};

const std::vector<MeasureCase> kMeasureCases = {
    {"16-pixel cell, ink 3..9: spacing 1", 16, 'A', Columns(3, 9), 3, 8},
    {"32-pixel cell, ink 3..9: spacing 2", 32, 'A', Columns(3, 9), 3, 9},
    {"64-pixel cell, ink 3..9: spacing 3", 64, 'A', Columns(3, 9), 3, 10},
    {"31-pixel cell still spaced by 1", 31, 'A', Columns(3, 9), 3, 8},
    {"63-pixel cell still spaced by 2", 63, 'A', Columns(3, 9), 3, 9},
    {"ink up to the last column: no spacing", 16, 'k', Columns(5, 15), 5, 11},
    {"32-pixel cell, ink 0..30: spacing cut at the cell", 32, 'W', Columns(0, 30), 0, 32},
    {"empty cell: the whole cell", 16, 'B', {}, 0, 16},
    {"space in 15-pixel cells, whatever its cell holds", 15, ' ', Columns(2, 8), 0, 7},
    {"space in 16-pixel cells", 16, ' ', {}, 0, 8},
    {"byte above 127", 16, 0xE9, Columns(1, 4), 1, 5},
    {"ink on a magenta background", 16, 'A', Columns(3, 9), 3, 8, kFontMagenta},
    {"ink on clear pixels of any colour", 16, 'A', Columns(3, 9), 3, 8, Rgba{10, 200, 30, 0}},
    {"nearly clear ink is still ink", 16, 'A', Columns(3, 9), 3, 8, kFontClear, Rgba{90, 90, 90, 1}},
    // A blank column inside the ink must not end the glyph (the next glyph
    // would be drawn over its second part): the advance runs to the last ink.
    {"double quote: two strokes", 16, '"', {2, 3, 6, 7}, 2, 7},
    {"'m' with blank columns between its legs", 32, 'm', {1, 2, 3, 7, 8, 9, 13, 14, 15, 16, 17}, 1, 19},
    {"split ink reaching the last column", 16, '|', {0, 15}, 0, 16},
};

TEST_F(Fonts, GlyphsAreMeasuredFromTheirInk) {
    int n = 0;
    for (const MeasureCase& c : kMeasureCases) {
        SCOPED_TRACE(c.what);
        Picture pic = FontPicture(c.t, {{c.code, c.ink, c.inkColour}}, c.background);
        unsigned int id = Load("measure" + std::to_string(n++) + ".png", pic, c.t);
        ASSERT_NE(id, 0u);
        const BRZ_Fonte& f = fontes[id - 1];
        EXPECT_EQ(f.tamanhoFonte, c.t);
        EXPECT_EQ(f.deslocamentos[c.code], c.offset);
        EXPECT_EQ(f.larguras[c.code], c.advance);
        // Every other cell is empty and so a blank of the full cell (the space half of it).
        unsigned char other = c.code == 'Z' ? 'Y' : 'Z';
        EXPECT_EQ(f.larguras[other], c.t);
        EXPECT_EQ(f.larguras[' '], c.t / 2);
        BRZ_RemoveFonte(id);
    }
}

// ---------------------------------------------------------------------------
// The registry
// ---------------------------------------------------------------------------

TEST_F(Fonts, LoadingAFileTwiceSharesOneSlotUntilTheLastRemoval) {
    Picture pic = FontPicture(8, {{'a', Columns(1, 4)}});
    unsigned int id = Load("shared.png", pic, 8);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(BRZ_CarregaFonte(Path("shared.png").c_str(), 16), id) << "the second size is ignored";
    EXPECT_EQ(fontes[id - 1].usuarios, 2);
    EXPECT_EQ(fontes[id - 1].tamanhoFonte, 8);
    unsigned int set = fontes[id - 1].idSpriteSet;
    EXPECT_EQ(sprites[set - 1].usuarios, 1u) << "the font holds its picture once";

    BRZ_RemoveFonte(id);
    EXPECT_EQ(fontes[id - 1].usuarios, 1);
    EXPECT_TRUE(BRZ_DimensoesTexto(id, "a", nullptr, nullptr));
    BRZ_RemoveFonte(id);
    EXPECT_TRUE(SlotFree(id));
    EXPECT_EQ(BRZ_ProcuraSpriteSet(Path("shared.png").c_str()), 0u) << "the picture was given back";
    BRZ_RemoveFonte(id);
    EXPECT_TRUE(SlotFree(id));
}

TEST_F(Fonts, TheFontHoldsOneHolderOfAPictureLoadedElsewhere) {
    std::string path = Path("both.png");
    ASSERT_TRUE(WritePng(path, FontPicture(8, {{'a', Columns(1, 4)}})));
    unsigned int set = BRZ_CarregaSpriteSet(path.c_str(), 8, 8);
    ASSERT_NE(set, 0u);
    unsigned int id = BRZ_CarregaFonte(path.c_str(), 8);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(fontes[id - 1].idSpriteSet, set);
    EXPECT_EQ(sprites[set - 1].usuarios, 2u);
    BRZ_RemoveFonte(id);
    EXPECT_EQ(sprites[set - 1].usuarios, 1u);
    EXPECT_NE(sprites[set - 1].imagem, nullptr);
}

TEST_F(Fonts, FontsAreFoundByTheirExactName) {
    unsigned int first = Load("one.png", FontPicture(8, {}), 8);
    unsigned int second = Load("two.png", FontPicture(8, {}), 8);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(second, 2u);
    EXPECT_EQ(BRZ_ProcuraFonte(Path("two.png").c_str()), 2u);
    EXPECT_EQ(BRZ_ProcuraFonte(Path("TWO.png").c_str()), 0u);
    EXPECT_EQ(BRZ_ProcuraFonte("two.png"), 0u);
    // Free slots have an empty name; they are not fonts called "".
    EXPECT_EQ(BRZ_ProcuraFonte(""), 0u);
    EXPECT_EQ(BRZ_ProcuraFonte(nullptr), 0u);
}

TEST_F(Fonts, AWrongSizeIsRefusedAndLeavesTheSlotFree) {
    struct {
        int w, h, t;
        const char* numbers;
    } cases[] = {{136, 136, 8, "128x128"}, {128, 64, 8, "128x128"}, {64, 64, 8, "128x128"},
                 {128, 128, 0, "0x0"}, {128, 128, -8, "-128x-128"}};
    int n = 0;
    for (const auto& c : cases) {
        std::string name = "wrong" + std::to_string(n++) + ".png";
        StdoutCapture out;
        EXPECT_EQ(Load(name, Picture(c.w, c.h, kFontInk), c.t), 0u);
        EXPECT_EQ(out.Take(), std::string("As dimensões da fonte são inválidas. utilize um arquivo de ") + c.numbers +
                                  " pixels, com as fontes numa matriz 16x16.\n");
        EXPECT_TRUE(SlotFree(1));
        EXPECT_EQ(BRZ_ProcuraSpriteSet(Path(name).c_str()), 0u) << "the picture was given back";
    }
    EXPECT_EQ(Load("right.png", FontPicture(8, {}), 8), 1u);
}

TEST_F(Fonts, AFileThatCannotBeOpenedIsReported) {
    std::string path = Path("missing.png");
    StdoutCapture out;
    EXPECT_EQ(BRZ_CarregaFonte(path.c_str(), 8), 0u);
    std::string text = out.Take();
    std::string tail = "Não conseguir abrir a fonte do arquivo " + path + ".\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << "after the renderer's own message";
    EXPECT_TRUE(SlotFree(1));
}

TEST_F(Fonts, NamesThatCannotNameAFontAreRefused) {
    StdoutCapture out;
    EXPECT_EQ(BRZ_CarregaFonte("", 8), 0u);
    EXPECT_EQ(BRZ_CarregaFonte(nullptr, 8), 0u);
    EXPECT_EQ(BRZ_CarregaFonte(std::string(BRZ_TAM_APELIDO, 'x').c_str(), 8), 0u);
    out.Take();
    EXPECT_TRUE(SlotFree(1));
    EXPECT_EQ(sprites[0].usuarios, 0u) << "no sprite slot was touched";
}

TEST_F(Fonts, A65thFontFindsNoSlotButAKnownOneIsStillShared) {
    Picture tiny = FontPicture(1, {});
    for (int i = 1; i <= BRZ_MAX_FONTES; ++i)
        ASSERT_EQ(Load("f" + std::to_string(i) + ".png", tiny, 1), unsigned(i));
    ASSERT_TRUE(WritePng(Path("extra.png"), tiny));
    StdoutCapture out;
    EXPECT_EQ(BRZ_CarregaFonte(Path("extra.png").c_str(), 1), 0u);
    EXPECT_EQ(out.Take(), "");
    EXPECT_EQ(BRZ_CarregaFonte(Path("f7.png").c_str(), 1), 7u);
    EXPECT_EQ(fontes[6].usuarios, 2);
}

TEST_F(Fonts, ShutDownRemovesEveryFontWhateverItsHolders) {
    unsigned int a = Load("a.png", FontPicture(8, {}), 8);
    ASSERT_NE(a, 0u);
    BRZ_CarregaFonte(Path("a.png").c_str(), 8);
    BRZ_CarregaFonte(Path("a.png").c_str(), 8);
    unsigned int b = Load("b.png", FontPicture(8, {}), 8);
    ASSERT_NE(b, 0u);
    BRZ_Encerra();
    for (unsigned int id = 1; id <= BRZ_MAX_FONTES; ++id) EXPECT_TRUE(SlotFree(id)) << id;
    for (const BRZ_SpriteSet& s : sprites) EXPECT_EQ(s.imagem, nullptr);
}

// ---------------------------------------------------------------------------
// Measuring and drawing text
// ---------------------------------------------------------------------------

// 16-pixel font: 'W' fills its cell (advance 16), 'i' has ink 0..3 (5), 'j'
// ink 3..6 (offset 3, advance 5). "WWWWWWi" is 101 pixels wide.
Picture AlignmentFont() {
    return FontPicture(16, {{'W', Columns(0, 15)}, {'i', Columns(0, 3)}, {'j', Columns(3, 6)}});
}

TEST_F(Fonts, TextWidthIsTheSumOfTheAdvances) {
    unsigned int id = Load("align.png", AlignmentFont(), 16);
    int w = -1, h = -1;
    EXPECT_TRUE(BRZ_DimensoesTexto(id, "WWWWWWi", &w, &h));
    EXPECT_EQ(w, 101);
    EXPECT_EQ(h, 16);
    EXPECT_TRUE(BRZ_DimensoesTexto(id, "j j", &w, nullptr));
    EXPECT_EQ(w, 5 + 8 + 5);
    EXPECT_TRUE(BRZ_DimensoesTexto(id, "", &w, &h));
    EXPECT_EQ(w, 0);
    EXPECT_TRUE(BRZ_DimensoesTexto(id, "W", nullptr, nullptr));
    EXPECT_FALSE(BRZ_DimensoesTexto(0, "W", &w, &h));
    EXPECT_FALSE(BRZ_DimensoesTexto(BRZ_MAX_FONTES + 1, "W", &w, &h));
    EXPECT_FALSE(BRZ_DimensoesTexto(id + 1, "W", &w, &h)) << "a free slot";
}

struct Draw {
    unsigned int set, glyph;
    int x, y;
};
std::vector<Draw> g_draws;
bool RecordDraw(unsigned int id, unsigned int indice, int x, int y) {
    g_draws.push_back({id, indice, x, y});
    return true;
}

// Records the glyph draws instead of drawing them.
class FontDraws : public Fonts {
protected:
    void SetUp() override {
        Fonts::SetUp();
        saved_ = BRZ_DesenhaSprite;
        BRZ_DesenhaSprite = RecordDraw;
        g_draws.clear();
    }
    void TearDown() override {
        BRZ_DesenhaSprite = saved_;
        Fonts::TearDown();
    }
    bool (*saved_)(unsigned int, unsigned int, int, int) = nullptr;
};

TEST_F(FontDraws, ThePenStartsWhereTheAlignmentPutsIt) {
    unsigned int id = Load("align.png", AlignmentFont(), 16);
    struct {
        unsigned int alignment;
        int start;
    } cases[] = {{0, 150}, {1, 99}, {2, 200}, {7, 200}};
    for (const auto& c : cases) {
        g_draws.clear();
        EXPECT_TRUE(BRZ_DesenhaTexto(id, 200, 33, "WWWWWWi", c.alignment));
        ASSERT_EQ(g_draws.size(), 7u);
        for (int k = 0; k < 7; ++k) {
            EXPECT_EQ(g_draws[k].x, c.start + 16 * k) << "alignment " << c.alignment << ", glyph " << k;
            EXPECT_EQ(g_draws[k].y, 33);
            EXPECT_EQ(g_draws[k].set, fontes[id - 1].idSpriteSet);
            EXPECT_EQ(g_draws[k].glyph, k < 6 ? unsigned('W') : unsigned('i'));
        }
    }
}

TEST_F(FontDraws, EachGlyphIsDrawnLeftOfThePenByItsBearing) {
    unsigned int id = Load("align.png", AlignmentFont(), 16);
    EXPECT_TRUE(BRZ_DesenhaTexto(id, 10, 20, "jWj", 2));
    ASSERT_EQ(g_draws.size(), 3u);
    EXPECT_EQ(g_draws[0].x, 10 - 3);
    EXPECT_EQ(g_draws[1].x, 10 + 5);
    EXPECT_EQ(g_draws[2].x, 10 + 5 + 16 - 3);
}

TEST_F(FontDraws, EveryByteIsAGlyph) {
    unsigned int id = Load("align.png", AlignmentFont(), 16);
    EXPECT_TRUE(BRZ_DesenhaTexto(id, 0, 0, "\n\xff\x01", 2));
    ASSERT_EQ(g_draws.size(), 3u);
    EXPECT_EQ(g_draws[0].glyph, 10u);
    EXPECT_EQ(g_draws[1].glyph, 255u);
    EXPECT_EQ(g_draws[2].glyph, 1u);
    EXPECT_EQ(g_draws[1].x, 16) << "after the empty cell of the line feed";
}

TEST_F(FontDraws, NothingIsDrawnForAnEmptyTextOrAMissingFont) {
    unsigned int id = Load("align.png", AlignmentFont(), 16);
    StdoutCapture out;
    EXPECT_TRUE(BRZ_DesenhaTexto(id, 50, 50, "", 0));
    EXPECT_FALSE(BRZ_DesenhaTexto(0, 50, 50, "abc", 0));
    EXPECT_FALSE(BRZ_DesenhaTexto(BRZ_MAX_FONTES + 1, 50, 50, "abc", 0));
    EXPECT_FALSE(BRZ_DesenhaTexto(id, 50, 50, nullptr, 0));
    EXPECT_EQ(out.Take(), "");
    StdoutCapture free;
    EXPECT_FALSE(BRZ_DesenhaTexto(id + 1, 50, 50, "abc", 0));
    EXPECT_EQ(free.Take(), "Falhou ao procurar as dimensões do texto abc com a fonte .\n");
    EXPECT_TRUE(g_draws.empty());
}

// A word really drawn on the software renderer's screen.
TEST_F(Fonts, AWordIsDrawnOnTheScreen) {
    Picture font = WordFont();
    unsigned int id = Load("word.png", font, 12);
    ASSERT_NE(id, 0u);
    const Rgba kBackground{0, 0, 64, 255};
    BRZ_TrocaCorLimpezaTela(kBackground.r, kBackground.g, kBackground.b);
    BRZ_LimpaTela();
    const char* kWord = "\"Vd!\"";
    ASSERT_TRUE(BRZ_DesenhaTexto(id, 160, 40, kWord, 0));
    int width = 0;
    ASSERT_TRUE(BRZ_DimensoesTexto(id, kWord, &width, nullptr));
    EXPECT_EQ(width, 7 + 12 + 7 + 3 + 7) << "advances of \", V, d, !";
    Picture want(kScreenW, kScreenH, kBackground);
    ExpectedText(want, font, fontes[id - 1], kWord, 160 - width / 2, 40);
    EXPECT_TRUE(SameWithin(ReadScreenSurface(), want, 0, "fonts", "software_word"));
}

}  // namespace
