// Writes the seed pictures of decode_ahead_fuzz into the folder it is given:
// small pictures of every kind the two decoders meet, the kinds the game's
// files come in (8-bit RGBA and 1-bit paletted PNGs, baseline JPEGs of three
// components) and the kinds the engine's decoder leaves to IMG_Load (grey,
// 16-bit, interlaced, grey JPEG). scripts/test adds the game's own small
// files and damaged copies of them all.
#include <csetjmp>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>  // after <cstdio>: it uses FILE and size_t without including them
#include <png.h>

#include <string>
#include <vector>

namespace {

const int kJpegQuality = 85;

struct Png {
    const char* name;
    int w, h, colorType, bitDepth;
    bool interlaced;
    int paletteEntries;         // paletted pictures only
    std::vector<uint8_t> trns;  // alpha of the first palette entries
};

int Channels(int colorType) {
    switch (colorType) {
        case PNG_COLOR_TYPE_GRAY: return 1;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB: return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
        default: return 1;  // palette indices
    }
}

// Varied samples; in RGBA pictures some pixels opaque magenta, some fully
// and some partly transparent, as the game's sprites have.
uint8_t Sample(int x, int y, int c, int limit) { return uint8_t((x * 37 + y * 91 + c * 53 + (x ^ y)) % limit); }

std::vector<uint8_t> Rows(const Png& p) {
    const int channels = Channels(p.colorType), bytesPerSample = p.bitDepth == 16 ? 2 : 1;
    const int limit = p.colorType == PNG_COLOR_TYPE_PALETTE ? p.paletteEntries : 256;
    std::vector<uint8_t> rows;
    for (int y = 0; y < p.h; ++y) {
        std::vector<uint8_t> row;
        int bits = 0;
        for (int x = 0; x < p.w; ++x) {
            bool magenta = p.colorType == PNG_COLOR_TYPE_RGB_ALPHA && (x + y) % 5 == 0;
            for (int c = 0; c < channels; ++c) {
                uint8_t v = magenta ? uint8_t(c == 1 ? 0 : 255) : Sample(x, y, c, limit);
                if (p.bitDepth < 8) {
                    if (bits % 8 == 0) row.push_back(0);
                    row.back() |= uint8_t((v % (1 << p.bitDepth)) << (8 - p.bitDepth - bits % 8));
                    bits += p.bitDepth;
                    continue;
                }
                for (int b = 0; b < bytesPerSample; ++b) row.push_back(v);
            }
        }
        rows.insert(rows.end(), row.begin(), row.end());
    }
    return rows;
}

bool WritePng(const std::string& dir, const Png& p) {
    FILE* f = fopen((dir + "/" + p.name).c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<uint8_t> rows = Rows(p);
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, png_uint_32(p.w), png_uint_32(p.h), p.bitDepth, p.colorType,
                 p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (int i = 0; i < p.paletteEntries; ++i)
        palette.push_back({uint8_t(i * 255 / p.paletteEntries), uint8_t(255 - i * 13), uint8_t(i * 7)});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!p.trns.empty()) png_set_tRNS(png, info, p.trns.data(), int(p.trns.size()), nullptr);
    png_write_info(png, info);
    const size_t rowBytes = rows.size() / size_t(p.h);
    for (int pass = png_set_interlace_handling(png); pass > 0; --pass)
        for (int y = 0; y < p.h; ++y) png_write_row(png, rows.data() + size_t(y) * rowBytes);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return fclose(f) == 0;
}

enum JpegKind { YCC_420, YCC_444, YCC_422, RGB_ADOBE, ARITHMETIC };

struct Jpeg {
    const char* name;
    int w, h, components;
    bool progressive;
    int restartRows;  // 0: no restart markers
    JpegKind kind;
};

// The colour space, subsampling and coding, for three components.
void SetKind(jpeg_compress_struct* c, JpegKind kind) {
    if (c->input_components != 3) return;
    if (kind == RGB_ADOBE) jpeg_set_colorspace(c, JCS_RGB);  // stored as R, G, B, told by an Adobe marker
    if (kind == YCC_444 || kind == YCC_422) c->comp_info[0].v_samp_factor = 1;
    if (kind == YCC_444) c->comp_info[0].h_samp_factor = 1;
    if (kind == ARITHMETIC) c->arith_code = TRUE;
}

bool WriteJpeg(const std::string& dir, const Jpeg& j) {
    FILE* f = fopen((dir + "/" + j.name).c_str(), "wb");
    if (!f) return false;
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = JDIMENSION(j.w);
    c.image_height = JDIMENSION(j.h);
    c.input_components = j.components;
    c.in_color_space = j.components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, kJpegQuality, TRUE);
    SetKind(&c, j.kind);
    if (j.progressive) jpeg_simple_progression(&c);
    c.restart_in_rows = j.restartRows;
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(size_t(j.w) * j.components);
    while (c.next_scanline < c.image_height) {
        for (int x = 0; x < j.w; ++x)
            for (int k = 0; k < j.components; ++k)
                row[size_t(x) * j.components + k] = Sample(x, int(c.next_scanline), k, 256);
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const Png pngs[] = {
        {"rgba-16x16.png", 16, 16, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, 0, {}},  // a square used as it is
        {"rgba-7x5.png", 7, 5, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, 0, {}},
        {"rgba-interlaced.png", 9, 6, PNG_COLOR_TYPE_RGB_ALPHA, 8, true, 0, {}},
        {"rgba16.png", 6, 4, PNG_COLOR_TYPE_RGB_ALPHA, 16, false, 0, {}},
        {"palette1-key.png", 40, 9, PNG_COLOR_TYPE_PALETTE, 1, false, 2, {0}},  // as the collision pictures
        {"palette2.png", 11, 7, PNG_COLOR_TYPE_PALETTE, 2, false, 4, {}},
        {"palette4-alpha.png", 13, 5, PNG_COLOR_TYPE_PALETTE, 4, false, 16, {255, 128, 0}},
        {"palette8-two-keys.png", 8, 8, PNG_COLOR_TYPE_PALETTE, 8, false, 200, {0, 255, 0}},
        {"palette8.png", 17, 3, PNG_COLOR_TYPE_PALETTE, 8, false, 256, {}},
        {"grey.png", 10, 10, PNG_COLOR_TYPE_GRAY, 8, false, 0, {}},
        {"grey-alpha.png", 5, 5, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, 0, {}},
        {"rgb.png", 6, 9, PNG_COLOR_TYPE_RGB, 8, false, 0, {}},
    };
    const Jpeg jpegs[] = {
        {"baseline.jpg", 24, 16, 3, false, 0, YCC_420},  // as the game's screens
        {"odd.jpg", 13, 7, 3, false, 0, YCC_420},
        {"progressive.jpg", 20, 12, 3, true, 0, YCC_420},
        {"restarts.jpg", 16, 32, 3, false, 1, YCC_420},
        {"444.jpg", 9, 9, 3, false, 0, YCC_444},
        {"422.jpg", 17, 8, 3, false, 0, YCC_422},
        {"rgb.jpg", 8, 12, 3, false, 0, RGB_ADOBE},
        {"arithmetic.jpg", 16, 16, 3, false, 0, ARITHMETIC},
        {"grey.jpg", 8, 8, 1, false, 0, YCC_420},
    };
    bool ok = true;
    for (const Png& p : pngs) ok = WritePng(dir, p) && ok;
    for (const Jpeg& j : jpegs) ok = WriteJpeg(dir, j) && ok;
    if (!ok) fprintf(stderr, "%s: some seeds were not written into %s\n", argv[0], dir.c_str());
    return ok ? 0 : 1;
}
