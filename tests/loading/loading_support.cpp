#include "loading_support.h"

#include <GL/gl.h>
#include <dirent.h>
#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "brisa2d2.h"

namespace loading {
namespace {

const uint64_t kFnvOffset = 1469598103934665603ull;
const uint64_t kFnvPrime = 1099511628211ull;
const int kJpegQuality = 90;

// The mask's words with the bits past each row's last pixel cleared: they
// carry no meaning and nothing promises what they hold.
uint64_t MaskDigest(const BRZ_BitMask* m, uint64_t seed) {
    std::vector<Uint32> row(size_t(m->ldwords));
    uint64_t d = seed;
    const int rest = m->largura % 32;
    for (int y = 0; y < m->altura; ++y) {
        memcpy(row.data(), m->mask + size_t(y) * m->ldwords, row.size() * sizeof(Uint32));
        if (rest) row.back() &= ~Uint32(0) << (32 - rest);
        d = Digest(row.data(), row.size() * sizeof(Uint32), d);
    }
    return d;
}

uint64_t TextureDigest(GLuint texture, int w, int h) {
    std::vector<uint8_t> texels(size_t(w) * size_t(h) * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return Digest(texels.data(), texels.size());
}

uint8_t Mix(int x, int y, int seed, int k) { return uint8_t((x * 7 + y * 13 + seed * 31 + k * 57) ^ (x * y)); }

}  // namespace

uint64_t Digest(const void* data, size_t bytes, uint64_t seed) {
    uint64_t d = seed ? seed : kFnvOffset;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    size_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
        uint64_t w;
        memcpy(&w, p + i, 8);
        d = (d ^ w) * kFnvPrime;
    }
    for (; i < bytes; ++i) d = (d ^ p[i]) * kFnvPrime;
    return d;
}

bool SetPrint::operator==(const SetPrint& o) const {
    return id == o.id && name == o.name && w == o.w && h == o.h && frameW == o.frameW && frameH == o.frameH &&
           columns == o.columns && rows == o.rows && surfaceW == o.surfaceW && surfaceH == o.surfaceH &&
           pitch == o.pitch && bitsPerPixel == o.bitsPerPixel && rmask == o.rmask && gmask == o.gmask &&
           bmask == o.bmask && amask == o.amask && textureW == o.textureW && textureH == o.textureH &&
           texture == o.texture && pixels == o.pixels && masks == o.masks && texels == o.texels;
}

std::string SetPrint::Describe() const {
    std::ostringstream s;
    s << "#" << id << " " << name << ": " << w << "x" << h << " frames " << frameW << "x" << frameH << " ("
      << columns << "x" << rows << "), surface " << surfaceW << "x" << surfaceH << " pitch " << pitch << " "
      << bitsPerPixel << " bpp masks " << std::hex << rmask << "/" << gmask << "/" << bmask << "/" << amask
      << ", pixels " << pixels << ", masks " << masks << ", texture " << std::dec << texture << " " << textureW << "x"
      << textureH << " " << std::hex << texels;
    return s.str();
}

void ExpectSameLoads(const LoadsPrint& announced, const LoadsPrint& plain) {
    EXPECT_EQ(announced.ids, plain.ids);
    EXPECT_EQ(announced.said, plain.said);
    ASSERT_EQ(announced.sets.size(), plain.sets.size());
    for (size_t i = 0; i < plain.sets.size(); ++i)
        EXPECT_TRUE(announced.sets[i] == plain.sets[i]) << "announced: " << announced.sets[i].Describe()
                                                        << "\nplain:     " << plain.sets[i].Describe();
}

SetPrint PrintOf(unsigned int id) {
    SetPrint p;
    p.id = id;
    if (id == 0 || id > BRZ_MAX_SPRITESETS || !sprites[id - 1].imagem) return p;
    const BRZ_SpriteSet& s = sprites[id - 1];
    p.name = s.apelido;
    p.w = s.largura;
    p.h = s.altura;
    p.frameW = s.spLargura;
    p.frameH = s.spAltura;
    p.columns = s.matrizX;
    p.rows = s.matrizY;
    SDL_Surface* img = s.imagem;
    p.surfaceW = img->w;
    p.surfaceH = img->h;
    p.pitch = img->pitch;
    p.bitsPerPixel = img->format->BitsPerPixel;
    p.rmask = img->format->Rmask;
    p.gmask = img->format->Gmask;
    p.bmask = img->format->Bmask;
    p.amask = img->format->Amask;
    SDL_LockSurface(img);
    for (int y = 0; y < img->h; ++y)
        p.pixels = Digest(static_cast<const uint8_t*>(img->pixels) + size_t(y) * img->pitch,
                          size_t(img->w) * img->format->BytesPerPixel, p.pixels);
    SDL_UnlockSurface(img);
    for (int f = 0; s.bmask && f < s.matrizX * s.matrizY; ++f) p.masks = MaskDigest(s.bmask[f], p.masks);
    p.texture = s.texturaLigada;
    if (s.texturaLigada && s.textura != 0) {
        p.textureW = s.larguraTextura;
        p.textureH = s.alturaTextura;
        p.texels = TextureDigest(s.textura, s.larguraTextura, s.alturaTextura);
    }
    return p;
}

std::vector<SetPrint> PrintAll() {
    std::vector<SetPrint> all;
    for (unsigned int id = 1; id <= BRZ_MAX_SPRITESETS; ++id)
        if (sprites[id - 1].imagem) all.push_back(PrintOf(id));
    return all;
}

bool WritePngSpec(const std::string& path, const PngSpec& spec) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, png_uint_32(spec.w), png_uint_32(spec.h), spec.bitDepth, spec.colorType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < spec.palette.size(); i += 3)
        palette.push_back({spec.palette[i], spec.palette[i + 1], spec.palette[i + 2]});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!spec.trns.empty()) png_set_tRNS(png, info, spec.trns.data(), int(spec.trns.size()), nullptr);
    png_write_info(png, info);
    size_t rowBytes = spec.data.size() / size_t(spec.h);
    std::vector<png_bytep> rows;
    for (int y = 0; y < spec.h; ++y) rows.push_back(const_cast<png_bytep>(spec.data.data() + size_t(y) * rowBytes));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return fclose(f) == 0;
}

PngSpec RgbaPicture(int w, int h, int seed) {
    PngSpec p;
    p.w = w;
    p.h = h;
    p.colorType = PNG_COLOR_TYPE_RGBA;
    p.data.resize(size_t(w) * size_t(h) * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* px = &p.data[(size_t(y) * w + x) * 4];
            int kind = (x / 3 + y / 5 + seed) % 7;
            const uint8_t magenta[4] = {255, 0, 255, 255};
            if (kind == 0) {
                memcpy(px, magenta, 4);  // the colour key
            } else {
                for (int k = 0; k < 3; ++k) px[k] = Mix(x, y, seed, k);
                px[3] = kind == 1 ? 0 : kind == 2 ? Mix(x, y, seed, 3) : 255;
            }
        }
    }
    return p;
}

PngSpec PalettePicture(int w, int h, int bitDepth, int entries, int seed) {
    PngSpec p;
    p.w = w;
    p.h = h;
    p.colorType = PNG_COLOR_TYPE_PALETTE;
    p.bitDepth = bitDepth;
    for (int i = 0; i < entries; ++i) {
        p.palette.push_back(uint8_t(i * 37 + seed));
        p.palette.push_back(uint8_t(255 - i * 11));
        p.palette.push_back(uint8_t(i * 91 + 3));
    }
    size_t rowBytes = (size_t(w) * bitDepth + 7) / 8;
    p.data.assign(rowBytes * size_t(h), 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int index = ((x / 4) * 3 + (y / 6) + seed) % entries;
            size_t bit = size_t(x) * bitDepth;
            int shift = 8 - bitDepth - int(bit % 8);
            p.data[size_t(y) * rowBytes + bit / 8] |= uint8_t(index << shift);
        }
    }
    return p;
}

bool WriteJpeg(const std::string& path, int w, int h, int components, bool progressive, int seed) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = components;
    c.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, kJpegQuality, TRUE);
    if (progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(size_t(w) * components);
    while (c.next_scanline < c.image_height) {
        int y = int(c.next_scanline);
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < components; ++k) row[size_t(x) * components + k] = Mix(x / 2, y / 2, seed, k);
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return fclose(f) == 0;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return bool(out);
}

std::vector<std::string> ThreadNames() {
    std::vector<std::string> names;
    DIR* d = opendir("/proc/self/task");
    if (!d) return names;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.') continue;
        std::ifstream comm(std::string("/proc/self/task/") + e->d_name + "/comm");
        std::string name;
        std::getline(comm, name);
        names.push_back(name);
    }
    closedir(d);
    return names;
}

}  // namespace loading
