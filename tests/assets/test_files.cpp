// Every file the game loads exists in its real format, with the sizes and frame
// grids the game cuts it into, and with the details the game relies on: which
// icon frame is lit, which heart frame beats, when the time bar runs dry, that
// the music loops without a jump.
#include <gtest/gtest.h>
#include <SDL_image.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "assets_helpers.h"
#include "testsupport.h"

namespace {

using namespace assets;

std::string Head(const std::string& name, size_t n) {
    std::ifstream f(Rsrc(name), std::ios::binary);
    std::string s(n, '\0');
    f.read(&s[0], std::streamsize(n));
    s.resize(size_t(f.gcount()));
    return s;
}

std::string Extension(const std::string& name) { return name.substr(name.rfind('.') + 1); }

TEST(AssetFiles, EveryFileIsThereInTheFormatItsNameSays) {
    std::vector<std::string> names = AllAssetNames();
    ASSERT_EQ(names.size(), 53u);
    for (const std::string& name : names) {
        std::string head = Head(name, 64), ext = Extension(name);
        ASSERT_GE(head.size(), 44u) << name << " is missing or empty";
        if (ext == "png") {
            EXPECT_EQ(head.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << name;
        }
        if (ext == "jpg") {
            EXPECT_EQ(head.substr(0, 3), "\xFF\xD8\xFF") << name;
        }
        if (ext == "ogg") {
            EXPECT_EQ(head.substr(0, 4), "OggS") << name;
            EXPECT_EQ(head.substr(29, 6), "vorbis") << name;
        }
        if (ext == "wav") {
            EXPECT_EQ(head.substr(0, 4), "RIFF") << name;
            EXPECT_EQ(head.substr(8, 8), "WAVEfmt ") << name;
            EXPECT_EQ(head[20], 1) << name << " is not PCM";
        }
    }
}

struct Grid {
    const char* name;
    int frameW, frameH;  // as the game loads it (0 x 0: one frame)
    int frames;          // frames the game's entities use
    int width, height;   // exact picture size, or 0 when only bounded
};

Grid GridOf(const Figura& f, int width = 0, int height = 0) {
    return {f.arquivo, f.largura, f.altura, f.quadros, width, height};
}
Grid GridOf(const FiguraIdioma& f, bool portuguese) {
    return {portuguese ? f.portugues : f.ingles, f.largura, f.altura, f.quadros, 0, 0};
}

const Grid kGrids[] = {
    GridOf(kFiguraNano),         GridOf(kFiguraObstaculoMovel), GridOf(kFiguraObstaculoFixo),
    GridOf(kFiguraCoracao),      GridOf(kFiguraSetaBaixo),      GridOf(kFiguraSetaCima),
    GridOf(kFiguraEspaco, true), GridOf(kFiguraEspaco, false),
    GridOf(kFiguraNanoColisao, kNanoColisaoLargura, kNanoColisaoAltura),
    GridOf(kFiguraPreto),        GridOf(kFiguraSobreBarra, 0, 768), GridOf(kFiguraBarra),
};

TEST(AssetFiles, SheetsLoadThroughTheEngineWithTheirFrameGrids) {
    Engine engine;
    ASSERT_TRUE(engine.ok());
    for (const Grid& g : kGrids) {
        unsigned id = engine.Load(g.name, g.frameW, g.frameH);
        ASSERT_NE(id, 0u) << g.name;
        const BRZ_SpriteSet& s = sprites[id - 1];
        if (g.frameW > 0) {
            EXPECT_EQ(s.largura % g.frameW, 0) << g.name;
            EXPECT_EQ(s.altura % g.frameH, 0) << g.name;
        }
        EXPECT_EQ(s.matrizX * s.matrizY, g.frames) << g.name;
        if (g.width) {
            EXPECT_EQ(s.largura, g.width) << g.name;
        }
        if (g.height) {
            EXPECT_EQ(s.altura, g.height) << g.name;
        }
    }
}

TEST(AssetFiles, PicturesFitTextureLimitsAndScreensFillTheScreen) {
    for (const std::string& name : AllAssetNames()) {
        std::string ext = Extension(name);
        if (ext != "png" && ext != "jpg") continue;
        SDL_Surface* s = IMG_Load(Rsrc(name).c_str());
        ASSERT_NE(s, nullptr) << name;
        EXPECT_LE(std::max(s->w, s->h), kLarguraTile) << name;
        bool screen = ext == "jpg" && name.rfind("Fundo", 0) != 0;
        if (screen) {
            EXPECT_EQ(s->w, 1024) << name;
            EXPECT_EQ(s->h, 768) << name;
        }
        SDL_FreeSurface(s);
    }
    for (int i = 0; i < kTilesMapa; ++i) {
        const char *tile = kArquivoMapa[i], *wall = kArquivoColisao[i];
        SDL_Surface* a = IMG_Load(Rsrc(tile).c_str());
        SDL_Surface* b = IMG_Load(Rsrc(wall).c_str());
        ASSERT_TRUE(a && b) << tile;
        EXPECT_EQ(a->w, kLarguraTile) << tile;
        EXPECT_EQ(b->w, a->w) << wall;
        EXPECT_EQ(b->h, a->h) << wall;
        SDL_FreeSurface(a);
        SDL_FreeSurface(b);
    }
}

TEST(AssetFiles, JpegsHoldNoPixelTheRenderersWouldKeyOut) {
    for (const std::string& name : AllAssetNames()) {
        if (Extension(name) != "jpg") continue;
        SDL_Surface* s = IMG_Load(Rsrc(name).c_str());
        ASSERT_NE(s, nullptr) << name;
        ASSERT_EQ(s->format->BytesPerPixel, 3) << name;
        Uint32 key = SDL_MapRGB(s->format, 255, 0, 255);
        int keyed = 0;
        SDL_LockSurface(s);
        for (int y = 0; y < s->h; ++y)
            for (int x = 0; x < s->w; ++x) {
                Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 3;
                Uint32 v = Uint32(p[0]) | Uint32(p[1]) << 8 | Uint32(p[2]) << 16;
                keyed += v == (key & 0xFFFFFF);
            }
        SDL_UnlockSurface(s);
        EXPECT_EQ(keyed, 0) << name;
        SDL_FreeSurface(s);
    }
}

// Reads a PNG's palette straight from its chunks.
std::vector<std::array<uint8_t, 3>> Palette(const std::string& name, int* colourType, int* bitDepth) {
    std::ifstream f(Rsrc(name), std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::vector<std::array<uint8_t, 3>> out;
    size_t pos = 8;
    while (pos + 8 <= data.size()) {
        uint32_t len = uint32_t(uint8_t(data[pos])) << 24 | uint32_t(uint8_t(data[pos + 1])) << 16 |
                       uint32_t(uint8_t(data[pos + 2])) << 8 | uint8_t(data[pos + 3]);
        std::string type = data.substr(pos + 4, 4);
        const char* body = data.data() + pos + 8;
        if (type == "IHDR") {
            *bitDepth = uint8_t(body[8]);
            *colourType = uint8_t(body[9]);
        }
        if (type == "PLTE")
            for (uint32_t i = 0; i + 2 < len; i += 3)
                out.push_back({uint8_t(body[i]), uint8_t(body[i + 1]), uint8_t(body[i + 2])});
        pos += 12 + len;
    }
    return out;
}

TEST(AssetFiles, CollisionPicturesAreTwoColourWithExactMagentaForTheFreeLumen) {
    for (const char* name : kArquivoColisao) {
        int colourType = -1, depth = -1;
        auto palette = Palette(name, &colourType, &depth);
        EXPECT_EQ(colourType, 3) << name << " is not paletted";
        ASSERT_EQ(palette.size(), 2u) << name;
        // The software renderer keys the palette entry nearest to magenta: it must be magenta itself.
        EXPECT_EQ(palette[0], (std::array<uint8_t, 3>{255, 0, 255})) << name;
        EXPECT_NE(palette[1], palette[0]) << name;
    }
}

vdtest::Picture Load(const std::string& name) {
    vdtest::Picture p;
    EXPECT_TRUE(vdtest::ReadPng(Rsrc(name), p)) << name;
    return p;
}

TEST(AssetFiles, BlackIsOpaqueBlackEverywhere) {
    vdtest::Picture p = Load(kFiguraPreto.arquivo);
    ASSERT_GT(p.w * p.h, 0);
    for (const vdtest::Rgba& c : p.px) ASSERT_EQ(c, (vdtest::Rgba{0, 0, 0, 255}));
}

TEST(AssetFiles, NanobotMaskIsTheDrawnHull) {
    vdtest::Picture mask = Load(kFiguraNanoColisao.arquivo), sheet = Load(kFiguraNano.arquivo);
    ASSERT_EQ(mask.w, kNanoColisaoLargura);
    ASSERT_EQ(mask.h, kNanoColisaoAltura);
    // The nanobot's frame is drawn centred on (512, 384), its collision picture tested at (482, 355).
    const int side = kFiguraNano.largura;
    const int offX = kNanoColisaoX - (kNanoCentroX - side / 2), offY = kNanoColisaoY - (kNanoCentroY - side / 2);
    int solid = 0;
    for (int f = 0; f < kFiguraNano.quadros; ++f)
        for (int y = 0; y < mask.h; ++y)
            for (int x = 0; x < mask.w; ++x) {
                if (mask.at(x, y).a == 0) continue;
                solid += f == 0;
                EXPECT_GE(sheet.at(f * side + offX + x, offY + y).a, 200) << "frame " << f << " at " << x << "," << y;
            }
    EXPECT_GT(solid, mask.w * mask.h * 3 / 4) << "the mask should be the whole hull";
}

// Alpha-weighted brightness and covered area of one frame of a row sheet.
void Measure(const vdtest::Picture& p, int frameW, int frame, double* light, int* area) {
    *light = 0;
    *area = 0;
    for (int y = 0; y < p.h; ++y)
        for (int x = frame * frameW; x < (frame + 1) * frameW; ++x) {
            const vdtest::Rgba& c = p.at(x, y);
            *light += (0.3 * c.r + 0.59 * c.g + 0.11 * c.b) * c.a / 255.0;
            *area += c.a >= 250;  // solid body; glows and flashes do not count
        }
}

TEST(AssetFiles, HeartFrameZeroIsTheContraction) {
    vdtest::Picture heart = Load(kFiguraCoracao.arquivo);
    ASSERT_EQ(heart.w, 900);
    std::vector<int> area(9);
    for (int f = 0; f < 9; ++f) {
        double light;
        Measure(heart, 100, f, &light, &area[size_t(f)]);
    }
    for (int f = 1; f < 9; ++f) {
        EXPECT_LT(area[0], area[size_t(f)]) << "frame " << f;
        EXPECT_LE(area[size_t(f - 1)], area[size_t(f)] + 8) << "the heart should fill up after the beat, frame " << f;
    }
    EXPECT_LT(area[0] * 10, area[8] * 8) << "the beat should be visible: frame 0 clearly smaller";
}

TEST(AssetFiles, IconsLightTheFramesTheGameLights) {
    struct Icon {
        const char* name;
        int lit, idle;
    };
    for (const Icon& icon : {Icon{kFiguraSetaBaixo.arquivo, 0, 1}, Icon{kFiguraSetaCima.arquivo, 0, 1},
                             Icon{kFiguraEspaco.portugues, 1, 0}, Icon{kFiguraEspaco.ingles, 1, 0}}) {
        vdtest::Picture p = Load(icon.name);
        ASSERT_EQ(p.w, 210) << icon.name;
        double lit, idle;
        int area;
        Measure(p, 105, icon.lit, &lit, &area);
        Measure(p, 105, icon.idle, &idle, &area);
        EXPECT_GT(lit, 2 * idle) << icon.name;
    }
}

// Rows of the screen where liquid of the bar shows through the frame with the bar slid down `step` px.
int VisibleBarRows(const vdtest::Picture& frame, const vdtest::Picture& bar, int step) {
    int rows = 0;
    for (int y = 0; y < 768; ++y) {
        int by = y - step;
        bool shows = false;
        for (int x = 0; x < std::min(frame.w, bar.w) && !shows; ++x)
            shows = by >= 0 && by < bar.h && bar.at(x, by).a > 0 && (y >= frame.h || frame.at(x, y).a < 255);
        rows += shows;
    }
    return rows;
}

TEST(AssetFiles, TimeBarRunsDryExactlyWhenTheTimeIsUp) {
    // The bar starts at y 0 and the game ends the run when it reaches y 721.
    vdtest::Picture frame = Load(kFiguraSobreBarra.arquivo), bar = Load(kFiguraBarra.arquivo);
    EXPECT_EQ(VisibleBarRows(frame, bar, 0), 721);
    for (int step : {1, 100, 360, 719, 720}) EXPECT_EQ(VisibleBarRows(frame, bar, step), 721 - step) << step;
    EXPECT_EQ(VisibleBarRows(frame, bar, 721), 0);
    EXPECT_EQ(VisibleBarRows(frame, bar, 760), 0);
}

struct Decoded {
    int rate = 0, channels = 0;
    std::vector<float> samples;  // interleaved
};

Decoded DecodeOgg(const std::string& name) {
    Decoded d;
    OggVorbis_File vf;
    if (ov_fopen(Rsrc(name).c_str(), &vf) != 0) return d;
    vorbis_info* vi = ov_info(&vf, -1);
    d.rate = int(vi->rate);
    d.channels = vi->channels;
    float** pcm;
    int section;
    long n;
    while ((n = ov_read_float(&vf, &pcm, 4096, &section)) > 0)
        for (long i = 0; i < n; ++i)
            for (int c = 0; c < d.channels; ++c) d.samples.push_back(pcm[c][i]);
    ov_clear(&vf);
    return d;
}

TEST(AssetFiles, SoundsAre44kHzAndShort) {
    std::string wav = Head(kSomBatida, 44);
    ASSERT_EQ(wav.size(), 44u);
    uint32_t rate = uint8_t(wav[24]) | uint8_t(wav[25]) << 8 | uint8_t(wav[26]) << 16 | uint32_t(uint8_t(wav[27])) << 24;
    EXPECT_EQ(rate, 44100u);
    EXPECT_EQ(wav[34], 16) << "16-bit samples";
    Decoded sting = DecodeOgg(kSomMorreu);
    EXPECT_EQ(sting.rate, 44100);
    ASSERT_GT(sting.channels, 0);
    double seconds = double(sting.samples.size()) / sting.channels / sting.rate;
    EXPECT_GT(seconds, 0.5);
    EXPECT_LT(seconds, 4.0);
}

TEST(AssetFiles, MusicLastsOverAMinuteAndLoopsWithoutAJump) {
    Decoded music = DecodeOgg(kMusica);
    ASSERT_EQ(music.rate, 44100);
    ASSERT_EQ(music.channels, 2);
    size_t frames = music.samples.size() / 2;
    EXPECT_GE(double(frames) / music.rate, 60.0);
    // The step from the last sample back to the first must look like any other
    // step of the music, not like a cut: compare it with the steps inside.
    for (int c = 0; c < 2; ++c) {
        std::vector<float> steps;
        for (size_t i = 1; i < frames; ++i)
            steps.push_back(std::fabs(music.samples[i * 2 + c] - music.samples[(i - 1) * 2 + c]));
        std::nth_element(steps.begin(), steps.begin() + long(steps.size() * 99 / 100), steps.end());
        float typical = steps[steps.size() * 99 / 100];
        float wrap = std::fabs(music.samples[size_t(c)] - music.samples[(frames - 1) * 2 + c]);
        EXPECT_LE(wrap, typical) << "channel " << c;
    }
}

}  // namespace
