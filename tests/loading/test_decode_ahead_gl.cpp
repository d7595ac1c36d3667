// Decoding ahead on the OpenGL renderer: every kind of picture file, clean
// or damaged, loaded once by its own load and once announced first (decoded
// by the helper thread straight into the working surface). The two loads
// must leave the same set (record, surface, masks, texture read back) and
// print the same messages. The kinds the helper decodes are checked to be
// decoded there; the others to be left to their load.
#include <gtest/gtest.h>

#include <png.h>

#include <functional>
#include <string>

#include "brisa2d2.h"
#include "loading_support.h"
#include "testsupport.h"

namespace loading {
namespace {

const int kScreenW = 320, kScreenH = 240;

using Writer = std::function<bool(const std::string& path)>;

enum Ahead { DECODED_AHEAD, LEFT_TO_THE_LOAD };

struct FileCase {
    const char* label;
    const char* name;       // the file's name in the test folder
    Writer write;
    int frameW, frameH;
    Ahead ahead;
};
void PrintTo(const FileCase& c, std::ostream* os) { *os << c.label; }

Writer Png(PngSpec spec) {
    return [spec](const std::string& path) { return WritePngSpec(path, spec); };
}

PngSpec WithTrns(PngSpec p, std::vector<uint8_t> trns) {
    p.trns = std::move(trns);
    return p;
}

PngSpec Interlaced(PngSpec p) {
    p.interlaced = true;
    return p;
}

// An RGBA picture's samples kept in another layout libpng writes.
PngSpec Recoded(int w, int h, int colorType, int bitDepth) {
    PngSpec p = RgbaPicture(w, h, 5);
    int channels = colorType == PNG_COLOR_TYPE_RGB ? 3 : colorType == PNG_COLOR_TYPE_GRAY ? 1 : 4;
    int bytes = bitDepth / 8;
    std::vector<uint8_t> data;
    for (size_t i = 0; i < p.data.size(); i += 4)
        for (int c = 0; c < channels; ++c)
            for (int b = 0; b < bytes; ++b) data.push_back(p.data[i + c]);
    p.colorType = colorType;
    p.bitDepth = bitDepth;
    p.data = data;
    return p;
}

Writer Jpeg(int w, int h, int components, bool progressive) {
    return [=](const std::string& path) { return WriteJpeg(path, w, h, components, progressive, 3); };
}

// A valid file of another kind, cut or damaged: the bytes `cut` makes of it.
Writer Damaged(Writer source, std::function<std::string(const std::string&)> cut) {
    return [=](const std::string& path) {
        if (!source(path + ".source")) return false;
        return WriteBytes(path, cut(ReadBytes(path + ".source")));
    };
}

std::string FirstHalf(const std::string& b) { return b.substr(0, b.size() / 2); }
std::string Header(const std::string& b) { return b.substr(0, 64); }
// One byte of the first compressed data changed: the chunk's CRC no longer holds.
std::string FlippedDataByte(const std::string& b) {
    std::string out = b;
    size_t at = out.find("IDAT");
    if (at != std::string::npos && at + 10 < out.size()) out[at + 10] = char(out[at + 10] ^ 0x55);
    return out;
}

Writer Bytes(std::string bytes) {
    return [bytes](const std::string& path) { return WriteBytes(path, bytes); };
}

Writer NoFile() {
    return [](const std::string&) { return true; };
}

// Wider than any texture the renderer takes: read, then refused.
Writer OverTextureLimit() {
    return [](const std::string& path) {
        GLint limit = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
        return WritePngSpec(path, RgbaPicture(int(limit) + 1, 1, 2));
    };
}

const FileCase kCases[] = {
    // The kinds the game's pictures come in.
    {"MapTileRgba2048", "tile.png", Png(RgbaPicture(2048, 96, 1)), 0, 0, DECODED_AHEAD},
    {"CollisionPalette1Bit", "wall.png", Png(WithTrns(PalettePicture(2048, 48, 1, 2, 0), {0})), 0, 0, DECODED_AHEAD},
    {"ScreenJpeg", "screen.jpg", Jpeg(1024, 768, 3, false), 0, 0, DECODED_AHEAD},
    {"SpriteSheetRgba", "sheet.png", Png(RgbaPicture(480, 80, 2)), 80, 80, DECODED_AHEAD},
    // RGBA sizes on both sides of the upload as it is, and the smallest squares.
    {"RgbaSquare1024UsedAsItIs", "sq1024.png", Png(RgbaPicture(1024, 1024, 3)), 0, 0, DECODED_AHEAD},
    {"RgbaSquare16UsedAsItIs", "sq16.png", Png(RgbaPicture(16, 16, 4)), 0, 0, DECODED_AHEAD},
    {"RgbaSquare8Copied", "sq8.png", Png(RgbaPicture(8, 8, 5)), 0, 0, DECODED_AHEAD},
    {"Rgba2x2In4x4", "tiny.png", Png(RgbaPicture(2, 2, 6)), 0, 0, DECODED_AHEAD},
    {"RgbaWide", "wide.png", Png(RgbaPicture(300, 20, 7)), 0, 0, DECODED_AHEAD},
    // Palettes: every depth, and each way IMG_Load reads their transparency.
    {"Palette2BitOpaque", "p2.png", Png(PalettePicture(100, 60, 2, 4, 1)), 0, 0, DECODED_AHEAD},
    {"Palette4BitOneKey", "p4.png", Png(WithTrns(PalettePicture(64, 64, 4, 16, 2), {255, 0, 255})), 0, 0,
     DECODED_AHEAD},
    {"Palette4BitTwoClearEntries", "p4b.png", Png(WithTrns(PalettePicture(64, 64, 4, 16, 3), {0, 255, 0})), 0, 0,
     DECODED_AHEAD},
    {"Palette8BitPartlyClear", "p8.png", Png(WithTrns(PalettePicture(64, 64, 8, 200, 4), {255, 128, 0, 7})), 0, 0,
     DECODED_AHEAD},
    {"Palette8BitAllOpaqueEntries", "p8o.png", Png(WithTrns(PalettePicture(90, 30, 8, 40, 5), {255, 255})), 0, 0,
     DECODED_AHEAD},
    {"PaletteSquare64OneKey", "p64.png", Png(WithTrns(PalettePicture(64, 64, 8, 3, 6), {0})), 0, 0, DECODED_AHEAD},
    // JPEG variants.
    {"JpegProgressive", "prog.jpg", Jpeg(200, 150, 3, true), 0, 0, DECODED_AHEAD},
    {"JpegOddSize", "odd.jpg", Jpeg(333, 77, 3, false), 0, 0, DECODED_AHEAD},
    // Kinds left to IMG_Load.
    {"PngInterlaced", "inter.png", Png(Interlaced(RgbaPicture(40, 30, 8))), 0, 0, LEFT_TO_THE_LOAD},
    {"PngRgb", "rgb.png", Png(Recoded(40, 30, PNG_COLOR_TYPE_RGB, 8)), 0, 0, LEFT_TO_THE_LOAD},
    {"PngGrey", "grey.png", Png(Recoded(40, 30, PNG_COLOR_TYPE_GRAY, 8)), 0, 0, LEFT_TO_THE_LOAD},
    {"PngRgba16Bit", "deep.png", Png(Recoded(40, 30, PNG_COLOR_TYPE_RGBA, 16)), 0, 0, LEFT_TO_THE_LOAD},
    {"JpegGrey", "grey.jpg", Jpeg(64, 48, 1, false), 0, 0, LEFT_TO_THE_LOAD},
    // Damaged files, and files of another kind under a picture's name.
    {"PngTruncated", "cut.png", Damaged(Png(RgbaPicture(200, 200, 9)), FirstHalf), 0, 0, LEFT_TO_THE_LOAD},
    {"PngHeaderOnly", "head.png", Damaged(Png(RgbaPicture(200, 200, 9)), Header), 0, 0, LEFT_TO_THE_LOAD},
    {"PngBadChecksum", "crc.png", Damaged(Png(RgbaPicture(64, 64, 9)), FlippedDataByte), 0, 0, LEFT_TO_THE_LOAD},
    {"CollisionTruncated", "cutwall.png", Damaged(Png(WithTrns(PalettePicture(512, 512, 1, 2, 0), {0})), FirstHalf),
     0, 0, LEFT_TO_THE_LOAD},
    {"JpegTruncated", "cut.jpg", Damaged(Jpeg(320, 240, 3, false), FirstHalf), 0, 0, LEFT_TO_THE_LOAD},
    {"JpegHeaderOnly", "head.jpg", Damaged(Jpeg(320, 240, 3, false), Header), 0, 0, LEFT_TO_THE_LOAD},
    {"EmptyFile", "empty.png", Bytes(""), 0, 0, LEFT_TO_THE_LOAD},
    {"SoundUnderAPictureName", "sound.png", Bytes(std::string("RIFF\x24\0\0\0WAVEfmt ", 16)), 0, 0,
     LEFT_TO_THE_LOAD},
    {"JpegUnderAPngName", "photo.png", Jpeg(64, 64, 3, false), 0, 0, DECODED_AHEAD},
    {"PngUnderAJpegName", "sheet.jpg", Png(RgbaPicture(64, 32, 1)), 0, 0, DECODED_AHEAD},
    {"MissingFile", "missing.png", NoFile(), 0, 0, LEFT_TO_THE_LOAD},
    // Refused by the renderer after the decode, with its own messages.
    {"FrameSizeFitsNeitherWay", "grid.png", Png(RgbaPicture(100, 60, 2)), 30, 40, DECODED_AHEAD},
    {"FrameSizeFitsOneWay", "grid1.png", Png(RgbaPicture(100, 60, 2)), 30, 30, DECODED_AHEAD},
    {"OverTheTextureLimit", "huge.png", OverTextureLimit(), 0, 0, LEFT_TO_THE_LOAD},
};

class DecodeAheadGl : public ::testing::TestWithParam<FileCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(BRZ_Inicia(kScreenW, kScreenH, BRZ_JANELA, BRZ_DESENHO_OPENGL, "decode ahead"));
        dir_ = vdtest::MakeTempDir("ahead");
    }
    void TearDown() override {
        BRZ_Encerra();
        vdtest::RemoveTree(dir_);
    }

    // One load, printed, then removed.
    LoadsPrint Load(const std::string& path, int fw, int fh, bool announce) {
        LoadsPrint o;
        vdtest::StdoutCapture out;
        if (announce) {
            const char* list[] = {path.c_str()};
            BRZ_AntecipaSpriteSets(list, 1);
        }
        o.ids.push_back(BRZ_CarregaSpriteSet(path.c_str(), fw, fh));
        fflush(stdout);
        o.said = out.Take();
        o.sets.push_back(PrintOf(o.ids[0]));
        BRZ_RemoveSpriteSet(o.ids[0]);
        return o;
    }

    std::string dir_;
};

TEST_P(DecodeAheadGl, AnnouncedOrNotTheLoadLeavesTheSameSetAndSaysTheSame) {
    const FileCase& c = GetParam();
    const std::string path = dir_ + "/" + c.name;
    ASSERT_TRUE(c.write(path));

    BRZ_ImagemAntecipada d;
    bool decoded = BRZ_RenderizadorAtivo()->DecodificaAdiantado(path.c_str(), &d);
    BRZ_DesmapeiaPixels(d.pixels, size_t(d.lado) * size_t(d.lado) * 4);
    EXPECT_EQ(decoded, c.ahead == DECODED_AHEAD);

    LoadsPrint plain = Load(path, c.frameW, c.frameH, false);
    ExpectSameLoads(Load(path, c.frameW, c.frameH, true), plain);
}

INSTANTIATE_TEST_SUITE_P(EveryKindOfFile, DecodeAheadGl, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FileCase>& i) { return std::string(i.param.label); });

}  // namespace
}  // namespace loading
