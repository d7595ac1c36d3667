#include "png_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) fclose(f);
    }
};
using File = std::unique_ptr<FILE, FileCloser>;

void Say(std::string* why, const std::string& text) {
    if (why) *why = text;
}

// The libpng calls between the set-up and the end; libpng reports its errors
// by longjmp, so the caller's setjmp must not hold objects with destructors.
bool Encode(png_structp png, png_infop info, FILE* f, int w, int h, const PngLayout& layout, const png_byte* rows,
            size_t rowBytes) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, f);
    if (layout.zlibLevel >= 0) png_set_compression_level(png, layout.zlibLevel);
    if (layout.filters >= 0) png_set_filter(png, PNG_FILTER_TYPE_BASE, layout.filters);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), layout.bitDepth, layout.colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty()) png_set_PLTE(png, info, layout.palette.data(), int(layout.palette.size()));
    if (!layout.transparency.empty())
        png_set_tRNS(png, info, layout.transparency.data(), int(layout.transparency.size()), nullptr);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) png_write_row(png, rows + size_t(y) * rowBytes);
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool WritePngRows(const std::string& path, int w, int h, const PngLayout& layout, const png_byte* rows,
                  size_t rowBytes, std::string* why) {
    File f(fopen(path.c_str(), "wb"));
    if (!f) {
        Say(why, "cannot open " + path + ": " + strerror(errno));
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool encoded = png && info && Encode(png, info, f.get(), w, h, layout, rows, rowBytes);
    png_destroy_write_struct(&png, &info);
    if (!encoded) {
        Say(why, "PNG encoding of " + path + " failed");
        return false;
    }
    bool ok = !ferror(f.get());
    if (fclose(f.release()) != 0) ok = false;
    if (!ok) Say(why, "error writing " + path);
    return ok;
}
