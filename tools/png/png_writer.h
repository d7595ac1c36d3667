// The one PNG writer of the tree: the asset generator, the pilot's route
// picture and the tests' pictures all go through it. Rows already in the
// file's pixel layout go out with the settings given, and the same rows and
// settings always give the same bytes (no time stamp is written).
#ifndef VD_PNG_WRITER_H
#define VD_PNG_WRITER_H

#include <png.h>

#include <cstddef>
#include <string>
#include <vector>

struct PngLayout {
    int bitDepth = 8;
    int colourType = PNG_COLOR_TYPE_RGBA;  // PNG_COLOR_TYPE_RGB, _RGBA or _PALETTE
    std::vector<png_color> palette;        // paletted pictures only
    std::vector<png_byte> transparency;    // alpha per palette entry, paletted pictures only
    int zlibLevel = -1;                    // 0..9; -1: libpng's default
    int filters = -1;                      // PNG_FILTER_* flags; -1: libpng's own choice per row
};

// Writes a w x h picture whose row y starts at rows + y * rowBytes. False
// when the file cannot be opened or written, with the reason in *why (when
// not null); a file left half written is not removed.
bool WritePngRows(const std::string& path, int w, int h, const PngLayout& layout, const png_byte* rows,
                  size_t rowBytes, std::string* why);

#endif
