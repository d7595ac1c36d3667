// Decoding ahead, the list and its helper thread, on a renderer of the
// test's own (SDL's dummy video driver: no display, fast enough for every
// sanitizer). Its plain step copies or blits the picture onto a transparent
// power-of-two square, as the OpenGL renderer does, and its step for
// pictures decoded ahead takes the square as it comes, so both ways must
// leave the same pixels. Each load notes which way it went.
//
// Loads in the announced order come from the helper; loads that stray from
// the list read their files themselves; identifiers and messages never
// change; the helper never outlives the list or the engine, and every
// picture it decoded is either taken or given back.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "brisa2d2.h"
#include "test_renderer.h"
#include "loading_support.h"
#include "testsupport.h"

namespace loading {
namespace {

const int kW = 64, kH = 48;
const Uint32 kR = 0x000000FF, kG = 0x0000FF00, kB = 0x00FF0000, kA = 0xFF000000;
const char kHelper[] = "brz-antecipa";

std::string g_ways;                 // "ahead" or "read", one per load, in order
std::atomic<int> g_decodesAhead{0};  // the renderer's decoder, on any thread

extern const BRZ_Renderizador kTest;
using Repasse = RepasseAoNucleo<kTest>;

void Note(const char* way) { g_ways += (g_ways.empty() ? "" : " ") + std::string(way); }

int Side(int w, int h, int) {
    int side = 4;
    while (side < w || side < h) side *= 2;
    return side;
}

void Apresenta() {}

bool PreparaImagem(BRZ_SpriteSet* s, const char*, int largura, int altura) {
    Note("read");
    BRZ_DefineQuadros(s, largura, altura);
    SDL_Surface* img = s->imagem;
    int side = Side(img->w, img->h, 0);
    SDL_Surface* square = BRZ_CriaSuperficie(side, side, kR, kG, kB, kA);
    if (!square) return false;
    if (img->format->BytesPerPixel == 4) {
        for (int y = 0; y < img->h; ++y)
            memcpy(static_cast<Uint8*>(square->pixels) + y * square->pitch,
                   static_cast<Uint8*>(img->pixels) + y * img->pitch, size_t(img->w) * 4);
    } else {
        SDL_UpperBlit(img, nullptr, square, nullptr);
    }
    SDL_FreeSurface(img);
    s->imagem = square;
    return true;
}

bool DecodificaAdiantado(const char* arquivo, BRZ_ImagemAntecipada* d) {
    ++g_decodesAhead;
    return BRZ_DecodificaRGBA(arquivo, Side, d);
}

bool PreparaAntecipada(BRZ_SpriteSet* s, const char*, int largura, int altura, BRZ_ImagemAntecipada* d) {
    Note("ahead");
    BRZ_DefineQuadros(s, largura, altura);
    s->imagem = BRZ_SuperficieMapeada(d->pixels, d->lado, d->lado, kR, kG, kB, kA);
    if (!s->imagem) BRZ_DesmapeiaPixels(d->pixels, size_t(d->lado) * size_t(d->lado) * 4);
    d->pixels = nullptr;
    return s->imagem != nullptr;
}

const BRZ_Renderizador kTest = {
    Repasse::Encerra, Repasse::Sincroniza, Repasse::LimpaTela, Repasse::TrocaCor, Repasse::Limita,
    Repasse::Libera, Repasse::Carrega, Repasse::Remove, Repasse::Desenha, Repasse::DesenhaEfeito,
    " (test)", 0, nullptr, nullptr, nullptr, nullptr,
    Apresenta,
    PreparaImagem, true, nullptr, nullptr,
    "done",
    DecodificaAdiantado, PreparaAntecipada,
};

bool HelperRunning() {
    for (const std::string& name : ThreadNames())
        if (name == kHelper) return true;
    return false;
}

class DecodeAheadQueue : public ::testing::Test {
protected:
    void SetUp() override {
        g_ways.clear();
        g_decodesAhead = 0;
        dir_ = vdtest::MakeTempDir("queue");
        // Pictures of the kinds the helper decodes, large and small.
        ASSERT_TRUE(WritePngSpec(Path("tile.png"), RgbaPicture(2048, 64, 1)));
        ASSERT_TRUE(WritePngSpec(Path("wall.png"), [] {
            PngSpec p = PalettePicture(1024, 100, 1, 2, 0);
            p.trns = {0};
            return p;
        }()));
        ASSERT_TRUE(WriteJpeg(Path("screen.jpg"), 320, 240, 3, false, 1));
        ASSERT_TRUE(WritePngSpec(Path("sheet.png"), RgbaPicture(160, 80, 2)));
        ASSERT_TRUE(WritePngSpec(Path("small.png"), RgbaPicture(16, 16, 3)));
        ASSERT_TRUE(WritePngSpec(Path("grey.png"), [] {
            PngSpec p = PalettePicture(40, 40, 8, 50, 4);
            p.colorType = 0;  // the same bytes read as grey: left to its load
            p.palette.clear();
            return p;
        }()));
        ASSERT_TRUE(WriteBytes(Path("cut.png"), ReadBytes(Path("sheet.png")).substr(0, 200)));
    }
    void TearDown() override {
        BRZ_EncerraCom(kTest);
        vdtest::RemoveTree(dir_);
        EXPECT_FALSE(HelperRunning());
        EXPECT_EQ(BRZ_PixelsMapeados(), 0u) << "pixels decoded ahead and never given back";
    }
    bool Start() { return BRZ_IniciaCom(kTest, kW, kH, BRZ_JANELA, "queue"); }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    void Announce(const std::vector<std::string>& names) {
        std::vector<std::string> paths;
        for (const std::string& n : names) paths.push_back(Path(n));
        std::vector<const char*> list;
        for (const std::string& p : paths) list.push_back(p.c_str());
        BRZ_AntecipaSpriteSets(list.data(), int(list.size()));
    }

    // Loads the names in order (each set printed once loaded), then removes them all.
    LoadsPrint LoadAll(const std::vector<std::string>& names) {
        LoadsPrint r;
        {
            vdtest::StdoutCapture out;
            for (const std::string& n : names) {
                r.ids.push_back(BRZ_CarregaSpriteSet(Path(n).c_str(), 0, 0));
                r.sets.push_back(PrintOf(r.ids.back()));
            }
            fflush(stdout);
            r.said = out.Take();
        }
        for (unsigned int id : r.ids) BRZ_RemoveSpriteSet(id);
        return r;
    }

    // The same loads without and with the announcement; the ways the announced ones went.
    std::string Compare(const std::vector<std::string>& announced, const std::vector<std::string>& loads) {
        LoadsPrint plain = LoadAll(loads);
        g_ways.clear();
        Announce(announced);
        ExpectSameLoads(LoadAll(loads), plain);
        return g_ways;
    }

    // Loads the names plainly, each refused with the engine's message naming
    // it and SDL's error starting with `reason`, then announced, with the
    // same outcome; the ways the announced loads went.
    std::string ExpectRefusedBothWays(const std::vector<std::string>& names, const std::string& reason = "") {
        LoadsPrint plain = LoadAll(names);
        EXPECT_EQ(plain.ids, std::vector<unsigned int>(names.size(), 0u));
        for (const std::string& n : names)
            EXPECT_NE(plain.said.find("falhou ao carregar o arquivo " + Path(n) + ". Erro: " + reason),
                      std::string::npos)
                << plain.said;
        Announce(names);
        g_ways.clear();
        ExpectSameLoads(LoadAll(names), plain);
        return g_ways;
    }

    std::string dir_;
};

TEST_F(DecodeAheadQueue, LoadsInTheAnnouncedOrderTakeTheirPicturesFromTheHelper) {
    ASSERT_TRUE(Start());
    const std::vector<std::string> list = {"tile.png", "wall.png", "screen.jpg", "sheet.png", "small.png"};
    EXPECT_EQ(Compare(list, list), "ahead ahead ahead ahead ahead");
    EXPECT_EQ(g_decodesAhead, 5);
    EXPECT_FALSE(HelperRunning()) << "the list is done with: no helper waits on";
}

TEST_F(DecodeAheadQueue, LoadsThatStrayFromTheListReadTheirFilesThemselves) {
    ASSERT_TRUE(Start());
    // Out of order, a file never announced, and two passed over.
    EXPECT_EQ(Compare({"tile.png", "wall.png", "screen.jpg", "sheet.png"},
                      {"screen.jpg", "small.png", "sheet.png", "tile.png", "wall.png"}),
              "ahead read ahead read read");
}

// A damaged or missing file never reaches the renderer: its load reads it and
// says why it failed, exactly as without the list.
TEST_F(DecodeAheadQueue, FilesTheHelperLeavesAreReadByTheirLoadsWithTheirMessages) {
    ASSERT_TRUE(Start());
    const std::vector<std::string> list = {"sheet.png", "cut.png", "missing.png", "grey.png", "small.png"};
    EXPECT_EQ(Compare(list, list), "ahead read ahead");
}

// Found by the differential fuzzer (fuzz/decode_ahead_fuzz.cpp): a PNG whose
// tIME chunk claims 229 bytes where the file has 109 left. The engine's
// decoder stops at the file's end and leaves it to its load; IMG_Load read
// on past the end, took stale bytes for the next chunk's header, and skipped
// that same chunk for ever. The load must end, with its message, both ways.
TEST_F(DecodeAheadQueue, AChunkLongerThanTheFileEndsItsLoadsWithTheirMessage) {
    const unsigned char kPicture[] = {
        0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
        0x00, 0x09, 0x00, 0x00, 0x00, 0x06, 0x08, 0x06, 0x00, 0x00, 0x01, 0x66, 0xc0, 0x84, 0x53, 0x00, 0x00, 0x00,
        0xe5, 0x74, 0x49, 0x4d, 0x45, 0x49, 0x44, 0x41, 0x54, 0x08, 0x99, 0x63, 0xfe, 0xcf, 0xf0, 0xff, 0xff, 0xc6,
        0x54, 0xe9, 0x00, 0x86, 0x19, 0x67, 0x99, 0xcc, 0x99, 0x0b, 0x96, 0xde, 0xe2, 0x3f, 0x2e, 0xf8, 0xef, 0x8c,
        0x05, 0xbb, 0xaf, 0x7e, 0x60, 0xf6, 0x69, 0xdc, 0xf6, 0x7a, 0xdf, 0xcd, 0xcf, 0x7c, 0x0c, 0x7b, 0x3e, 0xaa,
        0x45, 0xff, 0x67, 0xf8, 0xff, 0x9f, 0x61, 0xc7, 0x5b, 0xa5, 0x70, 0x06, 0xd3, 0xac, 0xf9, 0x01, 0xad, 0xbb,
        0xde, 0xcf, 0x38, 0xcb, 0x82, 0xfe, 0x9f, 0xe1, 0xff, 0x7f, 0x06, 0xb5, 0xe8, 0x09, 0x47, 0x8b, 0x31, 0x41,
        0x06, 0x13, 0x51, 0x61, 0x07, 0x3f, 0x97, 0x7d, 0xc9, 0x4a, 0x86, 0x7b, 0xc2, 0xff, 0xc0, 0xff, 0x19, 0xfe,
        0xff, 0x2f, 0x5b};
    const std::string bytes(reinterpret_cast<const char*>(kPicture), sizeof kPicture);
    ASSERT_TRUE(WriteBytes(Path("long-chunk.png"), bytes));
    ASSERT_TRUE(Start());
    EXPECT_EQ(ExpectRefusedBothWays({"long-chunk.png"}), "") << "the file reaches no renderer step";
}

// Found by the differential fuzzer: a PNG's bytes behind a GIF signature,
// saved as .png. IMG_Load reads GIF contents whatever the name, and SDL_image's
// GIF reader took the end of the file inside the image's data for yet another
// block: it decoded stale bytes towards the 20300 x 10325 pixels the header
// claims, for many minutes. Such a file is refused at once, both ways, as
// are GIFs that crashed that reader; a whole GIF still loads.
TEST_F(DecodeAheadQueue, GifsThatSdlImageCannotReadAreRefusedAndAWholeOneStillLoads) {
    const unsigned char kCut[] = {
        0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d,
        0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x04, 0x08, 0xf3, 0xff, 0xff, 0xff, 0x56,
        0x0e, 0x61, 0x81, 0x00, 0x00, 0x00, 0x1a, 0x69, 0x43, 0x43, 0x50, 0x78, 0x00, 0x00, 0x78, 0x9c, 0x4b, 0x4f,
        0x2c, 0x4a, 0x4a, 0x4c, 0x4f, 0x55, 0x28, 0x28, 0xca, 0x4f, 0xcb, 0xcc, 0x49, 0x05, 0x00, 0x2e, 0x7d, 0x05,
        0xdb, 0x67, 0xee, 0x7f, 0x93, 0x00, 0x00, 0x00, 0x43, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x0d, 0xc8, 0x21,
        0x01, 0xc0, 0x40, 0x0c, 0x04, 0xc1, 0xc5, 0x91, 0x53, 0x1c, 0x25, 0x2f, 0xa3, 0xe8, 0xf0, 0x7b, 0x09, 0x29,
        0x3e, 0xa1, 0x07, 0x10, 0x27, 0x5c, 0x00, 0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x0a, 0x0d, 0x42, 0x60, 0x82};
    // One white pixel: a graphic control extension, an image, the end.
    const unsigned char kWhole[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00,
                                    0x00, 0xff, 0xff, 0xff, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x01, 0x00,
                                    0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00,
                                    0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3b};
    const std::string whole(reinterpret_cast<const char*>(kWhole), sizeof kWhole);
    // SDL_image's GIF reader writes into the image's surface whatever size
    // SDL made it: one of no pixels, or with rows too long for its pitch,
    // ended the process.
    const size_t kWidthAt = 32;
    std::string noWidth = whole, tooWide = whole;
    noWidth[kWidthAt] = noWidth[kWidthAt + 1] = '\0';
    tooWide[kWidthAt] = tooWide[kWidthAt + 1] = '\xff';
    // An image the reader refuses (code size 85), the end mark, which does
    // not end its reading once an image was counted, and an extension cut
    // short: the reader skipped it for ever (a finding of the fuzzer, reduced).
    const unsigned char kPastTheEnd[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00,
                                         0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00,
                                         0x01, 0x00, 0x00, 0x55, 0x3b, 0x21, 0xf9, 0x04};
    ASSERT_TRUE(WriteBytes(Path("past-the-end.gif"),
                           std::string(reinterpret_cast<const char*>(kPastTheEnd), sizeof kPastTheEnd)));
    ASSERT_TRUE(WriteBytes(Path("cut-gif.png"), std::string(reinterpret_cast<const char*>(kCut), sizeof kCut)));
    ASSERT_TRUE(WriteBytes(Path("whole.gif"), whole));
    ASSERT_TRUE(WriteBytes(Path("no-width.gif"), noWidth));
    ASSERT_TRUE(WriteBytes(Path("too-wide.gif"), tooWide));
    ASSERT_TRUE(Start());
    const std::vector<std::string> list = {"cut-gif.png", "past-the-end.gif", "no-width.gif", "too-wide.gif",
                                           "whole.gif"};
    LoadsPrint plain = LoadAll(list);
    ASSERT_EQ(plain.ids.size(), list.size());
    for (size_t i = 0; i + 1 < list.size(); ++i) {
        EXPECT_EQ(plain.ids[i], 0u) << list[i];
        EXPECT_NE(plain.said.find("falhou ao carregar o arquivo " + Path(list[i])), std::string::npos)
            << plain.said;
    }
    EXPECT_NE(plain.ids.back(), 0u) << plain.said;
    EXPECT_EQ(plain.sets.back().w, 1);
    Announce(list);
    ExpectSameLoads(LoadAll(list), plain);
}

// Found by the differential fuzzer: GIMP's XCF signature under a .png name.
// IMG_Load reads XCF contents whatever the name, and SDL_image's XCF reader
// trusts the file: it was still busy with the first file's billions of
// pixels after ten minutes, and the second crashed it (SIGSEGV in
// SDL_FillRect). The plain load refuses an XCF at once, both ways, saying why.
TEST_F(DecodeAheadQueue, XcfFilesUnderPictureNamesAreRefusedAtOnce) {
    const std::string busy = std::string("gimp xcf \0\0\x01", 12) + std::string(10, '\xe3') +
                             std::string(53, '\xff') + std::string(40, '\xe3') +
                             std::string("\0\0\0\x01\0\0\0\0\0!C\0\x01\0", 14);
    const unsigned char kCrash[] = {
        0x67, 0x69, 0x6d, 0x70, 0x20, 0x78, 0x63, 0x66, 0x20, 0x47, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
        0xff, 0xff, 0xff, 0xff, 0x69, 0x50, 0x35, 0x0a, 0x6d, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2d, 0xd0, 0x74, 0x5a, 0xfc, 0x7f, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xf6, 0xf7, 0xf8, 0xff, 0xff, 0xff, 0x46, 0x85, 0xb3,
        0x2e, 0x00, 0x04, 0xd9};
    ASSERT_TRUE(WriteBytes(Path("busy-xcf.png"), busy));
    ASSERT_TRUE(WriteBytes(Path("crash-xcf.png"), std::string(reinterpret_cast<const char*>(kCrash), sizeof kCrash)));
    ASSERT_TRUE(Start());
    ExpectRefusedBothWays({"busy-xcf.png", "crash-xcf.png"}, "XCF");
}

TEST_F(DecodeAheadQueue, ANameAlreadyLoadedIsSharedAndNotDecodedAgain) {
    ASSERT_TRUE(Start());
    unsigned int held = BRZ_CarregaSpriteSet(Path("sheet.png").c_str(), 0, 0);
    ASSERT_NE(held, 0u);
    g_ways.clear();
    Announce({"sheet.png", "small.png"});
    EXPECT_EQ(BRZ_CarregaSpriteSet(Path("sheet.png").c_str(), 0, 0), held);
    EXPECT_EQ(sprites[held - 1].usuarios, 2u);
    unsigned int small = BRZ_CarregaSpriteSet(Path("small.png").c_str(), 0, 0);
    EXPECT_NE(small, 0u);
    EXPECT_EQ(g_ways, "ahead") << "a shared name reaches no renderer step";
    EXPECT_EQ(g_decodesAhead, 1);
}

TEST_F(DecodeAheadQueue, ANewListReplacesTheOldOneAndGivesBackWhatNobodyTook) {
    ASSERT_TRUE(Start());
    Announce({"tile.png", "wall.png"});
    Announce({"screen.jpg", "sheet.png"});
    g_ways.clear();
    LoadAll({"tile.png", "screen.jpg", "sheet.png", "wall.png"});
    EXPECT_EQ(g_ways, "read ahead ahead read");
    EXPECT_EQ(BRZ_PixelsMapeados(), 0u);
}

TEST_F(DecodeAheadQueue, ShuttingDownMidListStopsTheHelperAndGivesEverythingBack) {
    ASSERT_TRUE(Start());
    Announce({"tile.png", "wall.png", "tile.png", "screen.jpg", "sheet.png", "small.png"});
    EXPECT_NE(BRZ_CarregaSpriteSet(Path("tile.png").c_str(), 0, 0), 0u);
    BRZ_EncerraCom(kTest);
    EXPECT_FALSE(inicializado);
    EXPECT_FALSE(HelperRunning());
    EXPECT_EQ(BRZ_PixelsMapeados(), 0u);
}

TEST_F(DecodeAheadQueue, ShuttingDownRightAfterAnnouncingStopsTheHelper) {
    ASSERT_TRUE(Start());
    Announce({"tile.png", "wall.png", "screen.jpg"});
    BRZ_EncerraCom(kTest);
    EXPECT_FALSE(HelperRunning());
    EXPECT_EQ(BRZ_PixelsMapeados(), 0u);
}

TEST_F(DecodeAheadQueue, ManyStartUpsEachWithAListLeaveNoThreadAndNoPicture) {
    const int kCycles = 25;
    auto cycle = [this](int i) {
        ASSERT_TRUE(Start());
        Announce({"sheet.png", "screen.jpg", "small.png", "wall.png"});
        if (i % 2) {
            EXPECT_NE(BRZ_CarregaSpriteSet(Path("sheet.png").c_str(), 0, 0), 0u);
        }
        if (i % 3 == 0) {
            EXPECT_NE(BRZ_CarregaSpriteSet(Path("screen.jpg").c_str(), 0, 0), 0u);
        }
        BRZ_EncerraCom(kTest);
    };
    // A first cycle lets the libraries start the threads they keep (a
    // sanitizer's, for one); from then on the count must not move.
    cycle(0);
    const size_t threadsBefore = ThreadNames().size();
    for (int i = 1; i <= kCycles; ++i) cycle(i);
    EXPECT_EQ(ThreadNames().size(), threadsBefore);
    EXPECT_EQ(BRZ_PixelsMapeados(), 0u);
}

TEST_F(DecodeAheadQueue, NothingIsDecodedAheadWhileTheEngineIsStoppedOrUnderTheSoftwareRenderer) {
    Announce({"tile.png", "sheet.png"});
    EXPECT_FALSE(HelperRunning());
    ASSERT_TRUE(BRZ_Inicia(kW, kH, BRZ_JANELA, BRZ_DESENHO_PADRAO, "software"));
    Announce({"tile.png", "sheet.png"});
    EXPECT_FALSE(HelperRunning());
    EXPECT_NE(BRZ_CarregaSpriteSet(Path("sheet.png").c_str(), 0, 0), 0u);
    BRZ_Encerra();
    EXPECT_EQ(g_decodesAhead, 0);
}

// A program may end without shutting the engine down while the helper still
// decodes: it must end normally, not through std::terminate.
TEST_F(DecodeAheadQueue, AProgramThatEndsWithoutShuttingDownEndsNormally) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "ThreadSanitizer does not follow a forked child";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (!Start()) std::exit(2);
            Announce({"tile.png", "tile.png", "wall.png", "tile.png", "screen.jpg"});
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace loading
